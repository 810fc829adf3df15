#pragma once

#include "FormSlot.h"
#include "InactivityTimer.h"
#include "ProgramLock.h"
#include "WindowPrompts.h"
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
    // The program is locking: windows wipe what they show.
    void locking();

private:
    // The start-up steps, in order.
    void loadMainWindow();
    void checkVault();
    // Loads the password dialog, in create or enter mode, wired to have the
    // session answer the password offered and to end the program.
    frmPass *loadPasswordDialog(bool createMode);
    void createVault(const MasterPassword &masterPassword);
    // Asks the session whether the password offered is the master password;
    // the right one opens the vault, at the start or after a lock.
    void passwordOffered(const MasterPassword &password);
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

    // Loads a window if needed, shows it and brings it forward.
    template<typename W, typename... Args> W *open(FormSlot<W> &slot, Args &&...args);

    QString m_programFolder;
    QString m_vaultFolder;
    Settings m_settings;
    WindowContext m_context;
    VaultSession m_session;
    EntryCommands m_commands;
    ExchangeCommands m_exchange;
    WindowPrompts m_prompts;
    EncryptionCommands m_encryption;
    InactivityTimer m_inactivity;
    ProgramLock m_lock;
    bool m_ended = false;
};
