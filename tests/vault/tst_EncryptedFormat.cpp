#include "MemoryGroup.h"
#include "vault/EncryptedFormat.h"
#include "vault/KeyDerivation.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <sodium.h>

using namespace EncryptedFormat;

Q_DECLARE_METATYPE(EncryptedFormat::Problem)

namespace {

// Small work, so that each derivation takes a few milliseconds.
constexpr KdfParams kQuick {1, 1024};
const QString kPassword = QStringLiteral("Pässwörd €");

// Fills every buffer with the same bytes, counting up from a start.
RandomFill counting(unsigned char start)
{
    return [start](unsigned char *buffer, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            buffer[i] = uchar(start + i);
    };
}

std::vector<VaultEntry> sampleEntries()
{
    VaultEntry userOnly {QStringLiteral("only a name"), {}, {}};
    userOnly.fieldsInFile = 1;
    return {
        {QStringLiteral("alice"), QStringLiteral("s3cret"), QStringLiteral("https://example.com")},
        {QStringLiteral(" spaced "), QString(QChar(0x160)) + QStringLiteral("\u20AC x|y"), {}},
        userOnly,
        {{}, {}, {}},
    };
}

VaultKey derived(const QString &password, const KdfParams &params, const Salt &salt)
{
    VaultKey key;
    if (deriveKey(password, params, salt, &key) != Problem::None)
        qFatal("derivation failed");
    return key;
}

QByteArray sealedSample(const VaultKey &key)
{
    return seal(key, sampleEntries());
}

// Opens a file the way start-up does: the header, then the key from its
// parameters and salt, then the content.
Problem openWith(const QByteArray &file, const QString &password, std::vector<VaultEntry> *entries)
{
    Header header;
    const Problem problem = readHeader(file, &header);
    if (problem != Problem::None)
        return problem;
    VaultKey key;
    if (deriveKey(password, header.params, header.salt, &key) != Problem::None)
        return Problem::OutOfMemory;
    return open(file, key, entries);
}

// A header with other parameters whose checksum still holds, as a hostile
// file would carry.
QByteArray withParams(QByteArray file, quint32 ops, quint32 memKiB)
{
    auto *p = reinterpret_cast<uchar *>(file.data());
    qToLittleEndian<quint32>(ops, p + 10);
    qToLittleEndian<quint32>(memKiB, p + 14);
    crypto_generichash(p + 62, 16, p, 62, nullptr, 0);
    return file;
}

} // namespace

class TestEncryptedFormat : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void wrongPassword();
    void oneBitChanged_data();
    void oneBitChanged();
    void truncatedOrGrown();
    void parametersOutOfBounds_data();
    void parametersOutOfBounds();
    void committedVault();
    void derivationStaysWithinAMemoryGroup();
    void derivationOffThread();
};

void TestEncryptedFormat::roundTrip()
{
    const VaultKey key = derived(kPassword, kQuick, newSalt());
    for (const std::vector<VaultEntry> &entries : {sampleEntries(), std::vector<VaultEntry>()}) {
        const QByteArray first = seal(key, entries);
        const QByteArray second = seal(key, entries);
        QVERIFY(isEncrypted(first));
        // A fresh nonce on every save.
        QVERIFY(first.sliced(38, 24) != second.sliced(38, 24));

        for (const QByteArray &file : {first, second}) {
            std::vector<VaultEntry> read;
            QCOMPARE(openWith(file, kPassword, &read), Problem::None);
            QCOMPARE(read, entries);
            for (std::size_t i = 0; i < entries.size(); ++i)
                QCOMPARE(read[i].fieldsInFile, entries[i].fieldsInFile);
        }
    }
}

void TestEncryptedFormat::wrongPassword()
{
    const QByteArray file = sealedSample(derived(kPassword, kQuick, newSalt()));
    std::vector<VaultEntry> read;
    for (const QString &other : {QStringLiteral("pässwörd €"), kPassword + u' ', QString()}) {
        QCOMPARE(openWith(file, other, &read), Problem::WrongPassword);
        QVERIFY(read.empty());
    }
}

