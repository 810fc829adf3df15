#include "TestProgram.h"
#include "app/Form1.h"
#include "app/MainWindowLayout.h"
#include "app/frmSplash.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "password/frmPass.h"
#include "platform/MessageBoxes.h"
#include "skin/Skin.h"
#include "skin/SkinCompanion.h"
#include "vault/VaultClaim.h"
#include "vault/VaultFile.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {

// Records every showing of a main window, from before it is created, and
// whether a master password had been accepted by then.
class MainWindowShows : public QObject
{
public:
    explicit MainWindowShows(Program &program)
        : m_program(program)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    QList<bool> withPassword;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<Form1 *>(watched))
            withPassword.append(m_program.session().isOpen());
        return false;
    }

private:
    Program &m_program;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void splashEndsOnTheSeventyFifthTick();
    void mainWindowLoad();
    void mainWindowHiddenUntilPasswordAccepted_data();
    void mainWindowHiddenUntilPasswordAccepted();
    void createVaultFailureEndsWithoutShowingTheVault();
    void helpOpensWithoutTakingTheFocus();
    void unreadableVaultEndsTheProgram();
    void secondCopyEndsWithoutTouchingTheVault();
    void lockFromAnotherComputerIsTakenOverWhenAsked_data();
    void lockFromAnotherComputerIsTakenOverWhenAsked();
    void installedCopyKeepsTheVaultWithTheUser();
    void shutdownUnloadsEverything();
    void resizeRule_data();
    void resizeRule();
    void mainWindowFits_data();
    void mainWindowFits();

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
    // From here the ticks come by hand; one that the timer managed on its
    // own under a busy machine is counted as it stands.
    timer->stop();
    const int ticked = splash->ticks() / 2;
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    const WindowContext &context = program.context();
    QCOMPARE(context.branding.strProductName, QStringLiteral("Vorsell"));
    QVERIFY(context.skin.bUseSkin);
    QCOMPARE(context.skin.objSkin, control<Skin>(splash, QStringLiteral("skn")));
    QVERIFY(program.context().skin.companion().isStarted());

    for (int tick = ticked + 1; tick < 75; ++tick)
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
    const QStringList headers = {"Username", "Password", "Website/Location"};
    QCOMPARE(list->model()->columnCount(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(list->model()->headerData(i, Qt::Horizontal).toString(), headers[i]);
    // The panel is as wide as the window was when it loaded (before it had a
    // frame), and stays so whatever the window does.
    main->show();
    const QLabel *panel = control<QLabel>(main, QStringLiteral("statusPanel"));
    const int panelWidth = panel->maximumWidth();
    QVERIFY(panelWidth >= main->width() && panelWidth <= main->frameGeometry().width());
    main->resize(main->width() + 100, main->height() + 50);
    QTRY_COMPARE(panel->width(), panelWidth);
    // It does not keep the window from being made as narrow as it may be.
    // The least width is the buttons', whatever the panel holds.
    t->program->setStatus(QString(500, u'x'));
    QCOMPARE(main->minimumWidth(),
             Twips::toPixels(MainWindowLayout::kButtonsRight + MainWindowLayout::kListLeft));
    main->resize(200, 300);
    QTRY_COMPARE(main->width(), main->minimumWidth());
    QCOMPARE(panel->maximumWidth(), panelWidth);
    QVERIFY(t->program->pass.isLoaded());
}

void TestStartup::mainWindowHiddenUntilPasswordAccepted_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("first run") << QByteArray("\r\n");
    QTest::newRow("later run") << vaultLine(QStringLiteral("pw12")) + "\r\n";
}

void TestStartup::mainWindowHiddenUntilPasswordAccepted()
{
    QFETCH(QByteArray, content);
    t->writeVault(content);
    MainWindowShows shows(*t->program);
    // The splash runs on its own timer, and the dialog then waits long
    // enough for any timer of its own to tick.
    t->program->start();
    QTRY_VERIFY(t->program->pass.isLoaded());
    QTest::qWait(250);
    QVERIFY(t->program->pass.window()->isVisible());
    QVERIFY(shows.withPassword.isEmpty());

    t->acceptPassword(QStringLiteral("pw12"));
    QCOMPARE(shows.withPassword, QList<bool> {true});
    QVERIFY(t->mainWindow()->isVisible());
}

