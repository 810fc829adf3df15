#include "VaultFolderFixture.h"
#include "vault/EncryptedFormat.h"
#include "vault/VaultFormat.h"
#include "vault/VaultSession.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace EncryptedFormat;

namespace {

const QString kProduct = QStringLiteral("Vorsell");
const QString kMaster = QStringLiteral("master one");
constexpr KdfParams kQuick {1, 1024};

std::vector<VaultEntry> someEntries(int count = 3)
{
    std::vector<VaultEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({QStringLiteral("user%1").arg(i, 4, 10, QLatin1Char('0')),
                           QStringLiteral("secret-%1").arg(i),
                           QStringLiteral("https://site%1.example").arg(i)});
    return entries;
}

VaultKey keyFor(const QString &password, const Salt &salt = newSalt())
{
    VaultKey key;
    if (deriveKey(password, kQuick, salt, &key) != Problem::None)
        qFatal("derivation failed");
    return key;
}

} // namespace

// Encrypting a vault, opening it, taking the encryption away and changing
// the master password, through the vault session of a run.
class TestVaultEncryption : public QObject, VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }
    void encryptOpenAndRemove();
    void changeMasterPassword_data();
    void changeMasterPassword();
    void refusedAtStart_data();
    void refusedAtStart();
    void damagedFirstByteIsRefused();
    void damagedHeaderIsRefusedUnread();
    void rewritesThatFail_data();
    void rewritesThatFail();
    void killedWhileConverting();
    void unlockNeedsNoFile();
    void readOnlyRunRewritesNothing();

private:
    // A session on a scrambled vault holding the entries, whose new keys
    // take little work.
    std::unique_ptr<VaultSession> scrambledSession(const std::vector<VaultEntry> &entries)
    {
        write(m_path, VaultFormat::savedContent(kMaster, entries));
        return openSession(m_dir->path());
    }
    std::unique_ptr<VaultSession> openSession(const QString &folder)
    {
        auto session = std::make_unique<VaultSession>(folder);
        session->setNewKeyParams(kQuick);
        if (!session->check(kProduct).ok() || !offer(*session, kMaster).ok())
            return nullptr;
        return session;
    }
    // A new session that opens the encrypted vault with the password;
    // *wrong tells a wrong password.
    std::unique_ptr<VaultSession> unlocked(const QString &password, bool *wrong)
    {
        auto session = std::make_unique<VaultSession>(m_dir->path());
        if (!session->check(kProduct).ok() || !session->isEncrypted())
            return nullptr;
        const VaultOutcome outcome = offer(*session, password);
        *wrong = outcome.result == VaultOutcome::Result::WrongPassword;
        return outcome.ok() ? std::move(session) : nullptr;
    }
    static VaultOutcome encrypt(VaultSession &session, const QString &password = kMaster)
    {
        return answerOf([&](VaultSession::Answer answer) {
            session.encrypt(MasterPassword::fromText(password), &session, answer);
        });
    }
    static VaultOutcome changeMasterPassword(VaultSession &session, const QString &password)
    {
        return answerOf([&](VaultSession::Answer answer) {
            session.changeMasterPassword(MasterPassword::fromText(password), &session, answer);
        });
    }
    static bool isMasterPassword(VaultSession &session, const QString &typed)
    {
        return offer(session, typed).ok();
    }
};

void TestVaultEncryption::encryptOpenAndRemove()
{
    const std::vector<VaultEntry> entries = someEntries();
    {
        auto session = scrambledSession(entries);
        QVERIFY(session);
        QVERIFY(!session->isEncrypted());
        const VaultOutcome outcome = encrypt(*session);
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
        QCOMPARE(outcome.status, QStringLiteral("Vault encrypted.  Data saved."));
        QVERIFY(session->isEncrypted());
        QVERIFY(isMasterPassword(*session, kMaster));
        QVERIFY(!isMasterPassword(*session, QStringLiteral("master On")));
    }
    const QByteArray sealed = read(m_path);
    QVERIFY(isEncrypted(sealed));
    // Neither the master password nor an entry stands in the file, scrambled
    // or plain.
    for (const QString &secret : {kMaster, entries[1].password, entries[2].username}) {
        QVERIFY(!sealed.contains(secret.toLatin1()));
        QVERIFY(!sealed.contains(VaultFormat::encodeLine(secret)));
    }

    bool wrong = false;
    QVERIFY(!unlocked(QStringLiteral("master onE"), &wrong));
    QVERIFY(wrong);
    QCOMPARE(read(m_path), sealed);

    auto session = unlocked(kMaster, &wrong);
    QVERIFY(session);
    QVERIFY(std::ranges::equal(session->entries().entries(), entries));
    // A save keeps it encrypted, under a fresh nonce, with the key it has.
    QVERIFY(session->save(QDateTime::currentDateTime()).ok());
    const QByteArray saved = read(m_path);
    QVERIFY(isEncrypted(saved) && saved != sealed);
    QCOMPARE(saved.first(38), sealed.first(38));

    // Back to the scrambled format, byte for byte as a scrambled save.
    const VaultOutcome removed = session->removeEncryption(MasterPassword::fromText(kMaster));
    QVERIFY2(removed.ok(), qPrintable(removed.error));
    QCOMPARE(removed.status, QStringLiteral("Encryption removed.  Data saved."));
    QCOMPARE(read(m_path), VaultFormat::savedContent(kMaster, entries));
    QVERIFY(!session->isEncrypted());
    QVERIFY(isMasterPassword(*session, kMaster));
}

