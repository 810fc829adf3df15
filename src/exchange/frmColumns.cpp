#include "frmColumns.h"

#include "skin/Topmost.h"
#include "vault/EntryFields.h"
#include "widgets/Controls.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The first item of each choice: no column.
constexpr int kNone = 0;

} // namespace

frmColumns::frmColumns(const QStringList &header, const CsvImport::Columns &guess, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmColumns"));
    setWindowTitle(QStringLiteral("Choose Columns"));
    // Modal, above the help window when that is kept on top.
    keepAboveTopmostWindows(this);
    setFont(Controls::verdana());

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        QStringLiteral("The first row of this file does not name its columns as a known "
                       "export does. Choose the column that holds each part of an entry."),
        this);
    intro->setObjectName(QStringLiteral("lblIntro"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *grid = new QGridLayout;
    layout->addLayout(grid);
    // A row for each field, in their order.
    const auto add = [&](const QString &name, Field field) {
        const int column = guess[field];
        const int row = int(field);
        auto *label = new QLabel(entryField(field).importLabel.toString(), this);
        label->setObjectName(QStringLiteral("lbl") + name.mid(3));
        auto *box = new QComboBox(this);
        box->setObjectName(name);
        box->addItem(QStringLiteral("(none)"));
        for (qsizetype i = 0; i < header.size(); ++i) {
            const QString title = header[i].trimmed();
            box->addItem(title.isEmpty() ? QStringLiteral("column %1").arg(i + 1) : title);
        }
        box->setCurrentIndex(column >= 0 && column < header.size() ? column + 1 : kNone);
        // The label names the box for screen readers and gives its key.
        label->setBuddy(box);
        box->setAccessibleName(label->text().remove(u'&').chopped(1));
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        connect(box, &QComboBox::currentIndexChanged, this, &frmColumns::updateOk);
        return box;
    };
    cboUsername = add(QStringLiteral("cboUsername"), Field::Username);
    cboPassword = add(QStringLiteral("cboPassword"), Field::Password);
    cboLocation = add(QStringLiteral("cboLocation"), Field::Location);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateOk();
    cboUsername->setFocus();
}

void frmColumns::updateOk()
{
    const int username = cboUsername->currentIndex();
    const int password = cboPassword->currentIndex();
    const int location = cboLocation->currentIndex();
    const bool ok = username != kNone && password != kNone && username != password
        && location != username && location != password;
    buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

CsvImport::Columns frmColumns::columns() const
{
    CsvImport::Columns chosen;
    chosen[Field::Username] = cboUsername->currentIndex() - 1;
    chosen[Field::Password] = cboPassword->currentIndex() - 1;
    chosen[Field::Location] = cboLocation->currentIndex() - 1;
    return chosen;
}

std::optional<ColumnDialogs::Choice> WidgetColumnDialogs::chooseColumns(const QStringList &header,
                                                                        const Choice &guess)
{
    CsvImport::Columns start;
    start[Field::Username] = guess.username;
    start[Field::Password] = guess.password;
    start[Field::Location] = guess.location;
    frmColumns dialog(header, start, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const CsvImport::Columns chosen = dialog.columns();
    return Choice {chosen[Field::Username], chosen[Field::Password], chosen[Field::Location]};
}
