#include "MemoryGroup.h"
#include "VaultBytes.h"
#include "VaultFolderFixture.h"
#include "vault/CodePage.h"
#include "vault/FileExists.h"
#include "vault/VaultFile.h"
#include "vault/VaultSession.h"

#include <QCoreApplication>
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

using namespace VaultFormat;

namespace {

const QString kProduct = QStringLiteral("Vorsell");

QByteArray line(const QString &plain)
{
    return encodeLine(plain) + "\r\n";
}

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

// The bytes of a vault: the format of its lines, the file that holds them,
// and what one run of the program does with it.
class TestVaultFile : public QObject, protected VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void transform();
    void entryLine_data();
    void entryLine();
    void skippedLines();
    void canStore_data();
    void canStore();
    void ensureExists_createsOneEmptyLine_data();
    void ensureExists_createsOneEmptyLine();
    void fileExists_data();
    void fileExists();
    void fileNamePart();
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
    void folderThatCannotBeWritten();
    void loadingNeverAborts_data();
    void loadingNeverAborts();
    // The vault operations of one run, without any window.
    void checkDecidesTheFirstRun_data();
    void checkDecidesTheFirstRun();
    void createWritesOnlyThePassword();
    void entriesAfterAnEmptyFirstLineAreDamage_data();
    void entriesAfterAnEmptyFirstLineAreDamage();
    void saveWritesTheListInItsOrder();
    void failedSaveIsAnOutcome();
    void oneCopyThroughLinks_data();
    void oneCopyThroughLinks();
    void linkLoopReplacesNothing();
    void leftoversGoWheneverTheLockIsHeld();
    void cutShortVaultOpensWithANotice_data();
    void cutShortVaultOpensWithANotice();
    void loadingStaysWithinAMemoryGroup();
    void lockWipesAndReopenBringsBackTheList_data();
    void lockWipesAndReopenBringsBackTheList();
};

void TestVaultFile::init()
{
    setUp();
}

void TestVaultFile::cleanup()
{
    tearDown();
}

void TestVaultFile::transform()
{
    QCOMPARE(encodeLine(u"abc"), QByteArray("\xE1\xE2\xE3"));
    // The separator stands in the file as 0xFC 0xFC 0xFC; a plain 0xFC as 0x7C.
    QCOMPARE(encodeLine(u"|||\u00FC"), QByteArray("\xFC\xFC\xFC\x7C"));
    // Both ends of each half of the code page; the euro sign, code 128, is
    // stored as itself.
    QCOMPARE(decodeLine(QByteArray("\x80\xFF\x01\x7F")),
             QStringLiteral("\u20AC\u007F\u0081\u00FF"));

    // Whatever bytes an existing file holds in a field, loading and saving it
    // writes the same bytes back (0x00 and CR aside: the program never writes
    // the first, and the second ends the line).
    QByteArray field;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r')
            field.append(char(byte));
    }
    const QString plain = decodeLine(field);
    QCOMPARE(encodeLine(plain), field);
    QVERIFY(VaultFormat::canStore(plain));
}

void TestVaultFile::entryLine_data()
{
    // Lines with fewer than two separators never come from the program's
    // writers, but a vault may hold them; whatever a line's bars, loading and
    // saving it writes it back as it was.
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QStringList>("fields");
    using S = QStringList;
    // clang-format off
    QTest::newRow("three fields") << "bob|||s3cret|||www.example.com" << S {"bob", "s3cret", "www.example.com"};
    QTest::newRow("username only") << "bob" << S {"bob", "", ""};
    QTest::newRow("username ending in a bar") << "bob|" << S {"bob|", "", ""};
    QTest::newRow("two fields") << "bob|||pw" << S {"bob", "pw", ""};
    QTest::newRow("two fields, password ending in bars") << "a|||b||" << S {"a", "b||", ""};
    QTest::newRow("five bars") << "|||||" << S {"", "||", ""};
    QTest::newRow("seven bars") << "|||||||" << S {"", "", "|"};
    QTest::newRow("four bars, separators in the location") << "a||||b|||c|||d" << S {"a", "|b", "c|||d"};
    QTest::newRow("spaces kept") << " a |||  |||c " << S {" a ", "  ", "c "};
    // clang-format on
}

