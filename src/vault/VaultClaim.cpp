#include "VaultClaim.h"

#include "platform/FileSync.h"
#include "platform/KeptFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThread>

namespace {

// A claim file holds, one to a line: the owner's process id, its program's
// name, its computer's name, and (from newer copies) the computer's and the
// boot's unique ids.
struct ClaimOwner
{
    qint64 pid = 0;
    QString computer;
    QByteArray machineId;
    QByteArray bootId;
};

bool parseOwner(const QByteArray &content, ClaimOwner *owner)
{
    const QList<QByteArray> lines = content.split('\n');
    if (lines.size() < 4) // three lines and what follows the last break
        return false;
    bool ok = false;
    owner->pid = lines[0].toLongLong(&ok);
    owner->computer = QString::fromUtf8(lines[2]);
    owner->machineId = lines.size() > 4 ? lines[3] : QByteArray();
    owner->bootId = lines.size() > 5 ? lines[4] : QByteArray();
    return ok && owner->pid > 0;
}

// What a claim file says of its owner; false when it cannot be read.
bool readClaimFile(const QString &path, QByteArray *content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *content = file.read(4096);
    return true;
}

// QLockFile names the computer by its host name, but on Windows by the
// COMPUTERNAME variable, whose letter case may differ from the host name's.
bool isThisComputersName(const QString &name)
{
    if (name == QSysInfo::machineHostName())
        return true;
    const QString computerName = qEnvironmentVariable("COMPUTERNAME");
    return !computerName.isEmpty() && name.compare(computerName, Qt::CaseInsensitive) == 0;
}

bool madeOnThisComputer(const ClaimOwner &owner)
{
    if (!isThisComputersName(owner.computer))
        return false;
    const QByteArray machine = QSysInfo::machineUniqueId();
    return owner.machineId.isEmpty() || machine.isEmpty() || owner.machineId == machine;
}

// A copy on this computer is gone when its process is, or when the computer
// has started again since it made the claim.
bool ownerGone(const ClaimOwner &owner)
{
    const QByteArray boot = QSysInfo::bootUniqueId();
    if (!owner.bootId.isEmpty() && !boot.isEmpty() && owner.bootId != boot)
        return true;
    return !processRunning(owner.pid);
}

// How long a claim file may stay empty while its maker writes it.
constexpr int kWritingTries = 3;
constexpr int kWritingPauseMs = 50;

} // namespace

VaultClaim::VaultClaim(const QString &vaultPath)
    : m_vaultPath(vaultPath)
    , m_claimPath(vaultPath + QStringLiteral(".lock"))
    , m_file(m_claimPath)
{
    // A copy keeps its vault for as long as it runs, hours on end: a claim is
    // stale only when the copy that made it is gone, never for its age.
    m_file.setStaleLockTime(0);
}

VaultClaim::~VaultClaim()
{
    release();
}

VaultClaim::Status VaultClaim::claim(bool takeOverFromOtherComputer)
{
    if (m_status == Status::Claimed)
        return m_status;
    m_takenOverFrom = QDateTime();
    m_holder.clear();
    m_holderComputer.clear();
    m_reason.clear();

    // A claim file that was there before one of ours took its place was left
    // behind by a copy that has ended (QLockFile takes over those of copies
    // on this computer whose process is gone by itself); note when it was
    // made.
    QDateTime madeAt;
    int emptyTries = 0;
    // A few rounds at most: each one removes a claim left behind, or finds
    // that the claim changed hands meanwhile.
    for (int round = 0; round < kWritingTries + 8; ++round) {
        const QFileInfo before(m_claimPath);
        if (before.exists() && !madeAt.isValid())
            madeAt = before.lastModified();
        if (m_file.tryLock(0)) {
            // QLockFile makes its file as the umask allows, which may be for
            // anyone to write.
            keepToOwner(m_claimPath);
            m_takenOverFrom = madeAt;
            removeLeftRemovalFile();
            return m_status = Status::Claimed;
        }
        if (m_file.error() != QLockFile::LockFailedError) {
            m_reason = whyNoClaimCanBeMade();
            return m_status = Status::CannotWrite;
        }
        bool again = false;
        const Status judged
            = judgeExistingClaim(takeOverFromOtherComputer, emptyTries >= kWritingTries, &again);
        if (judged != Status::NotClaimed)
            return m_status = judged;
        if (again) {
            ++emptyTries;
            QThread::msleep(kWritingPauseMs);
        }
    }
    return m_status = Status::HeldByAnotherCopy;
}

