#include "VaultFolderFixture.h"
#include "vault/VaultFile.h"
#include "vault/VaultLock.h"
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

class TestVaultLock : public QObject, protected VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondCopyIsTurnedAway();
    void lockOfACopyThatWasKilledIsTakenOver();
    void longHeldLockIsNotTakenOver();
    void folderThatCannotBeWritten();
    void lockLeftBehindIsTakenOver_data();
    void lockLeftBehindIsTakenOver();
    void lockFromAnotherComputer();
    void noLockMeansReadOnly_data();
    void noLockMeansReadOnly();

private:
    // Leaves the lock of a copy that was killed beside the vault.
    void leaveLockOfAKilledCopy();
};

void TestVaultLock::leaveLockOfAKilledCopy()
{
#ifdef Q_OS_UNIX
    QProcess copy;
    copy.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("hold-lock"), m_path});
    QVERIFY(copy.waitForReadyRead(20000));
    QCOMPARE(copy.readLine().trimmed(), QByteArray("locked"));
    copy.kill();
    QVERIFY(copy.waitForFinished());
    QVERIFY(QFile::exists(m_path + ".lock"));
#endif
}

void TestVaultLock::init()
{
    setUp();
}

void TestVaultLock::cleanup()
{
    tearDown();
}

void TestVaultLock::secondCopyIsTurnedAway()
{
    VaultLock first(m_path);
    QCOMPARE(first.lock(), VaultLock::Status::Locked);
    QVERIFY(QFile::exists(m_path + ".lock"));
    QVERIFY(!first.takenOverFrom().isValid());

    VaultLock second(m_path);
    QCOMPARE(second.lock(), VaultLock::Status::HeldByAnotherCopy);
    const QString message = second.message(QStringLiteral("Vorsell"));
    QVERIFY2(message.contains("is already open in another copy of Vorsell"), qPrintable(message));
    QVERIFY(message.contains(QDir::toNativeSeparators(m_path)));

    // A vault in another folder is not affected.
    QTemporaryDir other;
    VaultLock elsewhere(VaultFile::pathIn(other.path()));
    QCOMPARE(elsewhere.lock(), VaultLock::Status::Locked);

    // Once the first copy lets go, the vault is free again.
    first.unlock();
    QCOMPARE(second.lock(), VaultLock::Status::Locked);
}

void TestVaultLock::lockOfACopyThatWasKilledIsTakenOver()
{
#ifdef Q_OS_UNIX
    QProcess copy;
    copy.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("hold-lock"), m_path});
    QVERIFY(copy.waitForReadyRead(20000));
    QCOMPARE(copy.readLine().trimmed(), QByteArray("locked"));
    QCOMPARE(VaultLock(m_path).lock(), VaultLock::Status::HeldByAnotherCopy);

    copy.kill();
    QVERIFY(copy.waitForFinished());
    QVERIFY(QFile::exists(m_path + ".lock"));
    VaultLock lock(m_path);
    QCOMPARE(lock.lock(), VaultLock::Status::Locked);
    QVERIFY(lock.takenOverFrom().isValid());
#else
    QSKIP("needs a way to kill the copy that holds the lock");
#endif
}

void TestVaultLock::longHeldLockIsNotTakenOver()
{
    // A copy may keep its vault open all day: the age of its lock says
    // nothing about whether it still runs.
#ifdef Q_OS_WIN
    QSKIP("Windows keeps a held lock file open without sharing: its age cannot be set meanwhile");
#endif
    VaultLock first(m_path);
    QCOMPARE(first.lock(), VaultLock::Status::Locked);
    QFile lockFile(m_path + ".lock");
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-8 * 3600);
    QVERIFY(lockFile.setFileTime(longAgo, QFileDevice::FileModificationTime));
    lockFile.close();

    QCOMPARE(VaultLock(m_path).lock(), VaultLock::Status::HeldByAnotherCopy);
}

