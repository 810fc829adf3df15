#include "TestProgram.h"
#include "app/Form1.h"
#include "app/frmSplash.h"
#include "entries/frmAdd.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "password/frmPass.h"
#include "widgets/Accessible.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace {

QStringList childNames(QAccessibleInterface *face)
{
    QStringList names;
    for (int i = 0; i < face->childCount(); ++i)
        names.append(face->child(i)->text(QAccessible::Name));
    return names;
}

QStringList shownColumn(const QTreeView *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts.append(list->model()->index(row, column).data().toString());
    return texts;
}

// The texts that the news of changes carries to assistive technology, while
// someone listens.
QStringList *heard = nullptr;

void listen(QAccessibleEvent *event)
{
    if (!heard)
        return;
    switch (event->type()) {
    case QAccessible::TextInserted:
        heard->append(static_cast<QAccessibleTextInsertEvent *>(event)->textInserted());
        break;
    case QAccessible::TextRemoved:
        heard->append(static_cast<QAccessibleTextRemoveEvent *>(event)->textRemoved());
        break;
    case QAccessible::TextUpdated: {
        const auto *update = static_cast<QAccessibleTextUpdateEvent *>(event);
        heard->append(update->textRemoved());
        heard->append(update->textInserted());
        break;
    }
    case QAccessible::ValueChanged:
        heard->append(static_cast<QAccessibleValueChangeEvent *>(event)->value().toString());
        break;
    default:
        break;
    }
}

// Stands in for a screen reader that listens for keys, and for Qt's bridge
// to it over AT-SPI: accessibility is on, and every key press and release
// that comes from the window system waits for the listener's answer, then
// is posted again, in order, to the window it came to.
class KeystrokeListener : public QObject
{
public:
    KeystrokeListener()
    {
        QAccessible::setActive(true);
        qApp->installEventFilter(this);
    }
    ~KeystrokeListener() override
    {
        qApp->removeEventFilter(this);
        QAccessible::setActive(m_wasActive);
    }

    // The listener answers every key held so far: each goes on to its window.
    void answer()
    {
        for (auto &[window, key] : std::exchange(m_held, {})) {
            if (window)
                QCoreApplication::postEvent(window, key.release());
        }
        QCoreApplication::sendPostedEvents();
    }

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        if (!event->spontaneous()
            || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
            return false;
        m_held.emplace_back(target, static_cast<QKeyEvent *>(event)->clone());
        return true;
    }

private:
    const bool m_wasActive = QAccessible::isActive();
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QKeyEvent>>> m_held;
};

} // namespace

// What assistive technology reads of the program: the names and roles that
// a screen reader speaks.
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void statusPanelIsNamedByItsText();
    void windowsAreDialogs();
    void splashIsANamedWindow();
    void aboutBoxShowsEachThingOnce();
    void typingInTheFindBoxMovesNoFocus();
    void generateIsAnnouncedWithoutThePassword();
    void headersArePressedLikeClicks();
    void typedPasswordIsNotHeard();
    void tabSelectsTheBoxWhileAListenerHoldsTheKeys();
};

void TestAccessibility::statusPanelIsNamedByItsText()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.writeVault(QStringLiteral("pw12"), {{"ann", "pw1", "a.example"}});
    t.openVault();
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(
        control<QLabel>(t.mainWindow(), QStringLiteral("statusPanel")));
    QVERIFY(panel);
    QVERIFY(!t.status().isEmpty());
    QCOMPARE(panel->text(QAccessible::Name), t.status());
    t.program->setStatus(QStringLiteral("Added new entry.  Data saved."));
    QCOMPARE(panel->text(QAccessible::Name), QStringLiteral("Added new entry.  Data saved."));
}

void TestAccessibility::windowsAreDialogs()
{
    const auto check = [](QWidget *window) {
        QVERIFY(window);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(window);
        QVERIFY(face);
        QVERIFY2(face->role() == QAccessible::Dialog, qPrintable(window->objectName()));
        QCOMPARE(face->text(QAccessible::Name), window->windowTitle());
    };
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.runSplash();
    check(t.program->pass.window());
    t.acceptPassword();
    control<QAction>(t.mainWindow(), QStringLiteral("mnuDataItem"), 0)->trigger();
    check(t.program->add.window());
    check(t.program->openHelp());
    check(t.program->openAbout());
}

void TestAccessibility::splashIsANamedWindow()
{
    TestProgram t;
    t.runSplash();
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(t.program->splash.window());
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::Window);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Vorsell"));
}

