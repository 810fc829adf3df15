// The encrypted vault: one key derivation at the strength vaults are written
// with, and unlocking and saving 32,767 entries once the key is at hand, to
// stand beside loading and saving the scrambled vault (bench_vault.cpp).

#include "vault/EncryptedFormat.h"
#include "vault/EntryListModel.h"
#include "vault/VaultFile.h"
#include "vault/VaultFormat.h"

#include "BenchData.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace EncryptedFormat;

namespace {

VaultKey benchKey()
{
    VaultKey key;
    deriveKey(u"master password", defaultParams(), newSalt(), &key);
    return key;
}

struct EncryptedOnDisk
{
    explicit EncryptedOnDisk(int count)
        : entries(BenchData::shuffledEntries(count))
        , key(benchKey())
        , path(dir.filePath(QStringLiteral("data.enc")))
    {
        write(seal(key, entries));
    }

    // Through the program's own save path: written beside, synced, renamed.
    void write(const QByteArray &bytes) const
    {
        QString error;
        VaultFile(path).write(bytes, &error);
    }

    QTemporaryDir dir;
    std::vector<VaultEntry> entries;
    VaultKey key;
    QString path;
};

// What both loads end with: the entries go into the list, which is emptied
// again outside the timing.
void fillList(benchmark::State &state, std::vector<VaultEntry> entries)
{
    EntryListModel list;
    list.appendAll(std::move(entries));
    benchmark::DoNotOptimize(list.count());
    state.PauseTiming();
    list.clear();
    state.ResumeTiming();
}

void BM_DeriveKey(benchmark::State &state)
{
    const Salt salt = newSalt();
    for (auto _ : state) {
        VaultKey key;
        deriveKey(u"master password", defaultParams(), salt, &key);
        benchmark::DoNotOptimize(key.bytes());
    }
}

// Everything unlocking does after the derivation: read the file, check the
// header, decrypt, read the entry lines and fill the list.
void BM_UnlockEncrypted(benchmark::State &state)
{
    const EncryptedOnDisk vault(int(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes;
        QString error;
        VaultFile(vault.path).readAll(&bytes, &error);
        Header header;
        readHeader(bytes, &header);
        std::vector<VaultEntry> entries;
        open(std::move(bytes), vault.key, &entries);
        fillList(state, std::move(entries));
    }
}

// A save with the key at hand: seal with a fresh nonce, write, sync, replace.
void BM_SaveEncrypted(benchmark::State &state)
{
    const EncryptedOnDisk vault(int(state.range(0)));
    for (auto _ : state)
        vault.write(seal(vault.key, vault.entries));
}

// The same entries, loaded and saved in the scrambled format.
void BM_LoadScrambled(benchmark::State &state)
{
    const EncryptedOnDisk vault(int(state.range(0)));
    QString error;
    VaultFile(vault.path).save(u"master password", vault.entries, &error);
    for (auto _ : state) {
        std::vector<VaultEntry> entries;
        VaultFile(vault.path).readEntries(&entries, &error);
        fillList(state, std::move(entries));
    }
}

void BM_SaveScrambled(benchmark::State &state)
{
    const EncryptedOnDisk vault(int(state.range(0)));
    for (auto _ : state) {
        QString error;
        VaultFile(vault.path).save(u"master password", vault.entries, &error);
    }
}

} // namespace

BENCHMARK(BM_DeriveKey)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnlockEncrypted)->Arg(VaultFormat::kMostEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveEncrypted)->Arg(VaultFormat::kMostEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadScrambled)->Arg(VaultFormat::kMostEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveScrambled)->Arg(VaultFormat::kMostEntries)->Unit(benchmark::kMillisecond);
