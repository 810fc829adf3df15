#include "VaultFile.h"

#include "FileExists.h"
#include "Wipe.h"
#include "platform/FileSync.h"
#include "platform/KeptFiles.h"
#include "platform/MemoryLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <new>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 kChunkSize = 1 << 20;
// What the program needs beside a vault's entries.
constexpr qint64 kSpareMemory = 64 << 20;

// Calls f(chunk) for each piece of the file, from where it stands to its end
// or until f returns false; false on a read error.
// The chunk held the vault's bytes, and is wiped before it goes.
template<typename F> bool forEachChunk(QFile &file, F &&f)
{
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    const auto wiped = [&chunk](bool result) {
        wipe(chunk);
        return result;
    };
    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunkSize);
        if (got < 0)
            return wiped(false);
        if (got == 0)
            return wiped(true);
        if (!f(QByteArrayView(chunk.constData(), got)))
            return wiped(true);
    }
}

// The path with its file name replaced by the one that fileExists finds on
// disk, if that differs only in letter case.
QString withNameOnDisk(const QString &path)
{
    const QString found = foundFilePath(path);
    if (found.isEmpty())
        return path;
    return path.chopped(fileNamePart(path).size()) + fileNamePart(found);
}

// Saves write to this name, then rename it over the vault.
QString savePrefix(const QString &vaultName)
{
    return vaultName + QStringLiteral(".~vorsell-save-");
}

} // namespace

VaultFile::VaultFile(QString path)
    : m_path(withNameOnDisk(path))
    , m_savedPath(followLinks(m_path, &m_linkLoop))
{
}

QString VaultFile::pathIn(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("data.enc"));
}

bool VaultFile::ensureExists(QString *error)
{
    if (fileExists(m_path))
        return true;
    const QFileInfo info(m_path);
    if (info.isFile())
        return true; // hidden, or otherwise not listed: still never touched
    if (info.exists()) {
        *error = describe(QStringLiteral("created"),
                          info.isDir() ? QStringLiteral("A folder of that name is in the way.")
                                       : QStringLiteral("Something that is not a file is in the "
                                                        "way under that name."));
        return false;
    }
    return replaceContent(VaultFormat::kLineEnd, QStringLiteral("created"), error);
}

bool VaultFile::readMasterPassword(QString *masterPassword, QString *error) const
{
    QString line;
    // Room for any master password, so that the line is not copied on as it
    // grows and no stray copy of it is left behind.
    line.reserve(256);
    VaultFormat::LineSplitter lines;
    QFile file(m_path);
    if (!openForReading(file, error))
        return false;
    // Only the first line is wanted: reading stops at its end.
    return readPieces(
        file,
        [&](QByteArrayView piece) {
            bool ended = false;
            lines.split(piece, [&](QByteArrayView part, bool lineEnds) {
                QString decoded = VaultFormat::decodeLine(part);
                line += decoded;
                wipe(decoded);
                ended = lineEnds;
                return !lineEnds;
            });
            return !ended;
        },
        [&] { *masterPassword = std::move(line); }, error);
}

bool VaultFile::readEntries(std::vector<VaultEntry> *entries, QString *error)
{
    entries->clear();
    // Both passes below read one open file, so a save that replaces the
    // vault meanwhile cannot give them different contents.
    QFile file(m_path);
    if (!openForReading(file, error))
        return false;
    // What the entries will take is counted first, and a vault that would
    // take more than the process may have is refused before it takes any:
    // past that point the system ends the program without a word.
    VaultFormat::LoadCost cost;
    if (!readPieces(
            file,
            [&cost](QByteArrayView piece) {
                cost.read(piece);
                return true;
            },
            [&cost] { cost.finish(); }, error))
        return false;
    const qint64 left = memoryLeftForProcess();
    // Beside the entries: the list's view, the windows, and a save, which
    // builds the file's bytes anew.
    const qint64 needed = cost.bytes() + file.size() + kSpareMemory;
    if (left >= 0 && needed > left) {
        *error = outOfMemory(QStringLiteral("read"), needed, left);
        return false;
    }
    // The file is read a piece at a time and each line decoded as it comes,
    // so loading holds neither the whole file nor a copy of a long line: a
    // vault costs little more memory than its entries.
    VaultFormat::EntryReader reader;
    try {
        reader.reserve(cost.entries());
    } catch (const std::bad_alloc &) {
        *error = outOfMemory(QStringLiteral("read"), needed, left);
        return false;
    }
    QByteArray tail;
    if (!file.seek(0)) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return readPieces(
        file,
        [&](QByteArrayView piece) {
            reader.read(piece);
            tail = (tail + piece.last(qMin<qsizetype>(2, piece.size())).toByteArray()).right(2);
            return true;
        },
        [&] {
            // Every save ends the file with a line break; an empty file is a
            // new vault.
            m_endsInMidLine = !tail.isEmpty() && !tail.endsWith(VaultFormat::kLineEnd);
            *entries = reader.finish();
        },
        error);
}

bool VaultFile::openForReading(QFile &file, QString *error) const
{
    // Unbuffered: the only copy of the bytes read is the chunk, which is wiped.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return true;
}

bool VaultFile::readPieces(QFile &file, const std::function<bool(QByteArrayView)> &take,
                           const std::function<void()> &finish, QString *error) const
{
    try {
        if (!forEachChunk(file, take)) {
            *error = describe(QStringLiteral("read"), file.errorString());
            return false;
        }
        finish();
        return true;
    } catch (const std::bad_alloc &) {
        *error = outOfMemory(QStringLiteral("read"));
        return false;
    }
}

