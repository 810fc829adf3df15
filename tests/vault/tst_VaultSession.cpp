#include "VaultFolderFixture.h"
#include "vault/VaultFormat.h"
#include "vault/VaultSession.h"

namespace {

const QString kProduct = QStringLiteral("Vorsell");

QByteArray line(const QString &plain)
{
    return VaultFormat::encodeLine(plain) + "\r\n";
}

} // namespace

// The vault operations of one run, without any window.
class TestVaultSession : public QObject, protected VaultFolderFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void checkDecidesTheFirstRun_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<QByteArray>("contentAfter");
        QTest::newRow("no file") << false << QByteArray() << true << QByteArray("\r\n");
        QTest::newRow("zero bytes") << true << QByteArray() << true << QByteArray();
        QTest::newRow("empty first line with entries")
            << true << QByteArray("\r\n\xE1\r\n") << true << QByteArray("\r\n\xE1\r\n");
        QTest::newRow("password") << true << line("pass") + "\r\n"
                                  << false << line("pass") + "\r\n";
    }
    void checkDecidesTheFirstRun()
    {
        QFETCH(bool, fileExists);
        QFETCH(QByteArray, content);
        QFETCH(bool, firstRun);
        QFETCH(QByteArray, contentAfter);
        if (fileExists)
            write(content);
        VaultSession session(m_dir->path());
        const VaultOutcome outcome = session.check(kProduct);
        QVERIFY(outcome.ok);
        QCOMPARE(read(), contentAfter);
        QCOMPARE(session.isNew(), firstRun);
        QCOMPARE(session.storedPassword(), firstRun ? QString() : QStringLiteral("pass"));
    }

    void createWritesOnlyThePassword()
    {
        write("\r\n");
        VaultSession session(m_dir->path());
        QVERIFY(session.check(kProduct).ok);
        const VaultOutcome outcome = session.create(QStringLiteral("Secret \u20AC"));
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.status, QStringLiteral("Password created successfully"));
        QCOMPARE(read(), line(QStringLiteral("Secret \u20AC")));
        QCOMPARE(session.masterPassword(), QStringLiteral("Secret \u20AC"));
    }

    void firstRunKeepsTheEntriesAfterAnEmptyFirstLine()
    {
        write("\r\n" + line("a|||b|||c") + line("d") + "\r\n");
        VaultSession session(m_dir->path());
        QVERIFY(session.check(kProduct).ok);
        QVERIFY(session.isNew());
        const VaultOutcome outcome = session.create(QStringLiteral("pw"));
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.status, QStringLiteral("Loaded 2 entries"));
        QCOMPARE(read(), line("pw") + line("a|||b|||c") + line("d") + "\r\n");
        QCOMPARE(session.entries().count(), 2);
        // The next save keeps them too.
        QVERIFY(session.save(QDateTime::currentDateTime()).ok);
        QCOMPARE(read(), line("pw") + line("a|||b|||c") + line("d") + "\r\n");
    }

    void saveWritesTheListInItsOrder()
    {
        write(line("pw") + line("b|||2|||") + line("a|||1|||x"));
        VaultSession session(m_dir->path());
        QVERIFY(session.check(kProduct).ok);
        QVERIFY(session.load(QStringLiteral("pw")).ok);
        session.entries().sortBy(int(Field::Username), EntryListModel::Ascending);
        const VaultOutcome outcome = session.save(QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26)));
        QVERIFY(outcome.ok);
        QVERIFY(outcome.status.startsWith(QStringLiteral("Saved ")));
        // The hour follows the system's 12- or 24-hour clock ("3:09:26 PM"
        // on a US Windows); minutes and seconds read the same on both.
        QVERIFY(outcome.status.contains(QStringLiteral(":09:26")));
        QCOMPARE(read(), line("pw") + line("a|||1|||x") + line("b|||2|||") + "\r\n");
        QVERIFY(!session.hasUnsavedChanges());
    }

    void failedSaveIsAnOutcome()
    {
        write(line("pw"));
        VaultSession session(m_dir->path());
        QVERIFY(session.check(kProduct).ok);
        QVERIFY(session.load(QStringLiteral("pw")).ok);
        QVERIFY(QFile::remove(session.path()));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("data.enc")));
        session.entries().append({"u", "p", "l"});

        const VaultOutcome outcome = session.save(QDateTime::currentDateTime());
        QVERIFY(!outcome.ok);
        QVERIFY(outcome.error.contains(QDir::toNativeSeparators(session.path())));
        QCOMPARE(outcome.status, QStringLiteral("The entries could not be saved."));
        QVERIFY(session.hasUnsavedChanges());
        // Nothing the user typed is dropped.
        QCOMPARE(session.entries().count(), 1);
    }

private:
    QByteArray read() const { return VaultFolderFixture::read(m_path); }
    void write(const QByteArray &bytes) const { VaultFolderFixture::write(m_path, bytes); }
};

QTEST_GUILESS_MAIN(TestVaultSession)
#include "tst_VaultSession.moc"
