// The find bar on large lists: one keystroke (the find text changes and the
// shown rows are made anew), and the search texts made once when the bar
// opens, at the largest list the program is meant for (32,767 entries) and
// at 1,000,000.

#include "vault/EntryFilterModel.h"
#include "vault/EntryListModel.h"

#include <QRandomGenerator>

#include <memory>

#include <benchmark/benchmark.h>

namespace {

QString randomText(QRandomGenerator &random, int length, QStringView alphabet)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text.append(alphabet[qsizetype(random.bounded(quint32(alphabet.size())))]);
    return text;
}

// Entries shaped like real ones, a few with accented letters.
void fillList(EntryListModel &list, int count)
{
    for (const char *header : {"Username", "Password", "Website/Location"})
        list.addColumnHeader(QString::fromLatin1(header));
    QRandomGenerator random(20240611);
    const QString letters
        = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\u00E9\u00FC");
    const QString signs = letters + QStringLiteral("0123456789!$%&*+-=?@_");
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
    list.appendAll(std::move(entries));
}

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

BENCHMARK(BM_FindKeystroke)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindPrepare)->Arg(32767)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
