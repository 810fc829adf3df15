#pragma once

#include "TestProgram.h"
#include "VaultBytes.h"
#include "app/Form1.h"
#include "entries/frmAdd.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace EntryWindow {

enum Command { Add, Delete, Edit, GoTo, CopyUsername, CopyPassword, CopyLocation };
inline const char *const kButtons[] = {"cmdAdd", "cmdDelete", "cmdEdit", "cmdGoto"};
inline const char *const kNames[]
    = {"Add", "Delete", "Edit", "Go To", "Copy Username", "Copy Password", "Copy Used At"};
inline const std::vector<VaultEntry> kEntries
    = {{"bob", "zeta", "www.bob.example"}, {"alice", "alpha", ""}, {"carol", "Mike", "C:\\carol"}};

} // namespace EntryWindow

// The main window opened on a vault of three entries, and the ways a test
// drives it as a user would: buttons, menu items, rows and column headers,
// the entry editor, and the vault file read back.
class EntryWindowFixture
{
protected:
    using enum EntryWindow::Command;

    std::unique_ptr<TestProgram> t;
    Form1 *main = nullptr;

    frmAdd *editor() const { return t->program->add.window(); }
    void run(EntryWindow::Command command, bool viaMenu)
    {
        const bool copy = command >= CopyUsername;
        const int index = copy ? command - CopyUsername : command;
        if (viaMenu) {
            for (QAction *item :
                 main->findChildren<QAction *>(copy ? "mnuCopyItem" : "mnuDataItem")) {
                if (item->property("index").toInt() == index)
                    return item->trigger();
            }
        }
        for (QToolButton *button :
             main->findChildren<QToolButton *>(copy ? "cmdCopy" : EntryWindow::kButtons[index])) {
            if (!viaMenu && button->property("index").toInt() == (copy ? index : 0))
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        QFAIL("control not found");
    }
    void clickRow(int row)
    {
        const QRect rect = control<QTreeView>(main, QStringLiteral("lstPass"))
                               ->visualRect(control<QTreeView>(main, QStringLiteral("lstPass"))
                                                ->model()
                                                ->index(row - 1, 0));
        QTest::mouseClick(control<QTreeView>(main, QStringLiteral("lstPass"))->viewport(),
                          Qt::LeftButton, {}, rect.center());
    }
    void clickHeader(int column)
    {
        QHeaderView *header = control<QTreeView>(main, QStringLiteral("lstPass"))->header();
        const int x
            = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    void save(const QStringList &fields)
    {
        control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->setText(fields[0]);
        control<QLineEdit>(editor(), QStringLiteral("txtPassword"))->setText(fields[1]);
        control<QLineEdit>(editor(), QStringLiteral("txtWebsite"))->setText(fields[2]);
        QTest::mouseClick(control<QToolButton>(editor(), QStringLiteral("cmdAdd"), 0),
                          Qt::LeftButton);
    }
    std::vector<VaultEntry> saved() const { return parsedEntries(t->readVault()); }
    QStringList savedUsernames() const
    {
        QStringList names;
        for (const VaultEntry &e : saved())
            names.append(e.username);
        return names;
    }
    const FakeMessageBoxes::Shown &lastBox() const { return t->fakes.messages.shown.last(); }

    void setUp()
    {

        t = std::make_unique<TestProgram>();
        t->setShowHelp("0");
        t->writeVault("master", EntryWindow::kEntries);
        t->openVault("master");
        main = t->mainWindow();
        QVERIFY(main && main->isVisible());
        QApplication::clipboard()->setText("stale");
    }
    void tearDown() { t.reset(); }
};
