#pragma once

#include "FormSlot.h"
#include "InactivityTimer.h"
#include "ProgramLock.h"
#include "entries/EntryCommands.h"
#include "exchange/ExchangeCommands.h"
#include "password/EncryptionCommands.h"
#include "vault/KeyDerivation.h"
#include "vault/VaultSession.h"
#include "widgets/WindowContext.h"

#include <QObject>
#include <QString>

class Form1;
class Form8;
class QCloseEvent;
class frmAbout;
class frmAdd;
class frmPass;
class frmSplash;
class frmWebsite;
struct EditorState;

// What lives for the whole run: the program folder, the vault session, the
// values every window reads, and the single instance of each window. It opens
// the windows and listens to them; it tells them things only through its
// signals.
//
// Start-up runs as a sequence of steps, each started by the one before:
// splash → main window loaded (hidden) → vault checked → password dialog →
// vault created or loaded → main window revealed. The main window shows only
// at that last step.
class Program : public QObject
{
    Q_OBJECT

public:
    // The vault lives beside the program when it can, and in the user's
    // data folder otherwise (an installed copy).
    Program(QString programFolder, const QString &userDataFolder, const Platform &platform,
            QObject *parent = nullptr);
    ~Program() override;

    const Platform &platform() const { return m_context.platform; }
    const QString &programFolder() const { return m_programFolder; }
    const QString &vaultFolder() const { return m_vaultFolder; }
    QString helpPath() const;
    WindowContext &context() { return m_context; }
    VaultSession &session() { return m_session; }
    EntryListModel &entries() { return m_session.entries(); }
    ExchangeCommands &exchange() { return m_exchange; }

    // Starts the sequence with the splash window.
    void start();

    void setStatus(const QString &text);

    // Opens the help window, the about box, or the link opener for a link
    // key, each loaded once.
    Form8 *openHelp();
    frmAbout *openAbout();
    void openLink(const QString &linkKey);

    // The system asks the program to end (SIGTERM at shutdown, SIGHUP when
    // the session goes): what can be saved without asking is saved (a change
    // that a failed save left in the list; never an entry half typed in the
    // editor), then the program ends as when the main window closes, which
    // takes what it put on the clipboard off again and lets go of the vault.
    void endOnRequest();
    // The session manager asks to save before the session ends. With
    // `mayAsk` the user is asked as when the main window closes; false when
    // they chose to stay. Otherwise only what needs no question is saved.
    bool commitData(bool mayAsk);

    // File, "Lock": every window of the program goes, every secret is wiped
    // from memory, and the password dialog asks for the master password.
    // The right one brings everything back as it was. ProgramLock tells how.
    void lock() { m_lock.lock(); }
    bool isLocked() const { return m_lock.isLocked(); }
    InactivityTimer &inactivity() { return m_inactivity; }

    // Ends the program at once; the caller returns straight after.
    void endProgram();
    bool hasEnded() const { return m_ended; }

    // The windows.
    FormSlot<frmSplash> splash;
    FormSlot<Form1> form1;
    FormSlot<frmPass> pass;
    FormSlot<frmAdd> add;
    FormSlot<Form8> help;
    FormSlot<frmAbout> about;
    FormSlot<frmWebsite> website;
    FormSlot<frmVaultPassword> vaultPassword;

signals:
    void statusChanged(const QString &text);
    // The vault is open and its entries are in the list.
    void vaultOpened();
    // The vault is kept encrypted, or scrambled, from now on.
    void vaultFormatChanged(bool encrypted);
    // The answer to the password dialog's offer for an encrypted vault.
    void passwordConfirmed();
    void passwordRefused();
    // The program is locking: windows wipe what they show.
    void locking();

private:
    // The start-up steps, in order.
    void loadMainWindow();
    void checkVault();
    // Loads the password dialog, in create or enter mode, wired to unlock
    // an encrypted vault and to end the program; the caller connects what an
    // accepted password leads to.
    frmPass *loadPasswordDialog(bool createMode);
    void createVault(const QString &masterPassword);
    void loadVault(const QString &masterPassword);
    // An encrypted vault: derive the key from the password offered, off this
    // thread, and try it.
    void unlockVault(const QString &password);
    // The key of the password offered is there: the vault opens with it,
    // or the password is refused.
    void derivationFinished(KeyDerivation::Result result);
    // At start-up the help window may follow; after an unlock, what was
    // open comes back instead.
    void revealMainWindow(const VaultOutcome &outcome, bool startup = true);
    // Loads the help window if need be, beside the main window when it is
    // new, and shows it, with the focus or without it.
    Form8 *showHelp(bool withFocus);

    void openEditor(const EditorState &state);
    // The main window is closing: everything else goes with it, unless
    // something typed or changed is not saved and the user keeps it open.
    void shutdown(QCloseEvent *event);
    bool mayClose();
    void saveWithoutAsking();
    void closeEverything();

    // The lock's second half: each window that was open packs what it needs
    // to come back, and goes. Then the way back.
    void packWindows();
    void askToUnlock();
    // The vault is open again: the main window and what was open with it.
    void comeBack(const VaultOutcome &outcome);
    void desktopLocking();

    // Tells the user of a vault file that failed at start-up, then ends.
    void failStartup(const QString &error);

    // The window of the encryption commands, or null when it is open
    // already (it is brought forward).
    frmVaultPassword *openVaultPassword(frmVaultPassword::Mode mode, const QString &caption,
                                        const QString &intro);

    // Loads a window if needed, shows it and brings it forward.
    template<typename W, typename... Args> W *open(FormSlot<W> &slot, Args &&...args);

    QString m_programFolder;
    QString m_vaultFolder;
    Settings m_settings;
    WindowContext m_context;
    VaultSession m_session;
    EntryCommands m_commands;
    ExchangeCommands m_exchange;
    EncryptionCommands m_encryption;
    KeyDerivation m_derivation;
    // The password whose key is being derived; wiped once it is used.
    QString m_derivedFrom;
    InactivityTimer m_inactivity;
    ProgramLock m_lock;
    bool m_ended = false;
};
