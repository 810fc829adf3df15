#include "VaultFolderFixture.h"
#include "vault/VaultFile.h"
#include "vault/VaultLock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
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
};

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

QTEST_GUILESS_MAIN(TestVaultLock)
#include "tst_VaultLock.moc"
