#include "VaultFolderFixture.h"
#include "vault/VaultFile.h"

#include <QDir>
#include <QFile>
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

// The vault file when the disk, the folder, a link or the memory fails it.
class TestVaultFileFaults : public QObject, protected VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
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

void TestVaultFileFaults::init()
{
    setUp();
}

void TestVaultFileFaults::cleanup()
{
    tearDown();
}

void TestVaultFileFaults::failures_data()
{
    QTest::addColumn<bool>("vaultIsFolder");
    QTest::newRow("the vault is a folder") << true;
    QTest::newRow("the program folder is gone") << false;
}

void TestVaultFileFaults::failures()
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

void TestVaultFileFaults::failedWriteKeepsPreviousContent_data()
{
    // A file size limit stops the write part-way, as a full disk does, and
    // works without root. Small vaults fit in Qt's write buffer, so only a
    // check before the new file replaces the old one sees their failure.
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("fits");
    QTest::newRow("2,000 entries, 4 KiB") << 2000 << 4096 << false;
    QTest::newRow("1 entry, nothing") << 1 << 0 << false;
    QTest::newRow("100 entries, nothing") << 100 << 0 << false;
    QTest::newRow("3,000 entries, nothing") << 3000 << 0 << false;
    QTest::newRow("1 entry, 4 KiB") << 1 << 4096 << true;
    QTest::newRow("100 entries, 4 KiB") << 100 << 4096 << false;
    QTest::newRow("3,000 entries, 4 KiB") << 3000 << 4096 << false;
}

void TestVaultFileFaults::failedWriteKeepsPreviousContent()
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

void TestVaultFileFaults::fullDisk_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("freeKiB");
    QTest::addColumn<bool>("fits");
    for (int entries : {1, 100, 3000}) {
        QTest::addRow("save %d, nothing free", entries) << Write::Save << entries << 0 << false;
        QTest::addRow("save %d, 8 KiB free", entries)
            << Write::Save << entries << 8 << (entries == 1);
    }
    QTest::newRow("master password keeping entries, nothing free")
        << Write::MasterPasswordKeepingEntries << 0 << 0 << false;
    QTest::newRow("new vault, nothing free") << Write::NewVault << 0 << 0 << false;
}

void TestVaultFileFaults::fullDisk()
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

void TestVaultFileFaults::folderThatCannotBeWritten()
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

void TestVaultFileFaults::newVaultThroughADanglingLinkIsOwnerOnly()
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

void TestVaultFileFaults::loadingNeverAborts_data()
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

void TestVaultFileFaults::loadingNeverAborts()
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

QTEST_GUILESS_MAIN(TestVaultFileFaults)
#include "tst_VaultFileFaults.moc"
