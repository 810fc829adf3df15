#include "TestProgram.h"
#include "VaultBytes.h"
#include "app/Form1.h"
#include "entries/ClipboardKeeper.h"
#include "entries/frmAdd.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace {

const std::vector<VaultEntry> kEntries = {{"bob", "zeta", "www.bob.example"},
                                          {"\u00C1lice", "alpha", ""},
                                          {"carol", "Mike", "C:\\Users\\ALI"}};

} // namespace

// The find bar, hidden passwords, the clipboard that forgets and the
// password generator, as the user meets them in the windows.
class TestFindHideForget : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    Form1 *main = nullptr;

    void open(const QString &hidePasswords = QString(), const QString &clipboardSeconds = QString())
    {
        t = std::make_unique<TestProgram>();
        t->setShowHelp("0");
        const auto set = [this](const char *key, const QString &value) {
            if (!value.isNull())
                t->fakes.settings.values.insert(
                    FakeSettings::path(t->fakes.version.values.productName, "Settings", key),
                    value);
        };
        set("HidePasswords", hidePasswords);
        set("ClipboardSeconds", clipboardSeconds);
        t->writeVault("master", kEntries);
        t->openVault("master");
        main = t->mainWindow();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QApplication::clipboard()->clear();
    }
    QTreeView *list() const { return control<QTreeView>(main, "lstPass"); }
    QStringList shownColumn(int column) const
    {
        QStringList texts;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            texts.append(list()->model()->index(row, column).data().toString());
        return texts;
    }
    void select(int shownRow) { list()->setCurrentIndex(list()->model()->index(shownRow, 0)); }
    void click(QWidget *window, const char *name, int index = -1)
    {
        QTest::mouseClick(control<QToolButton>(window, name, index), Qt::LeftButton);
    }
    frmAdd *editor() const { return t->program->add.window(); }
    QStringList savedUsernames() const
    {
        QStringList names;
        for (const VaultEntry &e : parsedEntries(t->readVault()))
            names.append(e.username);
        return names;
    }

