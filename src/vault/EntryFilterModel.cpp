#include "EntryFilterModel.h"

#include "vault/SearchText.h"

EntryFilterModel::EntryFilterModel(EntryListModel &entries, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_entries(entries)
{
    setSourceModel(&m_entries);
    // The rows keep the entry list's order; sorting is the list's own.
    setDynamicSortFilter(true);
}

QString EntryFilterModel::maskedPassword(const QString &password)
{
    return password.isEmpty() ? QString() : QString(8, QChar(0x2022));
}

void EntryFilterModel::setFindText(const QString &text)
{
    const QString needle = SearchText::fold(text);
    if (needle == m_needle)
        return;
    if (!needle.isEmpty())
        m_entries.prepareFolded();
    // One reset rather than a removal signal for every run of hidden rows:
    // a view answers a reset in one pass, and many removals one by one.
    beginResetModel();
    m_needle = needle;
    endResetModel();
}

void EntryFilterModel::setPasswordsHidden(bool hidden)
{
    if (hidden == m_passwordsHidden)
        return;
    m_passwordsHidden = hidden;
    if (filtering()) {
        beginResetModel();
        endResetModel();
    } else if (rowCount() > 0) {
        const int column = int(Field::Password);
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
    }
}

int EntryFilterModel::entryRow(int shownRow) const
{
    const QModelIndex source = mapToSource(index(shownRow, 0));
    return source.isValid() ? source.row() + 1 : 0;
}

int EntryFilterModel::shownRow(int entryRow) const
{
    if (entryRow < 1 || entryRow > m_entries.count())
        return -1;
    const QModelIndex shown = mapFromSource(m_entries.index(entryRow - 1, 0));
    return shown.isValid() ? shown.row() : -1;
}

QVariant EntryFilterModel::data(const QModelIndex &index, int role) const
{
    if (m_passwordsHidden && index.column() == int(Field::Password)
        && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        const QModelIndex source = mapToSource(index);
        if (source.isValid())
            return maskedPassword(m_entries.field(source.row() + 1, Field::Password));
        return QVariant();
    }
    return QSortFilterProxyModel::data(index, role);
}

bool EntryFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_needle.isEmpty())
        return true;
    const EntryListModel::FoldedFields &fields = m_entries.folded(sourceRow + 1);
    for (const Field field : kFields) {
        if (field == Field::Password && m_passwordsHidden)
            continue;
        if (fields[size_t(field)].contains(m_needle))
            return true;
    }
    return false;
}