void TestEncryptedFormat::oneBitChanged_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<Problem>("expected");
    const int size = int(kHeaderSize + 200 + kTagSize);
    QTest::newRow("format mark") << 5 << Problem::Damaged;
    QTest::newRow("version, low byte") << 8 << Problem::Damaged;
    QTest::newRow("version, high byte") << 9 << Problem::NewerVersion;
    QTest::newRow("passes") << 11 << Problem::Damaged;
    QTest::newRow("memory") << 16 << Problem::Damaged;
    QTest::newRow("content size") << 19 << Problem::Damaged;
    QTest::newRow("salt") << 30 << Problem::Damaged;
    QTest::newRow("nonce") << 50 << Problem::Damaged;
    QTest::newRow("checksum") << 70 << Problem::Damaged;
    QTest::newRow("content, first byte") << int(kHeaderSize) << Problem::WrongPassword;
    QTest::newRow("content, last byte") << size - 17 << Problem::WrongPassword;
    QTest::newRow("tag") << size - 1 << Problem::WrongPassword;
}

void TestEncryptedFormat::oneBitChanged()
{
    QFETCH(int, at);
    QFETCH(Problem, expected);
    std::vector<VaultEntry> entries(1, VaultEntry {QString(196, u'x'), {}, {}});
    entries.front().fieldsInFile = 1; // 196 bytes and CR LF CR LF: 200 in all
    const QByteArray file = seal(derived(kPassword, kQuick, newSalt()), entries);
    QCOMPARE(file.size(), kHeaderSize + 200 + kTagSize);
    for (int bit = 0; bit < 8; ++bit) {
        QByteArray changed = file;
        changed[at] = char(changed[at] ^ (1 << bit));
        std::vector<VaultEntry> read;
        const Problem problem = openWith(changed, kPassword, &read);
        // The version's low bit makes version 0 (damaged), any higher one a
        // version from the future.
        const Problem want = at == 8 && bit > 0 ? Problem::NewerVersion : expected;
        QCOMPARE(problem, want);
        QVERIFY(read.empty());
    }
    // The first byte tells the formats apart: changed, the file is no longer
    // taken for an encrypted one.
    QByteArray changed = file;
    changed[0] = '\x01';
    QVERIFY(!isEncrypted(changed));
}

void TestEncryptedFormat::truncatedOrGrown()
{
    const QByteArray file = sealedSample(derived(kPassword, kQuick, newSalt()));
    std::vector<VaultEntry> read;
    QCOMPARE(openWith(file, kPassword, &read), Problem::None);
    for (qsizetype size = 1; size < file.size(); ++size)
        QVERIFY2(readHeader(file.first(size), nullptr) == Problem::Damaged,
                 qPrintable(QString::number(size)));
    QCOMPARE(readHeader(file + '\0', nullptr), Problem::Damaged);
    QCOMPARE(readHeader(QByteArray(), nullptr), Problem::Damaged);
}

void TestEncryptedFormat::parametersOutOfBounds_data()
{
    QTest::addColumn<quint32>("ops");
    QTest::addColumn<quint32>("memKiB");
    QTest::addColumn<bool>("accepted");
    constexpr quint32 GiB = 1024 * 1024;
    QTest::newRow("1 GiB, 4 passes") << 4u << GiB << true;
    QTest::newRow("above 1 GiB") << 1u << GiB + 1 << false;
    QTest::newRow("4 GiB of memory") << 1u << 0xFFFFFFFFu << false;
    QTest::newRow("1 GiB, 5 passes") << 5u << GiB << false;
    QTest::newRow("absurd passes") << 0xFFFFFFFFu << 64u << false;
    QTest::newRow("no passes") << 0u << 1024u << false;
    QTest::newRow("below the least memory") << 1u << 7u << false;
}

