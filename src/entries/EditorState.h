#pragma once

#include "vault/EntryListModel.h"

#include <QString>

// What the Add and Edit commands hand to the entry editor.
struct EditorState
{
    // "Add" for a new entry, "Edit" when a row is being changed.
    QString entryMode;
    // The row being changed when Edit was chosen, and the entry on it: the
    // editor saves into that entry wherever sorting has moved it since.
    int editRow = 0;
    EntryListModel::EntryId editId = 0;
    QString editUsername;
    QString editPassword;
    QString editLocation;
};
