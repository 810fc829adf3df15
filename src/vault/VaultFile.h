#pragma once

#include "VaultFormat.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <span>
#include <vector>

class KeptFiles;
class QFile;

// The vault file on disk. Each operation opens and closes the file; nothing
// is held open between them. Writes go to a file beside the vault that then
// replaces it, and only once every byte is written and on the disk, so a
// failed write (a full disk, a refused write) leaves the previous content in
// place and reports the system's reason. When the vault's name is a symbolic
// link, the file at the end of the links is the one replaced.
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
    // The file that saves replace: the path with every symbolic link
    // followed, its folder's included. The claim file and the clean-up go
    // beside it.
    const QString &savedPath() const { return m_savedPath; }
    // Whether the path is a symbolic link that leads round in a circle, so
    // that no file can be read or written through it.
    bool isLinkLoop() const { return m_linkLoop; }

    // Creates a missing vault holding one empty line, readable by its owner
    // only where the platform has such permissions. An existing file is
    // never touched.
    bool ensureExists(QString *error);

    // The decoded first line; empty for a new vault (an empty or zero-byte
    // file).
    bool readMasterPassword(QString *masterPassword, QString *error) const;

    // Every entry after the first line, in file order. When memory runs out
    // this fails with a message that says so and *entries is left empty.
    bool readEntries(std::vector<VaultEntry> *entries, QString *error);
    // Whether the file that readEntries read last ends in the middle of a
    // line, which no save leaves: it was cut short.
    bool endsInMidLine() const { return m_endsInMidLine; }

    // Puts the master password in the first line and keeps every byte after
    // that line as it is: the entries of a vault whose first line was empty
    // stay. *entries receives those entries, as readEntries gives them. The
    // entries are read before anything is written, so a vault that cannot be
    // read is left untouched.
    bool writeMasterPasswordKeepingEntries(QStringView masterPassword,
                                           std::vector<VaultEntry> *entries, QString *error);

    // Replaces the content with the master password and the entries.
    bool save(QStringView masterPassword, std::span<const VaultEntry> entries, QString *error);

    // Replaces the vault's content with these bytes: every save goes this
    // way.
    bool write(QByteArrayView content, QString *error);

    // The file's first `count` bytes (all of a shorter file), which tell the
    // formats apart, and its size. The caller wipes them: they may hold the
    // scrambled master password.
    bool readStart(qsizetype count, QByteArray *start, qint64 *size, QString *error);
    // The whole file in one piece, as the encrypted format is read; refused
    // when it would not fit in the memory the process may take.
    bool readAll(QByteArray *bytes, QString *error);

    // "The vault file ... could not be <action>." and the reason.
    QString describe(const QString &action, const QString &reason) const;

    // Removes the files that saves left beside the vault when the program
    // ended before the new content took the vault's place. They carry a name
    // no person would choose (the vault's name, ".~vorsell-save-" and eight
    // letters or digits); no other file is touched. Only the copy that holds
    // the vault's claim may call this. Returns how many were removed.
    int removeLeftoverSaves();

    // Adds the files of the vault to those the program keeps: the vault
    // under its own name and the file that saves replace, and what saves
    // that never finished left beside it.
    void addKeptFiles(KeptFiles *kept) const;

private:
    bool openForReading(QFile &file, QString *error) const;
    // Hands the open file to take() a piece at a time, from where it stands
    // until its end or until take() returns false, then calls finish().
    // Reports a file that cannot be read, and memory that runs out on the
    // way.
    bool readPieces(QFile &file, const std::function<bool(QByteArrayView)> &take,
                    const std::function<void()> &finish, QString *error) const;
    bool replaceContent(QByteArrayView content, const QString &action, QString *error);
    bool replaceWith(const std::function<bool(QFile &, QString *)> &write, const QString &action,
                     QString *error);
    // `needed` and `left`, when known, say how much memory the operation
    // would take and how much the process has.
    QString outOfMemory(const QString &action, qint64 needed = -1, qint64 left = -1) const;
    static QString linkLoopReason();

    QString m_path;
    // Set while m_savedPath is found, so declared before it.
    bool m_linkLoop = false;
    QString m_savedPath;
    bool m_endsInMidLine = false;
};
