#include "TestProgram.h"
#include "app/Form1.h"
#include "app/MainWindowLayout.h"
#include "app/frmSplash.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "password/frmPass.h"
#include "skin/Skin.h"
#include "skin/SkinCompanion.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
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
    void passwordDialogMode_data();
    void passwordDialogMode();
    void createdVaultShowsTheMainWindow();
    void createVaultFailureEndsWithoutShowingTheVault();
    void helpOpensAfterStartUp_data();
    void helpOpensAfterStartUp();
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
    QTimer *timer = control<QTimer>(splash, QStringLiteral("Timer2"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 2);
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    const WindowContext &context = program.context();
    QCOMPARE(context.branding.strProductName, QStringLiteral("Vorsell"));
    QVERIFY(context.skin.bUseSkin);
    QCOMPARE(context.skin.objSkin, control<Skin>(splash, QStringLiteral("skn")));
    QVERIFY(program.context().skin.companion().isStarted());

    timer->stop();
    for (int tick = 1; tick < 75; ++tick)
        splash->Timer2_Timer();
    QCOMPARE(splash->ticks(), qint16(148));
    QVERIFY(!program.form1.isLoaded());
    splash->Timer2_Timer();
    QVERIFY(program.form1.isLoaded());
    QVERIFY(!timer->isActive());
    // The splash stays loaded, hidden: its skin serves every window.
    QVERIFY(program.splash.isLoaded());
    QVERIFY(!splash->isVisible());
}

void TestStartup::mainWindowLoad()
{
    t->runSplash();
    Form1 *main = t->mainWindow();
    QCOMPARE(main->windowTitle(), QStringLiteral("Vorsell by Drummet Software"));
    QCOMPARE(control<QToolButton>(main, QStringLiteral("cmdWebsite"))->text(),
             QStringLiteral("Visit www.drummet.example"));
    const QTreeView *list = control<QTreeView>(main, QStringLiteral("lstPass"));
    const QHeaderView *header = list->header();
    const QStringList headers = {"Username", "Password", "Website/Location"};
    const int widths[] = {2345, 2375, 4095};
    QCOMPARE(list->model()->columnCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(list->model()->headerData(i, Qt::Horizontal).toString(), headers[i]);
        QCOMPARE(header->sectionSize(i), Twips::toPixels(widths[i]));
    }
    // The panel is as wide as the window was when it loaded (before it had a
    // frame), and stays so whatever the window does.
    main->show();
    const QLabel *panel = control<QLabel>(main, QStringLiteral("statusPanel"));
    const int panelWidth = panel->maximumWidth();
    QVERIFY(panelWidth >= main->width() && panelWidth <= main->frameGeometry().width());
    main->resize(main->width() + 100, main->height() + 50);
    QTRY_COMPARE(panel->width(), panelWidth);
    // It does not keep the window from being made narrow.
    main->resize(200, 300);
    QTRY_COMPARE(main->width(), 200);
    QCOMPARE(panel->maximumWidth(), panelWidth);
    QVERIFY(t->program->pass.isLoaded());
}

void TestStartup::passwordDialogMode_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("createMode");
    QTest::newRow("new vault") << QByteArray("\r\n") << true;
    QTest::newRow("password on file") << vaultLine("pass") + "\r\n" << false;
}

void TestStartup::passwordDialogMode()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, createMode);
    t->writeVault(content);
    t->runSplash();
    frmPass *dialog = t->program->pass.window();
    QVERIFY(dialog);
    QCOMPARE(control<QLineEdit>(dialog, QStringLiteral("txtPass2"))->isVisibleTo(dialog),
             createMode);
    QCOMPARE(t->fakes.ender.endCount, 0);
}

void TestStartup::createdVaultShowsTheMainWindow()
{
    t->writeVault(QByteArray("\r\n"));
    t->runSplash();
    t->acceptPassword(QStringLiteral("Secret \u20AC"));
    QCOMPARE(t->readVault(), vaultLine(QStringLiteral("Secret \u20AC")) + "\r\n");
    QCOMPARE(t->status(), QStringLiteral("Password created successfully"));
    QVERIFY(t->mainWindow()->isVisible());
    QVERIFY(!t->program->pass.isLoaded());
    QCOMPARE(t->fakes.ender.endCount, 0);
}

void TestStartup::createVaultFailureEndsWithoutShowingTheVault()
{
    t->runSplash();
    QVERIFY(QFile::remove(t->vaultPath()));
    QVERIFY(QDir(t->folder.path()).mkdir(QStringLiteral("data.enc")));
    // The password dialog's timer hides the main window while it waits.
    QTRY_VERIFY(!t->mainWindow()->isVisible());
    t->acceptPassword(QStringLiteral("pw12"));
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QDir::toNativeSeparators(t->vaultPath())));
    QCOMPARE(t->fakes.ender.endCount, 1);
    QVERIFY(!t->mainWindow()->isVisible());
    QVERIFY(t->status().isEmpty());
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
    t->openVault();
    QCOMPARE(t->program->help.isLoaded(), opens);
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
    t->openVault();
    Program &program = *t->program;
    Form1 *main = t->mainWindow();
    main->mnuHelpItem_Click(0);
    main->mnuAboutItem_Click(0);
    QVERIFY(program.help.isLoaded() && program.about.isLoaded());

    control<QAction>(main, QStringLiteral("mnuFileItem"), 0)->trigger();
    QVERIFY(!program.form1.isLoaded());
    QVERIFY(!program.help.isLoaded());
    QVERIFY(!program.about.isLoaded());
    QVERIFY(!program.splash.isLoaded());
    QVERIFY(!program.website.isLoaded());
    QVERIFY(!program.context().skin.companion().isStarted());
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
    const QTreeView *view = control<QTreeView>(main, QStringLiteral("lstPass"));
    QTRY_COMPARE(view->width(), Twips::toPixels(std::abs(outer - 620)));
    QCOMPARE(view->pos(), QPoint(Twips::toPixels(60), Twips::toPixels(1980)));
}

QTEST_MAIN(TestStartup)
#include "tst_Startup.moc"
