#include "TestProgram.h"
#include "app/Form1.h"
#include "password/frmPass.h"
#include "platform/MessageBoxes.h"
#include "skin/SkinLabel.h"
#include "vault/VaultFormat.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace {

const QString kTooShort
    = QStringLiteral("You must enter a password that is at least 4 characters long");
const QString kMismatch = QStringLiteral("Your passwords did not match.  Please try again.");
const QString kWrong = QStringLiteral("Sorry, the password you entered was not correct.");
const QString kTooMany = QStringLiteral("Only 3 tries allowed.  Click Ok to close.");
const QString kUnstorable = QStringLiteral("unstorable"); // the refusal, whose text may change

bool isOnTop(const QWidget *window)
{
    return window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

double twipsTop(const QWidget *control)
{
    return control->property("twipsGeometry").toRectF().top();
}

// Runs start-up to the open dialog: a first run when stored is empty,
// otherwise a vault with that password and two entries.
frmPass *start(TestProgram &t, const QString &stored)
{
    if (!stored.isEmpty())
        t.writeVault(stored, {{"ann", "pw1", "a.example"}, {"bob", "pw2", "b.example"}});
    t.runSplash();
    return t.program->pass.window();
}

// Fills the boxes and submits: "click" on Ok, or "enter" / "enter2" for
// typing key by key and pressing Enter in the first or the retype box.
void submit(frmPass *dialog, const QString &typed, const QString &retyped, const QString &how)
{
    QLineEdit *pass = control<QLineEdit>(dialog, QStringLiteral("txtPass"));
    QLineEdit *pass2 = control<QLineEdit>(dialog, QStringLiteral("txtPass2"));
    if (how == u"click") {
        pass->setText(typed);
        pass2->setText(retyped);
        QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("cmdOK")), Qt::LeftButton);
        return;
    }
    QTest::keyClicks(pass, typed);
    QTest::keyClicks(pass2, retyped);
    QTest::keyClick(how == u"enter" ? pass : pass2, Qt::Key_Return);
}

} // namespace

class TestFrmPass : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void newPassword_data();
    void newPassword();
    void enterPassword_data();
    void enterPassword();
    void waysOut_data();
    void waysOut();
};

void TestFrmPass::layout_data()
{
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<double>("outer");
    QTest::addColumn<double>("passTop");
    QTest::addColumn<double>("buttonsTop");
    QTest::addColumn<double>("labelHeight");
    QTest::addColumn<QString>("caption");

    // clang-format off
    QTest::newRow("create") << true << 3505.0 << 1700.0 << 2450.0 << 1500.0
                            << "Because this is the first time you have used Vorsell, you will "
                               "need to create a master password.  This password will be required "
                               "to open the program from now on, and can not be reset.\r\n\r\n"
                               "Please enter a password that you will not forget.";
    QTest::newRow("enter") << false << 1845.0 << 360.0 << 780.0 << 315.0
                           << "Please enter your password";
    // clang-format on
}

