// A second process for the vault tests, for what one process cannot show on
// its own:
//   save-loop PATH COUNT   claims the vault, then saves two vaults of
//                          COUNT entries in turn until it is killed
//   hold-claim PATH        claims the vault and waits to be killed
//   load PATH [GROUP]      reads the vault with little memory to spare (in
//                          the memory control group GROUP, when given) and
//                          prints what came of it; never aborts
//   take-over PATH         prints "starting", claims the vault (taking
//                          over a claim left behind) and clears the leftover
//                          saves, as a copy starting up does, then prints
//                          "done" and waits to be killed
//   derive GROUP           in the memory control group GROUP, derives a key
//                          with the parameters a vault is encrypted with and
//                          prints "key", or "error" and the message
// It prints "claimed" once it holds the vault (and, saving, is about to
// save).

#include "HelperContents.h"
#include "vault/KeyDerivation.h"
#include "vault/VaultClaim.h"
#include "vault/VaultFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define HELPER_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HELPER_UNDER_ASAN 1
#endif
#endif

namespace {

// Under AddressSanitizer the test sets max_allocation_size_mb instead: the
// sanitizer's shadow memory leaves an address space limit no meaning.
void limitMemory()
{
#if defined(Q_OS_UNIX) && !defined(HELPER_UNDER_ASAN)
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return;
    const qint64 pages = status.readAll().split(' ').value(0).toLongLong();
    rlimit limit {};
    limit.rlim_cur = limit.rlim_max = rlim_t(pages * 4096 + (64 << 20));
    setrlimit(RLIMIT_AS, &limit);
#endif
}

int holdClaim(const QString &path, int count)
{
    VaultClaim claim(path);
    if (claim.claim() != VaultClaim::Status::Claimed) {
        std::printf("not claimed\n");
        return 1;
    }
    if (count == 0) {
        std::printf("claimed\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(60);
    }
    const std::vector<VaultEntry> vaults[] = {helperEntries(0, count), helperEntries(1, count)};
    VaultFile vault(path);
    std::printf("claimed\n");
    std::fflush(stdout);
    for (unsigned i = 1;; ++i) {
        QString error;
        if (!vault.save(helperMasterPassword(), vaults[i % 2], &error)) {
            std::printf("%s\n", qPrintable(error));
            return 1;
        }
    }
}

int takeOver(const QString &path)
{
    std::printf("starting\n");
    std::fflush(stdout);
    VaultClaim claim(path);
    if (claim.claim() != VaultClaim::Status::Claimed) {
        std::printf("not claimed\n");
        return 1;
    }
    VaultFile(path).removeLeftoverSaves();
    std::printf("done\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}

bool joinGroup(const QString &group)
{
    QFile procs(group + QStringLiteral("/cgroup.procs"));
    if (!procs.open(QIODevice::WriteOnly)
        || procs.write(QByteArray::number(QCoreApplication::applicationPid())) <= 0
        || !procs.flush()) {
        std::printf("could not join %s\n", qPrintable(group));
        return false;
    }
    return true;
}

int load(const QString &path, const QString &group)
{
    if (group.isEmpty())
        limitMemory();
    else if (!joinGroup(group))
        return 1;
    std::vector<VaultEntry> entries;
    QString error;
    if (VaultFile(path).readEntries(&entries, &error))
        std::printf("entries %zu\n", entries.size());
    else
        std::printf("error %s\n", qPrintable(error));
    return 0;
}

int derive(const QString &group)
{
    if (!joinGroup(group))
        return 1;
    KeyDerivation derivation;
    KeyDerivation::Result result = KeyDerivation::Result::cancelled();
    derivation.start(u"a master password", EncryptedFormat::defaultParams(),
                     EncryptedFormat::newSalt(), [&result](KeyDerivation::Result finished) {
                         result = std::move(finished);
                         QCoreApplication::quit();
                     });
    QCoreApplication::exec();
    if (result.isDone())
        std::printf("key\n");
    else
        std::printf("error %s\n", qPrintable(result.error));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == u"save-loop")
        return holdClaim(args[2], args[3].toInt());
    if (args.size() >= 3 && args[1] == u"hold-claim")
        return holdClaim(args[2], 0);
    if (args.size() >= 3 && args[1] == u"take-over")
        return takeOver(args[2]);
    if (args.size() >= 3 && args[1] == u"load")
        return load(args[2], args.value(3));
    if (args.size() >= 3 && args[1] == u"derive")
        return derive(args[2]);
    std::fprintf(stderr,
                 "usage: vault_helper save-loop PATH COUNT | hold-claim PATH | take-over PATH | "
                 "load PATH [GROUP] | derive GROUP\n");
    return 2;
}
