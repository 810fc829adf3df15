#pragma once

#include "EncryptedFormat.h"
#include "KeyDerivation.h"
#include "PasswordCheck.h"
#include "StoredVault.h"

#include <memory>

class VaultFile;

// The encrypted format (EncryptedFormat): the entries sealed under a key that
// Argon2id derives from the master password. The key is derived off the
// window thread, by the derivation this object owns; once open, the format
// keeps the key, which every save seals with, and a check of the master
// password, never the password itself.
class EncryptedVault : public StoredVault
{
public:
    // The file as it was found at the start, read whole and checked as far
    // as that needs no key, its header (in `start`, with the file's `size`)
    // before the rest is read: a damaged file, or one from a newer version,
    // is refused here (null, with the reason in *outcome) before any
    // password is asked for, and nothing is written.
    static std::unique_ptr<EncryptedVault> read(VaultFile &file, const QString &productName,
                                                QByteArrayView start, qint64 size,
                                                VaultOutcome *outcome);
    // What the user is told of an encrypted vault that is damaged.
    static QString damaged(const VaultFile &file);
    // A vault to be kept under a new key, derived from the master password
    // with a new salt and `params`. `ready` is called once the key is there,
    // or with the reason when it could not be made.
    static std::unique_ptr<EncryptedVault> withNewKey(VaultFile &file,
                                                      const MasterPassword &masterPassword,
                                                      const EncryptedFormat::KdfParams &params,
                                                      std::function<void(VaultOutcome)> ready);

    bool isEncrypted() const override { return true; }
    void open(const MasterPassword &typed, Opened opened) override;
    bool isMasterPassword(const MasterPassword &typed) const override;
    bool save(std::span<const VaultEntry> entries, QString *error) override;
    void seal(std::span<const VaultEntry> entries, bool unsaved) override;

    void abandon() override { m_derivation.cancel(); }

private:
    explicit EncryptedVault(VaultFile &file);
    // Derives the key of a password, off this thread, and hands it to
    // `then`; meanwhile m_offeredCheck tells that password.
    void derive(const MasterPassword &password, const EncryptedFormat::KdfParams &params,
                const EncryptedFormat::Salt &salt, std::function<void(KeyDerivation::Result)> then);

    VaultFile &m_file;
    KeyDerivation m_derivation;
    // Closed: the file as read at the start, or the list as sealed at the
    // lock; its header gives the parameters and salt of the key.
    QByteArray m_sealed;
    EncryptedFormat::Header m_header;
    // Open: the key and what tells the master password. While a key is
    // derived, the check of the password it is derived from.
    EncryptedFormat::VaultKey m_key;
    PasswordCheck m_check;
    PasswordCheck m_offeredCheck;
    // Locked where the list could not be sealed: its changes not saved.
    SecureBytes m_unsavedEntries;
};
