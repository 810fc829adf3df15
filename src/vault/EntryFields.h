#pragma once

#include "VaultFormat.h"

#include <QStringView>

// What each field of an entry is called wherever the program names it, in
// one table: the list, the menus, the entry editor and the import all read
// it, so that a field is named in one place.
struct EntryField
{
    Field field;
    // The list's column header.
    QStringView column;
    // The item of Data, "Sort by" that sorts by the field's column, and the
    // key that runs it with Ctrl.
    QStringView sortItem;
    Qt::Key sortKey;
    // The main window's button and the item of the Copy menu that copy the
    // field of the selected entry, the item's key with Ctrl, and how the
    // status bar tells of the copy.
    QStringView copyButton;
    QStringView copyItem;
    Qt::Key copyKey;
    QStringView copied;
    // The entry editor's label for the field's box, and the field's name in
    // the reasons it gives for refusing an entry.
    QStringView editorLabel;
    QStringView editorName;
    // The field's choice when an import asks which column holds it, and its
    // name where the import's summary tells why a row is skipped.
    QStringView importLabel;
    QStringView importName;
};

// In the order of Field.
inline constexpr EntryField kEntryFields[kFieldCount] = {
    {
        .field = Field::Username,
        .column = u"Username",
        .sortItem = u"&Username",
        .sortKey = Qt::Key_1,
        .copyButton = u"Copy Username",
        .copyItem = u"Selected &Username",
        .copyKey = Qt::Key_B,
        .copied = u"Copied Username ",
        .editorLabel = u"&Username:",
        .editorName = u"username",
        .importLabel = u"&Username:",
        .importName = u"username",
    },
    {
        .field = Field::Password,
        .column = u"Password",
        .sortItem = u"&Password",
        .sortKey = Qt::Key_2,
        .copyButton = u"Copy Password",
        .copyItem = u"Selected &Password",
        .copyKey = Qt::Key_C,
        .copied = u"Copied Password ",
        .editorLabel = u"&Password:",
        .editorName = u"password",
        .importLabel = u"&Password:",
        .importName = u"password",
    },
    {
        .field = Field::Location,
        .column = u"Website/Location",
        .sortItem = u"&Website/Location",
        .sortKey = Qt::Key_3,
        .copyButton = u"Copy Used At",
        .copyItem = u"Selected Used &At Location",
        .copyKey = Qt::Key_U,
        .copied = u"Copied Location ",
        .editorLabel = u"&Website:",
        .editorName = u"website",
        .importLabel = u"&Website/Location:",
        .importName = u"location",
    },
};
static_assert(
    [] {
        for (int i = 0; i < kFieldCount; ++i) {
            if (int(kEntryFields[i].field) != i)
                return false;
        }
        return true;
    }(),
    "the table of fields follows the order of Field");

constexpr const EntryField &entryField(Field field)
{
    return kEntryFields[int(field)];
}
