#pragma once

#include "vault/EntryListChange.h"
#include "vault/EntryListModel.h"
#include "vault/VaultFormat.h"

#include <QList>
#include <QString>

#include <optional>

// The rules of the commands on entries and of the entry editor's checks,
// apart from any window: which row a command acts on, the texts it shows,
// how Go To turns a location into something to open, what the editor refuses
// and where its result goes.
namespace EntryRules {

// Status texts of the commands.
inline QString noRowToCopy()
{
    return QStringLiteral("You must first select a row to copy from.");
}
inline QString noEntryToDelete()
{
    return QStringLiteral("You must first select an entry to delete.");
}
inline QString noEntryToEdit()
{
    return QStringLiteral("You must first select an entry to edit.");
}
inline QString noEntryToGoTo()
{
    return QStringLiteral("You must first select an entry to go to.");
}
inline QString entryDeleted()
{
    return QStringLiteral("Entry deleted successfully, data saved.");
}
inline QString deleteCancelled()
{
    return QStringLiteral("Entry not deleted, cancelled by user");
}
inline QString openingLocation()
{
    return QStringLiteral("Opening Location...");
}
inline QString entrySaved()
{
    return QStringLiteral("Added new entry.  Data saved.");
}
inline QString entryChanged()
{
    return QStringLiteral("Entry changed.  Data saved.");
}
inline QString deleteTitle()
{
    return QStringLiteral("Confirm Delete");
}
inline QString errorTitle()
{
    return QStringLiteral("Error");
}

// The row a command acts on: the selected row nearest the top of the list,
// or 0 when no row is selected. Rows are numbered from 1.
int firstSelectedRow(const QList<int> &selectedRows);

// The question Delete asks before it removes an entry, values in clear.
QString deleteQuestion(const VaultEntry &entry);

// The status text after a field of the selected entry has been copied.
QString copiedStatus(Field field, const QString &value);

// Whether a location is an absolute path on this machine or a share: a drive
// letter followed by ":\" or ":/", a "\\" share, or a path that begins
// with "/" or "~/". These forms count on every platform: no web address
// begins with any of them, so a vault moved between systems opens its paths
// the same way everywhere.
bool isLocalPath(const QString &location);

// What Go To opens for a location, blanks at either end left out. A path
// that begins with "~/" begins in the home folder; another local path
// (isLocalPath) is opened as it is. Any other text that looks like a web
// address (it contains ".edu", "biz", "org", ".net", ".com" or "www", in any
// letter case) is completed as LinkRules::normalisedAddress completes the
// publisher's address; anything else is opened as it is.
QString normalisedLocation(const QString &location);

// The first reason the editor cannot save an entry, with the message that
// tells the user and the field to change; no field when it can be saved.
struct EntryProblem
{
    std::optional<Field> field;
    QString message;

    bool ok() const { return !field; }
};

// The first character of the text that the vault file cannot hold, as the
// user should read it: the character itself in quotes where it can be
// shown, and its code point. Empty when every character can be stored.
QString firstUnstorable(const QString &text);

// Username and password must not be empty (a text of spaces is not empty;
// nothing is trimmed). Then every field must come back from the vault file
// exactly as typed: the file separates fields with "|||" and has no escape,
// so no field may contain it, the username and the password may not end with
// "|" (it would join the separator that follows), and every character must
// be one the file can hold.
EntryProblem checkEntry(const VaultEntry &entry);

// What an editor was opened for: a new entry, or the entry it was opened on,
// known by its id so that sorting and deleting cannot change which entry it
// writes.
struct EditTarget
{
    bool adding = true;
    EntryListModel::EntryId id = 0;
};

// Puts the editor's result into the list, as one change: appends a new
// entry, or replaces the fields of the target entry wherever it is shown now.
// Returns the row it is shown at, or 0 (changing nothing) when the target
// entry is no longer in the list.
int storeEntry(EntryListChange &list, const EditTarget &target, VaultEntry entry);

// The message when the entry being edited was deleted meanwhile.
QString entryGoneMessage();

} // namespace EntryRules
