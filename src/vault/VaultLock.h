#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

class KeptFiles;

// Keeps one copy of the program on a vault: a lock file beside the vault
// (its name followed by ".lock"), taken before the vault is read and held
// until this object releases it or is destroyed. A lock whose owner is
// provably gone (a copy on this computer that crashed, was killed or lost
// its power) is taken over whatever its permissions or owner; a lock held by
// a copy that is still running is not, however long it has been held. A lock
// made on another computer cannot be judged from here: it is taken over only
// when asked.
class VaultLock
{
public:
    enum class Status {
        Unlocked, // not tried yet, or released
        Locked, // this copy holds the vault
        HeldByAnotherCopy, // another running copy holds it
        HeldOnAnotherComputer, // a copy on another computer made the lock
        CannotWrite, // no lock can be made here: reason() says why
    };

    // `vaultPath` is the file that saves replace, links already followed.
    explicit VaultLock(const QString &vaultPath);
    ~VaultLock();
    VaultLock(const VaultLock &) = delete;
    VaultLock &operator=(const VaultLock &) = delete;

    // Tries once, without waiting for another copy. With
    // `takeOverFromOtherComputer`, a lock made on another computer counts as
    // left behind.
    Status lock(bool takeOverFromOtherComputer = false);
    void unlock();
    Status status() const { return m_status; }

    // When lock() took over a lock left behind by a copy that ended without
    // releasing it: the time that copy took it. Invalid otherwise.
    QDateTime takenOverFrom() const { return m_takenOverFrom; }

    // For CannotWrite: why, in the system's words, as the end of a sentence
    // that begins with the vault's name.
    const QString &reason() const { return m_reason; }

    // What to tell the user when lock() gave HeldByAnotherCopy,
    // HeldOnAnotherComputer (a question: take the lock over?) or CannotWrite;
    // empty otherwise.
    QString message(const QString &productName) const;

    // Adds the lock file, and the one QLockFile makes beside it while it
    // removes a stale lock, to the files the program keeps.
    void addKeptFiles(KeptFiles *kept) const;

private:
    Status judgeExistingLock(bool takeOverFromOtherComputer, bool emptyIsLeftBehind, bool *again);
    QString whyNoLockCanBeMade() const;
    // Where QLockFile marks that it is removing a stale lock.
    QString removalLockPath() const;
    void removeLeftRemovalLock() const;

    QString m_vaultPath;
    QString m_lockPath;
    QLockFile m_file;
    Status m_status = Status::Unlocked;
    QDateTime m_takenOverFrom;
    QString m_holder;
    QString m_holderComputer;
    QString m_reason;
};
