#include "VaultBytes.h"
#include "VaultFolderFixture.h"
#include "vault/FileExists.h"
#include "vault/VaultFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Entries of about a hundred bytes each, so that a hundred of them fill more
// than a few KiB and less than the 16 KiB that Qt buffers.
std::vector<VaultEntry> entriesOfAHundredBytes(int count)
{
    std::vector<VaultEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(
            {QStringLiteral("user.name.%1@example.org").arg(i, 4, 10, QLatin1Char('0')),
             QStringLiteral("a password-%1 of some length").arg(i),
             QStringLiteral("https://www.example.com/accounts/login?id=%1").arg(i)});
    return entries;
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif

// The ways a vault is written.
enum class Write { Save, MasterPasswordKeepingEntries, NewVault };

} // namespace

class TestVaultFile : public QObject, protected VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ensureExists_createsOneEmptyLine();
    void ensureExists_leavesExistingFilesAlone_data();
    void ensureExists_leavesExistingFilesAlone();
    void fileExists_data();
    void fileExists();
    void fileNamePart_data();
    void fileNamePart();
    void masterPassword_data();
    void masterPassword();
    void manyMoreEntriesThanSixteenBits();
    void readsOddEndingsAtTheSeam_data();
    void readsOddEndingsAtTheSeam();
    void nameInAnotherLetterCase();
    void masterPasswordKeepsTheEntriesAfterIt_data();
    void masterPasswordKeepsTheEntriesAfterIt();
    void leftoverSavesAreRemoved();
    void samplesFromOutside_data();
    void samplesFromOutside();
    // When the disk, the folder, a link or the memory fails the file.
    void failures_data();
    void failures();
    void failedWriteKeepsPreviousContent_data();
    void failedWriteKeepsPreviousContent();
    void fullDisk_data();
    void fullDisk();
    void folderThatCannotBeWritten();
    void newVaultThroughADanglingLinkIsOwnerOnly();
    void loadingNeverAborts_data();
    void loadingNeverAborts();
};

void TestVaultFile::init()
{
    setUp();
}

void TestVaultFile::cleanup()
{
    tearDown();
}

void TestVaultFile::ensureExists_createsOneEmptyLine()
{
    QCOMPARE(::fileNamePart(m_path), QStringLiteral("data.enc"));
    VaultFile vault(m_path);
    QString error;
    QVERIFY(vault.ensureExists(&error));
    QCOMPARE(read(m_path), QByteArray("\r\n"));
#ifdef Q_OS_UNIX
    const auto ownerOnly = [this] {
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther;
        const QFileDevice::Permissions p = QFile::permissions(m_path);
        return p.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner) && !(p & others);
    };
    QVERIFY(ownerOnly());
#endif
    QString master = QStringLiteral("not empty");
    QVERIFY(vault.readMasterPassword(&master, &error));
    QVERIFY(master.isEmpty());
#ifdef Q_OS_UNIX
    // Replacing the file keeps it private.
    QVERIFY(vault.save(u"pw", {}, &error));
    QVERIFY(ownerOnly());
#endif
}

void TestVaultFile::ensureExists_leavesExistingFilesAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("zero bytes") << QByteArray();
    QTest::newRow("vault") << QByteArray("\xE1\r\n\r\n");
    QTest::newRow("no line end") << QByteArray("\xE1");
}

void TestVaultFile::ensureExists_leavesExistingFilesAlone()
{
    QFETCH(QByteArray, content);
    write(m_path, content);
    QString error;
    QVERIFY(VaultFile(m_path).ensureExists(&error));
    QCOMPARE(read(m_path), content);
}

void TestVaultFile::fileExists_data()
{
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("exists");
    QTest::newRow("same name") << "data.enc"
                               << "data.enc" << true;
    QTest::newRow("other letter case") << "data.enc"
                                       << "DATA.ENC" << true;
    QTest::newRow("missing") << "data.enc"
                             << "other.enc" << false;
    QTest::newRow("folder") << "folder/"
                            << "folder" << false;
    QTest::newRow("empty name") << "data.enc"
                                << "" << false;
    QTest::newRow("hidden file") << ".hidden"
                                 << ".hidden" << false;
    QTest::newRow("missing folder") << "data.enc"
                                    << "nowhere/data.enc" << false;
}

