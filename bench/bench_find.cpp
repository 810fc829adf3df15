// The find bar on large lists: one keystroke (the find text changes and the
// shown rows are made anew), and the search texts made once when the bar
// opens, at the largest list the program is meant for (32,767 entries) and
// at 1,000,000.

#include "BenchData.h"
#include "vault/EntryFilterModel.h"
#include "vault/EntryListModel.h"
#include "vault/VaultFormat.h"

#include <QRandomGenerator>

#include <memory>

#include <benchmark/benchmark.h>

namespace {

using BenchData::fillList;

// The user types "mor", deletes back to "m" and types again: each step is
// one keystroke, and each asks for the rows anew.
void BM_FindKeystroke(benchmark::State &state)
{
    EntryListModel list;
    fillList(list, int(state.range(0)));
    EntryFilterModel shown(list);
    list.prepareFolded();
    const QString typed[]
        = {QStringLiteral("m"), QStringLiteral("mo"), QStringLiteral("mor"), QStringLiteral("mo")};
    size_t step = 0;
    for (auto _ : state) {
        shown.setFindText(typed[step++ % std::size(typed)]);
        benchmark::DoNotOptimize(shown.rowCount());
    }
}

// The search texts of every entry, made when the find bar opens.
void BM_FindPrepare(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<EntryListModel>();
        fillList(*list, int(state.range(0)));
        state.ResumeTiming();
        list->prepareFolded();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_FindKeystroke)
    ->Arg(VaultFormat::kMostEntries)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindPrepare)
    ->Arg(VaultFormat::kMostEntries)
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
