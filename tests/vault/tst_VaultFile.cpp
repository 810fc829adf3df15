#include "vault/FileExists.h"
#include "vault/VaultFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

class TestVaultFile : public QObject
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
    void failures_data();
    void failures();
    void failedWriteKeepsPreviousContent();

private:
    QByteArray read(const QString &path) const;
    void write(const QString &path, const QByteArray &bytes) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestVaultFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = VaultFile::pathIn(m_dir->path());
}

void TestVaultFile::cleanup()
{
    m_dir.reset();
}

QByteArray TestVaultFile::read(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void TestVaultFile::write(const QString &path, const QByteArray &bytes) const
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
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
    QCOMPARE(read, VaultFile::parseEntries(content));
    QCOMPARE(read.back().username, QStringLiteral("S\u0160"));
    QString master;
    QVERIFY(VaultFile(m_path).readMasterPassword(&master, &error));
    QCOMPARE(master, QStringLiteral("master"));
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

void TestVaultFile::failedWriteKeepsPreviousContent()
{
#ifdef Q_OS_UNIX
    // A full disk, made with a file size limit: the write fails part-way.
    const std::vector<VaultEntry> before = {{"kept", "safe", "here"}};
    VaultFile vault(m_path);
    QString error;
    QVERIFY(vault.save(u"m", before, &error));
    const QByteArray previous = read(m_path);

    std::vector<VaultEntry> big(2000, VaultEntry {"user name", "password", "location"});
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = vault.save(u"m", big, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QVERIFY(error.contains(QDir::toNativeSeparators(m_path)));
    QCOMPARE(read(m_path), previous);
    // No half-written file is left beside the vault.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {"data.enc"});
#else
    QSKIP("needs a file size limit");
#endif
}

QTEST_GUILESS_MAIN(TestVaultFile)
#include "tst_VaultFile.moc"