void TestVaultFile::fileExists()
{
    QFETCH(QString, onDisk);
    QFETCH(QString, asked);
    QFETCH(bool, exists);
    const QDir dir(m_dir->path());
    if (onDisk.endsWith(u'/'))
        QVERIFY(dir.mkdir(onDisk.chopped(1)));
    else
        write(dir.filePath(onDisk), "x");
    QCOMPARE(::fileExists(asked.isEmpty() ? QString() : dir.filePath(asked)), exists);
}

void TestVaultFile::fileNamePart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("backslashes") << "C:\\Program Files\\Vorsell\\data.enc"
                                 << "data.enc";
    QTest::newRow("slashes") << "/home/user/data.enc"
                             << "data.enc";
    QTest::newRow("bare name") << "Help.rtf"
                               << "Help.rtf";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("trailing separator") << "C:\\folder\\"
                                        << "";
}

void TestVaultFile::fileNamePart()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(::fileNamePart(path), name);
}

void TestVaultFile::masterPassword_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("master");
    QTest::newRow("zero bytes is a first run") << QByteArray() << "";
    QTest::newRow("password, no line end") << VaultFormat::encodeLine(u"pw") << "pw";
}

void TestVaultFile::masterPassword()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, master);
    write(m_path, content);
    QString read;
    QString error;
    QVERIFY(VaultFile(m_path).readMasterPassword(&read, &error));
    QCOMPARE(read, master);
}

void TestVaultFile::manyMoreEntriesThanSixteenBits()
{
    std::vector<VaultEntry> entries;
    for (int i = 0; i < 70000; ++i)
        entries.push_back({QString::number(i), QStringLiteral("pw"), QString()});
    VaultFile vault(m_path);
    QString error;
    QVERIFY(vault.save(u"m", entries, &error));
    std::vector<VaultEntry> loaded;
    QVERIFY(vault.readEntries(&loaded, &error));
    QCOMPARE(loaded.size(), entries.size());
    QCOMPARE(loaded.back().username, QStringLiteral("69999"));
}

void TestVaultFile::readsOddEndingsAtTheSeam_data()
{
    // The file is read a megabyte at a time; a byte that ends a line, or a
    // separator, may stand alone on either side of that seam.
    constexpr int kPiece = 1 << 20;
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("entries");
    const QByteArray master = VaultFormat::encodeLine(u"master") + "\r\n";
    const auto upTo = [&](qsizetype size) {
        return master + QByteArray(size - master.size() - 2, '\xE1') + "\r\n";
    };
    QTest::newRow("one byte: CR") << QByteArray("\r") << 0;
    QTest::newRow("one byte: LF") << QByteArray("\n") << 0;
    QTest::newRow("CR LF CR just after the seam") << upTo(kPiece) + "\r" << 1;
    QTest::newRow("CR LF, CR alone past the seam") << upTo(kPiece - 1) + "\r" + "\r" << 1;
    QTest::newRow("CR at the seam, LF after it") << upTo(kPiece + 1) + "x" << 2;
    QTest::newRow("separator across the seam")
        << upTo(kPiece - 4) + VaultFormat::encodeLine(u"ab|||c||||d") + "\r\n"
        << 2;
    QTest::newRow("a space alone across the seam") << upTo(kPiece - 2) + " " << 1;
    QTest::newRow("two spaces across the seam") << upTo(kPiece - 1) + "  " << 2;
    QTest::newRow("LF as data just past the seam") << upTo(kPiece - 1) + "\xE1\n" << 2;
}

void TestVaultFile::readsOddEndingsAtTheSeam()
{
    QFETCH(QByteArray, content);
    QFETCH(int, entries);
    write(m_path, content);
    std::vector<VaultEntry> read;
    QString master;
    QString error;
    VaultFile vault(m_path);
    QVERIFY(vault.readEntries(&read, &error));
    QVERIFY(vault.readMasterPassword(&master, &error));
    QCOMPARE(int(read.size()), entries);
    QCOMPARE(master, VaultFormat::decodeLine(VaultFormat::firstLine(content)));
    // Read in one piece, the same bytes give the same entries.
    QCOMPARE(read, parsedEntries(content));
    if (QTest::currentDataTag() == QByteArrayView("separator across the seam")) {
        QCOMPARE(read.back(), (VaultEntry {"ab", "c", "|d"}));
        QCOMPARE(VaultFormat::savedContent(u"master", read), content + "\r\n");
    }
}

