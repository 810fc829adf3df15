#include "VaultLock.h"

#include <QDir>
#include <QFileInfo>

VaultLock::VaultLock(const QString &vaultPath)
    : m_vaultPath(vaultPath)
    , m_lockPath(vaultPath + QStringLiteral(".lock"))
    , m_file(m_lockPath)
{
    // A copy keeps its vault for as long as it runs, hours on end: a lock is
    // stale only when the copy that made it is gone, never for its age.
    m_file.setStaleLockTime(0);
}

VaultLock::~VaultLock()
{
    unlock();
}

VaultLock::Status VaultLock::lock()
{
    if (m_status == Status::Locked)
        return m_status;
    m_takenOverFrom = QDateTime();
    m_holder.clear();
    // A lock file that is there and can still be taken was left by a copy
    // that has ended; note when it was made.
    const QFileInfo before(m_lockPath);
    const QDateTime madeAt = before.exists() ? before.lastModified() : QDateTime();

    if (m_file.tryLock(0)) {
        m_takenOverFrom = madeAt;
        return m_status = Status::Locked;
    }
    if (m_file.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_file.getLockInfo(&pid, &host, &application))
            m_holder = QStringLiteral("process %1 on \"%2\"").arg(pid).arg(host);
        return m_status = Status::HeldByAnotherCopy;
    }
    return m_status = Status::Failed;
}

void VaultLock::unlock()
{
    if (m_status == Status::Locked)
        m_file.unlock();
    m_status = Status::Unlocked;
}

QString VaultLock::message(const QString &productName) const
{
    const QString vault = QDir::toNativeSeparators(m_vaultPath);
    const QString lockFile = QDir::toNativeSeparators(m_lockPath);
    switch (m_status) {
    case Status::HeldByAnotherCopy:
        return QStringLiteral("The vault \"%1\" is already open in another copy of %2%3.\n\n"
                              "Use that copy, or close it and start %2 again. If no other copy "
                              "is running, delete the file \"%4\" and start again.")
            .arg(vault, productName,
                 m_holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_holder), lockFile);
    case Status::Failed:
        return QStringLiteral("The vault \"%1\" could not be opened: %2 could not make the lock "
                              "file \"%3\" that keeps other copies from changing it at the same "
                              "time (%4).\n\nThe folder that holds the vault must be one you can "
                              "write to.")
            .arg(vault, productName, lockFile,
                 m_file.error() == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                              : QStringLiteral("unknown error"));
    case Status::Unlocked:
    case Status::Locked:
        break;
    }
    return QString();
}
