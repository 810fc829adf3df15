#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

class KeptFiles;

// Keeps one copy of the program on a vault: a claim file beside the vault
// (its name followed by ".lock"), made before the vault is read and held
// until this object releases it or is destroyed. A claim whose owner is
// provably gone (a copy on this computer that crashed, was killed or lost
// its power) is taken over whatever its permissions or owner; a claim held by
// a copy that is still running is not, however long it has been held. A claim
// made on another computer cannot be judged from here: it is taken over only
// when asked.
class VaultClaim
{
public:
    enum class Status {
        NotClaimed, // not tried yet, or released
        Claimed, // this copy holds the vault
        HeldByAnotherCopy, // another running copy holds it
        HeldOnAnotherComputer, // a copy on another computer made the claim
        CannotWrite, // no claim can be made here: reason() says why
    };

    // `vaultPath` is the file that saves replace, links already followed.
    explicit VaultClaim(const QString &vaultPath);
    ~VaultClaim();
    VaultClaim(const VaultClaim &) = delete;
    VaultClaim &operator=(const VaultClaim &) = delete;

    // Tries once, without waiting for another copy. With
    // `takeOverFromOtherComputer`, a claim made on another computer counts as
    // left behind.
    Status claim(bool takeOverFromOtherComputer = false);
    void release();
    Status status() const { return m_status; }

    // When claim() took over a claim left behind by a copy that ended without
    // releasing it: the time that copy took it. Invalid otherwise.
    QDateTime takenOverFrom() const { return m_takenOverFrom; }

    // For CannotWrite: why, in the system's words, as the end of a sentence
    // that begins with the vault's name.
    const QString &reason() const { return m_reason; }

    // What to tell the user when claim() gave HeldByAnotherCopy,
    // HeldOnAnotherComputer (a question: take the vault over?) or CannotWrite;
    // empty otherwise.
    QString message(const QString &productName) const;

    // Adds the claim file, and the one QLockFile makes beside it while it
    // removes a stale claim, to the files the program keeps.
    void addKeptFiles(KeptFiles *kept) const;

private:
    Status judgeExistingClaim(bool takeOverFromOtherComputer, bool emptyIsLeftBehind, bool *again);
    QString whyNoClaimCanBeMade() const;
    // Where QLockFile marks that it is removing a stale claim file.
    QString removalFilePath() const;
    void removeLeftRemovalFile() const;

    QString m_vaultPath;
    QString m_claimPath;
    QLockFile m_file;
    Status m_status = Status::NotClaimed;
    QDateTime m_takenOverFrom;
    QString m_holder;
    QString m_holderComputer;
    QString m_reason;
};