void TestFrmPass::layout()
{
    QFETCH(bool, firstRun);
    QFETCH(double, outer);
    QFETCH(double, passTop);
    QFETCH(double, buttonsTop);
    QFETCH(double, labelHeight);
    QFETCH(QString, caption);

    TestProgram t;
    frmPass *dialog = start(t, firstRun ? QString() : QStringLiteral("stored"));
    QVERIFY(dialog);
    QLineEdit *pass = control<QLineEdit>(dialog, QStringLiteral("txtPass"));
    QLineEdit *pass2 = control<QLineEdit>(dialog, QStringLiteral("txtPass2"));
    const SkinLabel *label = control<SkinLabel>(dialog, QStringLiteral("SkinLabel1"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Password Required"));
    QVERIFY(isOnTop(dialog));

    QCOMPARE(dialog->outerHeightTwips(), outer);
    QCOMPARE(dialog->height(),
             Twips::toPixels(outer) - (dialog->frameGeometry().height() - dialog->height()));
    QCOMPARE(dialog->width(), Twips::toPixels(6825));
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->height(), Twips::toPixels(labelHeight));
    QCOMPARE(twipsTop(pass), passTop);
    for (const char *name : {"cmdOK", "cmdCancel"}) {
        const QPushButton *button = control<QPushButton>(dialog, QString::fromLatin1(name));
        QCOMPARE(twipsTop(button), buttonsTop);
        QCOMPARE(button->y(), Twips::toPixels(buttonsTop));
    }
    QCOMPARE(pass2->isVisible(), firstRun);
    QCOMPARE(control<SkinLabel>(dialog, QStringLiteral("SkinLabel3"))->isVisible(), firstRun);
    if (firstRun)
        QCOMPARE(twipsTop(pass2), 2075.0);

    for (const QWidget *control : dialog->findChildren<QWidget *>()) {
        QCOMPARE(control->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(control->font().pointSizeF(), 8.25);
    }
    for (const QLineEdit *box : {pass, pass2}) {
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        QCOMPARE(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box),
                 int('*'));
    }

    // It opens with the focus in the password box: what is typed goes there,
    // not to Ok, which would take an empty password as a try.
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QCOMPARE(QApplication::focusWidget(), pass);
    QTest::keyClick(pass, Qt::Key_Space);
    QCOMPARE(pass->text(), QStringLiteral(" "));
    QVERIFY(t.fakes.messages.shown.isEmpty());
}

void TestFrmPass::newPassword_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("retyped");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message"); // empty when the password is taken
    QTest::addColumn<bool>("boxesKept");

    // clang-format off
    QTest::newRow("3 characters") << "abc" << "abc" << "click" << kTooShort << true;
    QTest::newRow("exactly 4") << "abcd" << "abcd" << "click" << QString() << false;
    QTest::newRow("first box measured") << "abc" << "abcdef" << "click" << kTooShort << true;
    QTest::newRow("short retype") << "abcd" << "ab" << "click" << kMismatch << false;
    QTest::newRow("case only") << "Secret" << "secret" << "click" << kMismatch << false;
    QTest::newRow("code page") << "P\u00e4ss \u20ac|||" << "P\u00e4ss \u20ac|||" << "click"
                               << QString() << false;
    QTest::newRow("outside the code page") << "pass\u4e2d" << "pass\u4e2d" << "click"
                                           << kUnstorable << true;
    QTest::newRow("Enter") << "Secret1" << "Secret1" << "enter" << QString() << false;
    QTest::newRow("Enter in retype box") << "Secret1" << "Secret1" << "enter2" << QString() << false;
    // clang-format on
}

void TestFrmPass::newPassword()
{
    QFETCH(QString, typed);
    QFETCH(QString, retyped);
    QFETCH(QString, how);
    QFETCH(QString, message);
    QFETCH(bool, boxesKept);

    TestProgram t;
    frmPass *dialog = start(t, QString());
    QVERIFY(dialog);
    const QByteArray before = t.readVault();
    QList<bool> onTopDuringBox;
    t.fakes.messages.onShow = [&](const auto &) {
        onTopDuringBox.append(isOnTop(t.program->pass.window()));
    };
    submit(dialog, typed, retyped, how);

    QCOMPARE(t.fakes.ender.endCount, 0);
    if (message.isEmpty()) {
        QVERIFY(t.fakes.messages.shown.isEmpty());
        QVERIFY(t.program->session().isOpen());
        QCOMPARE(t.readVault(), VaultFormat::encodeLine(typed) + "\r\n");
        QCOMPARE(t.status(), QStringLiteral("Password created successfully"));
        QVERIFY(t.mainWindow()->isVisible());
        QVERIFY(!t.program->pass.isLoaded());
        return;
    }
    QCOMPARE(t.fakes.messages.shown.size(), 1);
    const auto &box = t.fakes.messages.shown.first();
    if (message == kUnstorable)
        QVERIFY(box.text.contains(QStringLiteral("cannot be stored")));
    else
        QCOMPARE(box.text, message);
    QCOMPARE(box.style, int(MessageBox::OkOnly));
    QCOMPARE(box.title, QString());
    QCOMPARE(onTopDuringBox, QList<bool> {false});
    QVERIFY(isOnTop(dialog));
    QCOMPARE(control<QLineEdit>(dialog, QStringLiteral("txtPass"))->text(),
             boxesKept ? typed : QString());
    QCOMPARE(control<QLineEdit>(dialog, QStringLiteral("txtPass2"))->text(),
             boxesKept ? retyped : QString());
    QVERIFY(!t.program->session().isOpen());
    QCOMPARE(t.readVault(), before);
}

