#include "TestProgram.h"
#include "app/Form1.h"
#include "entries/frmAdd.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "password/frmPass.h"
#include "password/frmVaultPassword.h"
#include "platform/DesktopPlatform.h"
#include "vault/EncryptedFormat.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>

// Locking the program and unlocking it again, through the menu and the keys,
// the clock and the desktop.
class TestLock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void lockHidesAndWipesThenUnlockBringsBack_data();
    void lockHidesAndWipesThenUnlockBringsBack();
    void idleCountsInputToAnyWindow();
    void desktopLockFollowsItsSetting();
    void lockedDialogEndsLikeAtStartUp_data();
    void lockedDialogEndsLikeAtStartUp();
    void lockDuringAMessageBoxCancelsItsQuestion();
    void encryptedVaultDerivesTheKeyAgain();
    void ctrlLWhileAKeyIsDerivedLocksOnceItIsDone();

private:
    std::unique_ptr<TestProgram> t;
    // Opens the vault: three entries, sorted by username, the second one
    // selected.
    void openSortedVault();
    QTreeView *list() const { return control<QTreeView>(t->mainWindow(), "lstPass"); }
    // The visible top-level windows as assistive technology finds them.
    QStringList visibleWindowNames() const;
};

void TestLock::init()
{
    QGuiApplication::clipboard()->clear();
    t = std::make_unique<TestProgram>();
    t->setShowHelp(QStringLiteral("0"));
}

void TestLock::openSortedVault()
{
    t->writeVault(QStringLiteral("pw12"),
                  {{"carl", "pw-carl-31", "c.example"},
                   {"ann", "pw-ann-17", "a.example"},
                   {"bob", "pw-bob-29", "b.example"}});
    t->openVault();
    // Descending, then ascending.
    t->mainWindow()->lstPass_ColumnClick(1);
    t->mainWindow()->lstPass_ColumnClick(1);
    list()->setCurrentIndex(list()->model()->index(1, 0));
}

QStringList TestLock::visibleWindowNames() const
{
    QStringList names;
    QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleInterface *window = application->child(i);
        if (window && !window->state().invisible)
            names.append(window->text(QAccessible::Name));
    }
    return names;
}

void TestLock::lockHidesAndWipesThenUnlockBringsBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("File, Lock") << "menu";
    QTest::newRow("Ctrl+L") << "key";
    QTest::newRow("ten quiet minutes") << "idle";
    QTest::newRow("desktop locked") << "desktop";
    QTest::newRow("computer sleeps") << "sleep";
}

void TestLock::lockHidesAndWipesThenUnlockBringsBack()
{
    QFETCH(QString, how);
    openSortedVault();
    Form1 *main = t->mainWindow();
    main->mnuFind_Click();
    control<QLineEdit>(main, "txtFind")->setText(QStringLiteral("example"));
    main->cmdCopy_Click(1);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pw-bob-29"));
    main->cmdEdit_Click();
    frmAdd *editor = t->program->add.window();
    QVERIFY(editor);
    control<QLineEdit>(editor, "txtPassword")->setText(QStringLiteral("half-typed"));
    t->program->openHelp();
    t->program->openAbout();

    if (how == u"menu") {
        control<QAction>(main, "mnuLock")->trigger();
    } else if (how == u"key") {
        // From the editor, which has the focus.
        QApplication::setActiveWindow(editor);
        QTest::keyClick(control<QLineEdit>(editor, "txtPassword"), Qt::Key_L, Qt::ControlModifier);
    } else if (how == u"idle") {
        t->fakes.clock.time = t->fakes.clock.time.addSecs(10 * 60);
        t->program->inactivity().checkIdle();
    } else if (how == u"desktop") {
        t->fakes.desktopLock.lockSession();
    } else {
        t->fakes.desktopLock.sleep();
    }

    QVERIFY(t->program->isLocked());
    QCOMPARE(visibleWindowNames(), QStringList {QStringLiteral("Password Required")});
    QVERIFY(!t->program->add.isLoaded() && !t->program->help.isLoaded()
            && !t->program->about.isLoaded());
    QCOMPARE(t->program->entries().count(), 0);
    QVERIFY(!t->program->session().isOpen());
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QVERIFY(t->status().isEmpty());

    t->acceptPassword(QStringLiteral("pw12"));
    QVERIFY(!t->program->isLocked());
    QVERIFY(main->isVisible());
    QVERIFY(t->program->help.isLoaded() && t->program->about.isLoaded());
    QCOMPARE(t->program->entries().count(), 3);
    QCOMPARE(t->program->entries().field(1, Field::Username), QStringLiteral("ann"));
    QCOMPARE(list()->currentIndex().data().toString(), QStringLiteral("bob"));
    QCOMPARE(control<QLineEdit>(main, "txtFind")->text(), QStringLiteral("example"));
    editor = t->program->add.window();
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Edit an entry"));
    QCOMPARE(editor->typedEntry(), (VaultEntry {"bob", "half-typed", "b.example"}));
    // Still bound to its entry: saving changes bob, not another one.
    editor->submit();
    QCOMPARE(t->program->entries().count(), 3);
    QCOMPARE(t->program->entries().field(2, Field::Password), QStringLiteral("half-typed"));
}

