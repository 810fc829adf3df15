#include "EntryCommands.h"

#include "EntryRules.h"
#include "ListViewEnh.h"
#include "app/Form1.h"
#include "app/Program.h"
#include "entries/frmAdd.h"
#include "platform/LocationStarter.h"
#include "platform/MessageBoxes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

EntryCommands::EntryCommands(Program &program)
    : m_program(program)
{
}

int EntryCommands::selectedRow() const
{
    const Form1 *main = m_program.form1.window();
    if (!main || !main->lstPass->selectionModel())
        return 0;
    QList<int> rows;
    const QModelIndexList selected = main->lstPass->selectionModel()->selectedIndexes();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(index.row() + 1);
    return EntryRules::firstSelectedRow(rows);
}

void EntryCommands::add()
{
    m_program.editor.entryMode = QStringLiteral("Add");
    m_program.open(m_program.add);
}

void EntryCommands::edit()
{
    const int row = selectedRow();
    if (row == 0) {
        m_program.setStatus(EntryRules::noEntryToEdit());
        return;
    }
    const EntryListModel &list = m_program.entries();
    EditorState &editor = m_program.editor;
    editor.editUsername = list.text(row);
    editor.editPassword = list.subItem(row, 1);
    editor.editLocation = list.subItem(row, 2);
    editor.editRow = row;
    editor.editId = list.idOf(row);
    editor.entryMode = QStringLiteral("Edit");
    m_program.open(m_program.add);
}

void EntryCommands::remove()
{
    const int row = selectedRow();
    if (row == 0) {
        m_program.setStatus(EntryRules::noEntryToDelete());
        return;
    }
    EntryListModel &list = m_program.entries();
    // The entry is known by its id while the question is up: the list may
    // not hold it at the same row (or at all) once the box is answered.
    const EntryListModel::EntryId id = list.idOf(row);
    const int answer = m_program.showMessage(EntryRules::deleteQuestion(list.entry(row)),
                                             MessageBox::OkCancel, EntryRules::deleteTitle());
    if (answer != MessageBox::Ok) {
        m_program.setStatus(EntryRules::deleteCancelled());
        return;
    }
    if (const int current = list.rowOf(id))
        list.remove(current);
    if (m_program.saveVault())
        m_program.setStatus(EntryRules::entryDeleted());
}

void EntryCommands::goTo()
{
    const int row = selectedRow();
    if (row == 0) {
        m_program.setStatus(EntryRules::noEntryToGoTo());
        return;
    }
    m_program.setStatus(EntryRules::openingLocation());
    const QString location = EntryRules::normalisedLocation(m_program.entries().subItem(row, 2));
    m_program.platform().locations->startLocation(location);
}

void EntryCommands::copy(int index)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const int row = selectedRow();
    if (row == 0) {
        m_program.setStatus(EntryRules::noRowToCopy());
        return;
    }
    if (index < 0 || index > 2)
        return;
    const QString value = EntryRules::copyField(m_program.entries().entry(row), index);
    clipboard->setText(value);
    m_program.setStatus(EntryRules::copiedStatus(index, value));
}

void EntryCommands::sortByColumn(int position)
{
    // From the main window a failed sort is silent.
    EnhListView_SortColumns(m_program.entries(), position, 0);

    const EntryListModel &list = m_program.entries();
    if (Form1 *main = m_program.form1.window(); main && list.sorted()) {
        QHeaderView *header = main->lstPass->header();
        header->setSortIndicatorShown(true);
        header->setSortIndicator(list.sortKey(),
                                 list.sortOrder() == EntryListModel::Ascending
                                     ? Qt::AscendingOrder
                                     : Qt::DescendingOrder);
    }
}
