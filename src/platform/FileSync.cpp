#include "FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
QString systemReason(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD size = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString reason = QString::fromWCharArray(text, int(size)).trimmed();
    LocalFree(text);
    return reason;
}
#else
QString systemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Opens a path for reading, retrying when a signal interrupts the call.
int openForReading(const QByteArray &path, int flags)
{
    int handle;
    do
        handle = ::open(path.constData(), O_RDONLY | O_CLOEXEC | flags);
    while (handle < 0 && errno == EINTR);
    return handle;
}

QString notRegular(mode_t mode)
{
    const char *kind = S_ISFIFO(mode)    ? "a named pipe"
        : S_ISSOCK(mode)                 ? "a socket"
        : S_ISDIR(mode)                  ? "a folder"
        : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                         : nullptr;
    return kind ? QStringLiteral("It is %1, not a regular file.").arg(QLatin1StringView(kind))
                : QStringLiteral("It is not a regular file.");
}
#endif

} // namespace

bool syncToDisk(QFileDevice &file, QString *reason)
{
    const int handle = file.handle();
    if (handle < 0) {
        *reason = QStringLiteral("The file is not open.");
        return false;
    }
#ifdef Q_OS_WIN
    const bool synced = ::_commit(handle) == 0;
#else
    int result;
    do
        result = ::fsync(handle);
    while (result != 0 && errno == EINTR);
    // A file system that cannot sync (a pipe, some special files) has
    // nothing more to put on a disk.
    const bool synced = result == 0 || errno == EINVAL;
#endif
    if (!synced)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return synced;
}

bool replaceFile(const QString &from, const QString &to, QString *reason)
{
#ifdef Q_OS_WIN
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (!MoveFileExW(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    // The rename lives in the folder: until the folder is on the disk, a
    // power cut can bring back the old file.
    const int folder = openForReading(QFile::encodeName(QFileInfo(to).absolutePath()), O_DIRECTORY);
    if (folder < 0) {
        *reason = systemReason(errno);
        return false;
    }
    int result;
    do
        result = ::fsync(folder);
    while (result != 0 && errno == EINTR);
    const int error = errno;
    ::close(folder);
    // Some file systems cannot sync a folder (EINVAL): they have nothing
    // more to put on a disk for it.
    if (result != 0 && error != EINVAL) {
        *reason = systemReason(error);
        return false;
    }
    return true;
#endif
}

bool writeAll(QFileDevice &file, QByteArrayView data, QString *reason)
{
    while (!data.isEmpty()) {
        const qint64 written = file.write(data.data(), data.size());
        if (written <= 0) {
            *reason = file.errorString();
            return false;
        }
        data = data.sliced(written);
    }
    return true;
}

bool openRegularFile(QFile &file, QString *reason)
{
#ifdef Q_OS_WIN
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        *reason = info.isDir() ? QStringLiteral("It is a folder, not a regular file.")
                               : QStringLiteral("It is not a regular file.");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    return true;
#else
    const QByteArray name = QFile::encodeName(file.fileName());
    // Looked at before it is opened: opening a named pipe waits for a writer.
    struct stat status
    {
    };
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        *reason = notRegular(status.st_mode);
        return false;
    }
    // Opened without waiting all the same, and looked at once more, in case
    // the name stands for another file by now.
    const int handle = openForReading(name, O_NONBLOCK);
    if (handle < 0) {
        *reason = systemReason(errno);
        return false;
    }
    const auto refuse = [handle, reason](const QString &why) {
        *reason = why;
        ::close(handle);
        return false;
    };
    if (::fstat(handle, &status) != 0)
        return refuse(systemReason(errno));
    if (!S_ISREG(status.st_mode))
        return refuse(notRegular(status.st_mode));
    // Read from here on as any file is: waiting while the disk answers.
    const int flags = ::fcntl(handle, F_GETFL);
    if (flags < 0 || ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return refuse(systemReason(errno));
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return refuse(file.errorString());
    return true;
#endif
}

QString followLinks(const QString &path, bool *loop)
{
    // The same limit as the system's for links met in one path.
    constexpr int kMostLinks = 40;
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == kMostLinks) {
            *loop = true;
            return info.absoluteFilePath();
        }
        info.setFile(info.symLinkTarget());
    }
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

bool replaceWhole(const QString &target, const QString &prefix,
                  QFileDevice::Permissions permissions,
                  const std::function<bool(QFile &, QString *)> &write, QString *reason)
{
    const QDir folder = QFileInfo(target).absoluteDir();
    QFile file;
    // Made afresh under a new name: never opened where another file stands.
    constexpr QIODevice::OpenMode kMode
        = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
        QString suffix;
        for (int i = 0; i < kReplacementSuffixLength; ++i)
            suffix += QLatin1Char(
                "0123456789abcdefghijklmnopqrstuvwxyz"[QRandomGenerator::global()->bounded(36)]);
        file.setFileName(folder.filePath(prefix + suffix));
#ifdef Q_OS_WIN
        // It takes the folder's access rules; permissions below set the
        // read-only flag only.
        const bool opened = file.open(kMode);
#else
        // Owner-only from the start: nobody else can open it before its
        // permissions are set.
        const bool opened = file.open(kMode, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
        if (!opened && !QFileInfo::exists(file.fileName()))
            break;
    }
    if (!file.isOpen()) {
        *reason = file.errorString();
        return false;
    }
    // Whatever goes wrong from here, an exception included, the new file
    // goes with it.
    auto removeNewFile = qScopeGuard([&file] {
        file.close();
        file.remove();
    });
    if (!file.setPermissions(permissions)) {
        *reason = file.errorString();
        return false;
    }
    if (!write(file, reason) || !syncToDisk(file, reason))
        return false;
    file.close();
    if (!replaceFile(file.fileName(), target, reason))
        return false;
    removeNewFile.dismiss();
    return true;
}

int removeLeftoverReplacements(const QString &target, const QString &prefix)
{
    const QRegularExpression leftover(QStringLiteral("^%1[0-9a-z]{%2}$")
                                          .arg(QRegularExpression::escape(prefix))
                                          .arg(kReplacementSuffixLength));
    int removed = 0;
    const QFileInfoList files = QFileInfo(target).absoluteDir().entryInfoList(
        QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : files) {
        if (leftover.match(file.fileName()).hasMatch() && QFile::remove(file.filePath()))
            ++removed;
    }
    return removed;
}

LockRemoval removeUnheldLock(const QString &path, const QByteArray &judged, bool ownerGone,
                             QString *reason)
{
#ifdef Q_OS_WIN
    // A running copy keeps its lock file open without sharing its deletion:
    // deleting one that is held fails with a sharing violation.
    Q_UNUSED(ownerGone);
    Q_UNUSED(judged);
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(name.c_str()))
        return LockRemoval::Removed;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION)
        return LockRemoval::Held;
    if (error == ERROR_FILE_NOT_FOUND)
        return LockRemoval::Changed;
    *reason = systemReason(error);
    return LockRemoval::Failed;
