#include "VaultFolderFixture.h"
#include "vault/VaultClaim.h"
#include "vault/VaultFile.h"
#include "vault/VaultSession.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

class TestVaultClaim : public QObject, protected VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondCopyIsTurnedAway();
    void claimOfACopyThatWasKilledIsTakenOver();
    void longHeldClaimIsNotTakenOver();
    void folderThatCannotBeWritten();
    void claimLeftBehindIsTakenOver_data();
    void claimLeftBehindIsTakenOver();
    void claimFromAnotherComputer();
    void noClaimMeansReadOnly_data();
    void noClaimMeansReadOnly();

private:
    // Leaves the claim of a copy that was killed beside the vault.
    void leaveClaimOfAKilledCopy();
};

void TestVaultClaim::leaveClaimOfAKilledCopy()
{
#ifdef Q_OS_UNIX
    QProcess copy;
    copy.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("hold-claim"), m_path});
    QVERIFY(copy.waitForReadyRead(20000));
    QCOMPARE(copy.readLine().trimmed(), QByteArray("claimed"));
    copy.kill();
    QVERIFY(copy.waitForFinished());
    QVERIFY(QFile::exists(m_path + ".lock"));
#endif
}

void TestVaultClaim::init()
{
    setUp();
}

void TestVaultClaim::cleanup()
{
    tearDown();
}

void TestVaultClaim::secondCopyIsTurnedAway()
{
    VaultClaim first(m_path);
    QCOMPARE(first.claim(), VaultClaim::Status::Claimed);
    QVERIFY(QFile::exists(m_path + ".lock"));
    QVERIFY(!first.takenOverFrom().isValid());

    VaultClaim second(m_path);
    QCOMPARE(second.claim(), VaultClaim::Status::HeldByAnotherCopy);
    const QString message = second.message(QStringLiteral("Vorsell"));
    QVERIFY2(message.contains("is already open in another copy of Vorsell"), qPrintable(message));
    QVERIFY(message.contains(QDir::toNativeSeparators(m_path)));

    // A vault in another folder is not affected.
    QTemporaryDir other;
    VaultClaim elsewhere(VaultFile::pathIn(other.path()));
    QCOMPARE(elsewhere.claim(), VaultClaim::Status::Claimed);

    // Once the first copy lets go, the vault is free again.
    first.release();
    QCOMPARE(second.claim(), VaultClaim::Status::Claimed);
}

void TestVaultClaim::claimOfACopyThatWasKilledIsTakenOver()
{
#ifdef Q_OS_UNIX
    QProcess copy;
    copy.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("hold-claim"), m_path});
    QVERIFY(copy.waitForReadyRead(20000));
    QCOMPARE(copy.readLine().trimmed(), QByteArray("claimed"));
    QCOMPARE(VaultClaim(m_path).claim(), VaultClaim::Status::HeldByAnotherCopy);

    copy.kill();
    QVERIFY(copy.waitForFinished());
    QVERIFY(QFile::exists(m_path + ".lock"));
    VaultClaim claim(m_path);
    QCOMPARE(claim.claim(), VaultClaim::Status::Claimed);
    QVERIFY(claim.takenOverFrom().isValid());
#else
    QSKIP("needs a way to kill the copy that holds the claim");
#endif
}

void TestVaultClaim::longHeldClaimIsNotTakenOver()
{
    // A copy may keep its vault open all day: the age of its claim says
    // nothing about whether it still runs.
#ifdef Q_OS_WIN
    QSKIP("Windows keeps a held claim file open without sharing: its age cannot be set meanwhile");
#endif
    VaultClaim first(m_path);
    QCOMPARE(first.claim(), VaultClaim::Status::Claimed);
    QFile claimFile(m_path + ".lock");
    QVERIFY(claimFile.open(QIODevice::ReadWrite));
    const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-8 * 3600);
    QVERIFY(claimFile.setFileTime(longAgo, QFileDevice::FileModificationTime));
    claimFile.close();

    QCOMPARE(VaultClaim(m_path).claim(), VaultClaim::Status::HeldByAnotherCopy);
}

void TestVaultClaim::folderThatCannotBeWritten()
{
#ifndef Q_OS_UNIX
    QSKIP("needs POSIX folder permissions");
#else
    QString error;
    const std::vector<VaultEntry> entries = {{"kept", "safe", "here"}};
    QVERIFY(VaultFile(m_path).save(u"m", entries, &error));
    const AsOrdinaryUser user(m_dir->path());
    if (!user.binds())
        QSKIP("could not act as an ordinary user, for whom folder permissions bind");
    const QFile::Permissions folder = QFile::permissions(m_dir->path());
    QVERIFY(QFile::setPermissions(m_dir->path(), folder & ~(QFile::WriteOwner | QFile::WriteUser)));

    VaultClaim claim(m_path);
    const VaultClaim::Status status = claim.claim();
    QFile::setPermissions(m_dir->path(), folder);
    QCOMPARE(status, VaultClaim::Status::CannotWrite);
    const QString message = claim.message(QStringLiteral("Vorsell"));
    QVERIFY2(message.contains("could not be made (Permission denied)"), qPrintable(message));
    QVERIFY(!message.contains("another copy"));
#endif
}

