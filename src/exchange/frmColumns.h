// frmColumns: "Choose Columns", asked when an import's header row is not
// one of the known exports.
#pragma once

#include "CsvImport.h"
#include "platform/ColumnDialogs.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;

// frmColumns ("Choose Columns"): which column of a CSV file holds the
// username, the password and the location. Username and password need a
// column each; the location may have none. OK is offered once no column is
// chosen twice.
class frmColumns : public QDialog
{
    Q_OBJECT

public:
    frmColumns(const QStringList &header, const CsvImport::Columns &guess,
               QWidget *parent = nullptr);

    // The columns chosen; meaningful once the dialog is accepted.
    CsvImport::Columns columns() const;

private:
    void updateOk();

    QComboBox *cboUsername = nullptr;
    QComboBox *cboPassword = nullptr;
    QComboBox *cboLocation = nullptr;
    QDialogButtonBox *buttons = nullptr;
};

// The column question asked in frmColumns, over the active window.
class WidgetColumnDialogs : public ColumnDialogs
{
public:
    std::optional<Choice> chooseColumns(const QStringList &header, const Choice &guess) override;
};
