#pragma once

#include "vault/VaultFormat.h"

#include <QString>

#include <vector>

// The two vaults that the crash helper saves in turn, made the same way by
// the helper and by the test that checks what it left behind.
inline std::vector<VaultEntry> helperEntries(int variant, int count)
{
    std::vector<VaultEntry> entries;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        entries.push_back({QStringLiteral("user%1-%2@example.org").arg(variant).arg(i),
                           QStringLiteral("pw-%1-%2|x").arg(i * 7919 % 100003).arg(variant),
                           QStringLiteral("https://site%1.example.com/%2").arg(i).arg(variant)});
    }
    return entries;
}

inline const char16_t *helperMasterPassword()
{
    return u"crash test master";
}