void TestVaultFile::entryLine()
{
    QFETCH(QString, plain);
    QFETCH(QStringList, fields);
    const VaultEntry entry = parseEntryLine(encodeLine(plain));
    QCOMPARE((QStringList {entry.username, entry.password, entry.location}), fields);

    const QByteArray file = encodeLine(u"m") + "\r\n" + encodeLine(plain) + "\r\n\r\n";
    const std::vector<VaultEntry> entries = parsedEntries(file);
    QCOMPARE(entries.size(), size_t(1));
    QCOMPARE(savedContent(u"m", entries), file);
}

void TestVaultFile::skippedLines()
{
    // An empty line and one of a single space hold no entry; two spaces, or
    // a space typed as an entry (0xA0 in the file), do.
    const std::pair<QByteArray, bool> lines[]
        = {{"", true}, {" ", true}, {"  ", false}, {"\xA0", false}};
    for (const auto &[raw, skipped] : lines) {
        QCOMPARE(isSkippedLine(raw), skipped);
        const QByteArray file = encodeLine(u"master") + "\r\n" + raw + "\r\n";
        QCOMPARE(parsedEntries(file).size(), skipped ? size_t(0) : size_t(1));
    }
}

void TestVaultFile::canStore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::newRow("ascii") << "Hello, world!" << true;
    QTest::newRow("euro and dashes") << "\u20AC \u2013 \u2014 \u0160" << true;
    QTest::newRow("undefined byte 0x81") << "\u0081" << true;
    QTest::newRow("NUL") << QString(QChar(0)) << false;
    QTest::newRow("0x8D becomes CR") << QString(QChar(0x8D)) << false;
    QTest::newRow("cyrillic after ascii") << "abc\u0436" << false;
    QTest::newRow("emoji") << "\U0001F600" << false;
}

void TestVaultFile::canStore()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);
    QCOMPARE(VaultFormat::canStore(text), storable);
    if (storable)
        QCOMPARE(decodeLine(encodeLine(text)), text);
}

void TestVaultFile::ensureExists_createsOneEmptyLine_data()
{
    QTest::addColumn<bool>("throughALink");
    QTest::newRow("new file") << false;
#ifdef Q_OS_UNIX
    QTest::newRow("through a dangling link") << true;
#endif
}