void TestStartup::createVaultFailureEndsWithoutShowingTheVault()
{
    t->runSplash();
    QVERIFY(QFile::remove(t->vaultPath()));
    QVERIFY(QDir(t->folder.path()).mkdir(QStringLiteral("data.enc")));
    QVERIFY(!t->mainWindow()->isVisible());
    t->acceptPassword(QStringLiteral("pw12"));
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QDir::toNativeSeparators(t->vaultPath())));
    QCOMPARE(t->fakes.ender.endCount, 1);
    QVERIFY(!t->mainWindow()->isVisible());
    QVERIFY(t->status().isEmpty());
}

void TestStartup::helpOpensWithoutTakingTheFocus()
{
    t->setShowHelp(QStringLiteral("1"));
    t->openVault();
    Form1 *main = t->mainWindow();
    QWidget *help = t->program->help.window();
    QVERIFY(help && help->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), main);
    QVERIFY(main->isAncestorOf(QApplication::focusWidget()));
    // F1 gives it the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QTRY_COMPARE(QApplication::activeWindow(), help);
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

void TestStartup::secondCopyEndsWithoutTouchingTheVault()
{
    const QByteArray content = vaultLine("pw") + "\r\n";
    t->writeVault(content);
    VaultClaim otherCopy(t->vaultPath());
    QCOMPARE(otherCopy.claim(), VaultClaim::Status::Claimed);
    t->runSplash();
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(
        QStringLiteral("already open in another copy of Vorsell")));
    // Above the other copy's password dialog, which stays on top.
    QVERIFY(t->fakes.messages.shown[0].style & MessageBox::Topmost);
    QCOMPARE(t->fakes.ender.endCount, 1);
    QVERIFY(!t->program->pass.isLoaded());
    QCOMPARE(t->readVault(), content);
}

void TestStartup::lockFromAnotherComputerIsTakenOverWhenAsked_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("take over") << int(MessageBox::Ok);
    QTest::newRow("leave it") << int(MessageBox::Cancel);
}

void TestStartup::lockFromAnotherComputerIsTakenOverWhenAsked()
{
    QFETCH(int, answer);
    const QByteArray content = vaultLine("pw") + "\r\n";
    t->writeVault(content);
    QFile lock(t->vaultPath() + ".lock");
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("4242\nvorsell\nlaptop-at-home\n");
    lock.close();
    t->fakes.messages.answers.enqueue(answer);
    t->runSplash();
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QStringLiteral("\"laptop-at-home\"")));
    const bool taken = answer == MessageBox::Ok;
    QCOMPARE(t->program->pass.isLoaded(), taken);
    QCOMPARE(t->fakes.ender.endCount, taken ? 0 : 1);
    QCOMPARE(t->readVault(), content);
}

void TestStartup::installedCopyKeepsTheVaultWithTheUser()
{
    // The Windows installer's uninstaller marks the folder it installed to.
    QFile uninstaller(t->folder.filePath(QStringLiteral("Uninstall.exe")));
    QVERIFY(uninstaller.open(QIODevice::WriteOnly));
    uninstaller.close();
    t->program
        = std::make_unique<Program>(t->folder.path(), t->userDataFolder(), t->fakes.platform());
    t->openVault();
    QCOMPARE(t->status(), QStringLiteral("Password created successfully"));
    const QString vault = VaultFile::pathIn(t->userDataFolder());
    QCOMPARE(t->program->session().path(), vault);
    QVERIFY(QFileInfo(vault).isFile());
    QVERIFY(QFileInfo::exists(vault + QStringLiteral(".lock")));
    QVERIFY(!QFileInfo::exists(t->vaultPath()));
    // The help window tells the user where it is.
    const Form8 *help = t->program->openHelp();
    QCOMPARE(control<QLabel>(help, QStringLiteral("lblVault"))->toolTip(),
             QDir::toNativeSeparators(vault));
}

