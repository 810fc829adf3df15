#include "vault/VaultFile.h"
#include "vault/VaultLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    QVERIFY(VaultLocation::makeFolder(folder, &error));
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
    QVERIFY(!VaultLocation::makeFolder(blocked + QStringLiteral("/Vorsell"), &error));
    QVERIFY(error.contains(QDir::toNativeSeparators(blocked)));
}

QTEST_GUILESS_MAIN(TestVaultLocation)
#include "tst_VaultLocation.moc"
