#include "platform/SettingsStore.h"
#include "settings/Settings.h"

#include <QMap>
#include <QSignalSpy>
#include <QTest>

namespace {

// The settings of every application, in memory.
class MemoryStore : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultValue) const override
    {
        return values.value(application + u'/' + section + u'/' + key, defaultValue);
    }
    void setValue(const QString &application, const QString &section, const QString &key,
                  const QString &value) override
    {
        values.insert(application + u'/' + section + u'/' + key, value);
        ++writes;
    }

    QMap<QString, QString> values;
    int writes = 0;
};

// A value as the program reads it, whatever its type.
int reading(const Settings &settings, Settings::Key key)
{
    switch (key) {
    case Settings::Key::HidePasswords:
        return settings.hidePasswords();
    case Settings::Key::ClipboardSeconds:
        return settings.clipboardSeconds();
    case Settings::Key::GeneratorLength:
        return settings.generatorLength();
    case Settings::Key::LockAfterMinutes:
        return settings.lockAfterMinutes();
    case Settings::Key::LockWithDesktop:
        return settings.lockWithDesktop();
    default:
        return settings.generatorUses(key);
    }
}

} // namespace

// How the stored texts read: what a missing text counts as, and what a text
// that is not what the program writes (typed by hand, left by an older copy,
// damaged) counts as.
class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void readsStoredTexts_data();
    void readsStoredTexts();
    void writesFlagsAndNumbers();
};

void TestSettings::readsStoredTexts_data()
{
    QTest::addColumn<Settings::Key>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");

    using enum Settings::Key;
    const QString missing;
    QTest::newRow("hide passwords, missing") << HidePasswords << missing << 0;
    QTest::newRow("hide passwords, 1") << HidePasswords << "1" << 1;
    QTest::newRow("hide passwords, only 1 itself") << HidePasswords << " 1" << 0;
    QTest::newRow("clipboard, missing") << ClipboardSeconds << missing << 30;
    QTest::newRow("clipboard, 0 keeps it") << ClipboardSeconds << "0" << 0;
    QTest::newRow("clipboard, blanks around") << ClipboardSeconds << " 45 " << 45;
    QTest::newRow("clipboard, negative") << ClipboardSeconds << "-5" << 30;
    QTest::newRow("clipboard, not a number") << ClipboardSeconds << "ten" << 30;
    QTest::newRow("clipboard, empty") << ClipboardSeconds << "" << 30;
    QTest::newRow("generator length, missing") << GeneratorLength << missing << 20;
    QTest::newRow("generator length, not a number") << GeneratorLength << "12.5" << 20;
    QTest::newRow("generator digits, missing") << GeneratorDigits << missing << 1;
    QTest::newRow("generator digits, 0") << GeneratorDigits << "0" << 0;
    QTest::newRow("generator digits, anything else") << GeneratorDigits << "no" << 1;
    QTest::newRow("lock after, missing") << LockAfterMinutes << missing << 10;
    QTest::newRow("lock after, never") << LockAfterMinutes << "0" << 0;
    QTest::newRow("lock after, too large") << LockAfterMinutes << "99999999999" << 10;
    QTest::newRow("lock after, number and text") << LockAfterMinutes << "5x" << 10;
    QTest::newRow("lock with desktop, missing") << LockWithDesktop << missing << 1;
    QTest::newRow("lock with desktop, 0 with blanks") << LockWithDesktop << " 0 " << 0;
    QTest::newRow("lock with desktop, anything else") << LockWithDesktop << "false" << 1;
}

void TestSettings::readsStoredTexts()
{
    QFETCH(Settings::Key, key);
    QFETCH(QString, stored);
    QFETCH(int, expected);

    MemoryStore store;
    // Each of these is stored under the name of its key.
    const QString name
        = QString::fromLatin1(QMetaEnum::fromType<Settings::Key>().valueToKey(int(key)));
    if (!stored.isNull())
        store.values.insert(QStringLiteral("Vorsell/Settings/") + name, stored);
    Settings settings(store);
    settings.load(QStringLiteral("Vorsell"));
    QCOMPARE(reading(settings, key), expected);
    // Reading never writes.
    QCOMPARE(store.writes, 0);
}

void TestSettings::writesFlagsAndNumbers()
{
    MemoryStore store;
    Settings settings(store);
    settings.load(QStringLiteral("Vorsell"));
    QSignalSpy changed(&settings, &Settings::changed);

    settings.setHidePasswords(true);
    settings.setGeneratorUses(Settings::Key::GeneratorSymbols, false);
    settings.setLockWithDesktop(false);
    settings.setGeneratorLength(12);
    settings.setLockAfterMinutes(-3);
    QCOMPARE(store.values,
             (QMap<QString, QString> {{"Vorsell/Settings/HidePasswords", "1"},
                                      {"Vorsell/Settings/GeneratorSymbols", "0"},
                                      {"Vorsell/Settings/LockWithDesktop", "0"},
                                      {"Vorsell/Settings/GeneratorLength", "12"},
                                      {"Vorsell/Settings/LockAfterMinutes", "0"}}));
    QCOMPARE(changed.size(), 5);

    // The same value again is written through, but is no change.
    settings.setHidePasswords(true);
    QCOMPARE(store.writes, 6);
    QCOMPARE(changed.size(), 5);
    settings.setHidePasswords(false);
    QCOMPARE(store.values.value("Vorsell/Settings/HidePasswords"), QStringLiteral("0"));
    QCOMPARE(changed.size(), 6);
    QCOMPARE(changed.last().at(0).value<Settings::Key>(), Settings::Key::HidePasswords);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
