// Loading and saving the vault against the bare cost of the same bytes:
// reading (or writing, replacing and syncing) them and flipping their top bit.

#include "vault/EntryListModel.h"
#include "vault/VaultFile.h"
#include "vault/VaultFormat.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Entries shaped like real ones: username ~12, password ~16, location ~24
// characters.
std::vector<VaultEntry> makeEntries(int count)
{
    std::vector<VaultEntry> entries;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        entries.push_back(
            {QStringLiteral("user%1@mail").arg(i % 100000, 5, 10, QLatin1Char('0')),
             QStringLiteral("Pa$$w0rd-%1-xy").arg(i * 7919 % 100000, 5, 10, QLatin1Char('0')),
             QStringLiteral("https://www.site%1.com/in").arg(i % 10000, 4, 10, QLatin1Char('0'))});
    }
    return entries;
}

struct VaultOnDisk
{
    explicit VaultOnDisk(int count)
        : entries(makeEntries(count))
        , path(VaultFile::pathIn(dir.path()))
    {
        QString error;
        VaultFile(path).save(u"master password", entries, &error);
    }

    QTemporaryDir dir;
    std::vector<VaultEntry> entries;
    QString path;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void flipTopBits(QByteArray &bytes)
{
    for (char &b : bytes) {
        if (uchar(b) != 0x80)
            b = char(uchar(b) ^ 0x80);
    }
}

void BM_LoadBaseline(benchmark::State &state)
{
    const VaultOnDisk vault(int(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes = readFile(vault.path);
        flipTopBits(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_LoadVault(benchmark::State &state)
{
    const VaultOnDisk vault(int(state.range(0)));
    for (auto _ : state) {
        // What loading does: read and decode the file, then fill the list.
        EntryListModel list;
        std::vector<VaultEntry> entries;
        QString error;
        VaultFile(vault.path).readEntries(&entries, &error);
        list.appendAll(std::move(entries));
        benchmark::DoNotOptimize(list.count());
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
}

void BM_SaveBaseline(benchmark::State &state)
{
    const VaultOnDisk vault(int(state.range(0)));
    const QByteArray plain = VaultFormat::toggleHighBit(readFile(vault.path));
    for (auto _ : state) {
        QByteArray bytes = plain;
        flipTopBits(bytes);
        QSaveFile file(vault.path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.commit();
    }
}

void BM_SaveVault(benchmark::State &state)
{
    const VaultOnDisk vault(int(state.range(0)));
    for (auto _ : state) {
        QString error;
        VaultFile(vault.path).save(u"master password", vault.entries, &error);
    }
}

} // namespace

BENCHMARK(BM_LoadBaseline)
    ->Arg(VaultFormat::kMostEntries)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadVault)
    ->Arg(VaultFormat::kMostEntries)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBaseline)
    ->Arg(VaultFormat::kMostEntries)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveVault)
    ->Arg(VaultFormat::kMostEntries)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
