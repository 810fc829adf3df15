#include "TestProgram.h"
#include "app/Form1.h"
#include "app/MainWindowLayout.h"
#include "widgets/Twips.h"
#include "app/frmSplash.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "skin/SkinCompanion.h"

#include <QTimer>

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void splashEndsOnTheSeventyFifthTick();
    void mainWindowLoad();
    void firstRunDecision_data();
    void firstRunDecision();
    void createVaultWritesOnlyThePassword();
    void createVaultFailureEndsWithoutShowingTheVault();
    void loadVaultCountsEntries_data();
    void loadVaultCountsEntries();
    void helpOpensAfterStartUp_data();
    void helpOpensAfterStartUp();
    void saveVault();
    void failedSaveIsReported();
    void unreadableVaultEndsTheProgram();
    void shutdownUnloadsEverything();
    void resizeRule_data();
    void resizeRule();

private:
    std::unique_ptr<TestProgram> t;
};

void TestStartup::init()
{
    t = std::make_unique<TestProgram>();
    // Keep the help window out of the way unless a test asks for it.
    t->setShowHelp(QStringLiteral("0"));
}

void TestStartup::cleanup()
{
    t.reset();
}

void TestStartup::splashEndsOnTheSeventyFifthTick()
{
    Program &program = *t->program;
    program.start();
    frmSplash *splash = program.splash.window();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QVERIFY(splash->Timer2->isActive());
    QCOMPARE(splash->Timer2->interval(), 2);
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(program.strProductName, QStringLiteral("Vorsell"));
    QVERIFY(program.skin.bUseSkin);
    QCOMPARE(program.skin.objSkin, splash->skn);
    QVERIFY(program.skin.companion().isStarted());

    splash->Timer2->stop();
    for (int tick = 1; tick < 75; ++tick)
        splash->Timer2_Timer();
    QCOMPARE(splash->intTemp, qint16(148));
    QVERIFY(!program.form1.isLoaded());
    splash->Timer2_Timer();
    QVERIFY(program.form1.isLoaded());
    QVERIFY(!splash->Timer2->isActive());
    // The splash stays loaded, hidden: its skin serves every window.
    QVERIFY(program.splash.isLoaded());
    QVERIFY(!splash->isVisible());
}

void TestStartup::mainWindowLoad()
{
    t->runSplash();
    Form1 *main = t->mainWindow();
    QCOMPARE(main->windowTitle(), QStringLiteral("Vorsell by Drummet Software"));
    QCOMPARE(main->cmdWebsite[0]->text(), QStringLiteral("Visit www.drummet.example"));
    const QHeaderView *header = main->lstPass->header();
    const QStringList headers = {"Username", "Password", "Website/Location"};
    const int widths[] = {2345, 2375, 4095};
    QCOMPARE(main->lstPass->model()->columnCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(main->lstPass->model()->headerData(i, Qt::Horizontal).toString(), headers[i]);
        QCOMPARE(header->sectionSize(i), Twips::toPixels(widths[i]));
    }
    // The panel is as wide as the window was when it loaded (before it had a
    // frame), and stays so whatever the window does.
    main->show();
    const int panelWidth = main->statusPanel->maximumWidth();
    QVERIFY(panelWidth >= main->width() && panelWidth <= main->frameGeometry().width());
    main->resize(main->width() + 100, main->height() + 50);
    QTRY_COMPARE(main->statusPanel->width(), panelWidth);
    // It does not keep the window from being made narrow.
    main->resize(200, 300);
    QTRY_COMPARE(main->width(), 200);
    QCOMPARE(main->statusPanel->maximumWidth(), panelWidth);
    QVERIFY(t->program->pass.isLoaded());
}

void TestStartup::firstRunDecision_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<QByteArray>("contentAfter");
    QTest::newRow("no file") << false << QByteArray() << true << QByteArray("\r\n");
    QTest::newRow("zero bytes") << true << QByteArray() << true << QByteArray();
    QTest::newRow("empty first line with entries")
        << true << QByteArray("\r\n\xE1\r\n") << true << QByteArray("\r\n\xE1\r\n");
    QTest::newRow("password") << true << vaultLine("pass") + "\r\n\r\n"
                              << false << vaultLine("pass") + "\r\n\r\n";
}

