#pragma once

#include "ClipboardKeeper.h"
#include "EditorState.h"
#include "EntryRules.h"
#include "platform/Platform.h"

#include <QObject>

class Settings;
class VaultSession;
struct VaultOutcome;

// The commands on the entries: add, edit, delete, copy a field, open a
// location, sort by a column, and store what the entry editor hands back.
// Rows are numbered from 1; 0 means that no row is selected. Outcomes reach
// the user through the status signal and, for failures, message boxes.
class EntryCommands : public QObject
{
    Q_OBJECT

public:
    EntryCommands(VaultSession &session, const Platform &platform, const Settings &settings,
                  QObject *parent = nullptr);

    // Asks for the entry editor on a new entry.
    void add();
    // Asks for the entry editor on a row.
    void edit(int row);
    // Deletes a row once the user confirms it, and saves.
    void remove(int row);
    // Opens a row's location.
    void goTo(int row);
    // Copies a field of a row.
    void copy(Field field, int row);
    // Sorts the list by the column header at a 1-based position.
    void sortByColumn(int position);

    // Puts the editor's entry into the list and saves; false (after telling
    // the user) when it could not be stored or saved, and the list is as it
    // was.
    bool store(const EntryRules::EditTarget &target, VaultEntry entry);

    // Writes the vault; false (after telling the user) when it failed.
    bool save();

    // The program locks: a copied text still on the clipboard leaves it.
    void forgetCopiedText() { m_clipboard.forgetNow(); }
    // Tells the user how many entries the find bar lets the list show.
    void reportShown(int shown, int total, bool filtering);

signals:
    void statusChanged(const QString &text);
    void editorRequested(const EditorState &state);

private:
    int showMessage(const QString &text, int style, const QString &title = QString());
    // Tells the user of a save that failed, in the status line and a message
    // box; a save that went through the session announced itself. Whether
    // it went through.
    bool tellFailure(const VaultOutcome &outcome);

    VaultSession &m_session;
    Platform m_platform;
    const Settings &m_settings;
    ClipboardKeeper m_clipboard;
};
