#pragma once

#include "SecureBytes.h"
#include "VaultFormat.h"

#include <QString>

#include <span>
#include <vector>

// Secrets that must outlive a lock (changes not yet saved, what was typed
// into the editor) wait packed in libsodium's secure memory: locked out of
// swap, left out of core dumps, and wiped when released. Unpacking gives
// back exactly what was packed.
SecureBytes packTexts(std::span<const QString> texts);
std::vector<QString> unpackTexts(const SecureBytes &packed);

SecureBytes packEntries(std::span<const VaultEntry> entries);
std::vector<VaultEntry> unpackEntries(const SecureBytes &packed);

// Overwrites a text's characters where they stand, in every copy that shares
// them, then empties it: for a text that all who hold it are done with (a
// box about to be emptied, a list being wiped).
void wipeEverywhere(QString &text);
void wipeEverywhere(VaultEntry &entry);
// The same for a text that at most `holders` copies share (this one
// included); one shared more widely belongs to someone else too, and is only
// let go.
void wipeIfHeldByAtMost(QString &text, int holders);

// Wipes an entry's texts that no one else shares, and empties it.
void wipe(VaultEntry &entry);

// A copy with characters of its own, shared with nobody: what one holder
// wipes then never pulls the text from under another.
QString separateCopy(const QString &text);
void separateTexts(VaultEntry &entry);
