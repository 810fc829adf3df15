// frmVaultPassword: asks for the master password before a command rewrites
// the vault ("Encrypt Vault", "Remove Encryption"), or for the current and a
// new one ("Change Master Password").
#pragma once

#include "platform/PasswordPrompts.h"
#include "vault/MasterPassword.h"
#include "widgets/Dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
struct WindowContext;

// frmVaultPassword, modal to the program. It offers the master password typed
// to its owner, who answers: refused, the user is told as of a wrong try;
// confirmed, a new password is checked under the rules of creating one, with
// the same messages, and what the window asked for is handed over with
// passwordAccepted(). The owner does the work and closes the window. While
// the owner works (deriving a key takes a moment) the window says so, takes
// no input and cannot be closed.
class frmVaultPassword : public Dialog
{
    Q_OBJECT

public:
    using Mode = PasswordPrompts::Kind;

    frmVaultPassword(WindowContext &context, Mode mode, const QString &caption,
                     const QString &intro);
    ~frmVaultPassword() override;

    // The load step; the window is laid out when it is made.
    void formLoad() { }

    void cmdOK_Click();

    // Whether the window waits for its owner's work.
    bool isWorking() const { return m_working; }

public slots:
    // The owner's answer to passwordOffered().
    void passwordConfirmed();
    void passwordRefused();
    void setWorking(bool working);

signals:
    // The master password typed, for the owner to answer.
    void passwordOffered(const MasterPassword &password);
    // The master password was right and the new one passed the rules;
    // newPassword is empty in Confirm mode.
    void passwordAccepted(const MasterPassword &password, const MasterPassword &newPassword);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *makePasswordBox(const QString &name);
    void refuse(const QString &text, const QString &title, QLineEdit *clearFrom);

    WindowContext &m_context;
    const Mode m_mode;
    bool m_working = false;

    QLabel *lblIntro = nullptr;
    QLineEdit *txtCurrent = nullptr;
    QLineEdit *txtNew = nullptr;
    QLineEdit *txtRetype = nullptr;
    QLabel *lblWorking = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
