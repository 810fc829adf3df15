#include "VaultFile.h"

#include "FileExists.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qint64 kChunkSize = 1 << 20;

// Calls f(chunk) for each piece of the file, from where it stands to its end
// or until f returns false; false on a read error.
template<typename F> bool forEachChunk(QFile &file, F &&f)
{
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunkSize);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!f(QByteArrayView(chunk.constData(), got)))
            return true;
    }
}

// Calls f(line) for each line of the file by the vault's line rule, reading
// it piece by piece; stops when f returns false. False on a read error.
template<typename F> bool forEachFileLine(QFile &file, F &&f)
{
    QByteArray pending;
    bool more = true;
    const bool read = forEachChunk(file, [&](QByteArrayView chunk) {
        pending.append(chunk);
        // Lines are complete up to the last CR that has a byte after it: only
        // then is it known whether an LF belongs to that line break.
        const qsizetype lastCr = pending.lastIndexOf('\r', pending.size() - 2);
        if (lastCr < 0)
            return true;
        qsizetype complete = lastCr + 1;
        if (pending.at(complete) == '\n')
            ++complete;
        VaultFormat::forEachLine(QByteArrayView(pending).first(complete),
                                 [&](QByteArrayView line) { return more = f(line); });
        pending.remove(0, complete);
        return more;
    });
    if (read && more)
        VaultFormat::forEachLine(pending, f);
    return read;
}

// Adds an entry for one line of the file; the first line, the master
// password, and lines that hold no entry are passed over.
void addEntryLine(std::vector<VaultEntry> &entries, QByteArrayView line, bool &first)
{
    if (first)
        first = false;
    else if (!VaultFormat::isSkippedLine(line))
        entries.push_back(VaultFormat::parseEntryLine(line));
}

} // namespace

VaultFile::VaultFile(QString path)
    : m_path(std::move(path))
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
    QFile file(m_path);
    const bool isNew = !file.exists();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = describe(QStringLiteral("created"), file.errorString());
        return false;
    }
    if (isNew)
        file.setPermissions(kOwnerOnly);
    if (file.write(VaultFormat::kLineEnd.data(), VaultFormat::kLineEnd.size())
            != VaultFormat::kLineEnd.size()
        || !file.flush()) {
        *error = describe(QStringLiteral("created"), file.errorString());
        return false;
    }
    file.close();
    return true;
}

bool VaultFile::readMasterPassword(QString *masterPassword, QString *error)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    // Only the first line is wanted: reading stops at its end.
    masterPassword->clear();
    const bool read = forEachFileLine(file, [masterPassword](QByteArrayView line) {
        *masterPassword = VaultFormat::decodeLine(line);
        return false;
    });
    if (!read) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return true;
}

bool VaultFile::readEntries(std::vector<VaultEntry> *entries, QString *error)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    // The file is read in pieces, never held whole, so a large vault costs
    // little more memory than its entries. A first pass counts the lines so
    // that the entries are stored without the vector ever growing.
    qsizetype lineEnds = 0;
    bool read = forEachChunk(file, [&lineEnds](QByteArrayView chunk) {
        lineEnds += std::count(chunk.begin(), chunk.end(), '\r');
        return true;
    });
    read = read && file.seek(0);
    entries->clear();
    entries->reserve(size_t(lineEnds));
    bool first = true;
    read = read && forEachFileLine(file, [&](QByteArrayView line) {
               addEntryLine(*entries, line, first);
               return true;
           });
    if (!read) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return true;
}

std::vector<VaultEntry> VaultFile::parseEntries(QByteArrayView content)
{
    std::vector<VaultEntry> entries;
    entries.reserve(size_t(std::count(content.begin(), content.end(), '\r')));
    bool first = true;
    VaultFormat::forEachLine(content, [&](QByteArrayView line) {
        addEntryLine(entries, line, first);
        return true;
    });
    return entries;
}

bool VaultFile::writeMasterPassword(QStringView masterPassword, QString *error)
{
    return replaceContent(VaultFormat::masterOnlyContent(masterPassword), error);
}

bool VaultFile::save(QStringView masterPassword, std::span<const VaultEntry> entries,
                     QString *error)
{
    return replaceContent(VaultFormat::savedContent(masterPassword, entries), error);
}

bool VaultFile::replaceContent(const QByteArray &content, QString *error)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = describe(QStringLiteral("written"), file.errorString());
        return false;
    }
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        *error = describe(QStringLiteral("written"), reason);
        return false;
    }
    if (!file.commit()) {
        *error = describe(QStringLiteral("written"), file.errorString());
        return false;
    }
    return true;
}

QString VaultFile::describe(const QString &action, const QString &reason) const
{
    return QStringLiteral("The vault file \"%1\" could not be %2.\n\n%3")
        .arg(QDir::toNativeSeparators(m_path), action, reason);
}