void TestVaultClaim::claimLeftBehindIsTakenOver_data()
{
    QTest::addColumn<bool>("otherUser");
    QTest::newRow("read-only") << false;
    QTest::newRow("another user's, read-only") << true;
}

void TestVaultClaim::claimLeftBehindIsTakenOver()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a way to kill the copy that holds the claim");
#else
    QFETCH(bool, otherUser);
    leaveClaimOfAKilledCopy();
    const QByteArray claimPath = QFile::encodeName(m_path + ".lock");
    QVERIFY(::chmod(claimPath.constData(), 0444) == 0);
    if (otherUser && (::geteuid() != 0 || ::chown(claimPath.constData(), 65534, 65534) != 0))
        QSKIP("handing the claim file to another user needs root");

    VaultClaim claim(m_path);
    QCOMPARE(claim.claim(), VaultClaim::Status::Claimed);
    QVERIFY(claim.takenOverFrom().isValid());
    QCOMPARE(VaultClaim(m_path).claim(), VaultClaim::Status::HeldByAnotherCopy);
#endif
}

void TestVaultClaim::claimFromAnotherComputer()
{
    // A drive moved to this computer after the copy on another one crashed.
    write(m_path + ".lock", "4242\nvorsell\nanother-computer\nsome-machine-id\nsome-boot-id\n");
    VaultClaim claim(m_path);
    QCOMPARE(claim.claim(), VaultClaim::Status::HeldOnAnotherComputer);
    const QString question = claim.message(QStringLiteral("Vorsell"));
    QVERIFY2(question.contains("a copy of Vorsell on another computer, \"another-computer\""),
             qPrintable(question));
    QVERIFY(question.contains("Take the vault over?"));
    QCOMPARE(claim.claim(true), VaultClaim::Status::Claimed);
    QVERIFY(claim.takenOverFrom().isValid());
}

void TestVaultClaim::noClaimMeansReadOnly_data()
{
    QTest::addColumn<bool>("staleClaim");
    QTest::addColumn<QString>("remount");
    QTest::addColumn<int>("error");
    QTest::newRow("full disk") << false << QString() << int(ENOSPC);
    QTest::newRow("read-only drive") << false << QStringLiteral("remount,ro") << int(EROFS);
    QTest::newRow("read-only drive, claim left behind")
        << true << QStringLiteral("remount,ro") << int(EROFS);
}

void TestVaultClaim::noClaimMeansReadOnly()
{
#ifndef Q_OS_LINUX
    QSKIP("needs a tmpfs");
#else
    QFETCH(bool, staleClaim);
    QFETCH(QString, remount);
    QFETCH(int, error);
    if (::geteuid() != 0)
        QSKIP("a full or read-only drive needs a tmpfs, which only root can mount");
    const QString disk = m_dir->filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk})
        != 0)
        QSKIP("could not mount a 64 KiB tmpfs");
    struct Unmount
    {
        QString disk;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {disk}); }
    } unmount {disk};
    m_path = VaultFile::pathIn(disk);
    QString reason;
    const std::vector<VaultEntry> kept = {{"kept", "safe", "here"}};
    QVERIFY(VaultFile(m_path).save(u"pw", kept, &reason));
    if (staleClaim)
        leaveClaimOfAKilledCopy();
    if (remount.isEmpty()) {
        QFile filler(QDir(disk).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) { }
    } else {
        QCOMPARE(QProcess::execute(QStringLiteral("mount"), {"-o", remount, disk}), 0);
    }
    const QByteArray before = read(m_path);

    VaultSession session(disk);
    const VaultOutcome checked = session.check(QStringLiteral("Vorsell"));
    QVERIFY2(checked.ok(), qPrintable(checked.error));
    QVERIFY(session.isReadOnly());
    const QString cause = QString::fromLocal8Bit(std::strerror(error));
    QVERIFY2(checked.notice.contains("cannot save changes") && checked.notice.contains(cause),
             qPrintable(checked.notice));
    QVERIFY(!checked.notice.contains("unknown error"));
    QVERIFY(offer(session, QStringLiteral("pw")).ok());
    QCOMPARE(session.entries().count(), 1);

    // A change is kept in the list and reported as not saved.
    const VaultOutcome saved = session.apply(
        [](EntryListChange &list) {
            list.append({"new", "entry", ""});
        },
        VaultSession::IfSaveFails::KeepUnsaved, QString());
    QVERIFY(!saved.ok());
    QVERIFY2(saved.error.contains(cause), qPrintable(saved.error));
    QVERIFY(session.hasUnsavedChanges());
    QCOMPARE(read(m_path), before);
#endif
}

QTEST_GUILESS_MAIN(TestVaultClaim)
#include "tst_VaultClaim.moc"