void TestVaultEncryption::changeMasterPassword_data()
{
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("scrambled") << false;
    QTest::newRow("encrypted") << true;
}

void TestVaultEncryption::changeMasterPassword()
{
    QFETCH(bool, encrypted);
    const std::vector<VaultEntry> entries = someEntries();
    const QString next = QStringLiteral("the next one");
    QByteArray before;
    {
        auto session = scrambledSession(entries);
        QVERIFY(session);
        if (encrypted)
            QVERIFY(encrypt(*session).ok());
        before = read(m_path);
        const VaultOutcome outcome = changeMasterPassword(*session, next);
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
        QCOMPARE(outcome.status, QStringLiteral("Master password changed.  Data saved."));
        QVERIFY(isMasterPassword(*session, next));
        QVERIFY(!isMasterPassword(*session, kMaster));
    }
    if (!encrypted) {
        QCOMPARE(read(m_path), VaultFormat::savedContent(next, entries));
        return;
    }
    // A new salt, so a new key.
    QVERIFY(read(m_path).sliced(22, 16) != before.sliced(22, 16));
    bool wrong = false;
    QVERIFY(!unlocked(kMaster, &wrong));
    QVERIFY(wrong);
    auto session = unlocked(next, &wrong);
    QVERIFY(session);
    QVERIFY(std::ranges::equal(session->entries().entries(), entries));
}

void TestVaultEncryption::refusedAtStart_data()
{
    QTest::addColumn<int>("cutAt");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("says");
    QTest::newRow("cut short in the header") << 40 << 1 << QStringLiteral("damaged");
    QTest::newRow("cut short in the content") << 100 << 1 << QStringLiteral("damaged");
    QTest::newRow("a newer version") << -1 << 2 << QStringLiteral("made by a newer version");
}

// A file the program cannot open is refused before a password is asked for,
// with a message that says why, and is left as it was.
void TestVaultEncryption::refusedAtStart()
{
    QFETCH(int, cutAt);
    QFETCH(int, version);
    QFETCH(QString, says);
    QByteArray file = seal(keyFor(kMaster), someEntries(5));
    if (cutAt >= 0)
        file.truncate(cutAt);
    file[8] = char(version);
    write(m_path, file);
    VaultSession session(m_dir->path());
    const VaultOutcome outcome = session.check(kProduct);
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error.contains(says), qPrintable(outcome.error));
    QCOMPARE(read(m_path), file);
}

// Whatever the first byte became, the file is an encrypted vault that is
// damaged: neither a scrambled one whose master password is noise, nor (a
// first byte of CR) a first run whose save would finish it off.
void TestVaultEncryption::damagedFirstByteIsRefused()
{
    const QByteArray sealed = seal(keyFor(kMaster), someEntries(5));
    for (int byte = 1; byte < 256; ++byte) {
        QByteArray file = sealed;
        file[0] = char(byte);
        write(m_path, file);
        {
            VaultSession session(m_dir->path());
            const VaultOutcome outcome = session.check(kProduct);
            QVERIFY2(!outcome.ok() && outcome.error.contains(u"It is damaged")
                         && outcome.error.contains(u"It has not been changed"),
                     qPrintable(QStringLiteral("first byte %1: %2").arg(byte).arg(outcome.error)));
            QVERIFY(!session.isNew());
        }
        QCOMPARE(read(m_path), file);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {QStringLiteral("data.enc")});
    }
}

