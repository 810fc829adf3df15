// libFuzzer target for the vault reader: splitting a file into lines,
// decoding them and parsing entries. Whatever the bytes:
//   - reading them in any pieces gives the same entries as in one piece;
//   - every line that holds an entry saves back byte for byte, the master
//     password line too (a 0x00 byte, which no writer makes, reads and saves
//     as 0x80);
//   - the saved vault reads back as the same entries.
// A broken rule stops the run with a trap, which libFuzzer reports as a crash.

#include "vault/VaultFormat.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool rule)
{
    if (!rule)
        __builtin_trap();
}

std::vector<VaultEntry> readInPieces(QByteArrayView bytes, uint32_t seed)
{
    VaultFormat::EntryReader reader;
    qsizetype at = 0;
    while (at < bytes.size()) {
        seed = seed * 1103515245u + 12345u;
        // Mostly small pieces, so that every kind of seam is tried; now and
        // then a large one.
        const qsizetype piece = (seed >> 16) % 16 == 0 ? qsizetype(seed >> 20) % 4096 + 1
                                                       : qsizetype(seed >> 16) % 7 + 1;
        const qsizetype take = std::min(piece, bytes.size() - at);
        reader.read(bytes.sliced(at, take));
        at += take;
    }
    return reader.finish();
}

QByteArray asSaved(QByteArrayView line)
{
    QByteArray saved = line.toByteArray();
    saved.replace('\0', '\x80');
    return saved;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    VaultFormat::EntryReader whole;
    whole.read(bytes);
    const std::vector<VaultEntry> entries = whole.finish();

    uint32_t seed = uint32_t(size);
    for (size_t i = 0; i < std::min<size_t>(size, 8); ++i)
        seed = seed * 31 + data[i];
    const std::vector<VaultEntry> pieces = readInPieces(bytes, seed);
    check(pieces == entries);
    for (size_t i = 0; i < entries.size(); ++i)
        check(pieces[i].fieldsInFile == entries[i].fieldsInFile);

    // What a save writes, line by line, from the lines as they stand.
    const QString master = VaultFormat::decodeLine(VaultFormat::firstLine(bytes));
    QByteArray expected = asSaved(VaultFormat::firstLine(bytes)) + "\r\n";
    bool first = true;
    VaultFormat::forEachLine(bytes, [&](QByteArrayView line) {
        if (!first && !VaultFormat::isSkippedLine(line))
            expected += asSaved(line) + "\r\n";
        first = false;
        return true;
    });
    expected += "\r\n";
    const QByteArray saved = VaultFormat::savedContent(master, entries);
    check(saved == expected);

    VaultFormat::EntryReader again;
    again.read(saved);
    check(again.finish() == entries);
    return 0;
}