void TestVaultFile::nameInAnotherLetterCase()
{
    const QString onDisk = QDir(m_dir->path()).filePath(QStringLiteral("Data.enc"));
    const std::vector<VaultEntry> entries = {{"u", "p", "l"}};
    write(onDisk, VaultFormat::savedContent(u"pw", entries));

    VaultFile vault(VaultFile::pathIn(m_dir->path()));
    QCOMPARE(vault.path(), onDisk);
    QString error;
    QString master;
    std::vector<VaultEntry> loaded;
    QVERIFY(vault.ensureExists(&error));
    QVERIFY2(vault.readMasterPassword(&master, &error), qPrintable(error));
    QCOMPARE(master, QStringLiteral("pw"));
    QVERIFY(vault.readEntries(&loaded, &error));
    QCOMPARE(loaded, entries);
    QVERIFY(vault.save(u"pw", {}, &error));
    QCOMPARE(read(onDisk), VaultFormat::savedContent(u"pw", {}));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {"Data.enc"});
}

void TestVaultFile::masterPasswordKeepsTheEntriesAfterIt_data()
{
    QTest::addColumn<QByteArray>("firstLine");
    QTest::addColumn<QByteArray>("rest");
    const QByteArray entries = VaultFormat::encodeLine(u"a|||b|||c") + "\r\n"
        + VaultFormat::encodeLine(u"|||||") + "\r\n \r\n\r\n";
    QTest::newRow("zero bytes") << QByteArray() << QByteArray();
    QTest::newRow("new vault") << QByteArray("\r\n") << QByteArray();
    QTest::newRow("empty first line, entries after") << QByteArray("\r\n") << entries;
    QTest::newRow("empty first line ended by CR alone") << QByteArray("\r") << entries;
    QTest::newRow("a master password already") << VaultFormat::encodeLine(u"old") + "\r\n"
                                               << entries;
    // The file is read a megabyte at a time: the first line's CR ends the
    // first piece and its LF begins the next.
    QTest::newRow("line break across the seam") << QByteArray((1 << 20) - 1, '\xE1') + "\r\n"
                                                << entries;
}

void TestVaultFile::masterPasswordKeepsTheEntriesAfterIt()
{
    QFETCH(QByteArray, firstLine);
    QFETCH(QByteArray, rest);
    write(m_path, firstLine + rest);
    VaultFile vault(m_path);
    std::vector<VaultEntry> entries;
    QString error;
    QVERIFY2(vault.writeMasterPasswordKeepingEntries(u"new pw", &entries, &error),
             qPrintable(error));
    QCOMPARE(read(m_path), VaultFormat::masterOnlyContent(u"new pw") + rest);
    QCOMPARE(entries, parsedEntries(firstLine + rest));
    QCOMPARE(entries.size(), rest.isEmpty() ? size_t(0) : size_t(2));
}

void TestVaultFile::leftoverSavesAreRemoved()
{
    const QDir dir(m_dir->path());
    write(m_path, VaultFormat::savedContent(u"m", {}));
    const QStringList leftovers = {"data.enc.aBcDeF", "data.enc.QwErTy"};
    QStringList others = {"data.enc.lock", "data.enc.abcde", "data.enc.abc123", "other.enc.aBcDeF",
                          "data.enc.old"};
    // Where letter case tells names apart, another vault's leftover stays.
    if (!QFileInfo::exists(dir.filePath(QStringLiteral("DATA.ENC"))))
        others.append(QStringLiteral("Data.enc.zYxWvU"));
    for (const QString &name : leftovers + others)
        write(dir.filePath(name), "x");
    QVERIFY(dir.mkdir(QStringLiteral("data.enc.FoLdEr")));
    // One that was there before the copy that left the others took its lock.
    write(dir.filePath(QStringLiteral("data.enc.Backup")), "x");
    QFile before(dir.filePath(QStringLiteral("data.enc.Backup")));
    QVERIFY(before.open(QIODevice::ReadWrite));
    const QDateTime since = QDateTime::currentDateTime().addSecs(-60);
    QVERIFY(before.setFileTime(since.addSecs(-3600), QFileDevice::FileModificationTime));
    before.close();

    VaultFile vault(m_path);
    QCOMPARE(vault.removeLeftoverSaves(QDateTime()), 0);
    QCOMPARE(vault.removeLeftoverSaves(since), int(leftovers.size()));
    QStringList expected = others + QStringList {"data.enc", "data.enc.Backup"};
    expected.sort();
    QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, expected);
    QVERIFY(dir.exists(QStringLiteral("data.enc.FoLdEr")));
}