void TestStartup::shutdownUnloadsEverything()
{
    t->openVault();
    Program &program = *t->program;
    Form1 *main = t->mainWindow();
    control<QAction>(main, QStringLiteral("mnuHelpItem"), 0)->trigger();
    control<QAction>(main, QStringLiteral("mnuAboutItem"), 0)->trigger();
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
    QTest::addColumn<QSizeF>("client");
    QTest::addColumn<QSizeF>("list");
    QTest::newRow("designed") << QSizeF(9015, 6240) << QSizeF(8895, 4260);
    QTest::newRow("larger") << QSizeF(12000, 9000) << QSizeF(11880, 7020);
    QTest::newRow("tiny") << QSizeF(100, 1000) << QSizeF(0, 0);
}

void TestStartup::resizeRule()
{
    QFETCH(QSizeF, client);
    QFETCH(QSizeF, list);
    QCOMPARE(MainWindowLayout::listSizeFor(client, 60, 1980), list);
}

void TestStartup::mainWindowFits_data()
{
    QTest::addColumn<QSize>("grow"); // pixels added to the designed size; -1: the minimum
    QTest::newRow("designed size") << QSize(0, 0);
    QTest::newRow("larger") << QSize(300, 200);
    QTest::newRow("minimum size") << QSize(-1, -1);
}

void TestStartup::mainWindowFits()
{
    QFETCH(QSize, grow);
    t->writeVault(QStringLiteral("pw12"), {{"ann", "pw1", "a.example"}});
    t->openVault();
    Form1 *main = t->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTreeView *list = control<QTreeView>(main, QStringLiteral("lstPass"));
    QHeaderView *header = list->header();
    // At the designed size the columns have the designed proportions
    // 2345 : 2375 : 4095.
    const int designed[] = {header->sectionSize(0), header->sectionSize(1)};
    const double scale = designed[0] / 2345.0;
    QVERIFY(std::abs(designed[1] - 2375 * scale) <= 1);
    QVERIFY(std::abs(header->sectionSize(2) - 4095 * scale) <= 2);

    const QSize target = grow.width() < 0 ? main->minimumSize() : main->size() + grow;
    main->resize(target);
    QTRY_COMPARE(main->size(), target);
    QCoreApplication::processEvents();

    // The columns fill the list exactly; the location column takes up the
    // change of width.
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QCOMPARE(header->length(), list->viewport()->width());
    QCOMPARE(header->sectionSize(0), designed[0]);
    QCOMPARE(header->sectionSize(1), designed[1]);

    // The list keeps the left margin on the right and reaches the status
    // bar; the status bar has its designed height with its text inside.
    const QWidget *client = main->centralWidget();
    const QStatusBar *bar = control<QStatusBar>(main, QStringLiteral("StatusBar1"));
    const QLabel *panel = control<QLabel>(main, QStringLiteral("statusPanel"));
    QCOMPARE(client->width() - list->geometry().right() - 1, list->x());
    QCOMPARE(list->geometry().bottom() + 1, client->height());
    QCOMPARE(bar->height(), Twips::toPixels(315));
    QCOMPARE(bar->geometry().top(), client->geometry().bottom() + 1);
    QVERIFY(bar->rect().contains(panel->geometry()));
    QVERIFY(panel->height() >= panel->fontMetrics().height());

    // Both button rows whole, the header and a row of the list.
    for (const QToolButton *button : main->findChildren<QToolButton *>()) {
        if (button->objectName().startsWith(u"cmd"))
            QVERIFY2(client->rect().contains(button->geometry()), qPrintable(button->text()));
    }
    QVERIFY(list->viewport()->height() >= list->sizeHintForRow(0));
}

QTEST_MAIN(TestStartup)
#include "tst_Startup.moc"