void TestEncryptedFormat::parametersOutOfBounds()
{
    QFETCH(quint32, ops);
    QFETCH(quint32, memKiB);
    QFETCH(bool, accepted);
    const QByteArray file
        = withParams(sealedSample(derived(kPassword, kQuick, newSalt())), ops, memKiB);
    Header header;
    QCOMPARE(readHeader(file, &header), accepted ? Problem::None : Problem::Damaged);
    if (accepted)
        QCOMPARE(header.params, (KdfParams {ops, memKiB}));
}

// A vault made once, with a fixed salt and nonce, and kept beside the tests:
// it must open, and sealing its entries again under the same salt and nonce
// must give it back byte for byte, on every platform.
void TestEncryptedFormat::committedVault()
{
    const Salt salt = newSalt(counting(0x10));
    const VaultKey key = derived(kPassword, kQuick, salt);
    const QByteArray remade = seal(key, sampleEntries(), counting(0x40));
    if (qEnvironmentVariableIsSet("VORSELL_REMAKE_TEST_VAULT")) {
        QFile out(QStringLiteral(TESTS_SOURCE_DIR "/vault/data/encrypted.enc"));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(remade) == remade.size());
    }

    QFile in(QStringLiteral(":/data/encrypted.enc"));
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray committed = in.readAll();
    std::vector<VaultEntry> read;
    QCOMPARE(openWith(committed, kPassword, &read), Problem::None);
    QCOMPARE(read, sampleEntries());
    QCOMPARE(remade, committed);
}

// A derivation that would take more memory than the process's control
// group leaves is not tried (the system would end the program without a
// word), and says how much it needs; one that fits goes ahead.
void TestEncryptedFormat::derivationStaysWithinAMemoryGroup()
{
#ifdef Q_OS_LINUX
    for (const auto &[limit, outcome] :
         {std::pair {200 << 20, QByteArray("error ")}, std::pair {600 << 20, QByteArray("key")}}) {
        const MemoryGroup group(limit);
        if (!group.isValid())
            QSKIP("making a memory control group needs root and a memory controller");
        QProcess derive;
        derive.start(QStringLiteral(VAULT_HELPER), {QStringLiteral("derive"), group.path()});
        QVERIFY(derive.waitForFinished(120000));
        const QByteArray said = derive.readAllStandardOutput();
        QVERIFY2(derive.exitStatus() == QProcess::NormalExit && derive.exitCode() == 0,
                 (said + derive.readAllStandardError().right(2000)).constData());
        QVERIFY2(said.startsWith(outcome), said.constData());
        if (outcome.startsWith("error"))
            QVERIFY2(said.contains(" MiB are left for the program."), said.constData());
    }
#else
    QSKIP("needs a memory control group");
#endif
}

// The derivation runs on a thread of its own, reports back on this one, and
// cannot be started a second time while it runs.
void TestEncryptedFormat::derivationOffThread()
{
    const Salt salt = newSalt();
    KeyDerivation derivation;
    std::vector<KeyDerivation::Result> results;
    const auto collect = [&results](KeyDerivation::Result result) {
        results.push_back(std::move(result));
    };
    QVERIFY(derivation.start(kPassword, kQuick, salt, collect));
    QVERIFY(derivation.isRunning());
    QVERIFY(!derivation.start(kPassword, kQuick, salt, collect));
    QTRY_COMPARE(results.size(), std::size_t(1));
    QVERIFY(results[0].isDone());
    QVERIFY(!derivation.isRunning());

    const QByteArray file = seal(results[0].value, sampleEntries());
    std::vector<VaultEntry> read;
    QCOMPARE(openWith(file, kPassword, &read), Problem::None);
    QCOMPARE(read, sampleEntries());
}

QTEST_GUILESS_MAIN(TestEncryptedFormat)
#include "tst_EncryptedFormat.moc"
