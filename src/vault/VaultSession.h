#pragma once

#include "EncryptedFormat.h"
#include "EntryListChange.h"
#include "EntryListModel.h"
#include "StoredVault.h"
#include "VaultClaim.h"
#include "VaultFile.h"
#include "VaultOutcome.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class EncryptedVault;
class KeptFiles;
class MasterPassword;

// The vault of one run: its file, held for this copy of the program, the
// format it is kept in (ScrambledVault, EncryptedVault) and the entries. It
// answers "is this the master password?", applies each change to the list
// and saves it, and keeps the unsaved flag. What came of an operation is
// handed back; what was saved, and what became of the flag and the format,
// the session announces.
class VaultSession : public QObject
{
    Q_OBJECT

public:
    // The answer to a question that may take a key derivation to answer.
    using Answer = std::function<void(const VaultOutcome &outcome)>;
    // A change to the list, made through the journal that can take it back.
    using Change = std::function<void(EntryListChange &list)>;
    // What becomes of a change whose save fails: taken back, so that the
    // list holds what the file does, or kept in the list, unsaved, for a
    // later save to write.
    enum class IfSaveFails { TakeBack, KeepUnsaved };

    explicit VaultSession(QString programFolder, QObject *parent = nullptr);
    ~VaultSession() override;

    const QString &path() const { return m_file.path(); }

    // The start check. Claims the vault for this copy of the program (no
    // other copy may hold it; productName names the program in the
    // messages), clears away what earlier saves that never finished left
    // beside it, makes sure the file exists and reads as much of it as needs
    // no password. Afterwards isNew() tells whether a master password must be
    // created: only for a file as the program makes it for a first run (one
    // empty line), or an empty one. A damaged file is refused and left as it
    // is: an encrypted vault that does not check out (its format mark
    // included), or a scrambled one that holds more after an empty first
    // line. When no claim can be made here (a full disk, a read-only
    // drive) the vault opens to read and the outcome's notice says why
    // saving is off. `takeOver` takes over the claim of a copy on another
    // computer, once the user said so.
    VaultOutcome check(const QString &productName, bool takeOver = false);
    bool isNew() const { return m_isNew; }

    // The first run: puts the master password in the vault's first line.
    // Entries that the file already holds after that line stay, and are
    // loaded into the list.
    VaultOutcome create(const MasterPassword &masterPassword);

    // Whether `typed` is the master password: the one question, whatever the
    // format. Closed (after check()) or sealed by a lock, the right password
    // opens the vault, and the entries are in the list when the answer comes;
    // open, it only answers. A scrambled vault, and any open one, answers at
    // once; an encrypted one that is closed once its key is derived, off
    // this thread. `answer` is called once, unless `asker` is gone by then;
    // a wrong password is a WrongPassword outcome.
    void askMasterPassword(const MasterPassword &typed, QObject *asker, Answer answer);

    // Applies a change to the list and saves it, in one step: the snapshot
    // of what it changed, the change, the save, and when the save fails, what
    // `ifSaveFails` says. A save announces `savedStatus`.
    VaultOutcome apply(const Change &change, IfSaveFails ifSaveFails, const QString &savedStatus);
    // Rewrites the file from the list; `now` is the time the status names. A
    // failure leaves the previous file in place and the list unsaved.
    VaultOutcome save(const QDateTime &now);

    // The format. Each rewrite goes through the same safe path as save(); a
    // failure leaves the previous file, and the session, as they were.
    bool isEncrypted() const { return m_stored && m_stored->isEncrypted(); }
    // Encrypted under a key derived from the master password, with a new
    // salt; answered once the key is derived.
    void encrypt(const MasterPassword &masterPassword, QObject *asker, Answer answer);
    // Back in the scrambled format, with the master password in line 1.
    VaultOutcome removeEncryption(const MasterPassword &masterPassword);
    // With a new master password; an encrypted vault under a key derived
    // from it with a new salt, answered once that is derived.
    void changeMasterPassword(const MasterPassword &newPassword, QObject *asker, Answer answer);
    // The work of each new key (EncryptedFormat::defaultParams() unless set).
    void setNewKeyParams(const EncryptedFormat::KdfParams &params) { m_newKeyParams = params; }

    // Whether a master password was created or accepted, and the vault is
    // not sealed by a lock.
    bool isOpen() const { return m_state == State::Open; }
    // Whether saving is off for this run, and why (the end of a sentence).
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }
    // Whether the list holds changes that the last save could not write.
    bool hasUnsavedChanges() const { return m_unsaved; }

    // Lets go of the vault: another copy may take it from now on. The
    // program ends straight after.
    void release() { m_claim.release(); }
    // Adds the vault's files and its claim file to the files the program
    // keeps.
    void addKeptFiles(KeptFiles *kept) const
    {
        m_file.addKeptFiles(kept);
        m_claim.addKeptFiles(kept);
    }
    // The program ends: a key still being derived is dropped when it comes,
    // and the question it was for is answered as cancelled.
    void abandon();

    // Locking: the master password (or the key) and every entry leave
    // memory, wiped; askMasterPassword() opens the vault again. Changes that
    // the last save could not write are kept for that, so that the lock loses
    // nothing.
    void lock();
    // The vault's own state from lock() until the right master password
    // opens it again. Whether the program is locked is the program's lock's
    // to say.
    bool isSealed() const { return m_state == State::Sealed; }

    EntryListModel &entries() { return m_entries; }
    const EntryListModel &entries() const { return m_entries; }

signals:
    // The file was written; status says so for the status line.
    void saved(const QString &status);
    // The list holds changes that the file does not, or no longer.
    void unsavedChanged(bool unsaved);
    // The vault is kept encrypted, or scrambled, from now on.
    void formatChanged(bool encrypted);

private:
    enum class State { Closed, Open, Sealed };

    // Writes the list in the format kept; announces `status` when it is
    // written.
    VaultOutcome write(const QString &status);
    // Writes the list in another format, or under another master password;
    // that becomes the vault's from now on when the file took it.
    VaultOutcome rewriteAs(std::unique_ptr<StoredVault> next, const QString &status);
    // A rewrite under a new key, once it is derived.
    void rewriteWithNewKey(const MasterPassword &password, const QString &status, QObject *asker,
                           Answer answer);
    void setUnsaved(bool unsaved);
    // Why nothing can be written in a read-only run.
    QString readOnlyError() const;
    // A master password that found no secure memory is written nowhere.
    VaultOutcome noSecureMemory() const;

    // The file as it was found when the session began, under its own name.
    VaultFile m_file;
    VaultClaim m_claim;
    QString m_readOnlyReason;
    bool m_isNew = false;
    bool m_unsaved = false;
    bool m_abandoned = false;
    State m_state = State::Closed;
    std::unique_ptr<StoredVault> m_stored;
    // A format waiting for its new key.
    std::unique_ptr<EncryptedVault> m_next;
    EncryptedFormat::KdfParams m_newKeyParams = EncryptedFormat::defaultParams();
    EntryListModel m_entries;
};
