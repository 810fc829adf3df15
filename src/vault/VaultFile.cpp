#include "VaultFile.h"

#include "FileExists.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

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
    QByteArray content;
    if (!readAll(&content, error))
        return false;
    *masterPassword = VaultFormat::decodeLine(VaultFormat::firstLine(content));
    return true;
}

bool VaultFile::readEntries(std::vector<VaultEntry> *entries, QString *error)
{
    QByteArray content;
    if (!readAll(&content, error))
        return false;
    *entries = parseEntries(content);
    return true;
}

std::vector<VaultEntry> VaultFile::parseEntries(QByteArrayView content)
{
    std::vector<VaultEntry> entries;
    // A typical line is a few dozen bytes; reserving by that estimate saves
    // most reallocations on large vaults.
    entries.reserve(size_t(content.size() / 48));
    bool first = true;
    VaultFormat::forEachLine(content, [&](QByteArrayView line) {
        if (first)
            first = false;
        else if (!VaultFormat::isSkippedLine(line))
            entries.push_back(VaultFormat::parseEntryLine(line));
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

bool VaultFile::readAll(QByteArray *content, QString *error)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    *content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = describe(QStringLiteral("read"), file.errorString());
        return false;
    }
    return true;
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