bool VaultFile::writeMasterPasswordKeepingEntries(QStringView masterPassword,
                                                  std::vector<VaultEntry> *entries, QString *error)
{
    std::vector<VaultEntry> kept;
    const bool exists = QFileInfo::exists(m_path);
    if (exists && !readEntries(&kept, error))
        return false;
    const bool written = replaceWith(
        [&](QFile &out, QString *reason) {
            // The master password, barely scrambled: wiped once written.
            QByteArray firstLine = VaultFormat::masterOnlyContent(masterPassword);
            const bool firstWritten = writeAll(out, firstLine, reason);
            wipe(firstLine);
            if (!firstWritten)
                return false;
            if (!exists)
                return true;
            QFile in(m_path);
            if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
                *reason = in.errorString();
                return false;
            }
            // Everything after the first line break goes across unchanged.
            VaultFormat::LineSplitter lines;
            bool inFirstLine = true;
            bool ok = true;
            const bool read = forEachChunk(in, [&](QByteArrayView chunk) {
                if (inFirstLine) {
                    chunk = chunk.sliced(lines.split(chunk, [&](QByteArrayView, bool lineEnds) {
                        inFirstLine = !lineEnds;
                        return inFirstLine;
                    }));
                }
                ok = writeAll(out, lines.dropLineFeed(chunk), reason);
                return ok;
            });
            if (!read)
                *reason = in.errorString();
            return read && ok;
        },
        QStringLiteral("written"), error);
    if (!written)
        return false;
    *entries = std::move(kept);
    return true;
}

bool VaultFile::save(QStringView masterPassword, std::span<const VaultEntry> entries,
                     QString *error)
{
    try {
        // Every password of the vault, barely scrambled: wiped once written.
        QByteArray content = VaultFormat::savedContent(masterPassword, entries);
        const bool saved = write(content, error);
        wipe(content);
        return saved;
    } catch (const std::bad_alloc &) {
        *error = outOfMemory(QStringLiteral("written"));
        return false;
    }
}

bool VaultFile::readStart(qsizetype count, QByteArray *start, qint64 *size, QString *error)
{
    QFile file(m_path);
    // Unbuffered: a buffered read would take in more of the vault than asked.
    if (!openForReading(file, error))
        return false;
    *size = file.size();
    *start = file.read(count);
    if (file.error() != QFileDevice::NoError) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return true;
}

bool VaultFile::readAll(QByteArray *bytes, QString *error)
{
    QFile file(m_path);
    if (!openForReading(file, error))
        return false;
    const qint64 left = memoryLeftForProcess();
    const qint64 needed = file.size() + kSpareMemory;
    if (left >= 0 && needed > left) {
        *error = outOfMemory(QStringLiteral("read"), needed, left);
        return false;
    }
    try {
        *bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        *error = outOfMemory(QStringLiteral("read"));
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return true;
}

int VaultFile::removeLeftoverSaves()
{
    return removeLeftoverReplacements(m_savedPath, savePrefix(QFileInfo(m_savedPath).fileName()));
}

void VaultFile::addKeptFiles(KeptFiles *kept) const
{
    const QString vault = QStringLiteral("the vault, which holds your entries");
    kept->addFile(m_path, vault);
    kept->addFile(m_savedPath, vault);
    const QFileInfo saved(m_savedPath);
    kept->addFiles(
        saved.absolutePath(),
        QRegularExpression(u'^' + QRegularExpression::escape(savePrefix(saved.fileName()))),
        QStringLiteral("a file that an unfinished save of the vault left behind"));
}

bool VaultFile::write(QByteArrayView content, QString *error)
{
    return replaceContent(content, QStringLiteral("written"), error);
}

bool VaultFile::replaceContent(QByteArrayView content, const QString &action, QString *error)
{
    return replaceWith(
        [content](QFile &file, QString *reason) { return writeAll(file, content, reason); }, action,
        error);
}

bool VaultFile::replaceWith(const std::function<bool(QFile &, QString *)> &write,
                            const QString &action, QString *error)
{
    if (m_linkLoop) {
        *error = describe(action, linkLoopReason());
        return false;
    }
    try {
        // A vault that is not there yet is made readable by its owner only;
        // a replaced one keeps the permissions it had.
        const QFileInfo target(m_savedPath);
        const QFileDevice::Permissions permissions
            = target.exists() ? QFile::permissions(m_savedPath) : kOwnerOnly;
        QString reason;
        if (!replaceWhole(m_savedPath, savePrefix(target.fileName()), permissions, write,
                          &reason)) {
            *error = describe(action, reason);
            return false;
        }
        return true;
    } catch (const std::bad_alloc &) {
        *error = outOfMemory(action);
        return false;
    }
}

QString VaultFile::linkLoopReason()
{
    return QStringLiteral("Its name is a symbolic link that leads round in a circle, so it leads "
                          "to no file. Nothing has been changed.");
}

QString VaultFile::describe(const QString &action, const QString &reason) const
{
    return QStringLiteral("The vault file \"%1\" could not be %2.\n\n%3")
        .arg(QDir::toNativeSeparators(m_path), action, reason);
}

QString VaultFile::outOfMemory(const QString &action, qint64 needed, qint64 left) const
{
    constexpr double kMegabyte = 1000 * 1000;
    const double megabytes = double(QFileInfo(m_path).size()) / kMegabyte;
    QString text = QStringLiteral("There is not enough memory for a vault of this size (%1 MB).")
                       .arg(megabytes, 0, 'f', 1);
    if (needed >= 0) {
        text += QStringLiteral(" Opening it would take about %1 MB, and %2 MB are left for the "
                               "program.")
                    .arg(qRound64(double(needed) / kMegabyte))
                    .arg(qRound64(double(left) / kMegabyte));
    }
    return describe(action, text + QStringLiteral(" Nothing has been changed."));
}
