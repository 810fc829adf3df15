#pragma once

#include "VaultFormat.h"

#include <QString>

#include <span>
#include <vector>

// The vault file on disk. Each operation opens and closes the file; nothing
// is held open between them. Writes go to a file beside the vault that then
// replaces it, so a failed write leaves the previous content in place.
class VaultFile
{
public:
    explicit VaultFile(QString path);

    // The vault's path in the program folder.
    static QString pathIn(const QString &programFolder);

    const QString &path() const { return m_path; }

    // Creates a missing vault holding one empty line, readable by its owner
    // only where the platform has such permissions. An existing file is
    // never touched.
    bool ensureExists(QString *error);

    // The decoded first line; empty for a new vault (an empty or zero-byte
    // file).
    bool readMasterPassword(QString *masterPassword, QString *error);

    // Every entry after the first line, in file order.
    bool readEntries(std::vector<VaultEntry> *entries, QString *error);

    // Replaces the content with the master password alone.
    bool writeMasterPassword(QStringView masterPassword, QString *error);

    // Replaces the content with the master password and the entries.
    bool save(QStringView masterPassword, std::span<const VaultEntry> entries, QString *error);

    // Parses the entries of a whole vault's bytes (the first line skipped).
    static std::vector<VaultEntry> parseEntries(QByteArrayView content);

private:
    bool replaceContent(const QByteArray &content, QString *error);
    QString describe(const QString &action, const QString &reason) const;

    QString m_path;
};
