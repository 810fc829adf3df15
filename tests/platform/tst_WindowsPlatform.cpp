#include "info/VersionText.h"
#include "platform/DesktopPlatform.h"
#include "platform/SettingsStore.h"
#include "platform/VersionInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <qt_windows.h>

// The real seams on Windows. This executable carries a version resource of
// its own (3.10.5.7, "Vorsell Test"), and a stand-in explorer.exe lies beside
// it.
class TestWindowsPlatform : public QObject
{
    Q_OBJECT

private slots:
    void versionInfo_comesFromTheResource();
    void settings_liveInTheRegistry();
    void startLocation_startsExplorerWithOneArgument_data();
    void startLocation_startsExplorerWithOneArgument();

private:
    static constexpr const wchar_t *kSettingsRoot = L"Software\\VB and VBA Program Settings";
};

void TestWindowsPlatform::versionInfo_comesFromTheResource()
{
    const VersionValues values = ExecutableVersionInfo().read();
    QCOMPARE(values.productName, QStringLiteral("Vorsell Test"));
    QCOMPARE(values.companyName, QStringLiteral("Test Company"));
    QCOMPARE(values.comments, QStringLiteral("test.example"));
    QCOMPARE(versionText(values), QStringLiteral("3.10"));
    QCOMPARE(values.revision, 5);
    QCOMPARE(values.build, 7);
}

void TestWindowsPlatform::settings_liveInTheRegistry()
{
    // Where Basic's SaveSetting and GetSetting keep application, section and
    // key, so a setting stored by earlier versions is found.
    const QString application = QStringLiteral("Vorsell Registry Test");
    const std::wstring appKey = std::wstring(kSettingsRoot) + L"\\" + application.toStdWString();
    const std::wstring sectionKey = appKey + L"\\Settings";
    RegDeleteTreeW(HKEY_CURRENT_USER, appKey.c_str());

    QSettingsStore store;
    QCOMPARE(store.value(application, QStringLiteral("Settings"), QStringLiteral("showHelp"),
                         QStringLiteral("1")),
             QStringLiteral("1"));
    store.setValue(application, QStringLiteral("Settings"), QStringLiteral("showHelp"),
                   QStringLiteral("0"));

    wchar_t stored[16] = {};
    DWORD size = sizeof stored;
    DWORD type = 0;
    const LSTATUS read = RegGetValueW(HKEY_CURRENT_USER, sectionKey.c_str(), L"showHelp",
                                      RRF_RT_ANY, &type, stored, &size);
    QCOMPARE(read, LSTATUS(ERROR_SUCCESS));
    QCOMPARE(type, DWORD(REG_SZ));
    QCOMPARE(QString::fromWCharArray(stored), QStringLiteral("0"));

    // A value another program wrote is read as it stands.
    const wchar_t written[] = L"01";
    QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, sectionKey.c_str(), L"showHelp", REG_SZ, written,
                             sizeof written),
             LSTATUS(ERROR_SUCCESS));
    QCOMPARE(store.value(application, QStringLiteral("Settings"), QStringLiteral("showHelp"),
                         QStringLiteral("1")),
             QStringLiteral("01"));

    QCOMPARE(RegDeleteTreeW(HKEY_CURRENT_USER, appKey.c_str()), LSTATUS(ERROR_SUCCESS));
}

void TestWindowsPlatform::startLocation_startsExplorerWithOneArgument_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<QStringList>("arguments");

    const auto same = [](const QString &location) {
        return QStringList {location};
    };
    QTest::newRow("folder with blanks")
        << "C:\\Program Files\\Drummet Software" << same("C:\\Program Files\\Drummet Software");
    QTest::newRow("trailing backslash") << "C:\\My Folder\\" << same("C:\\My Folder\\");
    QTest::newRow("address with shell characters")
        << "http://www.example.com/a b?x=1&y=\"2\"|%PATH%"
        << same("http://www.example.com/a b?x=1&y=\"2\"|%PATH%");
    QTest::newRow("not Latin-1") << QStringLiteral("C:\\Пароли €")
                                 << same(QStringLiteral("C:\\Пароли €"));
    QTest::newRow("empty: no argument") << QString() << QStringList();
}

void TestWindowsPlatform::startLocation_startsExplorerWithOneArgument()
{
    QFETCH(QString, location);
    QFETCH(QStringList, arguments);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString output = dir.filePath(QStringLiteral("explorer.txt"));
    qputenv("VORSELL_FAKE_EXPLORER_OUTPUT", QDir::toNativeSeparators(output).toUtf8());

    DesktopLocationStarter().startLocation(location);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(output), 20000);

    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeFirst(), QString::number(SW_SHOWMINIMIZED));
    QCOMPARE(lines, arguments);
}

QTEST_GUILESS_MAIN(TestWindowsPlatform)
#include "tst_WindowsPlatform.moc"
