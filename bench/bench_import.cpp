// Importing a browser's CSV export: 10,000 rows read from the file, checked
// against the editor's rules and the vault's code page, compared with the
// vault's entries and added to its list. The one save that follows is
// measured by BM_SaveVault.

#include "BenchData.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "vault/VaultFormat.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;

void BM_ImportCsv(benchmark::State &state)
{
    const int existing = int(state.range(0));
    // The vault's entries and the file's are drawn from one stream, so the
    // file holds none of the vault's; every tenth row of the file repeats
    // one of the vault's entries, to be skipped.
    std::vector<VaultEntry> all = BenchData::shuffledEntries(existing + kRows);
    std::vector<VaultEntry> vault(all.begin(), all.begin() + existing);
    std::vector<VaultEntry> rows(all.begin() + existing, all.end());
    for (size_t i = 0; i < rows.size() && existing > 0; i += 10)
        rows[i] = vault[i % vault.size()];
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.csv"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(CsvExport::content(rows)) <= 0) {
        state.SkipWithError("cannot write the file");
        return;
    }
    out.close();

    size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EntryListModel list;
        list.appendAll(vault);
        state.ResumeTiming();

        QFile in(path);
        in.open(QIODevice::ReadOnly);
        QStringList header;
        QString error;
        CsvImport::readHeader(in, &header, &error);
        const CsvImport::Columns columns = CsvImport::recognise(header)->columns;
        in.seek(0);
        std::vector<CsvImport::Row> read;
        CsvImport::readRows(in, header, columns, &read, &error);
        CsvImport::Plan plan = CsvImport::plan(read, header, columns, list.entries());
        added = plan.added.size();
        list.appendAll(std::move(plan.added));
        benchmark::DoNotOptimize(list.count());

        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
    state.counters["added"] = double(added);
}

} // namespace

// A vault of 22,767 entries that the import fills to 32,767, and a full one
// that takes none of them but still checks every row.
BENCHMARK(BM_ImportCsv)
    ->Arg(VaultFormat::kMostEntries - 10000)
    ->Arg(VaultFormat::kMostEntries)
    ->Unit(benchmark::kMillisecond);
