#pragma once

#include "EditorState.h"
#include "EntryRules.h"

#include "widgets/Dialog.h"

#include <array>

class QLineEdit;
class QToolButton;
class SkinLabel;
struct WindowContext;

// frmAdd, the entry editor ("Add an entry" / "Edit an entry"): a small
// window in which the user types a new entry or changes an existing one. The
// main window stays usable while it is open. Save checks the fields and hands
// the entry to its owner, which stores it and closes the editor once it is
// saved; Cancel, Esc and the close box leave everything as it was.
class frmAdd : public Dialog
{
    Q_OBJECT

public:
    frmAdd(WindowContext &context, EditorState state);

    // Decides, once per load, whether this editor adds an entry or edits the
    // one the Edit command chose, and fills the boxes for an edit.
    void formLoad();

    void cmdAdd_Click(int index);
    void cmdDelete_Click();
    void txtWebsite_KeyPress(int keyAscii);

    // The entry as the boxes hold it now.
    VaultEntry typedEntry() const;

signals:
    // Save was pressed and the fields passed the checks.
    void entrySubmitted(const EntryRules::EditTarget &target, const VaultEntry &entry);

private:
    QToolButton *makeButton(const QString &name, const QString &caption, const QString &icon,
                            double left, double top);
    QLineEdit *makeBox(const QString &name, SkinLabel *label, double top);
    QLineEdit *box(Field field) const;

    WindowContext &m_context;
    EditorState m_state;
    EntryRules::EditTarget m_target;

    SkinLabel *SkinLabel1 = nullptr;
    SkinLabel *SkinLabel2 = nullptr;
    SkinLabel *SkinLabel3 = nullptr;
    QLineEdit *txtUsername = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtWebsite = nullptr;
    std::array<QToolButton *, 1> cmdAdd {};
    QToolButton *cmdDelete = nullptr;
};
