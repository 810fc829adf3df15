#pragma once

#include "vault/VaultFormat.h"

#include <QByteArrayView>

#include <vector>

// The entries of a whole vault's bytes (the first line skipped), read the
// way the program reads a vault file.
inline std::vector<VaultEntry> parsedEntries(QByteArrayView content)
{
    VaultFormat::EntryReader reader;
    reader.read(content);
    return reader.finish();
}
