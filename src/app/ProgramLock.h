#pragma once

#include "vault/SecureBytes.h"

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <map>
#include <optional>

class QWidget;
class VaultSession;

// The program's lock, and the one owner of its locked state: File, "Lock",
// its keys in any window of the program, the idle time and the desktop's lock
// all come here.
//
// A lock goes in two halves. At once, nothing of the program stays on the
// screen or open to use, and work running in the background stops. The second
// half comes once the modal loops opened on top of the program's own have
// returned (a message box answers as if cancelled, so the code that asked
// goes on with that answer first) and once a command that cannot stop
// halfway is done; it waits for those without a timer. Then the windows pack
// what they need to come back, the vault wipes its entries and master
// password, and the program asks for the password. The vault's own sealed
// state (VaultSession::isSealed()) follows from this class's calls.
class ProgramLock : public QObject
{
    Q_OBJECT

public:
    enum class State {
        // Until the vault is first open.
        Closed,
        Unlocked,
        // Between the two halves.
        Locking,
        Locked,
    };

    explicit ProgramLock(VaultSession &session, QObject *parent = nullptr);
    ~ProgramLock() override;

    // The keys that lock the program from any of its windows.
    static QKeySequence keys();

    State state() const { return m_state; }
    bool isLocked() const { return m_state != State::Unlocked; }

    // The vault is open, at start-up or after an unlock: a lock may come from
    // now on, and it waits for the loops opened on top of this one.
    void opened();
    // Nothing happens while no vault is open, or while locking or locked.
    void lock();
    // A command that cannot stop halfway (a key being derived for it) runs,
    // or is over: the lock's second half waits for it.
    void setCommandRunning(bool running);

    // At the lock's second half: a window that was open hands over what it
    // packed of itself to come back as it was (nothing, for most).
    void hold(const QString &window, SecureBytes packed = SecureBytes());
    // After the unlock: whether the window was open, with what it packed.
    // Given back once; what is not taken is wiped at the next lock.
    std::optional<SecureBytes> takeHeld(const QString &window);

signals:
    // The first half: work running in the background stops.
    void stopping();
    // The second half: the windows pack what they need and go, and the list
    // is wiped.
    void locking();
    // Locked: the program asks for the master password.
    void locked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish();
    // finish() again once control returns to the event loop running now.
    void finishOnReturn();
    // Closes what is open on top of the program: menus, and modal dialogs,
    // which answer as if cancelled.
    static void closeModals();
    static void dismiss(QWidget *window);

    VaultSession &m_session;
    State m_state = State::Closed;
    // The event loop depth of the running program.
    int m_loopLevel = 0;
    bool m_commandRunning = false;
    // While locked: what the windows that were open packed, by window.
    std::map<QString, SecureBytes> m_held;
};
