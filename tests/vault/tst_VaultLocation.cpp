#include "vault/VaultClaim.h"
#include "vault/VaultFile.h"
#include "vault/VaultLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// Where the vault lives: beside the program when it is there or can be, with
// the user otherwise, and never in the folder a copy was installed into.
class TestVaultLocation : public QObject
{
    Q_OBJECT

private slots:
    void besideTheProgramOrWithTheUser_data();
    void besideTheProgramOrWithTheUser();
    void installedFolderIsNotWritten();
    void userFolderIsMadeOwnerOnly();
    void foundOpenToOthers();
};

void TestVaultLocation::besideTheProgramOrWithTheUser_data()
{
    QTest::addColumn<QString>("vaultName"); // empty: no vault beside the program
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("beside");

    QTest::newRow("writable folder") << QString() << true << true;
    QTest::newRow("vault in a read-only folder") << "data.enc" << false << true;
    QTest::newRow("vault named in other letter case") << "DATA.ENC" << false << true;
    QTest::newRow("read-only folder without a vault") << QString() << false << false;
}

void TestVaultLocation::besideTheProgramOrWithTheUser()
{
    QFETCH(QString, vaultName);
    QFETCH(bool, writable);
    QFETCH(bool, beside);
    QTemporaryDir program;
    const QString user = program.filePath(QStringLiteral("user"));
    if (!vaultName.isEmpty()) {
        QFile vault(program.filePath(vaultName));
        QVERIFY(vault.open(QIODevice::WriteOnly));
    }
    QStringList asked;
    const QString folder = VaultLocation::folder(program.path(), user, [&](const QString &path) {
        asked.append(path);
        return writable;
    });
    QCOMPARE(folder, beside ? program.path() : user);
    // Only the program folder is ever in question.
    for (const QString &path : asked)
        QCOMPARE(path, program.path());
}

void TestVaultLocation::installedFolderIsNotWritten()
{
    QTemporaryDir folder;
    QVERIFY(VaultLocation::canKeepVault(folder.path()));
    QVERIFY(QDir(folder.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());
    // The Windows installer leaves its uninstaller beside the program.
    QFile uninstaller(folder.filePath(QStringLiteral("Uninstall.exe")));
    QVERIFY(uninstaller.open(QIODevice::WriteOnly));
    uninstaller.close();
    QVERIFY(!VaultLocation::canKeepVault(folder.path()));
    QVERIFY(!VaultLocation::canKeepVault(folder.filePath(QStringLiteral("missing"))));
}

void TestVaultLocation::userFolderIsMadeOwnerOnly()
{
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral(".local/share/Vorsell"));
    QString error;
    QVERIFY(VaultLocation::makeFolder(home.path(), folder, &error));
    QVERIFY(QFileInfo(folder).isDir());
#ifdef Q_OS_UNIX
    const QFileDevice::Permissions permissions = QFileInfo(folder).permissions();
    QVERIFY(permissions.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ExeOwner));
    QVERIFY(!(permissions
              & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                 | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther)));
#endif
    // A file where the folder should be is reported, by its path.
    const QString blocked = home.filePath(QStringLiteral("file"));
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!VaultLocation::makeFolder(home.path(), blocked + QStringLiteral("/Vorsell"), &error));
    QVERIFY(error.contains(QDir::toNativeSeparators(blocked)));
}

// Whatever the umask, and whatever made the user's vault folder open to
// others, the program keeps its vault folder and its lock file to the user.
// A program folder that holds the vault is theirs to set up: it stays open.
void TestVaultLocation::foundOpenToOthers()
{
#ifdef Q_OS_UNIX
    const auto modeOf = [](const QString &path) {
        struct stat status
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777
                                                                         : mode_t(1);
    };
    QTemporaryDir home;
    const QString program = home.filePath(QStringLiteral("program"));
    const QString user = home.filePath(QStringLiteral("Vorsell"));
    for (const QString &folder : {program, user}) {
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    }
    const mode_t umask = ::umask(0);
    QString error;
    const bool made = VaultLocation::makeFolder(program, program, &error)
        && VaultLocation::makeFolder(program, user, &error);
    VaultClaim claim(VaultFile::pathIn(user));
    const VaultClaim::Status claimed = claim.claim();
    ::umask(umask);
    QVERIFY2(made, qPrintable(error));
    QCOMPARE(claimed, VaultClaim::Status::Claimed);
    QCOMPARE(modeOf(program), mode_t(0777));
    QCOMPARE(modeOf(user), mode_t(0700));
    QCOMPARE(modeOf(VaultFile::pathIn(user) + QStringLiteral(".lock")), mode_t(0600));
#else
    QSKIP("needs POSIX permissions");
#endif
}

QTEST_GUILESS_MAIN(TestVaultLocation)
#include "tst_VaultLocation.moc"
