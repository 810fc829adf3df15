#pragma once

#include "vault/EntryListModel.h"

#include <QString>

// What the Add and Edit commands hand to the entry editor.
struct EditorState
{
    enum class Mode { Add, Edit };

    // Add for a new entry, Edit when a row is being changed.
    Mode entryMode = Mode::Add;
    // The entry being changed when Edit was chosen: the editor saves into
    // that entry wherever sorting has moved it since.
    EntryListModel::EntryId editId = 0;
    QString editUsername;
    QString editPassword;
    QString editLocation;
    // What the boxes held when the program locked, put back when it was
    // unlocked.
    bool restoreTyped = false;
    VaultEntry typed;
};