void TestFrmPass::enterPassword_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("opened");

    const int retry = MessageBox::Retry;
    const int cancel = MessageBox::Cancel;
    // clang-format off
    QTest::newRow("right") << QStringList{"Secret1"} << QList<int>{} << "click" << QStringList{} << true;
    QTest::newRow("wrong, retry, wrong, retry, right") << QStringList{"x", "secret1", "Secret1"} << QList<int>{retry, retry} << "enter" << QStringList{kWrong, kWrong} << true;
    QTest::newRow("three wrong with retry") << QStringList{"a", "b", "c"} << QList<int>{retry, retry, retry} << "click" << QStringList{kWrong, kWrong, kWrong, kTooMany} << false;
    QTest::newRow("third wrong then cancel") << QStringList{"a", "b", "c"} << QList<int>{retry, retry, cancel} << "click" << QStringList{kWrong, kWrong, kWrong} << false;
    QTest::newRow("wrong then cancel") << QStringList{"a"} << QList<int>{cancel} << "click" << QStringList{kWrong} << false;
    QTest::newRow("case differs") << QStringList{"SECRET1"} << QList<int>{cancel} << "click" << QStringList{kWrong} << false;
    QTest::newRow("space added") << QStringList{"Secret1 "} << QList<int>{cancel} << "click" << QStringList{kWrong} << false;
    // clang-format on
}

void TestFrmPass::enterPassword()
{
    QFETCH(QStringList, typed);
    QFETCH(QList<int>, answers);
    QFETCH(QString, how);
    QFETCH(QStringList, messages);
    QFETCH(bool, opened);

    TestProgram t;
    frmPass *dialog = start(t, QStringLiteral("Secret1"));
    QVERIFY(dialog);
    const QByteArray before = t.readVault();
    for (int answer : answers)
        t.fakes.messages.answers.enqueue(answer);
    QList<bool> onTopDuringBox;
    t.fakes.messages.onShow = [&](const auto &) {
        onTopDuringBox.append(isOnTop(t.program->pass.window()));
    };
    for (const QString &password : typed) {
        QVERIFY(!t.program->hasEnded());
        QCOMPARE(control<QLineEdit>(dialog, QStringLiteral("txtPass"))->text(),
                 QString()); // cleared after every Retry
        submit(dialog, password, QString(), how);
    }

    QStringList shown;
    for (const auto &box : std::as_const(t.fakes.messages.shown)) {
        shown.append(box.text);
        const bool wrong = box.text == kWrong;
        QCOMPARE(box.title, wrong ? QStringLiteral("Incorrect Password") : QString());
        QCOMPARE(box.style, int(wrong ? MessageBox::RetryCancel : MessageBox::OkOnly));
    }
    QCOMPARE(shown, messages);
    QCOMPARE(onTopDuringBox, QList<bool>(messages.size(), true));
    QCOMPARE(t.readVault(), before);
    QCOMPARE(t.fakes.ender.endCount, opened ? 0 : 1);
    if (opened) {
        QCOMPARE(t.status(), QStringLiteral("Loaded 2 entries"));
        QVERIFY(t.mainWindow()->isVisible());
        QVERIFY(!t.program->pass.isLoaded());
        // The session keeps the master password it was opened with: a save
        // writes the file back as it was.
        QVERIFY(t.program->session().save(QDateTime::currentDateTime()).ok());
        QCOMPARE(t.readVault(), before);
    } else {
        QVERIFY(!t.program->session().isOpen());
        QCOMPARE(t.program->entries().rowCount(), 0);
    }
}

void TestFrmPass::waysOut_data()
{
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("ends");

    for (bool firstRun : {true, false}) {
        const char *mode = firstRun ? "create" : "enter";
        QTest::addRow("%s, close box", mode) << firstRun << "close" << true;
        QTest::addRow("%s, Cancel", mode) << firstRun << "cancel" << true;
        QTest::addRow("%s, Esc", mode) << firstRun << "esc" << false;
    }
}

void TestFrmPass::waysOut()
{
    QFETCH(bool, firstRun);
    QFETCH(QString, way);
    QFETCH(bool, ends);

    TestProgram t;
    frmPass *dialog = start(t, firstRun ? QString() : QStringLiteral("Secret1"));
    QVERIFY(dialog);
    control<QLineEdit>(dialog, QStringLiteral("txtPass"))->setText(QStringLiteral("Secret1"));
    control<QLineEdit>(dialog, QStringLiteral("txtPass2"))->setText(QStringLiteral("Secret1"));
    if (way == u"close")
        dialog->close();
    else if (way == u"cancel")
        QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
    else
        QTest::keyClick(control<QLineEdit>(dialog, QStringLiteral("txtPass")), Qt::Key_Escape);

    QCOMPARE(t.fakes.ender.endCount, ends ? 1 : 0);
    QVERIFY(t.fakes.messages.shown.isEmpty());
    QVERIFY(!t.program->session().isOpen());
}

QTEST_MAIN(TestFrmPass)
#include "tst_frmPass.moc"
