// frmVaultPassword: asks for the master password before a command rewrites
// the vault ("Encrypt Vault", "Remove Encryption"), or for the current and a
// new one ("Change Master Password").
#pragma once

#include "widgets/Dialog.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
struct WindowContext;

// frmVaultPassword, modal to the program. It checks what was typed (the
// current password through the check it is given, a new one under the rules
// of creating one, with the same messages) and hands it over with
// submitted(); the owner does the work and closes the window. While the
// owner works (deriving a key takes a moment) the window says so, takes no
// input and cannot be closed.
class frmVaultPassword : public Dialog
{
    Q_OBJECT

public:
    enum class Mode {
        Confirm, // the master password once
        Change, // the current master password, then a new one twice
    };

    frmVaultPassword(WindowContext &context, Mode mode, const QString &caption,
                     const QString &intro, std::function<bool(QStringView)> isCurrent);
    ~frmVaultPassword() override;

    // The load step; the window is laid out when it is made.
    void formLoad() { }

    void cmdOK_Click();

    // Whether the window waits for its owner's work.
    bool isWorking() const { return m_working; }

public slots:
    void setWorking(bool working);

signals:
    // The password checked out; newPassword is empty in Confirm mode.
    void submitted(const QString &password, const QString &newPassword);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *makePasswordBox(const QString &name);
    void refuse(const QString &text, const QString &title, QLineEdit *clearFrom);

    WindowContext &m_context;
    const Mode m_mode;
    std::function<bool(QStringView)> m_isCurrent;
    bool m_working = false;

    QLabel *lblIntro = nullptr;
    QLineEdit *txtCurrent = nullptr;
    QLineEdit *txtNew = nullptr;
    QLineEdit *txtRetype = nullptr;
    QLabel *lblWorking = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