void TestVaultFile::ensureExists_createsOneEmptyLine()
{
    QFETCH(bool, throughALink);
    QCOMPARE(::fileNamePart(m_path), QStringLiteral("data.enc"));
    const QString file = throughALink ? m_dir->filePath(QStringLiteral("elsewhere.enc")) : m_path;
    if (throughALink)
        QVERIFY(QFile::link(file, m_path));
    VaultFile vault(m_path);
    QString error;
    QVERIFY2(vault.ensureExists(&error), qPrintable(error));
    QCOMPARE(read(file), QByteArray("\r\n"));
    QCOMPARE(QFileInfo(m_path).isSymLink(), throughALink);
#ifdef Q_OS_UNIX
    const auto ownerOnly = [&file] {
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther;
        const QFileDevice::Permissions p = QFile::permissions(file);
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

void TestVaultFile::fileExists_data()
{
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("exists");
    // clang-format off
    QTest::newRow("same name") << "data.enc" << "data.enc" << true;
    QTest::newRow("other letter case") << "data.enc" << "DATA.ENC" << true;
    QTest::newRow("missing") << "data.enc" << "other.enc" << false;
    QTest::newRow("folder") << "folder/" << "folder" << false;
    QTest::newRow("empty name") << "data.enc" << "" << false;
    QTest::newRow("hidden file") << ".hidden" << ".hidden" << false;
    QTest::newRow("missing folder") << "data.enc" << "nowhere/data.enc" << false;
    // clang-format on
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

void TestVaultFile::fileNamePart()
{
    QCOMPARE(::fileNamePart("C:\\Program Files\\Vorsell\\data.enc"), QStringLiteral("data.enc"));
    QCOMPARE(::fileNamePart("/home/user/data.enc"), QStringLiteral("data.enc"));
    QCOMPARE(::fileNamePart("Help.rtf"), QStringLiteral("Help.rtf"));
    QCOMPARE(::fileNamePart(QString()), QString());
    QCOMPARE(::fileNamePart("C:\\folder\\"), QString());
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
    // clang-format off
    QTest::newRow("one byte: CR") << QByteArray("\r") << 0;
    QTest::newRow("one byte: LF") << QByteArray("\n") << 0;
    QTest::newRow("password, no line end") << VaultFormat::encodeLine(u"pw") << 0;
    QTest::newRow("CR LF CR just after the seam") << upTo(kPiece) + "\r" << 1;
    QTest::newRow("CR LF, CR alone past the seam") << upTo(kPiece - 1) + "\r" + "\r" << 1;
    QTest::newRow("CR at the seam, LF after it") << upTo(kPiece + 1) + "x" << 2;
    QTest::newRow("separator across the seam") << upTo(kPiece - 4) + VaultFormat::encodeLine(u"ab|||c||||d") + "\r\n" << 2;
    QTest::newRow("a space alone across the seam") << upTo(kPiece - 2) + " " << 1;
    QTest::newRow("two spaces across the seam") << upTo(kPiece - 1) + "  " << 2;
    QTest::newRow("LF as data just past the seam") << upTo(kPiece - 1) + "\xE1\n" << 2;
    // clang-format on
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
    QTest::newRow("empty first line ended by CR alone") << QByteArray("\r") << entries;
    QTest::newRow("a master password already") << encodeLine(u"old") + "\r\n" << entries;
    // The file is read a megabyte at a time: the first line's CR ends the
    // first piece and its LF begins the next.
    QTest::newRow("across the seam") << QByteArray((1 << 20) - 1, '\xE1') + "\r\n" << entries;
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
    const QStringList leftovers
        = {"data.enc.~vorsell-save-0a1b2c3d", "data.enc.~vorsell-save-zz9y8x7w"};
    // The user's own copies, whatever their names, and those of another vault.
    QStringList others = {"data.enc.lock",
                          "data.enc.backup",
                          "data.enc.Backup",
                          "data.enc.before",
                          "data.enc.aBcDeF",
                          "data.enc.~vorsell-save-1",
                          "other.enc.~vorsell-save-0a1b2c3d"};
    for (const QString &name : leftovers + others)
        write(dir.filePath(name), "x");
    QVERIFY(dir.mkdir(QStringLiteral("data.enc.~vorsell-save-abcdefgh")));
    // Where letter case does not tell names apart, "Backup" and "backup" are
    // one file.
    QStringList expected = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : leftovers)
        QVERIFY(expected.removeOne(name));

    QCOMPARE(VaultFile(m_path).removeLeftoverSaves(), int(leftovers.size()));
    expected.sort();
    QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, expected);
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
    // clang-format off
    QTest::newRow("new vault") << "new-vault.enc" << "" << E {} << false;
    QTest::newRow("master only") << "master-only.enc" << "master" << E {} << false;
    QTest::newRow("empty first line") << "empty-first-line.enc" << "" << E {{"u", "p", "l"}} << true;
    QTest::newRow("saved") << "saved.enc" << "master" << E {{"alice", "s3cret", "https://example.com"}, {"bob", "pw", ""}} << true;
    QTest::newRow("short lines") << "short-lines.enc" << "m" << E {{"", "||", ""}, {"bob", "", ""}, {"a", "b|", ""}} << false;
    QTest::newRow("odd bytes") << "odd-bytes.enc" << "m\u0160" << E {{"S\u0160", "x", ""}, {"\u20AC\u20AC||", "", ""}, {"\u0160", "", ""}} << false;
    // clang-format on
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
    // works without root.
    QTest::addColumn<Write>("write");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("fits");
    // clang-format off
    QTest::newRow("save 1, nothing") << Write::Save << 1 << 0 << false;
    QTest::newRow("save 1, 4 KiB") << Write::Save << 1 << 4096 << true;
    QTest::newRow("save 100, 4 KiB") << Write::Save << 100 << 4096 << false;
    QTest::newRow("master password keeping entries, nothing") << Write::MasterPasswordKeepingEntries << 0 << 0 << false;
    QTest::newRow("new vault, nothing") << Write::NewVault << 0 << 0 << false;
    // clang-format on
}

void TestVaultFile::failedWriteKeepsPreviousContent()
{
#ifdef Q_OS_UNIX
    QFETCH(Write, write);
    QFETCH(int, entries);
    QFETCH(int, limit);
    QFETCH(bool, fits);
    VaultFile vault(m_path);
    QString error;
    const std::vector<VaultEntry> before = {{"kept", "safe", "here"}};
    if (write != Write::NewVault)
        QVERIFY(vault.save(u"m", before, &error));
    const QByteArray previous = read(m_path);

    const std::vector<VaultEntry> next = entriesOfAHundredBytes(entries);
    std::vector<VaultEntry> kept;
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = rlim_t(limit);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
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
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(written, fits);
    if (fits) {
        QCOMPARE(read(m_path), VaultFormat::savedContent(u"m", next));
    } else {
        QVERIFY2(error.contains(QDir::toNativeSeparators(m_path)), qPrintable(error));
        QVERIFY2(error.contains(systemText(EFBIG)), qPrintable(error));
        QCOMPARE(read(m_path), previous);
    }
    // No half-written file is left beside the vault.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             write == Write::NewVault ? QStringList() : QStringList {"data.enc"});
#else
    QSKIP("needs a file size limit");
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

void TestVaultFile::checkDecidesTheFirstRun_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<QByteArray>("contentAfter");
    // clang-format off
    QTest::newRow("no file") << false << QByteArray() << true << QByteArray("\r\n");
    QTest::newRow("zero bytes") << true << QByteArray() << true << QByteArray();
    QTest::newRow("password") << true << line("pass") + "\r\n" << false << line("pass") + "\r\n";
    // clang-format on
}

void TestVaultFile::checkDecidesTheFirstRun()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, content);
    QFETCH(bool, firstRun);
    QFETCH(QByteArray, contentAfter);
    if (fileExists)
        write(m_path, content);
    VaultSession session(m_dir->path());
    const VaultOutcome outcome = session.check(kProduct);
    QVERIFY(outcome.ok());
    QCOMPARE(read(m_path), contentAfter);
    QCOMPARE(session.isNew(), firstRun);
    QCOMPARE(offer(session, QStringLiteral("pass")).ok(), !firstRun);
}