void TestLock::idleCountsInputToAnyWindow()
{
    openSortedVault();
    Form8 *help = t->program->openHelp();
    QDateTime &now = t->fakes.clock.time;
    InactivityTimer &idle = t->program->inactivity();
    now = now.addSecs(9 * 60);
    idle.checkIdle();
    QTest::keyClick(help, Qt::Key_Shift);
    idle.checkIdle();
    now = now.addSecs(9 * 60);
    idle.checkIdle();
    QVERIFY(!t->program->isLocked());
    now = now.addSecs(60);
    idle.checkIdle();
    QVERIFY(t->program->isLocked());

    // Off while locked, and with "Never".
    t->acceptPassword(QStringLiteral("pw12"));
    for (QAction *choice : control<QMenu>(t->mainWindow(), "mnuLockAfter")->actions()) {
        if (choice->data().toInt() == 0)
            choice->trigger();
    }
    QCOMPARE(t->program->context().settings.lockAfterMinutes(), 0);
    now = now.addDays(1);
    idle.checkIdle();
    QVERIFY(!t->program->isLocked());
}

void TestLock::desktopLockFollowsItsSetting()
{
    openSortedVault();
    QAction *withDesktop = control<QAction>(t->mainWindow(), "mnuLockWithDesktop");
    QVERIFY(withDesktop->isChecked());
    withDesktop->trigger();
    QCOMPARE(t->program->context().settings.lockWithDesktop(), false);
    t->fakes.desktopLock.lockSession();
    t->fakes.desktopLock.sleep();
    QVERIFY(!t->program->isLocked());
    withDesktop->trigger();
    t->fakes.desktopLock.sleep();
    QVERIFY(t->program->isLocked());
}

void TestLock::lockedDialogEndsLikeAtStartUp_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("three wrong tries") << "wrong";
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("close box") << "close";
}

void TestLock::lockedDialogEndsLikeAtStartUp()
{
    QFETCH(QString, how);
    openSortedVault();
    t->program->lock();
    frmPass *dialog = t->program->pass.window();
    QVERIFY(dialog);
    if (how == u"wrong") {
        for (int i = 0; i < 3; ++i)
            t->fakes.messages.answers.enqueue(MessageBox::Retry);
        for (int i = 0; i < 3; ++i)
            t->acceptPassword(QStringLiteral("PW12"));
        QCOMPARE(t->fakes.messages.shown.last().text,
                 QStringLiteral("Only 3 tries allowed.  Click Ok to close."));
    } else if (how == u"cancel") {
        dialog->cmdCancel_Click();
    } else {
        dialog->close();
    }
    QCOMPARE(t->fakes.ender.endCount, 1);
    QCOMPARE(t->program->entries().count(), 0);
}