private slots:
    void cleanup() { t.reset(); }

    void generateFillsThePasswordBox()
    {
        open();
        click(main, "cmdAdd", 0);
        auto *generate = control<QToolButton>(editor(), "cmdGenerate");
        QVERIFY(generate && generate->isVisible());
        // Between Save and Cancel, skinned and sized like them.
        const QRect save = control<QToolButton>(editor(), "cmdAdd", 0)->geometry();
        const QRect cancel = control<QToolButton>(editor(), "cmdDelete")->geometry();
        QVERIFY(generate->geometry().left() > save.right()
                && generate->geometry().right() < cancel.left());
        QCOMPARE(generate->size(), save.size());
        QCOMPARE(generate->palette(), control<QToolButton>(editor(), "cmdAdd", 0)->palette());

        auto *password = control<QLineEdit>(editor(), "txtPassword");
        QTest::mouseClick(generate, Qt::LeftButton);
        const QString first = password->text();
        QCOMPARE(first.size(), 20);
        QTest::mouseClick(generate, Qt::LeftButton);
        QVERIFY(password->text() != first);
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
    }

    void generatorOptionsAreRemembered()
    {
        open();
        click(main, "cmdAdd", 0);
        auto *length = control<QSpinBox>(editor(), "spnLength");
        QCOMPARE(length->minimum(), 8);
        QCOMPARE(length->maximum(), 64);
        QCOMPARE(control<QLabel>(editor(), "lblLength")->buddy(), length);
        length->setValue(9);
        control<QCheckBox>(editor(), "chkLetters")->setChecked(false);
        control<QCheckBox>(editor(), "chkSymbols")->setChecked(false);
        // The last class left cannot be taken away.
        control<QCheckBox>(editor(), "chkDigits")->setChecked(false);
        QVERIFY(control<QCheckBox>(editor(), "chkDigits")->isChecked());
        editor()->close();

        click(main, "cmdAdd", 0);
        QCOMPARE(control<QSpinBox>(editor(), "spnLength")->value(), 9);
        click(editor(), "cmdGenerate");
        const QString password = control<QLineEdit>(editor(), "txtPassword")->text();
        QCOMPARE(password.size(), 9);
        QVERIFY2(QRegularExpression("^[0-9]+$").match(password).hasMatch(), qPrintable(password));
        // A screen reader hears of it by the button's description, which
        // names the length only.
        QCOMPARE(control<QToolButton>(editor(), "cmdGenerate")->accessibleDescription(),
                 "New password generated, 9 characters.");
    }

    void findShowsMatchesAndCommandsActOnTheShownRow()
    {
        open();
        auto *bar = control<QWidget>(main, "findBar");
        auto *box = control<QLineEdit>(main, "txtFind");
        const QRect listBefore = list()->geometry();
        const QRect copyBefore = control<QToolButton>(main, "cmdCopy", 0)->geometry();
        QVERIFY(!bar->isVisible());

        QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible() && box->hasFocus());
        QCOMPARE(control<QLabel>(main, "lblFind")->buddy(), box);
        QCOMPARE(box->accessibleName(), "Find:");
        // The list gives up its bottom to the bar; nothing else moves.
        QCOMPARE(list()->geometry().top(), listBefore.top());
        QCOMPARE(bar->geometry().bottom(), listBefore.bottom());
        QCOMPARE(list()->geometry().bottom() + 1, bar->geometry().top());
        QCOMPARE(control<QToolButton>(main, "cmdCopy", 0)->geometry(), copyBefore);

        // Letter case and accents do not count; every column is searched.
        QTest::keyClicks(box, "ALI");
        QCOMPARE(shownColumn(0), (QStringList {"\u00C1lice", "carol"}));
        QCOMPARE(t->status(), "Showing 2 of 3 entries");

        select(1);
        click(main, "cmdCopy", 0);
        QCOMPARE(QApplication::clipboard()->text(), "carol");
        t->fakes.messages.answers.enqueue(1);
        select(0);
        click(main, "cmdDelete");
        QVERIFY(t->fakes.messages.shown.last().text.contains("Username: \u00C1lice"));
        QCOMPARE(savedUsernames(), (QStringList {"bob", "carol"}));

        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QVERIFY(box->text().isEmpty());
        QCOMPARE(list()->geometry(), listBefore);
        QCOMPARE(shownColumn(0), (QStringList {"bob", "carol"}));
        QCOMPARE(t->status(), "Showing all 2 entries");
    }

    void findBoxKeys()
    {
        open();
        auto *box = control<QLineEdit>(main, "txtFind");
        QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(box, "o");
        QCOMPARE(shownColumn(0), (QStringList {"bob", "carol"}));

        // The copy keys act on the selected match while the box has no text
        // of its own selected; then Ctrl+C copies that text.
        select(1);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "C:\\Users\\ALI");
        QCOMPARE(box->text(), "o");
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "Mike");
        box->selectAll();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "o");

        // Down and Enter go to the first match, selected.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
            select(1);
            // Ctrl+F puts the focus back in the open bar's box.
            QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
            QVERIFY(box->hasFocus() && box->isVisible());
            QTest::keyClick(box, key);
            QVERIFY(list()->hasFocus());
            QCOMPARE(list()->selectionModel()->selectedRows(),
                     QModelIndexList {list()->model()->index(0, 0)});
        }
        QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!box->isVisible());
    }

    void sortCommandsAreHeaderClicks()
    {
        open();
        auto *items = control<QMenu>(main, "mnuSortBy");
        QCOMPARE(items->actions().size(), 3);
        const char *keys[] = {"Ctrl+1", "Ctrl+2", "Ctrl+3"};
        for (int column = 0; column < 3; ++column) {
            QAction *item = items->actions().at(column);
            QCOMPARE(item->text().remove('&'), list()->model()->headerData(column, Qt::Horizontal));
            QCOMPARE(item->shortcut().toString(), keys[column]);
        }
        // The keys and the header clicks toggle one order between them.
        QTest::keyClick(main, Qt::Key_2, Qt::ControlModifier);
        const QStringList byPassword = shownColumn(1);
        QCOMPARE(byPassword, (QStringList {"zeta", "Mike", "alpha"}));
        list()->header()->sectionClicked(1);
        QCOMPARE(shownColumn(1), (QStringList {"alpha", "Mike", "zeta"}));
        QTest::keyClick(main, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(shownColumn(0), (QStringList {"carol", "bob", "\u00C1lice"}));
        items->actions().at(2)->trigger();
        QCOMPARE(shownColumn(2), (QStringList {"", "C:\\Users\\ALI", "www.bob.example"}));
    }

    void findKeepsUpWithAddsEditsAndSorting()
    {
        open();
        control<QAction>(main, "mnuFind")->trigger();
        auto *box = control<QLineEdit>(main, "txtFind");
        box->setText("o");
        QCOMPARE(shownColumn(0), (QStringList {"bob", "carol"}));

        // Sorting sorts what is shown.
        list()->header()->sectionClicked(0);
        QCOMPARE(shownColumn(0), (QStringList {"carol", "bob"}));

        for (const char *name : {"dora", "zed"}) {
            click(main, "cmdAdd", 0);
            control<QLineEdit>(editor(), "txtUsername")->setText(name);
            control<QLineEdit>(editor(), "txtPassword")->setText("pw");
            click(editor(), "cmdAdd", 0);
        }
        QCOMPARE(shownColumn(0), (QStringList {"dora", "carol", "bob"}));

        // An edit that no longer matches leaves the shown rows.
        select(2);
        click(main, "cmdEdit");
        control<QLineEdit>(editor(), "txtUsername")->setText("bill");
        control<QLineEdit>(editor(), "txtWebsite")->clear();
        click(editor(), "cmdAdd", 0);
        QCOMPARE(shownColumn(0), (QStringList {"dora", "carol"}));
        // The file holds every entry, in the order of the whole list.
        QCOMPARE(savedUsernames(), (QStringList {"zed", "dora", "carol", "bill", "\u00C1lice"}));

        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(list()->model()->rowCount(), 5);
        QCOMPARE(t->status(), "Showing all 5 entries");
    }

    void hiddenPasswordsAreNeverShown()
    {
        open();
        auto *hide = control<QAction>(main, "mnuHidePasswords");
        QVERIFY(hide->isCheckable() && !hide->isChecked());
        QCOMPARE(shownColumn(1), (QStringList {"zeta", "alpha", "Mike"}));
        QTest::keyClick(main, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(hide->isChecked());
        const QString bullets(8, QChar(0x2022));
        QCOMPARE(shownColumn(1), (QStringList {bullets, bullets, bullets}));

        // Sorting by the password column still sorts by the passwords.
        list()->header()->sectionClicked(1);
        list()->header()->sectionClicked(1);
        QCOMPARE(shownColumn(0), (QStringList {"\u00C1lice", "carol", "bob"}));

        select(0);
        click(main, "cmdCopy", 1);
        QCOMPARE(t->status(), "Copied Password");
        QCOMPARE(QApplication::clipboard()->text(), "alpha");

        t->fakes.messages.answers.enqueue(2);
        const qsizetype boxes = t->fakes.messages.shown.size();
        click(main, "cmdDelete");
        QCOMPARE(t->fakes.messages.shown.size(), boxes + 1);
        const QString question = t->fakes.messages.shown.last().text;
        QVERIFY2(question.contains("Username: \u00C1lice"), qPrintable(question));
        QVERIFY(!question.contains("alpha"));

        click(main, "cmdEdit");
        auto *password = control<QLineEdit>(editor(), "txtPassword");
        auto *show = control<QCheckBox>(editor(), "chkShow");
        QCOMPARE(password->text(), "alpha");
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QVERIFY(show && show->text() == "S&how" && !show->isChecked());
        QVERIFY(password->geometry().right() < show->geometry().left());
        show->click();
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        // The open editor follows the menu both ways.
        hide->trigger();
        QVERIFY(!control<QCheckBox>(editor(), "chkShow"));
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        hide->trigger();
        show = control<QCheckBox>(editor(), "chkShow");
        QVERIFY(show && show->isVisible() && !show->isChecked());
        QCOMPARE(password->echoMode(), QLineEdit::Password);

        // Remembered across starts.
        open(t->fakes.settings.values.value(
            FakeSettings::path(t->fakes.version.values.productName, "Settings", "HidePasswords")));
        QVERIFY(control<QAction>(main, "mnuHidePasswords")->isChecked());
        QCOMPARE(shownColumn(1).first(), bullets);
    }

    void clipboardForgetsOnlyWhatItCopied_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("wait");
        QTest::addColumn<bool>("userCopiedSince");
        QTest::addColumn<bool>("forgotten");
        QTest::newRow("default, 29 s") << QString() << 29 << false << false;
        QTest::newRow("default, 30 s") << QString() << 30 << false << true;
        QTest::newRow("user copied since") << QString() << 30 << true << false;
        QTest::newRow("5 s setting") << "5" << 5 << false << true;
        QTest::newRow("0 never") << "0" << 3600 << false << false;
    }
    void clipboardForgetsOnlyWhatItCopied()
    {
        QFETCH(QString, seconds);
        QFETCH(int, wait);
        QFETCH(bool, userCopiedSince);
        QFETCH(bool, forgotten);
        open(QString(), seconds);
        select(0);
        click(main, "cmdCopy", 1);
        const QMimeData *data = QApplication::clipboard()->mimeData();
        QCOMPARE(data->text(), "zeta");
#ifndef Q_OS_WIN
        QCOMPARE(data->data("x-kde-passwordManagerHint"), "secret");
#endif
        const QString status = t->status();
        if (userCopiedSince)
            QApplication::clipboard()->setText("mine");
        const QString expected = forgotten ? QString() : userCopiedSince ? "mine" : "zeta";

        auto *keeper = t->program->findChild<ClipboardKeeper *>();
        QCOMPARE(t->program->findChild<QTimer *>("clipboardTimer")->isActive(), seconds != "0");
        t->fakes.clock.time = t->fakes.clock.time.addSecs(wait);
        keeper->forgetIfDue();
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QCOMPARE(t->status(), status);

        // The end of the program forgets it too, on the same terms.
        t.reset();
        QCOMPARE(QApplication::clipboard()->text(),
                 seconds == "0" ? expected : QString(expected).remove("zeta"));
    }
};

QTEST_MAIN(TestFindHideForget)
#include "tst_FindHideForget.moc"
