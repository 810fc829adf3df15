// frmAdd: the entry editor, caption "Add an entry" or "Edit an entry".
#pragma once

#include "EditorState.h"
#include "EntryRules.h"
#include "PasswordGenerator.h"

#include "widgets/Dialog.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QSpinBox;
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
    // Wipes what the boxes held.
    ~frmAdd() override;

    // Decides, once per load, whether this editor adds an entry or edits the
    // one the Edit command chose, and fills the boxes for an edit.
    void formLoad();

    void cmdAdd_Click(int index);
    void cmdDelete_Click();
    // Save: checks the fields and hands the entry to the owner; a field that
    // fails is named in a message and gets the focus back.
    void submit();
    void txtWebsite_KeyPress(int keyAscii);
    // Fills the password box with a new random password of the chosen
    // length and classes, and tells assistive technology that it came.
    void cmdGenerate_Click();

    // The entry as the boxes hold it now, and whether it differs from the
    // entry the editor was opened on (an empty one for a new entry).
    VaultEntry typedEntry() const;
    bool hasChanges() const;
    // What the editor was opened on and what its boxes hold, packed in secure
    // memory: everything an editor opened on EditorState::unpack() of it
    // needs to come back as it is after a lock.
    SecureBytes packHeld() const;

signals:
    // Save was pressed and the fields passed the checks.
    void entrySubmitted(const EntryRules::EditTarget &target, const VaultEntry &entry);

private:
    QToolButton *makeButton(const QString &name, const QString &caption, const QString &icon,
                            double left, double top);
    QLineEdit *makeBox(const QString &name, SkinLabel *label, double top);
    QLineEdit *box(Field field) const;
    // The Generate button, between Save and Cancel, and the row of its
    // options under the buttons.
    void addGenerator();
    PasswordGenerator::Options generatorOptions() const;
    void storeGeneratorOptions();
    // While passwords are hidden: the password box masked, and a "Show"
    // check box beside it that unmasks it while ticked.
    void maskPassword();
    // Passwords were hidden or shown while the editor is open: it follows.
    void passwordsHiddenChanged();

    WindowContext &m_context;
    EditorState m_state;
    EntryRules::EditTarget m_target;

    SkinLabel *SkinLabel1 = nullptr;
    SkinLabel *SkinLabel2 = nullptr;
    SkinLabel *SkinLabel3 = nullptr;
    QLineEdit *txtUsername = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtWebsite = nullptr;
    std::array<QToolButton *, 1> cmdAdd {}; // "Save"
    QToolButton *cmdDelete = nullptr; // "Cancel"
    QToolButton *cmdGenerate = nullptr;
    QCheckBox *chkShow = nullptr;
    QSpinBox *spnLength = nullptr;
    std::array<QCheckBox *, 3> chkClasses {};
};