void TestVaultFile::samplesFromOutside_data()
{
    // Vaults that the program's writers did not make, as they must load;
    // those in a shape the writers make save back byte for byte.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("master");
    QTest::addColumn<QList<QStringList>>("entries");
    QTest::addColumn<bool>("savesBackUnchanged");
    using E = QList<QStringList>;
    QTest::newRow("new vault") << "new-vault.enc"
                               << "" << E {} << false;
    QTest::newRow("master only") << "master-only.enc"
                                 << "master" << E {} << false;
    QTest::newRow("empty first line") << "empty-first-line.enc"
                                      << "" << E {{"u", "p", "l"}} << true;
    QTest::newRow("saved") << "saved.enc"
                           << "master"
                           << E {{"alice", "s3cret", "https://example.com"}, {"bob", "pw", ""}}
                           << true;
    QTest::newRow("short lines") << "short-lines.enc"
                                 << "m" << E {{"", "||", ""}, {"bob", "", ""}, {"a", "b|", ""}}
                                 << false;
    QTest::newRow("odd bytes") << "odd-bytes.enc"
                               << "m\u0160"
                               << E {{"S\u0160", "x", ""},
                                     {"\u20AC\u20AC||", "", ""},
                                     {"\u0160", "", ""}}
                               << false;
}

void TestVaultFile::samplesFromOutside()
{
    QFETCH(QString, name);
    QFETCH(QString, master);
    QFETCH(QList<QStringList>, entries);
    QFETCH(bool, savesBackUnchanged);
    const QByteArray content
        = read(QStringLiteral(TESTS_SOURCE_DIR "/../fuzz/vault-corpus/") + name);
    write(m_path, content);
    VaultFile vault(m_path);
    QString readMaster;
    std::vector<VaultEntry> loaded;
    QString error;
    QVERIFY(vault.readMasterPassword(&readMaster, &error));
    QVERIFY(vault.readEntries(&loaded, &error));
    QCOMPARE(readMaster, master);
    QList<QStringList> texts;
    for (const VaultEntry &e : loaded)
        texts.append({e.username, e.password, e.location});
    QCOMPARE(texts, entries);

    QVERIFY(vault.save(readMaster, loaded, &error));
    if (savesBackUnchanged)
        QCOMPARE(read(m_path), content);
    std::vector<VaultEntry> reloaded;
    QVERIFY(vault.readEntries(&reloaded, &error));
    QCOMPARE(reloaded, loaded);
}

void TestVaultFile::failures_data()
{
    QTest::addColumn<bool>("vaultIsFolder");
    QTest::newRow("the vault is a folder") << true;
    QTest::newRow("the program folder is gone") << false;
}

