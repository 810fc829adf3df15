#include "TestProgram.h"
#include "app/Form1.h"
#include "entries/frmAdd.h"
#include "info/Form8.h"
#include "info/HelpPlacement.h"
#include "info/frmAbout.h"
#include "info/frmWebsite.h"
#include "password/frmVaultPassword.h"
#include "platform/DesktopPlatform.h"
#include "skin/SkinLabel.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

Q_DECLARE_METATYPE(Qt::CheckState)

class TestInfoWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }
    void showHelpSetting_data();
    void showHelpSetting();
    void helpWindow();
    void missingHelpFileIsNamed();
    void aboutBox_data();
    void aboutBox();
    void windowsOpenAboveTheTopmostHelp();
    void escCloses();
    void linkOpener();

private:
    // Start-up to its end, as an accepted master password reaches it.
    Form1 *startUp(bool withHelpFile = true)
    {
        if (withHelpFile) {
            QFile file(QDir(t->folder.path()).filePath(QStringLiteral("Help.rtf")));
            if (file.open(QIODevice::WriteOnly))
                file.write("{\\rtf1\\ansi Readme for {\\b Vorsell}.\\par}");
        }
        t->openVault();
        return t->mainWindow();
    }
    QString showHelp() const
    {
        return t->fakes.settings.values.value(QStringLiteral("Vorsell/Settings/showHelp"));
    }

    std::unique_ptr<TestProgram> t;
};

void TestInfoWindows::showHelpSetting_data()
{
    // What a stored value means is the setting's own test; these prove the
    // wiring: start-up asks it, the box shows it and writes its state back.
    QTest::addColumn<QString>("stored"); // null: nothing stored
    QTest::addColumn<bool>("opensAtStart");
    QTest::addColumn<Qt::CheckState>("box");
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<int>("writes");

    QTest::newRow("missing") << QString() << true << Qt::Checked << QString() << 0;
    QTest::newRow("02") << "02" << false << Qt::PartiallyChecked << "2" << 1;
}

void TestInfoWindows::showHelpSetting()
{
    QFETCH(QString, stored);
    QFETCH(bool, opensAtStart);
    QFETCH(Qt::CheckState, box);
    QFETCH(QString, storedAfter);
    QFETCH(int, writes);

    if (!stored.isNull())
        t->setShowHelp(stored);
    Form1 *main = startUp();
    QVERIFY(main);
    QCOMPARE(t->program->help.isLoaded(), opensAtStart);
    control<QAction>(main, QStringLiteral("mnuHelpItem"), 0)->trigger();
    Form8 *help = t->program->help.window();
    QVERIFY(help && help->isVisible());
    QCheckBox *check = control<QCheckBox>(help, QStringLiteral("Check1"));
    QCOMPARE(check->checkState(), box);
    QCOMPARE(showHelp(), storedAfter);
    QCOMPARE(t->fakes.settings.writes, writes);

    // Every click stores the new state; clicks never make it partly ticked.
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(check, Qt::LeftButton);
        const bool ticked = check->isChecked();
        QCOMPARE(check->checkState(), ticked ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(showHelp(), ticked ? QStringLiteral("1") : QStringLiteral("0"));
    }
}

