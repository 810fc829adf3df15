#pragma once

#include "EntryRules.h"

#include <QWidget>

#include <array>

class Program;
class QLineEdit;
class QToolButton;
class SkinLabel;

// The entry editor: a small window in which the user types a new entry or
// changes an existing one. The main window stays usable while it is open.
// Save checks the fields, puts the entry into the list and has the vault
// saved; Cancel and the close box leave everything as it was.
class frmAdd : public QWidget
{
    Q_OBJECT

public:
    explicit frmAdd(Program &program);

    // Decides, once per load, whether this editor adds an entry or edits the
    // one the Edit command chose, and fills the boxes for an edit.
    void formLoad();

    void cmdAdd_Click(int index);
    void cmdDelete_Click();
    void txtWebsite_KeyPress(int keyAscii);

    SkinLabel *SkinLabel1 = nullptr;
    SkinLabel *SkinLabel2 = nullptr;
    SkinLabel *SkinLabel3 = nullptr;
    QLineEdit *txtUsername = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtWebsite = nullptr;
    std::array<QToolButton *, 1> cmdAdd {};
    QToolButton *cmdDelete = nullptr;

private:
    QToolButton *makeButton(const QString &name, const QString &caption, const QString &icon,
                            double left, double top);
    QLineEdit *makeBox(const QString &name, SkinLabel *label, double top);
    QLineEdit *box(EntryRules::Field field) const;

    Program &m_program;
    EntryRules::EditTarget m_target;
};