void TestStartup::firstRunDecision()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, content);
    QFETCH(bool, firstRun);
    QFETCH(QByteArray, contentAfter);
    if (fileExists)
        t->writeVault(content);
    t->runSplash();
    QCOMPARE(t->readVault(), contentAfter);
    QCOMPARE(t->program->bNewPassword, firstRun);
    QCOMPARE(t->program->storedPassword, firstRun ? QString() : QStringLiteral("pass"));
    QVERIFY(t->program->pass.isLoaded());
    QCOMPARE(t->fakes.ender.endCount, 0);
}

void TestStartup::createVaultWritesOnlyThePassword()
{
    t->writeVault(QByteArray("\r\n\xE1\r\n"));
    t->runSplash();
    Program &program = *t->program;
    program.masterPassword = QStringLiteral("Secret \u20AC");
    program.createVault();
    QCOMPARE(t->readVault(), vaultLine(QStringLiteral("Secret \u20AC")) + "\r\n");
    QCOMPARE(t->status(), QStringLiteral("Password created successfully"));
    QVERIFY(t->mainWindow()->isVisible());
    QVERIFY(!program.pass.isLoaded());
    QCOMPARE(t->fakes.ender.endCount, 0);
}

void TestStartup::createVaultFailureEndsWithoutShowingTheVault()
{
    t->runSplash();
    QVERIFY(QFile::remove(t->vaultPath()));
    QVERIFY(QDir(t->folder.path()).mkdir(QStringLiteral("data.enc")));
    // The password dialog's timer hides the main window while it waits.
    QTRY_VERIFY(!t->mainWindow()->isVisible());
    Program &program = *t->program;
    program.masterPassword = QStringLiteral("pw12");
    program.createVault();
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QDir::toNativeSeparators(t->vaultPath())));
    QCOMPARE(t->fakes.ender.endCount, 1);
    QVERIFY(!t->mainWindow()->isVisible());
    QVERIFY(t->status().isEmpty());
}

void TestStartup::loadVaultCountsEntries_data()
{
    QTest::addColumn<QByteArray>("entryLines");
    QTest::addColumn<int>("count");
    QTest::newRow("none") << QByteArray("\r\n") << 0;
    QTest::newRow("one") << vaultLine("a|||b|||c") + "\r\n\r\n" << 1;
    QTest::newRow("blank and single-space lines are skipped")
        << vaultLine("a|||b|||c") + "\r\n \r\n\r\n" + vaultLine("d|||e|||f") + "\r\n"
        << 2;
    QTest::newRow("short and long lines")
        << vaultLine("a") + "\r\n" + vaultLine("b|||c|||d|||e") << 2;
}

void TestStartup::loadVaultCountsEntries()
{
    QFETCH(QByteArray, entryLines);
    QFETCH(int, count);
    t->writeVault(vaultLine("pw") + "\r\n" + entryLines);
    t->runSplash();
    t->program->masterPassword = QStringLiteral("pw");
    t->program->loadVault();
    QCOMPARE(t->status(), QStringLiteral("Loaded %1 entries").arg(count));
    QCOMPARE(t->program->entries().count(), count);
    QVERIFY(t->mainWindow()->isVisible());
    QVERIFY(!t->program->pass.isLoaded());
}

void TestStartup::helpOpensAfterStartUp_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("opens");
    QTest::newRow("missing") << QString() << true;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("01") << "01" << false;
    QTest::newRow("text") << "yes" << false;
}

void TestStartup::helpOpensAfterStartUp()
{
    QFETCH(QString, stored);
    QFETCH(bool, opens);
    if (stored.isNull())
        t->fakes.settings.values.clear();
    else
        t->setShowHelp(stored);
    t->runSplash();
    t->program->masterPassword = QStringLiteral("pw");
    t->program->createVault();
    QCOMPARE(t->program->help.isLoaded(), opens);
}