void TestInfoWindows::helpWindow()
{
    t->setShowHelp(QStringLiteral("0"));
    startUp();
    Form8 *help = t->program->openHelp();
    QCOMPARE(help->windowTitle(), QStringLiteral("Readme/Help"));
    // The two stand where the placement rule puts them.
    Form1 *main = t->mainWindow();
    const HelpPlacement::Pair pair
        = HelpPlacement::arrange(main->frameGeometry().size(), help->frameGeometry().size(),
                                 main->screen()->availableGeometry());
    QCOMPARE(main->frameGeometry().topLeft(), pair.anchor);
    QCOMPARE(help->frameGeometry().topLeft(), pair.beside);
    QVERIFY(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(control<QTextBrowser>(help, QStringLiteral("rtf1"))->toPlainText(),
             QStringLiteral("Readme for Vorsell."));
    QTextCursor cursor(control<QTextBrowser>(help, QStringLiteral("rtf1"))->document());
    cursor.setPosition(13);
    QVERIFY(cursor.charFormat().font().bold());

    // Opened again, it is the same window, not loaded again.
    control<QTextBrowser>(help, QStringLiteral("rtf1"))->setPlainText(QStringLiteral("first load"));
    QCOMPARE(t->program->openHelp(), help);
    QCOMPARE(control<QTextBrowser>(help, QStringLiteral("rtf1"))->toPlainText(),
             QStringLiteral("first load"));
}

void TestInfoWindows::missingHelpFileIsNamed()
{
    t->setShowHelp(QStringLiteral("0"));
    startUp(false);
    Form8 *help = t->program->openHelp();
    QVERIFY(help->isVisible());
    const QString notice = control<QTextBrowser>(help, QStringLiteral("rtf1"))->toPlainText();
    QVERIFY2(notice.contains(u"\"Help.rtf\""), qPrintable(notice));
    QVERIFY2(notice.contains(QDir::toNativeSeparators(t->folder.path())), qPrintable(notice));
    // The load stops there: not on top, the box as designed.
    QVERIFY(!help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(control<QCheckBox>(help, QStringLiteral("Check1"))->checkState(), Qt::Checked);
}

void TestInfoWindows::aboutBox_data()
{
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("skinned");
    QTest::addColumn<QString>("version");

    QTest::newRow("1.2.0.0") << 2 << true << "1.2";
    QTest::newRow("1.10.5.0 unskinned") << 10 << false << "1.10";
}

void TestInfoWindows::aboutBox()
{
    QFETCH(int, minor);
    QFETCH(bool, skinned);
    QFETCH(QString, version);

    t->fakes.version.values.minor = minor;
    t->fakes.version.values.revision = 5;
    LoadBranding(t->program->context());
    t->program->context().skin.bUseSkin = skinned;
    frmAbout *about = t->program->openAbout();
    QCOMPARE(about->windowTitle(), QStringLiteral("About Vorsell"));
    QCOMPARE(control<QLabel>(about, QStringLiteral("Label1"))->text(), QStringLiteral("Vorsell"));
    QCOMPARE(control<QLabel>(about, QStringLiteral("lblVersion"))->text(), version);
    QCOMPARE(control<QLabel>(about, QStringLiteral("lblCompany"))->text(),
             QStringLiteral("Drummet Software"));
    QCOMPARE(control<QLabel>(about, QStringLiteral("lblWebsite"))->text(),
             QStringLiteral("www.drummet.example"));
    QTest::mouseClick(control<QLabel>(about, QStringLiteral("lblWebsite")), Qt::LeftButton);
    QVERIFY(t->fakes.urls.opened.isEmpty());

    SkinLabel *skinTemplate = control<SkinLabel>(about, QStringLiteral("SkinLabel1"), 0);
    QVERIFY(skinTemplate->isHidden());
    QCOMPARE(skinTemplate->geometry(), Twips::rect(480, 2940, 555, 195));
    QCOMPARE(about->findChildren<SkinLabel *>(QStringLiteral("SkinLabel1")).size(),
             skinned ? 5 : 1);
    if (!skinned)
        return;
    for (int index = 1; index <= 4; ++index) {
        const SkinLabel *twin = control<SkinLabel>(about, QStringLiteral("SkinLabel1"), index);
        const QLabel *label = control<QLabel>(about, QStringLiteral("Label%1").arg(index + 1));
        QCOMPARE(twin->property("index").toInt(), index);
        QCOMPARE(twin->text(), label->text());
        QCOMPARE(twin->geometry(), label->geometry());
        QCOMPARE(twin->font(), label->font());
        QVERIFY(twin->isVisible() && label->isVisible());
    }
    QCOMPARE(control<SkinLabel>(about, QStringLiteral("SkinLabel1"), 2)->text(),
             QStringLiteral("Owned By:"));
    QCOMPARE(control<SkinLabel>(about, QStringLiteral("SkinLabel1"), 2)->font().pointSizeF(), 12.0);
}

void TestInfoWindows::windowsOpenAboveTheTopmostHelp()
{
    t->setShowHelp(QStringLiteral("0"));
    Form1 *main = startUp();
    control<QAction>(main, QStringLiteral("mnuDataItem"), 0)->trigger();
    QVERIFY(!t->program->add.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    t->program->add.unload();

    // With the help window on top and the main window active, the editor and
    // a message box join the topmost band rather than open underneath it.
    t->program->openHelp();
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    control<QAction>(main, QStringLiteral("mnuDataItem"), 0)->trigger();
    QVERIFY(t->program->add.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    bool boxOnTop = false;
    QTimer::singleShot(0, [&boxOnTop] {
        QWidget *box = QApplication::activeModalWidget();
        boxOnTop = box && box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        if (auto *dialog = qobject_cast<QDialog *>(box))
            dialog->reject();
    });
    WidgetMessageBoxes().show(QStringLiteral("x"), MessageBox::OkOnly, QString());
    QVERIFY(boxOnTop);

    // So do the modal windows of the vault's commands and of import and
    // export: underneath it they would leave the program seeming frozen.
    t->program->add.unload();
    t->mainWindow()->findChild<QAction *>(QStringLiteral("mnuEncrypt"))->trigger();
    QVERIFY(t->program->vaultPassword.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    t->program->vaultPassword.unload();
    bool dialogOnTop = false;
    QTimer::singleShot(0, [&dialogOnTop] {
        QWidget *dialog = QApplication::activeModalWidget();
        QWidget *parent = dialog ? dialog->parentWidget() : nullptr;
        dialogOnTop = parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        if (auto *modal = qobject_cast<QDialog *>(dialog))
            modal->reject();
    });
    WidgetFileDialogs().openFileName(QStringLiteral("x"), QString());
    QVERIFY(dialogOnTop);
}

void TestInfoWindows::escCloses()
{
    t->setShowHelp(QStringLiteral("0"));
    startUp();
    for (bool help : {true, false}) {
        QWidget *window = help ? static_cast<QWidget *>(t->program->openHelp())
                               : static_cast<QWidget *>(t->program->openAbout());
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window,
                        Qt::Key_Escape);
        QVERIFY(!(help ? t->program->help.isLoaded() : t->program->about.isLoaded()));
    }
    QVERIFY(t->mainWindow()->isVisible());
}

void TestInfoWindows::linkOpener()
{
    // The address rule has its own test; this one proves the opener hands
    // the rule's result to the desktop once in ten seconds.
    const QString opened = QStringLiteral("http://drummet.example");
    t->fakes.version.values.comments = QStringLiteral("drummet.example");
    Form1 *main = startUp();
    QVERIFY(main);
    control<QToolButton>(main, QStringLiteral("cmdWebsite"))->click();
    QCOMPARE(t->fakes.urls.opened, QStringList {opened});
    frmWebsite *opener = t->program->website.window();
    QVERIFY(opener && opener->linkKey().isEmpty());
    QTimer *timer = control<QTimer>(opener, QStringLiteral("Timer1"));
    QVERIFY(!opener->isVisible() && timer->isActive());
    QCOMPARE(timer->interval(), 10000);

    // Within the ten seconds a second click opens nothing; after, it does.
    control<QToolButton>(main, QStringLiteral("cmdWebsite"))->click();
    QCOMPARE(t->fakes.urls.opened.size(), 1);
    opener->Timer1_Timer();
    QVERIFY(!t->program->website.isLoaded());
    control<QToolButton>(main, QStringLiteral("cmdWebsite"))->click();
    QCOMPARE(t->fakes.urls.opened, QStringList(2, opened));

    // Any other key opens nothing and is kept.
    t->program->website.unload();
    t->program->openLink(QStringLiteral("website"));
    QCOMPARE(t->fakes.urls.opened.size(), 2);
    QCOMPARE(t->program->website.window()->linkKey(), QStringLiteral("website"));
}

QTEST_MAIN(TestInfoWindows)
#include "tst_InfoWindows.moc"
