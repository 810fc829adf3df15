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
