// The entry commands at the largest list the program holds (32,767 entries):
// sorting by each column, first with the collation keys still to be made and
// then re-sorting, and adding, editing and deleting an entry with the save
// that follows, against the save alone.

#include "BenchData.h"
#include "entries/EntryRules.h"
#include "entries/ListViewEnh.h"
#include "vault/EntryListChange.h"
#include "vault/EntryListModel.h"
#include "vault/VaultFile.h"
#include "vault/VaultFormat.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using BenchData::fillList;
using BenchData::shuffledEntries;

// First click on a column of an unsorted list: switches sorting on, makes the
// collation keys and sorts.
void BM_SortFirst(benchmark::State &state)
{
    const int column = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        EntryListModel list;
        fillList(list, VaultFormat::kMostEntries);
        state.ResumeTiming();
        benchmark::DoNotOptimize(EnhListView_SortColumns(list, column, false));
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
}

// Further clicks on the same column: only the order flips.
void BM_Resort(benchmark::State &state)
{
    const int column = int(state.range(0));
    EntryListModel list;
    fillList(list, VaultFormat::kMostEntries);
    EnhListView_SortColumns(list, column, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(EnhListView_SortColumns(list, column, false));
}

// Clicks that move from one column to the next on a sorted list: new keys
// every time.
void BM_SortOtherColumn(benchmark::State &state)
{
    EntryListModel list;
    fillList(list, VaultFormat::kMostEntries);
    EnhListView_SortColumns(list, 1, false);
    int column = 1;
    for (auto _ : state) {
        column = column % 3 + 1;
        benchmark::DoNotOptimize(EnhListView_SortColumns(list, column, false));
    }
}

struct SavedList
{
    explicit SavedList(bool sorted)
    {
        fillList(list, VaultFormat::kMostEntries - 1);
        if (sorted)
            EnhListView_SortColumns(list, 1, false);
        save();
    }
    bool save()
    {
        QString error;
        return VaultFile(VaultFile::pathIn(folder.path())).save(u"master", list.entries(), &error);
    }

    QTemporaryDir folder;
    EntryListModel list;
};

void BM_SaveAlone(benchmark::State &state)
{
    SavedList vault(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(vault.save());
}

// What Save in the editor does for a new entry; the entry is taken out again
// untimed so that every round starts from the same list.
void BM_AddAndSave(benchmark::State &state)
{
    SavedList vault(state.range(0) != 0);
    for (auto _ : state) {
        int row = 0;
        {
            EntryListChange change(vault.list);
            row = EntryRules::storeEntry(change, {}, {"newcomer", "s3cret!", "x.org"});
            benchmark::DoNotOptimize(vault.save());
        }
        state.PauseTiming();
        vault.list.remove(row);
        state.ResumeTiming();
    }
}

// Save in the editor for an entry opened with Edit, found again by its id.
void BM_EditAndSave(benchmark::State &state)
{
    SavedList vault(state.range(0) != 0);
    const EntryRules::EditTarget target {false, vault.list.idOf(VaultFormat::kMostEntries / 2)};
    int round = 0;
    for (auto _ : state) {
        const QString password = QStringLiteral("changed%1").arg(++round % 2);
        EntryListChange change(vault.list);
        EntryRules::storeEntry(change, target, {"edited", password, "e.net"});
        benchmark::DoNotOptimize(vault.save());
    }
}

// Delete confirmed: the row is removed and the vault saved; the entry is put
// back untimed.
void BM_DeleteAndSave(benchmark::State &state)
{
    SavedList vault(state.range(0) != 0);
    for (auto _ : state) {
        const int row = vault.list.count() / 2;
        state.PauseTiming();
        const VaultEntry entry = vault.list.entry(row);
        state.ResumeTiming();
        {
            EntryListChange change(vault.list);
            change.remove(row);
            benchmark::DoNotOptimize(vault.save());
        }
        state.PauseTiming();
        vault.list.append(entry);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_SortFirst)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resort)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortOtherColumn)->Unit(benchmark::kMillisecond);
// Argument: 0 an unsorted list, 1 a sorted one.
BENCHMARK(BM_SaveAlone)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAndSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditAndSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteAndSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
