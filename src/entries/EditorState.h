#pragma once

#include "vault/EntryListModel.h"
#include "vault/SecureBytes.h"

#include <QString>

#include <optional>

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

    // The state, what was typed included, packed in secure memory to wait
    // out a lock.
    SecureBytes pack() const;
    // The packed state again, with what was typed to put back. The list is
    // read anew at the unlock, so the entry an edit was opened on is found
    // again by what it holds; when it is gone, what was typed comes back as a
    // new entry. Nothing when the bytes are not a packed state.
    static std::optional<EditorState> unpack(const SecureBytes &packed, const EntryListModel &list);

    // Wipes its texts in every copy that shares them: for a state that all
    // who hold it are done with.
    void wipe();
};
