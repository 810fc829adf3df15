// frmPass: the master password dialog, caption "Password Required".
#pragma once

#include "vault/MasterPassword.h"
#include "widgets/Dialog.h"

class QLineEdit;
class QPushButton;
class QStyle;
class SkinLabel;
struct WindowContext;

// frmPass, the master password dialog ("Password Required"). On the first run it has the user
// create the master password, typed twice; on every later run it asks for it and ends the program
// after three wrong tries. It stays above all other windows; the main window is not shown while it
// waits. Every way out other than an accepted password asks for the program to end.
//
// The password typed is offered to the owner, who answers with passwordConfirmed() or
// passwordRefused(), at once or after a while (an encrypted vault's key takes a moment to
// derive): while it waits, the window says so and takes no password.
class frmPass : public Dialog
{
    Q_OBJECT

public:
    // createMode: the user creates the master password; otherwise the one
    // typed is offered to the owner.
    frmPass(WindowContext &context, bool createMode);
    ~frmPass() override;

    // The load step: lays the window out for its mode and puts it on top.
    void formLoad();

    void cmdOK_Click();
    void cmdCancel_Click();
    // keyAscii is the character code of the key; 13 is Enter.
    void txtPass_KeyPress(int keyAscii);
    void txtPass2_KeyPress(int keyAscii);

    // The window's outer height as laid out, frame and caption included.
    double outerHeightTwips() const { return m_outerHeightTwips; }
    // Wrong passwords answered with Retry so far.
    qint16 tries() const { return intTries; }
    // Whether the window waits for the owner's answer, and says so.
    bool isChecking() const { return m_checking; }

public slots:
    // The owner's answer to passwordOffered(): the vault is open, and the
    // owner closes this window; or the password was wrong, which counts as a
    // wrong try.
    void passwordConfirmed();
    void passwordRefused();

signals:
    // A new master password was typed twice and passed the checks.
    void passwordCreated(const MasterPassword &masterPassword);
    // The password typed, for the owner to answer.
    void passwordOffered(const MasterPassword &password);
    // The user gave up, or ran out of tries: the program cannot go on.
    void endRequested();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void layoutForCreate();
    void layoutForEnter();
    void createPassword();
    void enterPassword();
    void wrongPassword();
    // While the owner checks: the window says so and takes no password.
    void setChecking(bool checking);
    // Shows a message with keep-on-top switched off around it.
    void showBelowOthers(const QString &text);
    void setOuterHeightTwips(double twips);
    // Sizes the client area so that the outer height is the one laid out;
    // the frame's height is known only once the window is shown.
    void fitOuterHeight();
    void centreOnScreen();
    void placeTwips(QWidget *control, double left, double top, double width, double height);
    void setTopTwips(QWidget *control, double top);
    double topTwips(const QWidget *control) const;
    double heightTwips(const QWidget *control) const;

    // Overwrites what the password boxes held, and empties them.
    void wipeBoxes();
    int showMessage(const QString &text, int style, const QString &title = QString());

    WindowContext &m_context;
    const bool m_createMode;
    // Offered, and not answered yet.
    bool m_waiting = false;
    bool m_checking = false;
    bool m_accepted = false;
    QStyle *m_maskStyle = nullptr;
    qint16 intTries = 0;
    double m_outerHeightTwips = 0;
    int m_frameHeight = 0;

    // Controls, in tab order.
    SkinLabel *SkinLabel1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLineEdit *txtPass = nullptr;
    SkinLabel *SkinLabel2 = nullptr;
    QLineEdit *txtPass2 = nullptr;
    SkinLabel *SkinLabel3 = nullptr;
};
