#include "KeptFiles.h"

#include "FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// What tells one file from every other on this computer, whatever its name:
// its volume and its number there.
struct FileId
{
    quint64 device = 0;
    quint64 number = 0;
    bool operator==(const FileId &) const = default;
};

// The identity of the file or folder at `path`, links followed; none when
// nothing is there or it cannot be asked.
std::optional<FileId> identity(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
#ifdef Q_OS_WIN
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    // No access asked: the file is not opened for reading or writing, only
    // looked at; a folder needs the backup flag.
    HANDLE handle
        = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info {};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return FileId {info.dwVolumeSerialNumber,
                   (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileId {quint64(status.st_dev), quint64(status.st_ino)};
#endif
}

} // namespace

void KeptFiles::addFile(const QString &path, const QString &what)
{
    const QFileInfo info(path);
    addFiles(info.absolutePath(),
             QRegularExpression(
                 QRegularExpression::anchoredPattern(QRegularExpression::escape(info.fileName()))),
             what);
}

void KeptFiles::addFiles(const QString &folder, QRegularExpression names, const QString &what)
{
    names.setPatternOptions(names.patternOptions() | QRegularExpression::CaseInsensitiveOption);
    m_kept.push_back(Kept {folder, std::move(names), what});
}

QString KeptFiles::whatIs(const QString &path) const
{
    // The file a write would replace: links followed, ".." gone.
    bool loop = false;
    const QFileInfo target(followLinks(path, &loop));
    const std::optional<FileId> folder = identity(target.absolutePath());
    const std::optional<FileId> file = identity(target.filePath());
    for (const Kept &kept : m_kept) {
        // By its name in its folder, whether or not it exists yet.
        if (folder && kept.names.match(target.fileName()).hasMatch()
            && identity(kept.folder) == folder)
            return kept.what;
        if (!file)
            continue;
        // The same file under another name: a second link to it.
        const QDir keptFolder(kept.folder);
        const QStringList names = keptFolder.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &name : names) {
            if (kept.names.match(name).hasMatch() && identity(keptFolder.filePath(name)) == file)
                return kept.what;
        }
    }
    return QString();
}
