#pragma once

#include "EncryptedFormat.h"
#include "EntryListModel.h"
#include "PasswordCheck.h"
#include "SecureBytes.h"
#include "VaultFile.h"
#include "VaultLock.h"

#include <QDateTime>
#include <QString>

// What one vault operation came to: the status text to show, and when it
// failed, the reason in words the user can act on.
struct VaultOutcome
{
    bool ok = true;
    QString status;
    QString error;
    // Something the user must know although the operation went through
    // (saving is off, the file looks cut short).
    QString notice = QString();
    // The check failed with a question in `error`: take over the lock of a
    // copy on another computer? Answered by check(..., true).
    bool offersTakeOver = false;
};

// The vault of one run: its file, the master password and the entries. Each
// operation opens and closes the file, and hands back what came of it rather
// than telling anyone: the caller decides how the user hears of it.
class VaultSession
{
public:
    explicit VaultSession(QString programFolder);

    const QString &path() const { return m_file.path(); }

    // The start check. Takes the vault for this copy of the program (no other
    // copy may hold it; productName names the program in the messages),
    // clears away what earlier saves that never finished left beside it,
    // makes sure the file exists and reads its first line. Afterwards isNew()
    // tells whether a master password must be created: only for a file as
    // the program makes it for a first run (one empty line), or an empty
    // one. A damaged file is refused and left as it is: an encrypted vault
    // that does not check out (its format mark included), or a scrambled one
    // that holds more after an empty first line. The master password on
    // file is not kept: matchesStoredPassword() reads it again for each try,
    // compares, and wipes what it read; while locked it asks a keyed digest
    // made at the lock instead, so that a file gone meanwhile keeps nobody
    // out of changes not yet saved. When no lock can be made here (a full
    // disk, a read-only drive) the vault opens to read and the outcome's
    // notice says why saving is off. `takeOver` takes the lock of a copy on
    // another computer, once the user said so.
    VaultOutcome check(const QString &productName, bool takeOver = false);
    bool isNew() const { return m_isNew; }
    bool matchesStoredPassword(QStringView typed) const;

    // The first run: puts the master password in the vault's first line.
    // Entries that the file already holds after that line stay, and are
    // loaded into the list.
    VaultOutcome create(const QString &masterPassword);
    // Every later run, once the master password was accepted: fills the
    // entry list from the file.
    VaultOutcome load(const QString &masterPassword);
    // Rewrites the file from the entry list; `now` is the time the status
    // text names. A failure leaves the previous file in place.
    VaultOutcome save(const QDateTime &now);

    // An encrypted vault (check() tells by the file's first byte): opens it
    // with the key derived from the password typed, with the parameters and
    // salt of header(). *wrongPassword is set when the key does not open it,
    // which counts as a wrong try.
    bool isEncrypted() const { return m_encrypted; }
    const EncryptedFormat::Header &header() const { return m_header; }
    VaultOutcome unlock(EncryptedFormat::VaultKey key, const QString &password,
                        bool *wrongPassword);

    // Whether a typed password is the master password of this run. An
    // encrypted vault keeps its key for the session, not the password.
    bool isMasterPassword(QStringView typed) const;

    // Rewrite the vault through the same safe path as save(); a failure
    // leaves the previous file, and the session, as they were.
    // Encrypted under the key, derived from the master password with a new
    // salt:
    VaultOutcome encrypt(EncryptedFormat::VaultKey key);
    // Back in the scrambled format, with the master password in line 1:
    VaultOutcome removeEncryption(const QString &masterPassword);
    // With a new master password; an encrypted vault under newKey, derived
    // from it with a new salt (ignored for a scrambled vault).
    VaultOutcome changeMasterPassword(const QString &newPassword, EncryptedFormat::VaultKey newKey);

    // The master password of this run; empty until one was created or
    // accepted, and while the vault is encrypted.
    const QString &masterPassword() const { return m_masterPassword; }

    // Whether saving is off for this run, and why (the end of a sentence).
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }

    // Lets go of the vault: another copy may take it from now on. The
    // program ends straight after.
    void release() { m_lock.unlock(); }

    // Adds the vault's files and its lock to the files the program keeps.
    void addKeptFiles(KeptFiles *kept) const
    {
        m_file.addKeptFiles(kept);
        m_lock.addKeptFiles(kept);
    }

    // Locking: the master password and every entry leave memory, wiped.
    // Changes that the last save could not write wait packed in secure
    // memory instead, so that the lock loses nothing.
    void lock();
    // The vault's own state from lock() until reopen() or unlock() brings it
    // back: its entries and master password are out of memory. Whether the
    // program is locked is the program's lock's to say.
    bool isSealed() const { return m_isSealed; }
    // After the right master password: the list again, from the file, or as
    // it was with its unsaved changes when there were some.
    VaultOutcome reopen(const QString &masterPassword);

    // Whether the list holds changes that the last save could not write.
    bool hasUnsavedChanges() const { return m_unsaved; }
    void setUnsavedChanges(bool unsaved) { m_unsaved = unsaved; }

    EntryListModel &entries() { return m_entries; }
    const EntryListModel &entries() const { return m_entries; }

private:
    // The vault is open with these entries, which go into the list.
    VaultOutcome opened(const QString &masterPassword, std::vector<VaultEntry> entries);
    static VaultOutcome failed(const QString &error, const QString &status = QString());
    VaultOutcome checkEncrypted(const QString &productName, QByteArrayView start, qint64 size);
    // What the user is told of an encrypted vault that is damaged.
    QString damaged() const;
    // Why nothing can be written in a read-only run.
    QString readOnlyError() const;
    bool writeEncrypted(const EncryptedFormat::VaultKey &key, QString *error);

    // The file as it was found when the session began, under its own name.
    VaultFile m_file;
    VaultLock m_lock;
    QString m_readOnlyReason;
    QString m_masterPassword;
    bool m_isNew = false;
    bool m_unsaved = false;
    bool m_isSealed = false;
    // While locked: the list with the changes that were not saved, and what
    // tells the master password.
    SecureBytes m_unsavedEntries;
    PasswordCheck m_lockCheck;
    EntryListModel m_entries;

    // The encrypted format: the file as read at the start (until it is
    // unlocked), its header, and for the session the key and a check of the
    // master password.
    bool m_encrypted = false;
    QByteArray m_sealed;
    EncryptedFormat::Header m_header;
    EncryptedFormat::VaultKey m_key;
    PasswordCheck m_passwordCheck;
};
