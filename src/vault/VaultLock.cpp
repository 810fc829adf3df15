#include "VaultLock.h"

#include "platform/FileSync.h"
#include "platform/KeptFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThread>

namespace {

// A lock file holds, one to a line: the owner's process id, its program's
// name, its computer's name, and (from newer copies) the computer's and the
// boot's unique ids.
struct LockOwner
{
    qint64 pid = 0;
    QString computer;
    QByteArray machineId;
    QByteArray bootId;
};

bool parseOwner(const QByteArray &content, LockOwner *owner)
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

// What a lock file says of its owner; false when it cannot be read.
bool readLockFile(const QString &path, QByteArray *content)
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

bool madeOnThisComputer(const LockOwner &owner)
{
    if (!isThisComputersName(owner.computer))
        return false;
    const QByteArray machine = QSysInfo::machineUniqueId();
    return owner.machineId.isEmpty() || machine.isEmpty() || owner.machineId == machine;
}

// A copy on this computer is gone when its process is, or when the computer
// has started again since it made the lock.
bool ownerGone(const LockOwner &owner)
{
    const QByteArray boot = QSysInfo::bootUniqueId();
    if (!owner.bootId.isEmpty() && !boot.isEmpty() && owner.bootId != boot)
        return true;
    return !processRunning(owner.pid);
}

// How long a lock file may stay empty while its maker writes it.
constexpr int kWritingTries = 3;
constexpr int kWritingPauseMs = 50;

} // namespace

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

VaultLock::Status VaultLock::lock(bool takeOverFromOtherComputer)
{
    if (m_status == Status::Locked)
        return m_status;
    m_takenOverFrom = QDateTime();
    m_holder.clear();
    m_holderComputer.clear();
    m_reason.clear();

    // A lock file that was there before one of ours took its place was left
    // behind by a copy that has ended (QLockFile takes over those of copies
    // on this computer whose process is gone by itself); note when it was
    // made.
    QDateTime madeAt;
    int emptyTries = 0;
    // A few rounds at most: each one removes a lock left behind, or finds
    // that the lock changed hands meanwhile.
    for (int round = 0; round < kWritingTries + 8; ++round) {
        const QFileInfo before(m_lockPath);
        if (before.exists() && !madeAt.isValid())
            madeAt = before.lastModified();
        if (m_file.tryLock(0)) {
            // QLockFile makes its file as the umask allows, which may be for
            // anyone to write.
            keepToOwner(m_lockPath);
            m_takenOverFrom = madeAt;
            removeLeftRemovalLock();
            return m_status = Status::Locked;
        }
        if (m_file.error() != QLockFile::LockFailedError) {
            m_reason = whyNoLockCanBeMade();
            return m_status = Status::CannotWrite;
        }
        bool again = false;
        const Status judged
            = judgeExistingLock(takeOverFromOtherComputer, emptyTries >= kWritingTries, &again);
        if (judged != Status::Unlocked)
            return m_status = judged;
        if (again) {
            ++emptyTries;
            QThread::msleep(kWritingPauseMs);
        }
    }
    return m_status = Status::HeldByAnotherCopy;
}

// Looks at a lock file that stands in the way. Unlocked when it was removed
// (or is gone already) and the next round may take the vault; `again` when
// its maker seems to be writing it still, until `emptyIsLeftBehind`.
VaultLock::Status VaultLock::judgeExistingLock(bool takeOverFromOtherComputer,
                                               bool emptyIsLeftBehind, bool *again)
{
    QByteArray content;
    const bool readable = readLockFile(m_lockPath, &content);

    LockOwner owner;
    const bool known = parseOwner(content, &owner);
    if (readable && !known && !QFileInfo::exists(m_lockPath))
        return Status::Unlocked;
    // A lock file that says nothing is being written this very moment, or
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
        return Status::Unlocked;

    QString reason;
    switch (removeUnheldLock(m_lockPath, content, gone, &reason)) {
    case LockRemoval::Removed:
    case LockRemoval::Changed:
        return Status::Unlocked;
    case LockRemoval::Held:
        return Status::HeldByAnotherCopy;
    case LockRemoval::Failed:
        break;
    }
    m_reason = QStringLiteral("the lock file \"%1\" was left by a copy that is no longer "
                              "running, and it could not be removed (%2).")
                   .arg(QDir::toNativeSeparators(m_lockPath), reason);
    return Status::CannotWrite;
}

QString VaultLock::removalLockPath() const
{
    return m_lockPath + QStringLiteral(".rmlock");
}

void VaultLock::addKeptFiles(KeptFiles *kept) const
{
    const QString lock = QStringLiteral("the vault's lock file, which keeps a second copy of the "
                                        "program off the vault");
    kept->addFile(m_lockPath, lock);
    kept->addFile(removalLockPath(), lock);
}

// QLockFile takes over a lock left behind under a second lock file of its
// own, which a copy killed meanwhile leaves: once the vault is ours, it goes.
void VaultLock::removeLeftRemovalLock() const
{
    const QString path = removalLockPath();
    QByteArray content;
    if (!readLockFile(path, &content))
        return;
    LockOwner owner;
    const bool gone
        = !parseOwner(content, &owner) || (madeOnThisComputer(owner) && ownerGone(owner));
    QString reason;
    removeUnheldLock(path, content, gone, &reason);
}

// QLockFile does not say why it could not make its file: a file of the same
// size made beside it does.
QString VaultLock::whyNoLockCanBeMade() const
{
    QString cause;
    {
        QTemporaryFile probe(m_lockPath + QStringLiteral(".XXXXXX"));
        if (!probe.open())
            cause = probe.errorString();
        else if (probe.write(QByteArray(512, '\n')) != 512 || !probe.flush())
            cause = probe.errorString();
    }
    if (cause.isEmpty())
        cause = QStringLiteral("the system gave no reason");
    return QStringLiteral("the lock file \"%1\" that keeps other copies from changing it at the "
                          "same time could not be made (%2).")
        .arg(QDir::toNativeSeparators(m_lockPath), cause);
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
    case Status::Unlocked:
    case Status::Locked:
        break;
    }
    return QString();
}
