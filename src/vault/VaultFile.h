#pragma once

#include "VaultFormat.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <span>
#include <vector>

class QSaveFile;

// The vault file on disk. Each operation opens and closes the file; nothing
// is held open between them. Writes go to a file beside the vault that then
// replaces it, and only once every byte is written and on the disk, so a
// failed write (a full disk, a refused write) leaves the previous content in
// place and reports the system's reason.
class VaultFile
{
public:
    // Works on the file that fileExists finds for the path, under its own
    // name on disk (which may differ from the path's in letter case), or on
    // the path itself when there is none.
    explicit VaultFile(QString path);

    // The vault's path in the program folder. A VaultFile made from it uses
    // the name on disk of a file that differs from "data.enc" only in letter
    // case.
    static QString pathIn(const QString &programFolder);

    const QString &path() const { return m_path; }

    // Creates a missing vault holding one empty line, readable by its owner
    // only where the platform has such permissions. An existing file is
    // never touched.
    bool ensureExists(QString *error);

    // The decoded first line; empty for a new vault (an empty or zero-byte
    // file).
    bool readMasterPassword(QString *masterPassword, QString *error);

    // Every entry after the first line, in file order. When memory runs out
    // this fails with a message that says so and *entries is left empty.
    bool readEntries(std::vector<VaultEntry> *entries, QString *error);

    // Puts the master password in the first line and keeps every byte after
    // that line as it is: the entries of a vault whose first line was empty
    // stay. *entries receives those entries, as readEntries gives them. The
    // entries are read before anything is written, so a vault that cannot be
    // read is left untouched.
    bool writeMasterPasswordKeepingEntries(QStringView masterPassword,
                                           std::vector<VaultEntry> *entries, QString *error);

    // Replaces the content with the master password and the entries.
    bool save(QStringView masterPassword, std::span<const VaultEntry> entries, QString *error);

    // Removes the files that a save leaves beside the vault when the program
    // is killed just before the new content takes the vault's place: named
    // like the vault followed by "." and six letters, ordinary files, last
    // written at or after `since`, the moment the copy that ended that way
    // took its lock (VaultLock::takenOverFrom). Does nothing when `since` is
    // not valid. Returns how many were removed.
    int removeLeftoverSaves(const QDateTime &since);

private:
    // Hands the file to take() a piece at a time, until its end or until
    // take() returns false, then calls finish(). Reports a file that cannot
    // be opened or read, and memory that runs out on the way.
    bool readPieces(const std::function<bool(QByteArrayView)> &take,
                    const std::function<void()> &finish, QString *error) const;
    bool replaceContent(QByteArrayView content, const QString &action, QString *error);
    bool replaceWith(const std::function<bool(QSaveFile &, QString *)> &write,
                     const QString &action, QString *error);
    QString describe(const QString &action, const QString &reason) const;
    QString outOfMemory(const QString &action) const;

    QString m_path;
};