void TestVaultFile::createWritesOnlyThePassword()
{
    write(m_path, "\r\n");
    VaultSession session(m_dir->path());
    QVERIFY(session.check(kProduct).ok());
    const VaultOutcome outcome = session.create(MasterPassword::fromText(u"Secret \u20AC"));
    QVERIFY(outcome.ok());
    QCOMPARE(outcome.status, QStringLiteral("Password created successfully"));
    QCOMPARE(read(m_path), line(QStringLiteral("Secret \u20AC")));
    QVERIFY(offer(session, QStringLiteral("Secret \u20AC")).ok());
}

void TestVaultFile::entriesAfterAnEmptyFirstLineAreDamage_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("entries") << "\r\n" + line("a|||b|||c") + line("d") + "\r\n";
    QTest::newRow("one more empty line") << QByteArray("\r\n\r\n");
    QTest::newRow("a first line ended by CR alone") << "\r" + line("a|||b|||c");
}

// A vault that holds more after an empty first line has lost its master
// password: it is refused as damaged rather than taken for a first run,
// whose new master password would rewrite it.
void TestVaultFile::entriesAfterAnEmptyFirstLineAreDamage()
{
    QFETCH(QByteArray, content);
    write(m_path, content);
    {
        VaultSession session(m_dir->path());
        const VaultOutcome outcome = session.check(kProduct);
        QVERIFY(!outcome.ok());
        QVERIFY2(outcome.error.contains(u"It is damaged")
                     && outcome.error.contains(u"It has not been changed"),
                 qPrintable(outcome.error));
    }
    QCOMPARE(read(m_path), content);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("data.enc")});
}

void TestVaultFile::saveWritesTheListInItsOrder()
{
    write(m_path, line("pw") + line("b|||2|||") + line("a|||1|||x"));
    VaultSession session(m_dir->path());
    QVERIFY(session.check(kProduct).ok());
    QVERIFY(offer(session, QStringLiteral("pw")).ok());
    session.entries().sortBy(int(Field::Username), EntryListModel::Ascending);
    const VaultOutcome outcome = session.save(QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26)));
    QVERIFY(outcome.ok());
    QVERIFY(outcome.status.startsWith(QStringLiteral("Saved ")));
    // The hour follows the system's 12- or 24-hour clock ("3:09:26 PM"
    // on a US Windows); minutes and seconds read the same on both.
    QVERIFY(outcome.status.contains(QStringLiteral(":09:26")));
    QCOMPARE(read(m_path), line("pw") + line("a|||1|||x") + line("b|||2|||") + "\r\n");
    QVERIFY(!session.hasUnsavedChanges());
}