void TestAccessibility::aboutBoxShowsEachThingOnce()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.runSplash();
    QWidget *about = t.program->openAbout();
    QVERIFY(t.program->context().skin.bUseSkin);
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(about);
    const QStringList names = childNames(face);
    // Skin twins repeat the captions for the eye; the notice lies below the
    // window.
    for (const char *caption : {"Version:", "Owned By:", "Website:", "Vorsell", "Drummet Software"})
        QCOMPARE(names.count(QString::fromLatin1(caption)), 1);
    QVERIFY2(!names.join(u' ').contains(QStringLiteral("copyright")), qPrintable(names.join(u'|')));
    for (int i = 0; i < face->childCount(); ++i)
        QVERIFY(!face->child(i)->state().invisible);
    // The values that can be selected are reached by Tab.
    QStringList tabbed;
    QWidget *focus = about->nextInFocusChain();
    for (int i = 0; i < 20 && focus != about; ++i, focus = focus->nextInFocusChain()) {
        if (focus->focusPolicy() & Qt::TabFocus)
            tabbed.append(focus->objectName());
    }
    for (const char *value : {"lblVersion", "lblCompany", "lblWebsite"})
        QVERIFY2(tabbed.contains(QString::fromLatin1(value)), qPrintable(tabbed.join(u' ')));
}

void TestAccessibility::typingInTheFindBoxMovesNoFocus()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.writeVault(QStringLiteral("pw12"),
                 {{"ann", "pw1", "a.example"}, {"bob", "pw2", ""}, {"anton", "pw3", ""}});
    t.openVault();
    Form1 *main = t.mainWindow();
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    auto *list = control<QTreeView>(main, QStringLiteral("lstPass"));
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
    auto *box = control<QLineEdit>(main, QStringLiteral("txtFind"));
    QVERIFY(box->hasFocus());

    // No news of a row while typing: the entry marked stays marked without
    // a word to assistive technology.
    QSignalSpy current(list->selectionModel(), &QItemSelectionModel::currentChanged);
    QSignalSpy selection(list->selectionModel(), &QItemSelectionModel::selectionChanged);
    QTest::keyClicks(box, QStringLiteral("an"));
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(current.size() + selection.size(), 0);
    QVERIFY(list->selectionModel()->isRowSelected(0));
    // Down in the box: the first match takes the focus, which a screen
    // reader finds on its row.
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(box, Qt::Key_Down);
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(list);
    QVERIFY(face->state().focused);
    QVERIFY(face->focusChild());
    QCOMPARE(face->focusChild()->text(QAccessible::Name), QStringLiteral("ann"));
}

void TestAccessibility::generateIsAnnouncedWithoutThePassword()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.openVault();
    control<QAction>(t.mainWindow(), QStringLiteral("mnuDataItem"), 0)->trigger();
    auto *generate = control<QToolButton>(t.program->add.window(), QStringLiteral("cmdGenerate"));
    auto *password = control<QLineEdit>(t.program->add.window(), QStringLiteral("txtPassword"));
    generate->click();
    const QString news
        = QAccessible::queryAccessibleInterface(generate)->text(QAccessible::Description);
    QVERIFY(!news.isEmpty() && !news.contains(password->text()));
}

void TestAccessibility::headersArePressedLikeClicks()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.writeVault(QStringLiteral("pw12"),
                 {{"bob", "pw2", ""}, {"ann", "pw3", ""}, {"cid", "pw1", ""}});
    t.openVault();
    auto *list = control<QTreeView>(t.mainWindow(), QStringLiteral("lstPass"));
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface *header = nullptr;
    for (int i = 0; i < face->childCount() && !header; ++i) {
        QAccessibleInterface *child = face->child(i);
        if (child->role() == QAccessible::ColumnHeader
            && child->text(QAccessible::Name) == QStringLiteral("Password"))
            header = child;
    }
    QVERIFY(header && header->actionInterface());
    const QString press = QAccessibleActionInterface::pressAction();
    QVERIFY(header->actionInterface()->actionNames().contains(press));

    // One order is toggled by every sort, whichever way it comes.
    t.mainWindow()->lstPass_ColumnClick(1);
    QCOMPARE(shownColumn(list, 0), (QStringList {"cid", "bob", "ann"}));
    header->actionInterface()->doAction(press);
    QCOMPARE(shownColumn(list, 1), (QStringList {"pw1", "pw2", "pw3"}));
    header->actionInterface()->doAction(press);
    QCOMPARE(shownColumn(list, 1), (QStringList {"pw3", "pw2", "pw1"}));
}

