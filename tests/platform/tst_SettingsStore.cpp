#include "WatchedFifo.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The real settings store, in a configuration folder of its own.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void namedPipeIsNeitherReadNorWritten();

private:
    QTemporaryDir m_config;
};

void TestSettingsStore::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestSettingsStore::namedPipeIsNeitherReadNorWritten()
{
    const QString application = QStringLiteral("Vorsell Pipe Test");
    QSettingsStore store;
    // Where the settings have always been, so that those stored before are
    // found.
    QCOMPARE(store.file(application),
             QSettings(QSettings::NativeFormat, QSettings::UserScope, application, application)
                 .fileName());
    QVERIFY(QDir(m_config.path()).mkdir(application));
    const WatchedFifo fifo(store.file(application));
    QVERIFY(fifo.made());

    QCOMPARE(store.value(application, QStringLiteral("Settings"), QStringLiteral("showHelp"),
                         QStringLiteral("1")),
             QStringLiteral("1"));
    store.setValue(application, QStringLiteral("Settings"), QStringLiteral("showHelp"),
                   QStringLiteral("0"));
    // Opening it would have waited for a writer, for good.
    QVERIFY(!fifo.wasOpened());
    QVERIFY(fifo.isStillThere());
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_SettingsStore.moc"
