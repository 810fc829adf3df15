#include "TestProgram.h"
#include "vault/EncryptedFormat.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

// The memory of a locked program, taken whole with gcore, holds neither the
// master password nor any password of the vault, in any form the program
// ever had them in: UTF-16 (QString), UTF-8 or Latin-1 (conversions, the
// clipboard), and the vault file's scrambled bytes.
class TestLockMemory : public QObject
{
    Q_OBJECT

private slots:
    void lockedProgramHoldsNoSecret_data();
    void lockedProgramHoldsNoSecret();
};

namespace {

struct Secret
{
    const char *name;
    QString text;
};

QList<QByteArray> formsOf(const QString &text)
{
    QByteArray utf16(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return {utf16, text.toUtf8(), VaultFormat::encodeLine(text)};
}

#ifdef __SANITIZE_ADDRESS__
// What a core dump of the process holds, read straight from its memory: every
// readable mapping that is not marked to be left out of dumps. gcore cannot
// serve here: it writes out AddressSanitizer's terabytes of shadow memory.
QByteArray memoryOf(qint64 pid)
{
    QFile maps(QStringLiteral("/proc/%1/smaps").arg(pid));
    QFile mem(QStringLiteral("/proc/%1/mem").arg(pid));
    if (!maps.open(QIODevice::ReadOnly) || !mem.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    QByteArray memory;
    quint64 start = 0;
    quint64 end = 0;
    bool readable = false;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-') && !fields[0].endsWith(':')) {
            const QList<QByteArray> range = fields[0].split('-');
            start = range[0].toULongLong(nullptr, 16);
            end = range[1].toULongLong(nullptr, 16);
            readable = fields[1].startsWith('r');
        } else if (line.startsWith("VmFlags:") && readable && !line.split(' ').contains("dd")
                   && fields.size() > 0) {
            if (mem.seek(qint64(start)))
                memory += mem.read(qint64(end - start));
        }
    }
    return memory;
}
#else
// gcore's dump of the process.
QByteArray memoryOf(qint64 pid)
{
    QTemporaryDir cores;
    const QString core = cores.filePath(QStringLiteral("core"));
    QProcess dump;
    dump.start(QStandardPaths::findExecutable(QStringLiteral("gcore")),
               {QStringLiteral("-o"), core, QString::number(pid)});
    dump.waitForFinished(300000);
    QFile file(core + QLatin1Char('.') + QString::number(pid));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
#endif

qsizetype countIn(const QByteArray &haystack, const QByteArray &needle)
{
    qsizetype count = 0;
    for (qsizetype at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + 1))
        ++count;
    return count;
}

} // namespace

void TestLockMemory::lockedProgramHoldsNoSecret_data()
{
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("scrambled") << false;
    QTest::newRow("encrypted") << true;
}

void TestLockMemory::lockedProgramHoldsNoSecret()
{
    QFETCH(bool, encrypted);
#ifndef Q_OS_LINUX
    QSKIP("gcore and Linux's memory maps");
#else
#ifndef __SANITIZE_ADDRESS__
    const QString gcore = QStandardPaths::findExecutable(QStringLiteral("gcore"));
    if (gcore.isEmpty())
        QSKIP("gcore is not installed (Debian: gdb)");
#endif
    QList<Secret> secrets = {
        {"master password", QStringLiteral("Mast3r-Secret-Pw")},
        {"password 1", QStringLiteral("alpha-Pw-1111")},
        {"password 2 (deleted)", QStringLiteral("bravo-Pw-2222")},
        {"password 3", QStringLiteral("xray-Pw-3333")},
        {"typed in the editor", QStringLiteral("half-typed-Pw-4444")},
    };
    QTemporaryDir folder;
    QFile vault(VaultFile::pathIn(folder.path()));
    QVERIFY(vault.open(QIODevice::WriteOnly));
    const std::vector<VaultEntry> entries = {{"ann", secrets[1].text, "a.example"},
                                             {"bob", secrets[2].text, "b.example"},
                                             {"zed", secrets[3].text, "z.example"}};
    // The key is looked for as well, by its bytes.
    QByteArray keyBytes;
    if (encrypted) {
        using namespace EncryptedFormat;
        VaultKey key;
        QCOMPARE(deriveKey(secrets[0].text, {1, 1024}, newSalt(), &key), Problem::None);
        vault.write(seal(key, entries));
        keyBytes = QByteArray(reinterpret_cast<const char *>(key.bytes()), 32);
    } else {
        vault.write(VaultFormat::savedContent(secrets[0].text, entries));
    }
    vault.close();

    const auto masked = [](const QString &text) {
        QByteArray bytes = text.toLatin1();
        for (char &byte : bytes)
            byte = char(byte ^ 0x5A);
        return QString::fromLatin1(bytes.toHex());
    };
    QProcess helper;
    helper.start(QStringLiteral(LOCK_HELPER),
                 {folder.path(), masked(secrets[0].text), masked(secrets[4].text)});
    QVERIFY(helper.waitForStarted());
    while (!helper.canReadLine() && helper.state() == QProcess::Running)
        helper.waitForReadyRead(1000);
    const QByteArray said = helper.readLine();
    QVERIFY2(said.startsWith("locked"), said + helper.readAllStandardError().right(2000));
    // The program asked not to be dumped or read by others.
    QVERIFY2(said.contains("dumpable=0"), said.constData());

    const QByteArray memory = memoryOf(helper.processId());
    helper.kill();
    helper.waitForFinished();
    QVERIFY(memory.size() > 1000000);

    QStringList found;
    for (const Secret &secret : secrets) {
        const QList<QByteArray> forms = formsOf(secret.text);
        const char *formNames[] = {"UTF-16", "UTF-8", "scrambled"};
        for (int i = 0; i < forms.size(); ++i) {
            const qsizetype count = countIn(memory, forms[i]);
            if (count > 0)
                found.append(
                    QStringLiteral("%1 (%2): %3").arg(secret.name, formNames[i]).arg(count));
        }
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    // The stack of the thread that derived the key stays mapped in the C
    // library's cache of thread stacks after the thread ends.
    if (!keyBytes.isEmpty())
        QCOMPARE(countIn(memory, keyBytes), 0);
#endif
}

QTEST_GUILESS_MAIN(TestLockMemory)
#include "tst_LockMemory.moc"