// A file whose header does not check out is refused from its first bytes:
// the rest, however much of it there is, is never read.
void TestVaultEncryption::damagedHeaderIsRefusedUnread()
{
#ifdef Q_OS_LINUX
    QFile zeros(m_path);
    QVERIFY(zeros.open(QIODevice::WriteOnly));
    QVERIFY(zeros.resize(qint64(64) << 20));
    zeros.close();
    // What the process has read so far, from any file.
    const auto bytesRead = [] {
        QFile io(QStringLiteral("/proc/self/io"));
        return io.open(QIODevice::ReadOnly)
            ? io.readLine().trimmed().split(' ').value(1).toLongLong()
            : -1;
    };
    const qint64 before = bytesRead();
    VaultSession session(m_dir->path());
    const VaultOutcome outcome = session.check(kProduct);
    const qint64 taken = bytesRead() - before;
    QVERIFY(before > 0);
    QVERIFY2(!outcome.ok() && outcome.error.contains(u"It is damaged"), qPrintable(outcome.error));
    QVERIFY2(taken < (1 << 20), qPrintable(QStringLiteral("%1 bytes read").arg(taken)));
#else
    QSKIP("counts the bytes read through /proc");
#endif
}

void TestVaultEncryption::rewritesThatFail_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("rewrite");
    for (const char *fault : {"full disk", "read-only folder"}) {
        for (const char *rewrite : {"encrypt", "remove encryption", "change scrambled",
                                    "change encrypted", "save encrypted"})
            QTest::addRow("%s, %s", fault, rewrite) << fault << rewrite;
    }
}

// On a full disk or in a folder that cannot be written, every rewrite fails
// with the system's reason and leaves the previous file whole, and the
// session as it was.
void TestVaultEncryption::rewritesThatFail()
{
#ifdef Q_OS_LINUX
    QFETCH(QString, fault);
    QFETCH(QString, rewrite);
    QString folder = m_dir->path();
    struct Unmount
    {
        QString disk;
        ~Unmount()
        {
            if (!disk.isEmpty())
                QProcess::execute(QStringLiteral("umount"), {disk});
        }
    } unmount;
    if (fault == u"full disk") {
        if (::geteuid() != 0)
            QSKIP("a real full disk needs a small tmpfs, which only root can mount");
        folder = m_dir->filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(folder));
        if (QProcess::execute(QStringLiteral("mount"),
                              {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder})
            != 0)
            QSKIP("could not mount a 64 KiB tmpfs");
        unmount.disk = folder;
        m_path = VaultFile::pathIn(folder);
    }
    const bool startEncrypted = rewrite == u"remove encryption" || rewrite == u"change encrypted"
        || rewrite == u"save encrypted";
    const std::vector<VaultEntry> entries = someEntries(200);
    write(m_path, VaultFormat::savedContent(kMaster, entries));
    auto session = openSession(folder);
    QVERIFY(session);
    if (startEncrypted)
        QVERIFY(encrypt(*session).ok());
    const QByteArray before = read(m_path);

    std::unique_ptr<AsOrdinaryUser> user;
    QFile::Permissions permissions;
    int expected = ENOSPC;
    if (fault == u"full disk") {
        QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) { }
    } else {
        expected = EACCES;
        user = std::make_unique<AsOrdinaryUser>(folder);
        if (!user->binds())
            QSKIP("could not act as an ordinary user, for whom folder permissions bind");
        permissions = QFile::permissions(folder);
        QVERIFY(
            QFile::setPermissions(folder, permissions & ~(QFile::WriteOwner | QFile::WriteUser)));
    }

    VaultOutcome outcome;
    if (rewrite == u"encrypt")
        outcome = encrypt(*session);
    else if (rewrite == u"remove encryption")
        outcome = session->removeEncryption(MasterPassword::fromText(kMaster));
    else if (rewrite.startsWith(u"change"))
        outcome = changeMasterPassword(*session, QStringLiteral("other one"));
    else
        outcome = session->save(QDateTime::currentDateTime());
    if (user) {
        QFile::setPermissions(folder, permissions);
        user.reset();
    }

    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error.contains(QString::fromLocal8Bit(std::strerror(expected))),
             qPrintable(outcome.error));
    QCOMPARE(read(m_path), before);
    QCOMPARE(session->isEncrypted(), startEncrypted);
    QVERIFY(isMasterPassword(*session, kMaster));
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.removeAll(QStringLiteral("filler"));
    files.removeAll(QStringLiteral("data.enc.lock"));
    QCOMPARE(files, QStringList {"data.enc"});
#else
    QSKIP("needs a tmpfs and folder permissions");