void TestVaultFile::failedSaveIsAnOutcome()
{
    write(m_path, line("pw"));
    VaultSession session(m_dir->path());
    QVERIFY(session.check(kProduct).ok());
    QVERIFY(offer(session, QStringLiteral("pw")).ok());
    QVERIFY(QFile::remove(session.path()));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data.enc")));

    const VaultOutcome outcome = session.apply(
        [](EntryListChange &list) {
            list.append({"u", "p", "l"});
        },
        VaultSession::IfSaveFails::KeepUnsaved, QString());
    QVERIFY(!outcome.ok());
    QVERIFY(outcome.error.contains(QDir::toNativeSeparators(session.path())));
    QCOMPARE(outcome.status, QStringLiteral("The entries could not be saved."));
    QVERIFY(session.hasUnsavedChanges());
    // Nothing the user typed is dropped.
    QCOMPARE(session.entries().count(), 1);
}

void TestVaultFile::oneCopyThroughLinks_data()
{
    QTest::addColumn<bool>("linkedFolder");
    QTest::newRow("the vault's name is a link") << false;
    QTest::newRow("a link to the vault through a linked folder") << true;
}

void TestVaultFile::oneCopyThroughLinks()
{
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links");
#else
    // A second program folder whose vault links to the first one's.
    write(m_path, line("pw"));
    QTemporaryDir second;
    QString target = m_path;
    QFETCH(bool, linkedFolder);
    if (linkedFolder) {
        const QString folderLink = QDir(second.path()).filePath(QStringLiteral("first"));
        QVERIFY(QFile::link(m_dir->path(), folderLink));
        target = QDir(folderLink).filePath(QStringLiteral("data.enc"));
    }
    QVERIFY(QFile::link(target, QDir(second.path()).filePath(QStringLiteral("data.enc"))));

    VaultSession first(m_dir->path());
    QVERIFY(first.check(kProduct).ok());
    VaultSession linked(second.path());
    const VaultOutcome refused = linked.check(kProduct);
    QVERIFY2(refused.error.contains(QStringLiteral("already open in another copy")),
             qPrintable(refused.error));
    first.release();
    QVERIFY(linked.check(kProduct).ok());
    QVERIFY(first.check(kProduct).error.contains(QStringLiteral("already open")));
#endif
}

void TestVaultFile::linkLoopReplacesNothing()
{
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links");
#else
    const QString other = QDir(m_dir->path()).filePath(QStringLiteral("other.enc"));
    QVERIFY(QFile::link(other, m_path));
    QVERIFY(QFile::link(m_path, other));
    VaultSession session(m_dir->path());
    const VaultOutcome outcome = session.check(kProduct);
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error.contains(QStringLiteral("symbolic link that leads round in a circle")),
             qPrintable(outcome.error));
    QVERIFY(QFileInfo(m_path).isSymLink() && QFileInfo(other).isSymLink());
    QCOMPARE(QDir(m_dir->path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                 .size(),
             2);
#endif
}

void TestVaultFile::leftoversGoWheneverTheLockIsHeld()
{
    // No lock was left behind: the user removed it, or the leftovers are
    // older than it.
    write(m_path, line("pw"));
    const QDir folder(m_dir->path());
    const QString leftover = folder.filePath(QStringLiteral("data.enc.~vorsell-save-x1y2z3w4"));
    const QString own = folder.filePath(QStringLiteral("data.enc.backup"));
    QVERIFY(QFile::copy(m_path, leftover));
    QVERIFY(QFile::copy(m_path, own));
    VaultSession session(m_dir->path());
    QVERIFY(session.check(kProduct).ok());
    QVERIFY(!QFile::exists(leftover));
    QVERIFY(QFile::exists(own));
}

void TestVaultFile::cutShortVaultOpensWithANotice_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("cutShort");
    QTest::newRow("saved") << line("pw") + line("a|||1|||x") + "\r\n" << 1 << false;
    QTest::newRow("created") << line("pw") << 0 << false;
    QTest::newRow("cut in an entry")
        << line("pw") + line("a|||1|||x") + VaultFormat::encodeLine(u"b|||2") << 2 << true;
    QTest::newRow("cut in a line break") << line("pw") + line("a|||1|||x") + "\r" << 1 << true;
}

