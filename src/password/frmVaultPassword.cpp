#include "frmVaultPassword.h"

#include "PasswordBox.h"
#include "PasswordRules.h"
#include "platform/MessageBoxes.h"
#include "skin/Skinning.h"
#include "skin/Topmost.h"
#include "widgets/Controls.h"
#include "widgets/WindowContext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmVaultPassword::frmVaultPassword(WindowContext &context, Mode mode, const QString &caption,
                                   const QString &intro)
    : Dialog(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
             | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("frmVaultPassword"));
    setWindowTitle(caption);
    setAccessibleName(caption);
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setWindowModality(Qt::ApplicationModal);
    // Modal, it must not open underneath the help window kept on top: the
    // program would seem frozen.
    keepAboveTopmostWindows(this);
    setFont(Controls::verdana());

    lblIntro = new QLabel(intro, this);
    lblIntro->setObjectName(QStringLiteral("lblIntro"));
    lblIntro->setWordWrap(true);
    lblIntro->setTextFormat(Qt::PlainText);

    auto *form = new QFormLayout;
    const auto addBox = [this, form](const QString &name, const QString &label) {
        QLineEdit *box = makePasswordBox(name);
        auto *caption = new QLabel(label, this);
        caption->setBuddy(box);
        box->setAccessibleName(Controls::withoutMnemonic(caption->text()));
        form->addRow(caption, box);
        return box;
    };
    if (m_mode == Mode::Confirm) {
        txtCurrent = addBox(QStringLiteral("txtCurrent"), QStringLiteral("&Master password:"));
    } else {
        txtCurrent
            = addBox(QStringLiteral("txtCurrent"), QStringLiteral("C&urrent master password:"));
        txtNew = addBox(QStringLiteral("txtNew"), QStringLiteral("&New master password:"));
        txtRetype = addBox(QStringLiteral("txtRetype"), QStringLiteral("&Retype new password:"));
    }

    lblWorking
        = new QLabel(QStringLiteral("Please wait: deriving the key from the password..."), this);
    lblWorking->setObjectName(QStringLiteral("lblWorking"));
    lblWorking->setVisible(false);

    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(QStringLiteral("Cancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmVaultPassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblIntro);
    layout->addLayout(form);
    layout->addWidget(lblWorking);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    lblIntro->setFixedWidth(lblIntro->fontMetrics().averageCharWidth() * 60);

    txtCurrent->setFocus();
    if (m_context.skin.bUseSkin)
        ApplySkinToForm(m_context.skin, this);
}

frmVaultPassword::~frmVaultPassword()
{
    // What was typed is a master password, old or new.
    for (QLineEdit *box : {txtCurrent, txtNew, txtRetype}) {
        if (box)
            PasswordBox::wipe(box);
    }
}

QLineEdit *frmVaultPassword::makePasswordBox(const QString &name)
{
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    return box;
}

void frmVaultPassword::cmdOK_Click()
{
    if (m_working)
        return;
    // The boxes' texts are read where they are needed, never held here (nor
    // in a temporary that lasts while the owner answers): a box that is
    // refused can then wipe what it held.
    const MasterPassword typed = MasterPassword::fromText(txtCurrent->text());
    emit passwordOffered(typed);
}

void frmVaultPassword::passwordRefused()
{
    refuse(PasswordRules::wrongPasswordText(), PasswordRules::wrongPasswordTitle(), txtCurrent);
}

void frmVaultPassword::passwordConfirmed()
{
    if (m_mode == Mode::Change) {
        using PasswordRules::NewPasswordCheck;
        switch (PasswordRules::checkNewPassword(txtNew->text(), txtRetype->text())) {
        case NewPasswordCheck::TooShort:
            refuse(PasswordRules::tooShortText(), QString(), nullptr);
            return;
        case NewPasswordCheck::Mismatch:
            refuse(PasswordRules::mismatchText(), QString(), txtNew);
            return;
        case NewPasswordCheck::Unstorable:
            refuse(PasswordRules::unstorableText(PasswordRules::firstUnstorable(txtNew->text())),
                   QString(), nullptr);
            return;
        case NewPasswordCheck::Accepted:
            break;
        }
    }
    const MasterPassword password = MasterPassword::fromText(txtCurrent->text());
    const MasterPassword newPassword
        = txtNew ? MasterPassword::fromText(txtNew->text()) : MasterPassword();
    emit passwordAccepted(password, newPassword);
}

// Tells the user why the typed text is refused; clears the box it names and
// those after it, and puts the focus back where typing must begin again.
void frmVaultPassword::refuse(const QString &text, const QString &title, QLineEdit *clearFrom)
{
    const QPointer<frmVaultPassword> self(this);
    m_context.platform.messages->show(text, MessageBox::OkOnly, title);
    if (!self)
        return;
    QLineEdit *const boxes[] = {txtCurrent, txtNew, txtRetype};
    bool clearing = false;
    for (QLineEdit *box : boxes) {
        clearing = clearing || (box && box == clearFrom);
        if (clearing && box)
            PasswordBox::wipe(box);
    }
    (clearFrom ? clearFrom : (txtNew ? txtNew : txtCurrent))->setFocus();
}

void frmVaultPassword::setWorking(bool working)
{
    m_working = working;
    for (QWidget *control :
         std::initializer_list<QWidget *> {txtCurrent, txtNew, txtRetype, cmdOK, cmdCancel}) {
        if (control)
            control->setEnabled(!working);
    }
    lblWorking->setVisible(working);
    if (working) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The label takes the focus so that a screen reader says what is
        // going on.
        lblWorking->setFocusPolicy(Qt::StrongFocus);
        lblWorking->setFocus();
    } else {
        QApplication::restoreOverrideCursor();
        lblWorking->setFocusPolicy(Qt::NoFocus);
    }
}

void frmVaultPassword::closeEvent(QCloseEvent *event)
{
    if (m_working) {
        event->ignore();
        return;
    }
    Dialog::closeEvent(event);
}

void frmVaultPassword::keyPressEvent(QKeyEvent *event)
{
    if (m_working)
        return;
    Dialog::keyPressEvent(event);
}