// Looks at a claim file that stands in the way. NotClaimed when it was removed
// (or is gone already) and the next round may take the vault; `again` when
// its maker seems to be writing it still, until `emptyIsLeftBehind`.
VaultClaim::Status VaultClaim::judgeExistingClaim(bool takeOverFromOtherComputer,
                                                  bool emptyIsLeftBehind, bool *again)
{
    QByteArray content;
    const bool readable = readClaimFile(m_claimPath, &content);

    ClaimOwner owner;
    const bool known = parseOwner(content, &owner);
    if (readable && !known && !QFileInfo::exists(m_claimPath))
        return Status::NotClaimed;
    // A claim file that says nothing is being written this very moment, or
    // was left so by a copy that ended between making it and writing it.
    // One that cannot be read at all (another user's) tells nothing of its
    // owner: it is not taken.
    if (readable && !known && !emptyIsLeftBehind)
        *again = true;
    bool gone = readable && !known && emptyIsLeftBehind;
    if (known) {
        m_holder = QStringLiteral("process %1 on \"%2\"").arg(owner.pid).arg(owner.computer);
        if (!madeOnThisComputer(owner)) {
            m_holderComputer = owner.computer;
            if (!takeOverFromOtherComputer)
                return Status::HeldOnAnotherComputer;
            gone = true;
        } else {
            gone = ownerGone(owner);
        }
    }
    if (*again)
        return Status::NotClaimed;

    QString reason;
    switch (removeUnheldLock(m_claimPath, content, gone, &reason)) {
    case LockRemoval::Removed:
    case LockRemoval::Changed:
        return Status::NotClaimed;
    case LockRemoval::Held:
        return Status::HeldByAnotherCopy;
    case LockRemoval::Failed:
        break;
    }
    m_reason = QStringLiteral("the lock file \"%1\" was left by a copy that is no longer "
                              "running, and it could not be removed (%2).")
                   .arg(QDir::toNativeSeparators(m_claimPath), reason);
    return Status::CannotWrite;
}

QString VaultClaim::removalFilePath() const
{
    return m_claimPath + QStringLiteral(".rmlock");
}

void VaultClaim::addKeptFiles(KeptFiles *kept) const
{
    const QString claim = QStringLiteral("the vault's lock file, which keeps a second copy of "
                                         "the program off the vault");
    kept->addFile(m_claimPath, claim);
    kept->addFile(removalFilePath(), claim);
}

// QLockFile takes over a claim left behind under a second file of its own,
// which a copy killed meanwhile leaves: once the vault is ours, it goes.
void VaultClaim::removeLeftRemovalFile() const
{
    const QString path = removalFilePath();
    QByteArray content;
    if (!readClaimFile(path, &content))
        return;
    ClaimOwner owner;
    const bool gone
        = !parseOwner(content, &owner) || (madeOnThisComputer(owner) && ownerGone(owner));
    QString reason;
    removeUnheldLock(path, content, gone, &reason);
}

// QLockFile does not say why it could not make its file: a file of the same
// size made beside it does.
QString VaultClaim::whyNoClaimCanBeMade() const
{
    QString cause;
    {
        QTemporaryFile probe(m_claimPath + QStringLiteral(".XXXXXX"));
        if (!probe.open())
            cause = probe.errorString();
        else if (probe.write(QByteArray(512, '\n')) != 512 || !probe.flush())
            cause = probe.errorString();
    }
    if (cause.isEmpty())
        cause = QStringLiteral("the system gave no reason");
    return QStringLiteral("the lock file \"%1\" that keeps other copies from changing it at the "
                          "same time could not be made (%2).")
        .arg(QDir::toNativeSeparators(m_claimPath), cause);
}

void VaultClaim::release()
{
    if (m_status == Status::Claimed)
        m_file.unlock();
    m_status = Status::NotClaimed;
}

QString VaultClaim::message(const QString &productName) const
{
    const QString vault = QDir::toNativeSeparators(m_vaultPath);
    switch (m_status) {
    case Status::HeldByAnotherCopy:
        return QStringLiteral("The vault \"%1\" is already open in another copy of %2%3.\n\n"
                              "Use that copy, or close it and start %2 again.")
            .arg(vault, productName,
                 m_holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_holder));
    case Status::HeldOnAnotherComputer:
        return QStringLiteral("The vault \"%1\" is locked by a copy of %2 on another computer, "
                              "\"%3\". That copy may still be running, or it may have ended "
                              "without letting go of the vault (for example when the drive was "
                              "moved after a crash).\n\nIf it still runs, taking the vault over "
                              "lets both copies change it, and one of them loses its changes. "
                              "Take the vault over?")
            .arg(vault, productName, m_holderComputer);
    case Status::CannotWrite:
        return QStringLiteral("%1 cannot save changes to the vault \"%2\": %3\n\nThe entries "
                              "open to read and copy; a change you make cannot be saved.")
            .arg(productName, vault, m_reason);
    case Status::NotClaimed:
    case Status::Claimed:
        break;
    }
    return QString();
}