void TestLock::lockDuringAMessageBoxCancelsItsQuestion()
{
    // Real boxes, which run a modal loop of their own.
    WidgetMessageBoxes boxes;
    Platform platform = t->fakes.platform();
    platform.messages = &boxes;
    t->program = std::make_unique<Program>(t->folder.path(), t->userDataFolder(), platform);
    openSortedVault();
    QTimer::singleShot(0, &t->fakes.desktopLock, &FakeDesktopLock::lockSession);
    t->mainWindow()->cmdDelete_Click();
    // The question counted as cancelled, and the command finished with
    // the list whole; the lock finishes once the box's loop has returned.
    QCOMPARE(t->status(), QStringLiteral("Entry not deleted, cancelled by user"));
    QVERIFY(!t->program->pass.isLoaded());
    QTRY_VERIFY(t->program->pass.isLoaded());
    QCOMPARE(visibleWindowNames(), QStringList {QStringLiteral("Password Required")});
    t->acceptPassword(QStringLiteral("pw12"));
    QCOMPARE(t->program->entries().count(), 3);
}

void TestLock::encryptedVaultDerivesTheKeyAgain()
{
    using namespace EncryptedFormat;
    VaultKey key;
    QCOMPARE(deriveKey(u"pw12", {1, 1024}, newSalt(), &key), Problem::None);
    const std::vector<VaultEntry> entries
        = {{"ann", "pw-ann-17", "a.example"}, {"bob", "pw-bob-29", ""}};
    t->writeVault(seal(key, entries));
    key.clear();
    t->runSplash();
    const auto enter = [this](const QString &password) {
        QLineEdit *box = control<QLineEdit>(t->program->pass.window(), "txtPass");
        QTest::keyClicks(box, password);
        QTest::keyClick(box, Qt::Key_Return);
    };
    enter(QStringLiteral("pw12"));
    QTRY_VERIFY(t->mainWindow()->isVisible());
    // A change whose save fails: a folder stands where the file was.
    QVERIFY(QFile::remove(t->vaultPath()));
    QVERIFY(QDir(t->folder.path()).mkdir("data.enc"));
    t->program->session().apply(
        [](EntryListChange &list) {
            list.append({"cy", "pw-cy-3", ""});
        },
        VaultSession::IfSaveFails::KeepUnsaved, QString());
    QVERIFY(t->program->session().hasUnsavedChanges());

    t->program->lock();
    QVERIFY(t->program->session().isSealed());
    QCOMPARE(t->program->entries().count(), 0);
    t->fakes.messages.answers.enqueue(MessageBox::Retry);
    enter(QStringLiteral("pw13"));
    QTRY_COMPARE(t->program->pass.window()->tries(), 1);
    enter(QStringLiteral("pw12"));
    QTRY_VERIFY(t->mainWindow()->isVisible());
    // The change that was not saved came back, still unsaved.
    QCOMPARE(t->program->entries().count(), 3);
    QVERIFY(t->program->session().hasUnsavedChanges());
}

void TestLock::ctrlLWhileAKeyIsDerivedLocksOnceItIsDone()
{
    openSortedVault();
    t->fakes.messages.answers.enqueue(MessageBox::Yes);
    control<QAction>(t->mainWindow(), "mnuEncrypt")->trigger();
    frmVaultPassword *dialog = t->program->vaultPassword.window();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QLineEdit *box = control<QLineEdit>(dialog, "txtCurrent");
    QTest::keyClicks(box, QStringLiteral("pw12"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(dialog->isWorking());

    QTest::keyClick(dialog->focusWidget(), Qt::Key_L, Qt::ControlModifier);
    // Nothing stays on the screen; the command finishes first, the vault
    // encrypted, and then the program locks.
    QVERIFY(t->program->isLocked());
    QVERIFY(visibleWindowNames().isEmpty());
    QVERIFY(!t->program->pass.isLoaded());
    QTRY_VERIFY_WITH_TIMEOUT(t->program->pass.isLoaded(), 20000);
    QVERIFY(EncryptedFormat::isEncrypted(t->readVault()));
    QCOMPARE(visibleWindowNames(), QStringList {QStringLiteral("Password Required")});
    QLineEdit *pass = control<QLineEdit>(t->program->pass.window(), "txtPass");
    QTest::keyClicks(pass, QStringLiteral("pw12"));
    QTest::keyClick(pass, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(t->mainWindow()->isVisible(), 20000);
    QCOMPARE(t->program->entries().count(), 3);
}

QTEST_MAIN(TestLock)
#include "tst_Lock.moc"
