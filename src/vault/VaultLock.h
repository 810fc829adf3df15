#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

// Keeps one copy of the program on a vault: a lock file beside the vault
// (its name followed by ".lock"), taken before the vault is read and held
// until this object releases it or is destroyed. A lock that a copy left
// behind when it ended without releasing it (a crash, a kill, a power cut)
// is taken over; a lock held by a copy that is still running is not, however
// long it has been held.
class VaultLock
{
public:
    enum class Status {
        Unlocked, // not tried yet, or released
        Locked, // this copy holds the vault
        HeldByAnotherCopy, // another running copy holds it
        Failed, // the lock file could not be made (the folder is not writable, ...)
    };

    explicit VaultLock(const QString &vaultPath);
    ~VaultLock();
    VaultLock(const VaultLock &) = delete;
    VaultLock &operator=(const VaultLock &) = delete;

    // Tries once, without waiting.
    Status lock();
    void unlock();
    Status status() const { return m_status; }

    // When lock() took over a lock left behind by a copy that ended without
    // releasing it: the time that copy took it. Invalid otherwise.
    QDateTime takenOverFrom() const { return m_takenOverFrom; }

    // What to tell the user when lock() gave HeldByAnotherCopy or Failed;
    // empty otherwise.
    QString message(const QString &productName) const;

private:
    QString m_vaultPath;
    QString m_lockPath;
    QLockFile m_file;
    Status m_status = Status::Unlocked;
    QDateTime m_takenOverFrom;
    QString m_holder;
};
