#include "VaultBytes.h"
#include "VaultFolderFixture.h"
#include "vault/FileExists.h"
#include "vault/VaultFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

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
    void saveAndReadBack();
    void manyMoreEntriesThanSixteenBits();
    void lineBreaksAcrossReadPieces_data();
    void lineBreaksAcrossReadPieces();
    void readsOddEndingsAtTheSeam_data();
    void readsOddEndingsAtTheSeam();
    void nameInAnotherLetterCase();
    void masterPasswordKeepsTheEntriesAfterIt_data();
    void masterPasswordKeepsTheEntriesAfterIt();
    void leftoverSavesAreRemoved();
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
    QTest::newRow("empty first line") << QByteArray("\r\n") << "";
    QTest::newRow("empty first line, entries after")
        << QByteArray("\r\n") + VaultFormat::encodeLine(u"a|||b|||c") + "\r\n"
        << "";
    QTest::newRow("password") << VaultFormat::masterOnlyContent(u"S3cret pw") << "S3cret pw";
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

void TestVaultFile::saveAndReadBack()
{
    const std::vector<VaultEntry> entries = {
        {"alice", "pa ss ", "https://example.com/login"},
        {"bob", "\u20AC\u0160\u00FC", ""},
        {"", "", "C:\\Users\\bob\\Documents"},
    };
    VaultFile vault(m_path);
    QString error;
    QVERIFY2(vault.save(u"master", entries, &error), qPrintable(error));
    QByteArray content = read(m_path);
    QVERIFY(content.endsWith("\r\n\r\n"));

    std::vector<VaultEntry> loaded;
    QVERIFY(vault.readEntries(&loaded, &error));
    QCOMPARE(loaded, entries);
    QString master;
    QVERIFY(vault.readMasterPassword(&master, &error));
    QCOMPARE(master, QStringLiteral("master"));

    // Saving after the last entry was deleted leaves the password line and
    // one empty line.
    QVERIFY(vault.save(u"master", {}, &error));
    QCOMPARE(read(m_path), VaultFormat::encodeLine(u"master") + "\r\n\r\n");
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

void TestVaultFile::lineBreaksAcrossReadPieces_data()
{
    // The file is read a megabyte at a time: put a line break, and an LF that
    // is data, on every side of that seam.
    QTest::addColumn<int>("shift");
    for (int shift = -3; shift <= 2; ++shift)
        QTest::addRow("seam%+d", shift) << shift;
}

void TestVaultFile::lineBreaksAcrossReadPieces()
{
    QFETCH(int, shift);
    constexpr int kPiece = 1 << 20;
    QByteArray content = VaultFormat::encodeLine(u"master") + "\r\n";
    const QByteArray line = VaultFormat::encodeLine(u"user|||pass|||loc");
    while (content.size() + line.size() + 2 < kPiece + shift)
        content += line + "\r\n";
    // Pad the last line so that its CR lands exactly at the seam plus shift,
    // and follow it with a line that holds an LF as data.
    content += QByteArray(kPiece + shift - content.size(), '\xE1') + "\r\n";
    content += VaultFormat::encodeLine(u"S\u0160|||x|||y") + "\r\n\r\n";
    write(m_path, content);

    std::vector<VaultEntry> read;
    QString error;
    QVERIFY(VaultFile(m_path).readEntries(&read, &error));
    QCOMPARE(read, parsedEntries(content));
    QCOMPARE(read.back().username, QStringLiteral("S\u0160"));
    QString master;
    QVERIFY(VaultFile(m_path).readMasterPassword(&master, &error));
    QCOMPARE(master, QStringLiteral("master"));
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

QTEST_GUILESS_MAIN(TestVaultFile)
#include "tst_VaultFile.moc"
