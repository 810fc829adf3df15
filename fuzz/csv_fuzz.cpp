// libFuzzer target for the CSV reader. Whatever the bytes:
//   - reading them in any pieces fails where reading them in one piece fails,
//     and otherwise gives the same rows;
//   - no row holds more cells or characters than the reader allows;
//   - the rows, written back with every cell quoted and its quotes doubled,
//     read back as the same rows.
// A broken rule stops the run with a trap, which libFuzzer reports as a crash.

#include "exchange/CsvReader.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void check(bool rule)
{
    if (!rule)
        __builtin_trap();
}

struct Outcome
{
    std::vector<QStringList> rows;
    QString error;
};

Outcome readInPieces(QByteArrayView bytes, uint32_t seed, bool whole)
{
    Outcome outcome;
    CsvReader reader([&outcome](const QStringList &cells, int) {
        check(cells.size() <= CsvReader::kMostColumns);
        qsizetype length = 0;
        for (const QString &cell : cells)
            length += cell.size();
        check(length <= CsvReader::kLongestRow);
        outcome.rows.push_back(cells);
        return true;
    });
    qsizetype at = 0;
    bool going = true;
    while (going && at < bytes.size()) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype piece = whole ? bytes.size() : qsizetype(seed >> 16) % 9 + 1;
        const qsizetype take = std::min(piece, bytes.size() - at);
        going = reader.read(bytes.sliced(at, take));
        at += take;
    }
    if (going)
        reader.finish();
    outcome.error = reader.error();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Outcome whole = readInPieces(bytes, 0, true);
    const Outcome pieces = readInPieces(bytes, uint32_t(size), false);
    // Rows read before an error are thrown away, and how many came first
    // depends on the pieces; the error itself does not.
    check(whole.error.isEmpty() == pieces.error.isEmpty());
    if (!whole.error.isEmpty())
        return 0;
    check(whole.rows == pieces.rows);

    QString text;
    for (const QStringList &row : whole.rows) {
        QStringList quoted;
        for (QString cell : row)
            quoted.append(u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"');
        text += quoted.join(u',') + QStringLiteral("\r\n");
    }
    const QByteArray written = text.toUtf8();
    const Outcome again = readInPieces(written, 1, true);
    check(again.error.isEmpty());
    check(again.rows == whole.rows);
    return 0;
}