void TestAccessibility::typedPasswordIsNotHeard()
{
    QStringList news;
    heard = &news;
    // The program puts its own handler in front of the listener.
    QAccessible::installUpdateHandler(listen);
    TestProgram t;
    t.runSplash();
    auto *box = control<QLineEdit>(t.program->pass.window(), QStringLiteral("txtPass"));
    const QString secret = QStringLiteral("7Q#9Zk");
    QTest::keyClicks(box, secret);
    QCOMPARE(box->text(), secret);

    // No platform listens here, so Qt hands on nothing by itself: the news
    // that a box sends as its text changes goes to the program's handler
    // directly.
    const QAccessible::UpdateHandler program = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(program);
    const auto send = [program](QAccessibleEvent &&event) {
        program(&event);
    };
    for (int i = 0; i < secret.size(); ++i)
        send(QAccessibleTextInsertEvent(box, i, secret.mid(i, 1)));
    send(QAccessibleTextRemoveEvent(box, 5, secret.mid(5)));
    send(QAccessibleTextUpdateEvent(box, 0, secret.left(5), secret));
    send(QAccessibleValueChangeEvent(box, secret));
    const QString shown = box->displayText();
    const QChar echo = shown.at(0);
    const QStringList expected = QStringList(secret.size(), QString(echo))
        + QStringList {QString(echo), shown.left(5), shown, shown};
    QCOMPARE(news, expected);

    // Nor does the box give it away when asked.
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(box);
    QAccessibleTextInterface *text = face->textInterface();
    box->selectAll();
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    QStringList answers = {face->text(QAccessible::Name), face->text(QAccessible::Value),
                           face->text(QAccessible::Description), text->text(start, end),
                           text->text(0, text->characterCount())};
    for (int type = QAccessible::CharBoundary; type <= QAccessible::NoBoundary; ++type) {
        const auto boundary = QAccessible::TextBoundaryType(type);
        for (int offset : {0, 3}) {
            answers += text->textAtOffset(offset, boundary, &start, &end);
            answers += text->textBeforeOffset(offset, boundary, &start, &end);
            answers += text->textAfterOffset(offset, boundary, &start, &end);
        }
    }
    for (const QString &answer : std::as_const(answers)) {
        for (const QChar c : secret)
            QVERIFY2(!answer.contains(c), qPrintable(answer));
    }

    // A box that shows its text may speak it.
    news.clear();
    box->setEchoMode(QLineEdit::Normal);
    send(QAccessibleTextInsertEvent(box, 0, secret));
    QCOMPARE(news, QStringList {secret});

    heard = nullptr;
    // The program's handler as the program leaves it: in front, passing on
    // to the platform.
    QAccessible::installUpdateHandler(nullptr);
    Accessible::hideTypedSecrets();
}

void TestAccessibility::tabSelectsTheBoxWhileAListenerHoldsTheKeys()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.runSplash();
    frmPass *dialog = t.program->pass.window();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto listener = std::make_unique<KeystrokeListener>();
    // Keys as the window system brings them, to the dialog's window of the
    // moment.
    const auto type = [dialog](const QString &text) {
        for (const QChar c : text)
            QTest::keyClick(dialog->windowHandle(), c.toLatin1());
    };
    const auto press = [dialog](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(dialog->windowHandle(), key, modifiers);
    };

    type(QStringLiteral("abc"));
    press(Qt::Key_Tab);
    type(QStringLiteral("abc"));
    press(Qt::Key_Return);
    listener->answer();
    // Too short; the message is answered with its Enter.
    QCOMPARE(t.fakes.messages.shown.size(), 1);
    QVERIFY(t.program->pass.isLoaded());

    // The correction, typed while the dialog comes back from under the
    // message; the listener answers it late, when the keys reach a dialog
    // that is not active yet.
    const QString chosen = QStringLiteral("Kiwi-Saft 7731");
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    type(chosen);
    press(Qt::Key_Tab);
    type(chosen);
    press(Qt::Key_Return);
    QVERIFY(!dialog->isActiveWindow());
    listener->answer();
    QCOMPARE(t.fakes.messages.shown.size(), 1);
    QVERIFY(!t.program->pass.isLoaded());
    listener.reset();

    // The next start opens the vault with the password chosen.
    t.program = std::make_unique<Program>(t.folder.path(), t.userDataFolder(), t.fakes.platform());
    t.runSplash();
    auto *box = control<QLineEdit>(t.program->pass.window(), QStringLiteral("txtPass"));
    QTest::keyClicks(box, chosen);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(t.fakes.messages.shown.size(), 1);
    QVERIFY(t.mainWindow()->isVisible());
}

QTEST_MAIN(TestAccessibility)
#include "tst_Accessibility.moc"
