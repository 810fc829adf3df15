#pragma once

#include "MasterPassword.h"
#include "PasswordCheck.h"
#include "SecureBytes.h"
#include "StoredVault.h"

class VaultFile;

// The scrambled format, the default: the master password in the file's first
// line and the entries after it, each line barely scrambled (VaultFormat).
// The master password on file is not kept before it is entered: each try
// reads it again, compares, and wipes what it read. Once open, the format
// keeps the master password, which every save writes.
class ScrambledVault : public StoredVault
{
public:
    // The vault as it was found at the start; *isNew tells a first run (no
    // master password on file yet), which only a file as the program makes
    // it for one (`asMadeNew`: one empty line, or nothing) may be. Null, with
    // the reason in *outcome, when the first line cannot be read or the file
    // is damaged.
    static std::unique_ptr<ScrambledVault> read(VaultFile &file, bool asMadeNew, bool *isNew,
                                                VaultOutcome *outcome);
    // A vault kept under this master password from now on.
    ScrambledVault(VaultFile &file, MasterPassword masterPassword);

    // The first run: puts the master password in the first line and keeps
    // the entries that already stand after it, which it hands over.
    VaultOutcome create(std::vector<VaultEntry> *entries);

    bool isEncrypted() const override { return false; }
    void open(const MasterPassword &typed, Opened opened) override;
    bool isMasterPassword(const MasterPassword &typed) const override;
    bool save(std::span<const VaultEntry> entries, QString *error) override;
    void seal(std::span<const VaultEntry> entries, bool unsaved) override;

private:
    explicit ScrambledVault(VaultFile &file);
    // Every entry after the first line, with a notice when the file looks
    // cut short.
    VaultOutcome readEntries(std::vector<VaultEntry> *entries);

    VaultFile &m_file;
    MasterPassword m_masterPassword;
    // While locked: what tells the master password, and the list when it
    // held changes that were not saved.
    PasswordCheck m_lockCheck;
    SecureBytes m_unsavedEntries;
};