void TestVaultFile::cutShortVaultOpensWithANotice()
{
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    QFETCH(bool, cutShort);
    write(m_path, content);
    VaultSession session(m_dir->path());
    QVERIFY(session.check(kProduct).ok());
    const VaultOutcome outcome = offer(session, QStringLiteral("pw"));
    QVERIFY(outcome.ok());
    QCOMPARE(session.entries().count(), count);
    QCOMPARE(outcome.notice.contains(QStringLiteral("it looks cut short")), cutShort);
}

void TestVaultFile::loadingStaysWithinAMemoryGroup()
{
#ifdef Q_OS_LINUX
    // Desktops limit a program's memory with a control group, which ends the
    // program without a word once it is used up: a vault too big for it
    // must be refused before that. 4 million one-character entries take
    // more than the group's 200 MB.
    const MemoryGroup group(200 << 20);
    if (!group.isValid())
        QSKIP("making a memory control group needs root and a memory controller");

    QByteArray lines;
    for (int i = 0; i < 4'000'000; ++i)
        lines += "\xE1\r";
    for (const auto &[content, outcome] :
         {std::pair {lines, QByteArray("error ")},
          std::pair {lines.left(20'000), QByteArray("entries 10000")}}) {
        write(m_path, VaultFormat::masterOnlyContent(u"m") + content);
        QProcess load;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(
            QStringLiteral("ASAN_OPTIONS"),
            QStringLiteral("detect_leaks=0:allocator_may_return_null=1:quarantine_size_mb=1"));
        load.setProcessEnvironment(env);
        load.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("load"), m_path, group.path()});
        QVERIFY(load.waitForFinished(120000));
        const QByteArray said = load.readAllStandardOutput();
        QVERIFY2(load.exitStatus() == QProcess::NormalExit && load.exitCode() == 0,
                 (said + load.readAllStandardError().right(2000)).constData());
        QVERIFY2(said.startsWith(outcome), said.constData());
        if (outcome.startsWith("error"))
            QVERIFY2(said.contains("There is not enough memory"), said.constData());
    }
#else
    QSKIP("needs a memory control group");
#endif
}

void TestVaultFile::lockWipesAndReopenBringsBackTheList_data()
{
    QTest::addColumn<bool>("saveFails");
    QTest::newRow("saved") << false;
    QTest::newRow("a change whose save failed") << true;
}

void TestVaultFile::lockWipesAndReopenBringsBackTheList()
{
    QFETCH(bool, saveFails);
    write(m_path, line("pw") + line("a|||bee|||c") + "\r\n");
    VaultSession session(m_dir->path());
    QVERIFY(session.check(kProduct).ok());
    QVERIFY(offer(session, QStringLiteral("pw")).ok());
    if (saveFails) {
        QVERIFY(QFile::remove(session.path()));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data.enc")));
    }
    const VaultOutcome added = session.apply(
        [](EntryListChange &list) {
            list.append({"d", "e", {}});
        },
        VaultSession::IfSaveFails::KeepUnsaved, QString());
    QCOMPARE(added.ok(), !saveFails);
    // Shares the list's text: wiped, not just released, it reads as zeroes.
    const QString shared = session.entries().entry(1).password;

    session.lock();
    QVERIFY(session.isSealed());
    QCOMPARE(session.entries().count(), 0);
    QVERIFY(!session.isOpen());
    QCOMPARE(shared, QString(3, QChar(0)));
    QCOMPARE(offer(session, QStringLiteral("PW")).result, VaultOutcome::Result::WrongPassword);

    QVERIFY(offer(session, QStringLiteral("pw")).ok());
    QVERIFY(!session.isSealed());
    QCOMPARE(offer(session, QStringLiteral("PW")).result, VaultOutcome::Result::WrongPassword);
    QVERIFY(offer(session, QStringLiteral("pw")).ok());
    QCOMPARE(session.hasUnsavedChanges(), saveFails);
    QCOMPARE(session.entries().count(), 2);
    QCOMPARE(session.entries().entry(1).password, QStringLiteral("bee"));
}

QTEST_GUILESS_MAIN(TestVaultFile)
#include "tst_VaultFile.moc"