void TestVaultFile::failures()
{
    QFETCH(bool, vaultIsFolder);
    QString path = m_path;
    if (vaultIsFolder)
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data.enc")));
    else
        path = VaultFile::pathIn(m_dir->filePath(QStringLiteral("gone")));

    VaultFile vault(path);
    QString error;
    QVERIFY(!vault.ensureExists(&error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    error.clear();
    QVERIFY(!vault.save(u"m", {}, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    error.clear();
    QString master;
    QVERIFY(!vault.readMasterPassword(&master, &error));
    QVERIFY(!error.isEmpty());
}

void TestVaultFile::failedWriteKeepsPreviousContent_data()
{
    // A file size limit stops the write part-way, as a full disk does, and
    // works without root. Small vaults fit in Qt's write buffer, so only a
    // check before the new file replaces the old one sees their failure.
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("fits");
    QTest::newRow("1 entry, nothing") << 1 << 0 << false;
    QTest::newRow("1 entry, 4 KiB") << 1 << 4096 << true;
    QTest::newRow("100 entries, 4 KiB") << 100 << 4096 << false;
    QTest::newRow("3,000 entries, 4 KiB") << 3000 << 4096 << false;
}

void TestVaultFile::failedWriteKeepsPreviousContent()
{
#ifdef Q_OS_UNIX
    QFETCH(int, entries);
    QFETCH(int, limit);
    QFETCH(bool, fits);
    const std::vector<VaultEntry> before = {{"kept", "safe", "here"}};
    VaultFile vault(m_path);
    QString error;
    QVERIFY(vault.save(u"m", before, &error));
    const QByteArray previous = read(m_path);

    const std::vector<VaultEntry> big = entriesOfAHundredBytes(entries);
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = rlim_t(limit);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = vault.save(u"m", big, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(saved, fits);
    if (fits) {
        QCOMPARE(read(m_path), VaultFormat::savedContent(u"m", big));
    } else {
        QVERIFY2(error.contains(QDir::toNativeSeparators(m_path)), qPrintable(error));
        QVERIFY2(error.contains(systemText(EFBIG)), qPrintable(error));
        QCOMPARE(read(m_path), previous);
    }
    // No half-written file is left beside the vault.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {"data.enc"});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestVaultFile::fullDisk_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("freeKiB");
    QTest::addColumn<bool>("fits");
    QTest::newRow("save 1, nothing free") << Write::Save << 1 << 0 << false;
    QTest::newRow("save 1, 8 KiB free") << Write::Save << 1 << 8 << true;
    QTest::newRow("save 3000, 8 KiB free") << Write::Save << 3000 << 8 << false;
    QTest::newRow("master password keeping entries, nothing free")
        << Write::MasterPasswordKeepingEntries << 0 << 0 << false;
    QTest::newRow("new vault, nothing free") << Write::NewVault << 0 << 0 << false;
}

void TestVaultFile::fullDisk()
{
#ifdef Q_OS_LINUX
    QFETCH(Write, write);
    QFETCH(int, entries);
    QFETCH(int, freeKiB);
    QFETCH(bool, fits);
    if (::geteuid() != 0)
        QSKIP("a real full disk needs a small tmpfs, which only root can mount; the file size "
              "limit test covers the same paths");
    const QString disk = m_dir->filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk})
        != 0)
        QSKIP("could not mount a 64 KiB tmpfs");
    struct Unmount
    {
        QString disk;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {disk}); }
    } unmount {disk};

    const QString path = VaultFile::pathIn(disk);
    VaultFile vault(path);
    QString error;
    if (write != Write::NewVault)
        QVERIFY(vault.save(u"m", entriesOfAHundredBytes(5), &error));
    const QByteArray previous = read(path);

    // Fill the disk, then give back what is to be left free.
    QFile filler(QDir(disk).filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) { }
    QVERIFY(filler.resize(std::max<qint64>(0, filler.size() - freeKiB * 1024)));
    filler.close();

    const std::vector<VaultEntry> next = entriesOfAHundredBytes(entries);
    std::vector<VaultEntry> kept;
    bool written = false;
    switch (write) {
    case Write::Save:
        written = vault.save(u"m", next, &error);
        break;
    case Write::MasterPasswordKeepingEntries:
        written = vault.writeMasterPasswordKeepingEntries(u"a new master password", &kept, &error);
        break;
    case Write::NewVault:
        written = vault.ensureExists(&error);
        break;
    }
    QCOMPARE(written, fits);
    if (fits) {
        QCOMPARE(read(path), VaultFormat::savedContent(u"m", next));
    } else {
        QVERIFY2(error.contains(systemText(ENOSPC)), qPrintable(error));
        QCOMPARE(QFile::exists(path), write != Write::NewVault);
        if (write != Write::NewVault)
            QCOMPARE(read(path), previous);
    }
    QStringList files = QDir(disk).entryList(QDir::Files);
    files.removeAll(QStringLiteral("filler"));
    QCOMPARE(files, write == Write::NewVault ? QStringList() : QStringList {"data.enc"});
#else
    QSKIP("needs a tmpfs");
#endif
}

