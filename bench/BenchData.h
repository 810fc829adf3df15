#pragma once

// The entries the benchmarks work on.

#include "vault/EntryListModel.h"

#include <QRandomGenerator>

#include <vector>

namespace BenchData {

inline QString randomText(QRandomGenerator &random, int length, QStringView alphabet)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text.append(alphabet[qsizetype(random.bounded(quint32(alphabet.size())))]);
    return text;
}

// Entries in no particular order, shaped like real ones: mixed-case
// usernames, passwords of letters, digits and signs, web addresses and a few
// blank locations.
inline std::vector<VaultEntry> shuffledEntries(int count)
{
    QRandomGenerator random(20240601);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const QString signs = letters + QStringLiteral("0123456789!$%&*+-=?@_\u00E9\u00FC");
    std::vector<VaultEntry> entries;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        entries.push_back(
            {randomText(random, 6 + int(random.bounded(8)), letters),
             randomText(random, 10 + int(random.bounded(10)), signs),
             random.bounded(10) == 0
                 ? QString()
                 : QStringLiteral("https://www.%1.com/").arg(randomText(random, 8, letters))});
    }
    return entries;
}

// A list with that many entries.
inline void fillList(EntryListModel &list, int count)
{
    list.appendAll(shuffledEntries(count));
}

} // namespace BenchData