void TestVaultLock::folderThatCannotBeWritten()
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

    VaultLock lock(m_path);
    const VaultLock::Status status = lock.lock();
    QFile::setPermissions(m_dir->path(), folder);
    QCOMPARE(status, VaultLock::Status::CannotWrite);
    const QString message = lock.message(QStringLiteral("Vorsell"));
    QVERIFY2(message.contains("could not be made (Permission denied)"), qPrintable(message));
    QVERIFY(!message.contains("another copy"));
#endif
}

void TestVaultLock::lockLeftBehindIsTakenOver_data()
{
    QTest::addColumn<bool>("otherUser");
    QTest::newRow("read-only") << false;
    QTest::newRow("another user's, read-only") << true;
}

void TestVaultLock::lockLeftBehindIsTakenOver()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a way to kill the copy that holds the lock");
#else
    QFETCH(bool, otherUser);
    leaveLockOfAKilledCopy();
    const QByteArray lockPath = QFile::encodeName(m_path + ".lock");
    QVERIFY(::chmod(lockPath.constData(), 0444) == 0);
    if (otherUser && (::geteuid() != 0 || ::chown(lockPath.constData(), 65534, 65534) != 0))
        QSKIP("handing the lock file to another user needs root");

    VaultLock lock(m_path);
    QCOMPARE(lock.lock(), VaultLock::Status::Locked);
    QVERIFY(lock.takenOverFrom().isValid());
    QCOMPARE(VaultLock(m_path).lock(), VaultLock::Status::HeldByAnotherCopy);
#endif
}

void TestVaultLock::lockFromAnotherComputer()
{
    // A drive moved to this computer after the copy on another one crashed.
    write(m_path + ".lock", "4242\nvorsell\nanother-computer\nsome-machine-id\nsome-boot-id\n");
    VaultLock lock(m_path);
    QCOMPARE(lock.lock(), VaultLock::Status::HeldOnAnotherComputer);
    const QString question = lock.message(QStringLiteral("Vorsell"));
    QVERIFY2(question.contains("a copy of Vorsell on another computer, \"another-computer\""),
             qPrintable(question));
    QVERIFY(question.contains("Take the vault over?"));
    QCOMPARE(lock.lock(true), VaultLock::Status::Locked);
    QVERIFY(lock.takenOverFrom().isValid());
}

void TestVaultLock::noLockMeansReadOnly_data()
{
    QTest::addColumn<bool>("staleLock");
    QTest::addColumn<QString>("remount");
    QTest::addColumn<int>("error");
    QTest::newRow("full disk") << false << QString() << int(ENOSPC);
    QTest::newRow("read-only drive") << false << QStringLiteral("remount,ro") << int(EROFS);
    QTest::newRow("read-only drive, lock left behind")
        << true << QStringLiteral("remount,ro") << int(EROFS);
}

void TestVaultLock::noLockMeansReadOnly()
{
#ifndef Q_OS_LINUX
    QSKIP("needs a tmpfs");
#else
    QFETCH(bool, staleLock);
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
    if (staleLock)
        leaveLockOfAKilledCopy();
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
    QVERIFY2(checked.ok, qPrintable(checked.error));
    QVERIFY(session.isReadOnly());
    const QString cause = QString::fromLocal8Bit(std::strerror(error));
    QVERIFY2(checked.notice.contains("cannot save changes") && checked.notice.contains(cause),
             qPrintable(checked.notice));
    QVERIFY(!checked.notice.contains("unknown error"));
    QVERIFY(session.load(QStringLiteral("pw")).ok);
    QCOMPARE(session.entries().count(), 1);

    // A change is kept in the list and reported as not saved.
    session.entries().append({"new", "entry", ""});
    const VaultOutcome saved = session.save(QDateTime::currentDateTime());
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(cause), qPrintable(saved.error));
    QVERIFY(session.hasUnsavedChanges());
    QCOMPARE(read(m_path), before);
#endif
}

QTEST_GUILESS_MAIN(TestVaultLock)
#include "tst_VaultLock.moc"
