#include "ListViewEnh.h"

#include "platform/MessageBoxes.h"
#include "vault/EntryListModel.h"

namespace {

// A failed step: the number and description the list view gives for it.
struct SortError
{
    int number;
    QString description;
};

SortError indexOutOfBounds()
{
    return SortError {35600, QStringLiteral("Index out of bounds")};
}

} // namespace

bool EnhListView_SortColumns(EntryListModel &list, int column, bool showErrors,
                             MessageBoxes *messages)
{
    if (list.count() <= 0)
        return true;

    if (column < 1 || column > list.columnCount()) {
        // Sorting was switched on before the column was looked up.
        list.setSorted(true);
        const SortError error = indexOutOfBounds();
        if (showErrors && messages) {
            messages->show(QStringLiteral("Error") + QString::number(error.number)
                               + QLatin1Char('\t') + error.description,
                           MessageBox::Information,
                           QStringLiteral("Error in Function : EnhListView_SortColumns"));
        }
        return false;
    }

    // Sorting on, the key (the header's position counts from 1, the key from
    // 0) and the order reversed, whatever column was used before.
    list.sortBy(column - 1,
                list.sortOrder() == EntryListModel::Ascending ? EntryListModel::Descending
                                                              : EntryListModel::Ascending);
    return true;
}