#endif
}

// A copy killed at any moment while it converts the vault, one way or the
// other, leaves either the scrambled vault or the encrypted one, whole, and
// the next copy clears whatever the killed one left beside it.
void TestVaultEncryption::killedWhileConverting()
{
#ifdef Q_OS_UNIX
    const int kills = qEnvironmentVariableIsSet("VORSELL_CRASH_KILLS")
        ? qEnvironmentVariableIntValue("VORSELL_CRASH_KILLS")
        : 60;
    const std::vector<VaultEntry> entries = someEntries(3000);
    const QByteArray scrambled = VaultFormat::savedContent(kMaster, entries);
    write(m_path, scrambled);

    int seen[2] = {0, 0};
    for (int kill = 0; kill < kills; ++kill) {
        QProcess copy;
        copy.start(QStringLiteral(CONVERT_HELPER), {m_dir->path()});
        QVERIFY(copy.waitForReadyRead(20000));
        QCOMPARE(copy.readLine().trimmed(), QByteArray("converting"));
        QThread::usleep(QRandomGenerator::global()->bounded(40000));
        copy.kill();
        QVERIFY(copy.waitForFinished());
        QVERIFY2(copy.exitStatus() == QProcess::CrashExit, copy.readAll().constData());

        // The next copy takes the lock over and clears what was left.
        VaultSession next(m_dir->path());
        QVERIFY(next.check(kProduct).ok());
        const QByteArray content = read(m_path);
        if (isEncrypted(content)) {
            Header header;
            QCOMPARE(readHeader(content, &header), Problem::None);
            std::vector<VaultEntry> opened;
            QCOMPARE(open(content, keyFor(kMaster, header.salt), &opened), Problem::None);
            QVERIFY(opened == entries);
        } else {
            QVERIFY2(
                content == scrambled,
                qPrintable(QStringLiteral("kill %1 left %2 bytes").arg(kill).arg(content.size())));
        }
        ++seen[isEncrypted(content)];
        QStringList files = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(QStringLiteral("data.enc.lock"));
        QCOMPARE(files, QStringList {"data.enc"});
    }
    qInfo("%d kills: the vault was left scrambled %d times, encrypted %d times", kills, seen[0],
          seen[1]);
    QVERIFY(seen[0] > 0 && seen[1] > 0);
#else
    QSKIP("needs SIGKILL");
#endif
}

// A run that could take no lock (here: a folder it cannot write to) opens
// the vault to read, and refuses to convert it as it refuses to save.
void TestVaultEncryption::readOnlyRunRewritesNothing()
{
#ifdef Q_OS_UNIX
    const QByteArray scrambled = VaultFormat::savedContent(kMaster, someEntries());
    write(m_path, scrambled);
    const AsOrdinaryUser user(m_dir->path());
    if (!user.binds())
        QSKIP("could not act as an ordinary user, for whom folder permissions bind");
    const QFile::Permissions permissions = QFile::permissions(m_dir->path());
    QVERIFY(QFile::setPermissions(m_dir->path(),
                                  permissions & ~(QFile::WriteOwner | QFile::WriteUser)));
    auto session = openSession(m_dir->path());
    const VaultOutcome encrypted = session ? encrypt(*session) : VaultOutcome();
    const VaultOutcome changed
        = session ? changeMasterPassword(*session, QStringLiteral("other one")) : VaultOutcome();
    QFile::setPermissions(m_dir->path(), permissions);

    QVERIFY(session && session->isReadOnly());
    for (const VaultOutcome &outcome : {encrypted, changed}) {
        QVERIFY(!outcome.ok());
        QVERIFY2(outcome.error.contains(u"Saving is off for this run"), qPrintable(outcome.error));
    }
    QVERIFY(!session->isEncrypted());
    QCOMPARE(read(m_path), scrambled);
#else
    QSKIP("needs folder permissions");
#endif
}

// A vault whose file went away while it was open still unlocks with the
// right password after a lock, with every entry.
void TestVaultEncryption::unlockNeedsNoFile()
{
    const std::vector<VaultEntry> entries = someEntries();
    auto session = scrambledSession(entries);
    QVERIFY(session);
    QVERIFY(encrypt(*session).ok());
    QVERIFY(QFile::remove(m_path));
    session->lock();
    const VaultOutcome outcome = offer(*session, kMaster);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(session->entries().entries().size(), entries.size());
}

QTEST_GUILESS_MAIN(TestVaultEncryption)
#include "tst_VaultEncryption.moc"
