// The memory that loading a vault takes, for the crafted shapes that once
// exhausted it:
//   vault_load_peak make lf|line|cr MEGABYTES FILE   writes a master password
//       line followed by that many megabytes of LF bytes, of one line of
//       letters, or of CR bytes
//   vault_load_peak entries tiny|ordinary COUNT FILE   writes a vault of COUNT
//       entries of one character each, or shaped like real ones
//   vault_load_peak load FILE   reads the master password and the entries as
//       the program does at start, and prints the peak resident set
//   vault_load_peak load-save FILE   the same, then saves them to FILE.saved
//       and prints the peak again
// Measure the whole process with /usr/bin/time -v as well.

#include "vault/VaultFile.h"
#include "vault/VaultFormat.h"

#include <QFile>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

long peakKiB()
{
#ifdef Q_OS_UNIX
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return -1;
#endif
}

int make(const QString &shape, qint64 megabytes, const QString &path)
{
    const char fill = shape == u"lf" ? '\n' : shape == u"cr" ? '\r' : '\xE1';
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(VaultFormat::masterOnlyContent(u"master"));
    const QByteArray block(1 << 20, fill);
    for (qint64 i = 0; i < megabytes; ++i)
        file.write(block);
    return file.flush() ? 0 : 1;
}

int makeEntries(const QString &shape, qint64 count, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(VaultFormat::masterOnlyContent(u"master"));
    QByteArray block;
    for (qint64 i = 0; i < count; ++i) {
        if (shape == u"tiny") {
            block += "\xE1\r";
        } else {
            const QString line
                = QStringLiteral(
                      "user.%1@example.org|||Pw-%2-secret!|||https://www.example.com/login/%3")
                      .arg(i, 6, 10, QLatin1Char('0'))
                      .arg(i * 7919 % 1000003, 7, 10, QLatin1Char('0'))
                      .arg(i % 1000, 3, 10, QLatin1Char('0'));
            block += VaultFormat::encodeLine(line) + "\r\n";
        }
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return file.flush() ? 0 : 1;
}

int load(const QString &path, bool save)
{
    const long before = peakKiB();
    VaultFile vault(path);
    QString master;
    QString error;
    std::vector<VaultEntry> entries;
    if (!vault.readMasterPassword(&master, &error) || !vault.readEntries(&entries, &error)) {
        std::printf("error: %s\n", qPrintable(error));
        return 1;
    }
    qint64 characters = 0;
    for (const VaultEntry &e : entries)
        characters += e.username.size() + e.password.size() + e.location.size();
    std::printf("%zu entries, %lld characters; peak resident set %.1f MB (%.1f MB before "
                "loading)\n",
                entries.size(), characters, double(peakKiB()) / 1024, double(before) / 1024);
    if (save) {
        QFile::copy(path, path + QStringLiteral(".saved"));
        if (!VaultFile(path + QStringLiteral(".saved")).save(master, entries, &error)) {
            std::printf("error: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("saved; peak resident set %.1f MB\n", double(peakKiB()) / 1024);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && QByteArrayView(argv[1]) == "make")
        return make(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
                    QString::fromLocal8Bit(argv[4]));
    if (argc == 5 && QByteArrayView(argv[1]) == "entries")
        return makeEntries(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
                           QString::fromLocal8Bit(argv[4]));
    if (argc == 3 && QByteArrayView(argv[1]).startsWith("load"))
        return load(QString::fromLocal8Bit(argv[2]), QByteArrayView(argv[1]) == "load-save");
    std::fprintf(stderr,
                 "usage: vault_load_peak make lf|line|cr MEGABYTES FILE | entries "
                 "tiny|ordinary COUNT FILE | load FILE | load-save FILE\n");
    return 2;
}