void TestVaultFile::folderThatCannotBeWritten()
{
#ifdef Q_OS_UNIX
    const std::vector<VaultEntry> entries = {{"kept", "safe", "here"}};
    VaultFile vault(m_path);
    QString error;
    QVERIFY(vault.save(u"m", entries, &error));
    const QByteArray previous = read(m_path);
    const AsOrdinaryUser user(m_dir->path());
    if (!user.binds())
        QSKIP("could not act as an ordinary user, for whom folder permissions bind");
    const QFile::Permissions folder = QFile::permissions(m_dir->path());
    QVERIFY(QFile::setPermissions(m_dir->path(), folder & ~(QFile::WriteOwner | QFile::WriteUser)));

    std::vector<VaultEntry> loaded;
    QString master;
    const bool readable = vault.ensureExists(&error) && vault.readMasterPassword(&master, &error)
        && vault.readEntries(&loaded, &error);
    const bool saved = vault.save(u"m", {}, &error);
    QFile::setPermissions(m_dir->path(), folder);

    QVERIFY(readable);
    QCOMPARE(loaded, entries);
    QVERIFY(!saved);
    QVERIFY2(error.contains(systemText(EACCES)), qPrintable(error));
    QCOMPARE(read(m_path), previous);
#else
    QSKIP("needs folder permissions");
#endif
}

void TestVaultFile::newVaultThroughADanglingLinkIsOwnerOnly()
{
#ifdef Q_OS_UNIX
    const QString target = m_dir->filePath(QStringLiteral("elsewhere.enc"));
    QVERIFY(QFile::link(target, m_path));
    QString error;
    QVERIFY2(VaultFile(m_path).ensureExists(&error), qPrintable(error));
    QCOMPARE(read(target), QByteArray("\r\n"));
    QVERIFY(QFileInfo(m_path).isSymLink());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(QFile::permissions(target) & others, QFileDevice::Permissions());
#else
    QSKIP("needs symbolic links");
#endif
}

void TestVaultFile::loadingNeverAborts_data()
{
    // Run in a second process with at most 64 MB per allocation (an address
    // space limit where there is no sanitizer): one long line needs more and
    // must be refused with a message; a file of line ends needs almost
    // nothing, however many there are.
    QTest::addColumn<char>("fill");
    QTest::addColumn<int>("megabytes");
    QTest::addColumn<QByteArray>("outcome");
    QTest::newRow("one 40 MB line") << 'a' << 40 << QByteArray("error ");
    QTest::newRow("8 MB of CR") << '\r' << 8 << QByteArray("entries 0");
}

void TestVaultFile::loadingNeverAborts()
{
#ifdef Q_OS_UNIX
    QFETCH(char, fill);
    QFETCH(int, megabytes);
    QFETCH(QByteArray, outcome);
    write(m_path, VaultFormat::masterOnlyContent(u"m") + QByteArray(megabytes << 20, fill));

    QProcess load;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(
        QStringLiteral("ASAN_OPTIONS"),
        QStringLiteral("detect_leaks=0:allocator_may_return_null=1:max_allocation_size_mb=64"));
    load.setProcessEnvironment(env);
    load.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("load"), m_path});
    QVERIFY(load.waitForFinished(120000));
    const QByteArray said = load.readAllStandardOutput();
    QCOMPARE(load.exitStatus(), QProcess::NormalExit);
    QVERIFY2(load.exitCode() == 0, load.readAllStandardError().right(2000).constData());
    QVERIFY2(said.startsWith(outcome), said.constData());
    if (outcome.startsWith("error"))
        QVERIFY2(said.contains("There is not enough memory"), said.constData());
#else
    QSKIP("needs a second process with limited memory");
#endif
}

QTEST_GUILESS_MAIN(TestVaultFile)
#include "tst_VaultFile.moc"
