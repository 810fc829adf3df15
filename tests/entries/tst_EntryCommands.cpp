#include "EntryWindowFixture.h"
#include "TestProgram.h"
#include "app/Form1.h"
#include "entries/EntryRules.h"
#include "entries/frmAdd.h"
#include "info/Form8.h"
#include "platform/MessageBoxes.h"
#include "vault/VaultFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <string_view>

using namespace EntryWindow;

// The entry commands and the entry editor as the user runs them: clicking the
// main window's buttons, column headers and menu items, typing into the
// editor, answering message boxes through the fake seam, and reading the
// status bar, the clipboard and the vault file.
class TestEntryCommands : public QObject, protected EntryWindowFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // clang-format off
    void noSelection_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("status");
        const QString texts[] = {{}, "You must first select an entry to delete.",
                                 "You must first select an entry to edit.",
                                 "You must first select an entry to go to.",
                                 "You must first select a row to copy from."};
        for (int command = Delete; command <= CopyLocation; ++command)
            QTest::addRow("%s", kNames[command]) << command << texts[std::min(command, 4)];
    }
    // clang-format on
    void noSelection()
    {
        QFETCH(int, command);
        QFETCH(QString, status);
        for (bool viaMenu : {false, true}) {
            t->program->setStatus({});
            run(Command(command), viaMenu);
            QCOMPARE(t->status(), status);
            QVERIFY(t->fakes.messages.shown.isEmpty() && t->fakes.locations.started.isEmpty());
            QVERIFY(!editor());
            // Copy empties the clipboard, also when there is nothing to copy.
            QCOMPARE(QApplication::clipboard()->text().isEmpty(), command >= CopyUsername);
        }
    }

    // clang-format off
    void deleteEntry_data()
    {
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("button, OK") << false << 1 << "Entry deleted successfully, data saved." << QStringList{"bob", "carol"};
        QTest::newRow("menu, Cancel") << true << 2 << "Entry not deleted, cancelled by user" << QStringList{"bob", "alice", "carol"};
    }
    // clang-format on
    void deleteEntry()
    {
        QFETCH(bool, viaMenu);
        QFETCH(int, answer);
        QFETCH(QString, status);
        QFETCH(QStringList, kept);
        const QByteArray before = t->readVault();
        clickRow(2);
        t->fakes.messages.answers.enqueue(answer);
        run(Delete, viaMenu);
        QCOMPARE(t->fakes.messages.shown.size(), 1);
        QCOMPARE(lastBox().text,
                 "Are you sure you want to delete the following information?"
                 "\r\n\r\nUsername: alice\r\nPassword: alpha\r\nUsed At: ");
        QCOMPARE(lastBox().style, 1);
        QCOMPARE(lastBox().title, "Confirm Delete");
        QCOMPARE(t->status(), status);
        QCOMPARE(savedUsernames(), kept);
        QCOMPARE(t->readVault() == before, answer != 1);
    }

    // clang-format off
    void copyField_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("status");
        QTest::newRow("username, button") << int(CopyUsername) << false << 3 << "Copied Username carol";
        QTest::newRow("password, menu") << int(CopyPassword) << true << 1 << "Copied Password zeta";
        QTest::newRow("location, button") << int(CopyLocation) << false << 1 << "Copied Location www.bob.example";
        QTest::newRow("empty location, menu") << int(CopyLocation) << true << 2 << "Copied Location ";
    }
    // clang-format on
    void copyField()
    {
        QFETCH(int, command);
        QFETCH(bool, viaMenu);
        QFETCH(int, row);
        QFETCH(QString, status);
        clickRow(row);
        run(Command(command), viaMenu);
        QCOMPARE(t->status(), status);
        QCOMPARE(QApplication::clipboard()->text(), status.section(' ', 2));
    }

    // clang-format off
    void goTo_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("started");
        // The address rules have their own test; this one proves that Go To
        // hands the rule's result to the starter.
        QTest::newRow(".com, no scheme") << "mail.example.com" << "http://mail.example.com";
        QTest::newRow("folder path unchanged") << "C:\\Users\\carol\\Documents" << "C:\\Users\\carol\\Documents";
    }
    // clang-format on
    void goTo()
    {
        QFETCH(QString, location);
        QFETCH(QString, started);
        t->program->entries().setEntry(2, {"alice", "alpha", location});
        clickRow(2);
        for (bool viaMenu : {false, true}) {
            t->program->setStatus({});
            run(GoTo, viaMenu);
            QCOMPARE(t->status(), "Opening Location...");
        }
        QCOMPARE(t->fakes.locations.started, QStringList({started, started}));
    }

    void editorWindowAndKeyboard()
    {
        run(Add, true);
        QVERIFY(editor() && editor()->isVisible() && !editor()->isModal());
        QCOMPARE(editor()->windowTitle(), "Add an entry");
        QApplication::setActiveWindow(editor());
        QVERIFY(QTest::qWaitForWindowActive(editor()));
        // Typing goes into the username box; Tab keeps the designed order.
        QCOMPARE(QApplication::focusWidget(),
                 control<QLineEdit>(editor(), QStringLiteral("txtUsername")));
        for (QWidget *next :
             {(QWidget *)control<QLineEdit>(editor(), QStringLiteral("txtPassword")),
              (QWidget *)control<QLineEdit>(editor(), QStringLiteral("txtWebsite")),
              (QWidget *)control<QToolButton>(editor(), QStringLiteral("cmdGenerate")),
              (QWidget *)control<QSpinBox>(editor(), QStringLiteral("spnLength")),
              (QWidget *)control<QCheckBox>(editor(), QStringLiteral("chkLetters")),
              (QWidget *)control<QCheckBox>(editor(), QStringLiteral("chkDigits")),
              (QWidget *)control<QCheckBox>(editor(), QStringLiteral("chkSymbols")),
              (QWidget *)control<QToolButton>(editor(), QStringLiteral("cmdDelete")),
              (QWidget *)control<QToolButton>(editor(), QStringLiteral("cmdAdd"), 0),
              (QWidget *)control<QLineEdit>(editor(), QStringLiteral("txtUsername"))}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Alt and an underlined letter moves to its box; Alt and any other
        // letter types nothing.
        auto *password = control<QLineEdit>(editor(), QStringLiteral("txtPassword"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), password);
        QCOMPARE(password->accessibleName(), "Password:");
        QTest::keyClick(password, Qt::Key_Q, Qt::AltModifier);
        QVERIFY(password->text().isEmpty());
        // Enter saves from the website box only.
        QTest::keyClick(control<QLineEdit>(editor(), QStringLiteral("txtUsername")),
                        Qt::Key_Return);
        QVERIFY(t->fakes.messages.shown.isEmpty());
        QTest::keyClick(control<QLineEdit>(editor(), QStringLiteral("txtWebsite")), Qt::Key_Enter);
        QCOMPARE(lastBox().text, "You must enter a username");
    }

    // clang-format off
    void editorSave_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message");
        // Which rule refuses what is the rules' own test; here the editor
        // shows the refusal and keeps what was typed.
        QTest::newRow("no password") << QStringList{"u|||", "", ""} << "You must enter a password";
        QTest::newRow("spaces, no website") << QStringList{" ", "  ", ""} << "";
    }
    // clang-format on
    void editorSave()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        const QByteArray before = t->readVault();
        run(Add, false);
        save(fields);
        if (message.isEmpty()) {
            QVERIFY(t->fakes.messages.shown.isEmpty() && !editor());
            QCOMPARE(t->status(), "Added new entry.  Data saved.");
            QCOMPARE(saved().back(), (VaultEntry {fields[0], fields[1], fields[2]}));
            return;
        }
        QCOMPARE(t->fakes.messages.shown.size(), 1);
        QVERIFY2(lastBox().text.startsWith(message), qPrintable(lastBox().text));
        QCOMPARE(lastBox().style, 0);
        QCOMPARE(lastBox().title, "Error");
        QVERIFY(editor());
        QCOMPARE(control<QLineEdit>(editor(), QStringLiteral("txtPassword"))->text(), fields[1]);
        QCOMPARE(t->readVault(), before);
    }

    void editorCancelAndCloseBox()
    {
        const QByteArray before = t->readVault();
        for (const char *way : {"Cancel", "close box", "Esc"}) {
            run(Add, false);
            control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->setText("u");
            control<QLineEdit>(editor(), QStringLiteral("txtPassword"))->setText("p");
            if (way == std::string_view("Cancel"))
                QTest::mouseClick(control<QToolButton>(editor(), QStringLiteral("cmdDelete")),
                                  Qt::LeftButton);
            else if (way == std::string_view("close box"))
                editor()->close();
            else
                QTest::keyClick(control<QLineEdit>(editor(), QStringLiteral("txtPassword")),
                                Qt::Key_Escape);
            QVERIFY2(!editor(), way);
        }
        QCOMPARE(t->program->entries().count(), 3);
        QCOMPARE(t->readVault(), before);
    }

    // clang-format off
    void shortcuts_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Ctrl+N adds") << QKeySequence("Ctrl+N") << "editor Add an entry ";
        QTest::newRow("Insert adds") << QKeySequence(Qt::Key_Insert) << "editor Add an entry ";
        QTest::newRow("Enter on a row edits") << QKeySequence(Qt::Key_Return) << "editor Edit an entry bob";
        QTest::newRow("keypad Enter on a row edits") << QKeySequence(Qt::Key_Enter) << "editor Edit an entry bob";
        QTest::newRow("double-click edits") << QKeySequence() << "editor Edit an entry bob";
        QTest::newRow("Delete asks first") << QKeySequence(Qt::Key_Delete) << "box Confirm Delete";
        QTest::newRow("Ctrl+B copies the username") << QKeySequence("Ctrl+B") << "clipboard bob";
        QTest::newRow("Ctrl+C copies the password") << QKeySequence("Ctrl+C") << "clipboard zeta";
        QTest::newRow("Ctrl+U copies the location") << QKeySequence("Ctrl+U") << "clipboard www.bob.example";
        QTest::newRow("Ctrl+G goes to it") << QKeySequence("Ctrl+G") << "started http://www.bob.example";
        QTest::newRow("F1 opens the help") << QKeySequence(Qt::Key_F1) << "help Readme/Help";
        QTest::newRow("Ctrl+Q ends") << QKeySequence("Ctrl+Q") << "ended 1";
    }
    // clang-format on
    void shortcuts()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, outcome);
        auto *list = control<QTreeView>(main, QStringLiteral("lstPass"));
        QApplication::setActiveWindow(main);
        QVERIFY(QTest::qWaitForWindowActive(main));
        clickRow(1);
        list->setFocus();
        if (keys.isEmpty()) {
            const QRect row = list->visualRect(list->model()->index(0, 0));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        } else {
            QTest::keySequence(list, keys);
        }
        const QString kind = outcome.section(' ', 0, 0);
        QString seen;
        if (kind == u"editor" && editor())
            seen = editor()->windowTitle() + ' '
                + control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->text();
        else if (kind == u"box" && !t->fakes.messages.shown.isEmpty())
            seen = lastBox().title;
        else if (kind == u"clipboard")
            seen = QApplication::clipboard()->text();
        else if (kind == u"started")
            seen = t->fakes.locations.started.join('|');
        else if (kind == u"help" && t->program->help.isLoaded())
            seen = t->program->help.window()->windowTitle();
        else if (kind == u"ended")
            seen = QString::number(t->fakes.ender.endCount);
        QCOMPARE(kind + ' ' + seen, outcome);
    }

    void secondAddOrEditKeepsTheOpenEditor()
    {
        clickRow(1);
        run(Edit, false);
        frmAdd *first = editor();
        QCOMPARE(first->windowTitle(), "Edit an entry");
        QCOMPARE(control<QLineEdit>(first, QStringLiteral("txtWebsite"))->text(),
                 "www.bob.example");
        clickRow(3);
        run(Edit, true);
        run(Add, false);
        QCOMPARE(editor(), first);
        QCOMPARE(control<QLineEdit>(first, QStringLiteral("txtUsername"))->text(), "bob");
        save({"bob", "changed", "www.bob.example"});
        QCOMPARE(saved(),
                 (std::vector<VaultEntry> {
                     {"bob", "changed", "www.bob.example"}, kEntries[1], kEntries[2]}));
        QCOMPARE(t->status(), "Entry changed.  Data saved.");
    }

    void headerClicksSortAndTheFileFollows()
    {
        EntryListModel &list = t->program->entries();
        clickHeader(1);
        QCOMPARE(list.sortOrder(), 1);
        QCOMPARE((QStringList {list.field(1, Field::Username), list.field(2, Field::Username),
                               list.field(3, Field::Username)}),
                 (QStringList {"carol", "bob", "alice"}));
        clickHeader(1);
        clickHeader(2); // by password, descending: zeta, Mike, alpha
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(
            control<QTreeView>(main, QStringLiteral("lstPass"))->header()->sortIndicatorSection(),
            1);
        QVERIFY(t->fakes.messages.shown.isEmpty());
        // A new entry goes to its sorted place; the save keeps that order.
        run(Add, false);
        save({"dave", "omega", ""});
        QCOMPARE(savedUsernames(), (QStringList {"bob", "dave", "carol", "alice"}));
    }

    void editStaysOnItsEntryAfterSorting()
    {
        clickRow(2);
        run(Edit, false); // alice, at row 2
        clickHeader(1); // descending: carol, bob, alice
        save({"zed", "alpha", "z.org"});
        QCOMPARE(saved(),
                 (std::vector<VaultEntry> {{"zed", "alpha", "z.org"}, kEntries[2], kEntries[0]}));
        // The selection moved with the entry: the next command acts on it.
        run(CopyPassword, false);
        QCOMPARE(t->status(), "Copied Password alpha");
    }

    void editOfDeletedEntryIsRefused()
    {
        clickRow(2);
        run(Edit, false);
        run(Delete, true);
        const QByteArray afterDelete = t->readVault();
        save({"alice2", "alpha", ""});
        QCOMPARE(lastBox().text, EntryRules::entryGoneMessage());
        QCOMPARE(lastBox().style, 0);
        QCOMPARE(lastBox().title, "Error");
        QCOMPARE(t->readVault(), afterDelete);
        QCOMPARE(t->program->entries().count(), 2);
    }
};

QTEST_MAIN(TestEntryCommands)
#include "tst_EntryCommands.moc"
