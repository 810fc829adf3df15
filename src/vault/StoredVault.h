#pragma once

#include "VaultFormat.h"
#include "VaultOutcome.h"

#include <functional>
#include <span>
#include <vector>

class MasterPassword;

// How the vault is kept on disk, and the secret it is kept under: one class
// for each format (ScrambledVault, EncryptedVault). The session holds one and
// asks it; the format never touches the entry list.
class StoredVault
{
public:
    // What the right master password opened: the outcome, and the entries
    // that go into the list.
    using Opened = std::function<void(VaultOutcome outcome, std::vector<VaultEntry> entries)>;

    virtual ~StoredVault() = default;

    virtual bool isEncrypted() const = 0;

    // While the vault is closed (at the start, or locked): whether `typed` is
    // the master password. Right, the format takes its secret from it and
    // hands over the entries; `opened` is called once, at once or when a key
    // has been derived.
    virtual void open(const MasterPassword &typed, Opened opened) = 0;
    // While the vault is open: whether `typed` is the master password, at
    // once, from what the format keeps.
    virtual bool isMasterPassword(const MasterPassword &typed) const = 0;

    // Writes the entries under the format's secret, the safe way; a failure
    // leaves the previous file in place.
    virtual bool save(std::span<const VaultEntry> entries, QString *error) = 0;

    // The lock: the secret goes, wiped, and open() answers again afterwards.
    // What the list held comes back from the file, or from what the format
    // keeps of it here; `unsaved` says that the list holds changes the file
    // does not, which must not be lost.
    virtual void seal(std::span<const VaultEntry> entries, bool unsaved) = 0;

    // The program ends: what a key derivation still running brings is
    // dropped, and the question it was for is answered as cancelled.
    virtual void abandon() { }
};