#else
    const QByteArray name = QFile::encodeName(path);
    const int handle = openForReading(name, O_NOFOLLOW | O_NONBLOCK);
    bool gone = ownerGone;
    struct stat held
    {
    };
    if (handle >= 0) {
        // A running copy holds its lock file with flock for as long as it
        // runs; the system drops that hold the moment the copy ends, however
        // it ends.
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0)
            gone = true;
        else if (errno == EWOULDBLOCK) {
            ::close(handle);
            return LockRemoval::Held;
        }
        // Otherwise the file system keeps no such holds: ownerGone decides.
        struct stat now
        {
        };
        const bool same = ::fstat(handle, &held) == 0 && ::lstat(name.constData(), &now) == 0
            && held.st_dev == now.st_dev && held.st_ino == now.st_ino;
        // A copy that made the file a moment ago may not hold it yet: the
        // file is removed only while it still says what it was judged by.
        QByteArray content(judged.size() + 1, '\0');
        qsizetype got = 0;
        while (same && got < content.size()) {
            const ssize_t n = ::read(handle, content.data() + got, size_t(content.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        if (!same || content.first(got) != judged) {
            ::close(handle);
            return LockRemoval::Changed;
        }
    } else if (errno == ENOENT) {
        return LockRemoval::Changed;
    }
    // A file that cannot be opened (another user's, not readable) is judged
    // by ownerGone alone.
    LockRemoval result = LockRemoval::Held;
    if (gone) {
        // While the hold is ours, no other copy can take this file for live.
        if (::unlink(name.constData()) == 0)
            result = LockRemoval::Removed;
        else if (errno == ENOENT)
            result = LockRemoval::Changed;
        else {
            *reason = systemReason(errno);
            result = LockRemoval::Failed;
        }
    }
    if (handle >= 0)
        ::close(handle);
    return result;
#endif
}

bool processRunning(qint64 pid)
{
    if (pid <= 0)
        return false;
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#endif
}

void keepToOwner(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
#else
    // Through one handle that refuses a link, so that the mode changed is
    // that of what was looked at.
    const int handle = openForReading(QFile::encodeName(path), O_NOFOLLOW | O_NONBLOCK);
    if (handle < 0)
        return;
    struct stat status
    {
    };
    if (::fstat(handle, &status) == 0 && status.st_uid == ::geteuid() && (status.st_mode & 077))
        ::fchmod(handle, status.st_mode & 07700);
    ::close(handle);
#endif
}