void TestStartup::saveVault()
{
    t->runSplash();
    Program &program = *t->program;
    program.masterPassword = QStringLiteral("pw");
    program.entries().append({"u", "p", "l"});
    QVERIFY(program.saveVault());
    QCOMPARE(t->readVault(), vaultLine("pw") + "\r\n" + vaultLine("u|||p|||l") + "\r\n\r\n");
    QVERIFY(t->status().startsWith(QStringLiteral("Saved ")));
    // The hour follows the system's 12- or 24-hour clock ("3:09:26 PM" on
    // a US Windows); minutes and seconds read the same on both.
    QVERIFY(t->status().contains(QStringLiteral(":09:26")));
}

void TestStartup::failedSaveIsReported()
{
    t->runSplash();
    Program &program = *t->program;
    program.masterPassword = QStringLiteral("pw");
    QVERIFY(QFile::remove(t->vaultPath()));
    QVERIFY(QDir(t->folder.path()).mkdir(QStringLiteral("data.enc")));
    program.entries().append({"u", "p", "l"});
    t->fakes.messages.shown.clear();

    QVERIFY(!program.saveVault());
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QDir::toNativeSeparators(t->vaultPath())));
    QVERIFY(!t->status().startsWith(QStringLiteral("Saved")));
    // Nothing the user typed is dropped.
    QCOMPARE(program.entries().count(), 1);
    QCOMPARE(t->fakes.ender.endCount, 0);
}

void TestStartup::unreadableVaultEndsTheProgram()
{
    QVERIFY(QDir(t->folder.path()).mkdir(QStringLiteral("data.enc")));
    t->runSplash();
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QStringLiteral("data.enc")));
    QCOMPARE(t->fakes.ender.endCount, 1);
    QVERIFY(!t->program->pass.isLoaded());
}

void TestStartup::shutdownUnloadsEverything()
{
    t->runSplash();
    Program &program = *t->program;
    program.masterPassword = QStringLiteral("pw");
    program.createVault();
    program.open(program.help);
    program.open(program.about);
    QVERIFY(program.help.isLoaded() && program.about.isLoaded());

    t->mainWindow()->mnuFileItem[0]->trigger();
    QVERIFY(!program.form1.isLoaded());
    QVERIFY(!program.help.isLoaded());
    QVERIFY(!program.about.isLoaded());
    QVERIFY(!program.splash.isLoaded());
    QVERIFY(!program.website.isLoaded());
    QVERIFY(!program.skin.companion().isStarted());
    QCOMPARE(t->fakes.ender.endCount, 1);
}

void TestStartup::resizeRule_data()
{
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("outerHeight");
    QTest::addColumn<QSizeF>("list");
    QTest::newRow("designed") << 9255.0 << 9000.0 << QSizeF(8635, 6020);
    QTest::newRow("narrow") << 1500.0 << 9000.0 << QSizeF(880, 6020);
    QTest::newRow("low") << 9255.0 << 2250.0 << QSizeF(8635, 730);
    QTest::newRow("tiny") << 0.0 << 0.0 << QSizeF(620, 2980);
}

void TestStartup::resizeRule()
{
    QFETCH(double, outerWidth);
    QFETCH(double, outerHeight);
    QFETCH(QSizeF, list);
    QCOMPARE(MainWindowLayout::listSizeFor(outerWidth, outerHeight, 60, 1980), list);

    // The window applies it on every resize but when minimised.
    t->runSplash();
    Form1 *main = t->mainWindow();
    main->show();
    main->resize(Twips::toPixels(outerWidth), Twips::toPixels(outerHeight));
    const double outer = Twips::fromPixels(main->frameGeometry().width());
    QTRY_COMPARE(main->lstPass->width(), Twips::toPixels(std::abs(outer - 620)));
    QCOMPARE(main->lstPass->pos(), QPoint(Twips::toPixels(60), Twips::toPixels(1980)));
}

QTEST_MAIN(TestStartup)
#include "tst_Startup.moc"
