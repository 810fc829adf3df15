#include "Program.h"

#include "Form1.h"
#include "ProgramFiles.h"
#include "entries/frmAdd.h"
#include "frmSplash.h"
#include "info/Form8.h"
#include "info/HelpFile.h"
#include "info/ShowHelpSetting.h"
#include "info/frmAbout.h"
#include "info/frmWebsite.h"
#include "password/frmPass.h"
#include "password/frmVaultPassword.h"
#include "platform/Clock.h"
#include "platform/DesktopLock.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramEnder.h"
#include "platform/VersionInfo.h"
#include "skin/Skinning.h"
#include "vault/VaultLocation.h"
#include "widgets/Accessible.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>

Program::Program(QString programFolder, const QString &userDataFolder, const Platform &platform,
                 QObject *parent)
    : QObject(parent)
    , m_programFolder(std::move(programFolder))
    , m_vaultFolder(VaultLocation::folder(m_programFolder, userDataFolder))
    , m_settings(*platform.settings)
    , m_context(platform, m_settings)
    , m_session(m_vaultFolder)
    , m_commands(m_session, platform, m_settings, this)
    , m_exchange(m_session, platform,
                 programFiles(m_session, m_programFolder, m_vaultFolder, platform), this)
    , m_prompts(vaultPassword, m_context)
    , m_encryption(m_session, platform, m_prompts, this)
    , m_inactivity(*platform.clock)
    , m_lock(m_session)
{
    connect(&m_session, &VaultSession::saved, this, &Program::setStatus);
    connect(&m_session, &VaultSession::formatChanged, this, &Program::vaultFormatChanged);
    connect(&m_commands, &EntryCommands::statusChanged, this, &Program::setStatus);
    connect(&m_exchange, &ExchangeCommands::statusChanged, this, &Program::setStatus);
    connect(&m_encryption, &EncryptionCommands::statusChanged, this, &Program::setStatus);
    connect(&m_commands, &EntryCommands::editorRequested, this, &Program::openEditor);
    connect(&m_inactivity, &InactivityTimer::idle, &m_lock, &ProgramLock::lock);
    connect(&m_lock, &ProgramLock::stopping, &m_inactivity, &InactivityTimer::stop);
    connect(&m_lock, &ProgramLock::stopping, &m_exchange, &ExchangeCommands::cancelImport);
    connect(&m_lock, &ProgramLock::locking, this, &Program::packWindows);
    connect(&m_lock, &ProgramLock::locked, this, &Program::askToUnlock);
    connect(&m_encryption, &EncryptionCommands::working, &m_lock, &ProgramLock::setCommandRunning);
    connect(&m_settings, &Settings::changed, this, [this](Settings::Key key) {
        if (key == Settings::Key::LockAfterMinutes)
            m_inactivity.setMinutes(m_settings.lockAfterMinutes());
    });
    if (platform.desktopLock)
        connect(platform.desktopLock, &DesktopLock::locking, this, &Program::desktopLocking);
    // Master passwords and entry passwords are typed into boxes that hide
    // them; assistive technology hears only the echo characters.
    Accessible::hideTypedSecrets();
}

Program::~Program()
{
    // Windows are deleted without their unload handling: the program is
    // being torn down, not closed by the user.
    vaultPassword.destroy();
    website.destroy();
    about.destroy();
    help.destroy();
    add.destroy();
    pass.destroy();
    form1.destroy();
    splash.destroy();
}

QString Program::helpPath() const
{
    return HelpFile::path(m_programFolder, m_vaultFolder);
}

template<typename W, typename... Args> W *Program::open(FormSlot<W> &slot, Args &&...args)
{
    W *window = slot.load(std::forward<Args>(args)...);
    window->bringForward();
    return window;
}

void Program::start()
{
    // The settings are those of the application named like the product.
    m_settings.load(m_context.platform.version->read().productName);
    m_inactivity.setMinutes(m_settings.lockAfterMinutes());
    // Its load fills the branding values, starts the skin and shows it.
    frmSplash *window = splash.load(m_context);
    connect(window, &frmSplash::finished, this, &Program::loadMainWindow);
}

void Program::loadMainWindow()
{
    // Loaded, not shown: it shows once the vault is open.
    Form1 *main = form1.load(m_context, m_session.entries(), m_commands);
    connect(this, &Program::statusChanged, main, &Form1::setStatusText);
    connect(this, &Program::vaultOpened, main, &Form1::afterFormLoad);
    connect(main, &Form1::helpRequested, this, &Program::openHelp);
    connect(main, &Form1::aboutRequested, this, &Program::openAbout);
    connect(main, &Form1::linkRequested, this, &Program::openLink);
    connect(main, &Form1::importRequested, &m_exchange, &ExchangeCommands::importFile);
    connect(main, &Form1::exportRequested, &m_exchange, &ExchangeCommands::exportFile);
    connect(main, &Form1::closing, this, &Program::shutdown);
    connect(this, &Program::vaultFormatChanged, main, &Form1::showVaultFormat);
    connect(main, &Form1::encryptRequested, &m_encryption, &EncryptionCommands::encryptVault);
    connect(main, &Form1::removeEncryptionRequested, &m_encryption,
            &EncryptionCommands::removeEncryption);
    connect(main, &Form1::changePasswordRequested, &m_encryption,
            &EncryptionCommands::changeMasterPassword);
    connect(main, &Form1::lockRequested, &m_lock, &ProgramLock::lock);
    connect(this, &Program::locking, main, &Form1::lockView);
    checkVault();
}

void Program::checkVault()
{
    QString error;
    if (!VaultLocation::makeFolder(m_programFolder, m_vaultFolder, &error)) {
        failStartup(error);
        return;
    }
    const QString &product = m_context.branding.strProductName;
    VaultOutcome outcome = m_session.check(product);
    MessageBoxes *messages = m_context.platform.messages;
    if (outcome.offersTakeOver
        && messages->show(outcome.error,
                          MessageBox::OkCancel | MessageBox::Exclamation | MessageBox::Topmost)
            == MessageBox::Ok)
        outcome = m_session.check(product, true);
    if (!outcome.ok()) {
        if (outcome.offersTakeOver)
            endProgram();
        else
            failStartup(outcome.error);
        return;
    }
    if (!outcome.notice.isEmpty())
        messages->show(outcome.notice, MessageBox::Exclamation | MessageBox::Topmost);
    // Modeless and alone on the screen: the main window stays hidden until
    // a password is accepted. Connected before it shows, so that nothing it
    // says is lost.
    frmPass *dialog = loadPasswordDialog(m_session.isNew());
    connect(dialog, &frmPass::passwordCreated, this, &Program::createVault);
    dialog->bringForward();
}

frmPass *Program::loadPasswordDialog(bool createMode)
{
    frmPass *dialog = pass.load(m_context, createMode);
    connect(dialog, &frmPass::passwordOffered, this, &Program::passwordOffered);
    connect(dialog, &frmPass::endRequested, this, &Program::endProgram);
    return dialog;
}

void Program::createVault(const MasterPassword &masterPassword)
{
    pass.unload();
    revealMainWindow(m_session.create(masterPassword));
}

void Program::passwordOffered(const MasterPassword &password)
{
    m_session.askMasterPassword(password, this, [this](const VaultOutcome &outcome) {
        // The answer goes to the dialog that asked; one unloaded before may
        // not be gone yet.
        frmPass *dialog = pass.window();
        switch (outcome.result) {
        case VaultOutcome::Result::Cancelled:
            return;
        case VaultOutcome::Result::WrongPassword:
            if (dialog)
                dialog->passwordRefused();
            return;
        case VaultOutcome::Result::Done:
            if (dialog)
                dialog->passwordConfirmed();
            break;
        case VaultOutcome::Result::Failed:
            break;
        }
        if (m_lock.state() == ProgramLock::State::Locked)
            comeBack(outcome);
        else
            revealMainWindow(outcome);
    });
}

void Program::revealMainWindow(const VaultOutcome &outcome, bool startup)
{
    if (!outcome.ok()) {
        failStartup(outcome.error);
        return;
    }
    setStatus(outcome.status);
    m_lock.opened();
    emit vaultOpened();
    if (!outcome.notice.isEmpty())
        m_context.platform.messages->show(outcome.notice, MessageBox::Exclamation);
    if (startup && ShowHelpSetting::opensAtStartup(m_settings.showHelp()))
        // The keys typed after the password go to the main window.
        showHelp(false);
    pass.unload();
    m_inactivity.start();
}

void Program::desktopLocking()
{
    if (m_settings.lockWithDesktop())
        lock();
}

void Program::packWindows()
{
    vaultPassword.unload();
    m_commands.forgetCopiedText();
    if (frmAdd *editor = add.window()) {
        m_lock.hold(QStringLiteral("frmAdd"), editor->packHeld());
        // The editor wipes its boxes as it goes; the list's texts go after.
        add.unload();
    }
    // Open, they only come back.
    if (help.isLoaded())
        m_lock.hold(QStringLiteral("Form8"));
    if (about.isLoaded())
        m_lock.hold(QStringLiteral("frmAbout"));
    help.unload();
    about.unload();
    emit locking();
}

void Program::askToUnlock()
{
    loadPasswordDialog(false)->bringForward();
}

void Program::comeBack(const VaultOutcome &outcome)
{
    revealMainWindow(outcome, false);
    if (!outcome.ok())
        return;
    if (m_lock.takeHeld(QStringLiteral("Form8")))
        showHelp(false);
    if (m_lock.takeHeld(QStringLiteral("frmAbout")))
        openAbout();
    if (const auto packed = m_lock.takeHeld(QStringLiteral("frmAdd"))) {
        if (auto state = EditorState::unpack(*packed, m_session.entries())) {
            openEditor(*state);
            // The editor keeps copies of its own.
            state->wipe();
        }
    }
}

void Program::openEditor(const EditorState &state)
{
    // Open already, it is only brought forward, still on the entry it was
    // opened for.
    const bool fresh = !add.isLoaded();
    frmAdd *editor = add.load(m_context, state);
    if (fresh) {
        connect(editor, &frmAdd::entrySubmitted, this,
                [this](const EntryRules::EditTarget &target, const VaultEntry &entry) {
                    // The editor stays open with what was typed until the
                    // entry is saved.
                    if (m_commands.store(target, entry))
                        add.unload();
                });
    }
    editor->bringForward();
}

Form8 *Program::openHelp()
{
    return showHelp(true);
}

Form8 *Program::showHelp(bool withFocus)
{
    const bool fresh = !help.isLoaded();
    Form8 *window = help.load(m_context, helpPath(), m_session.path());
    // Beside the main window, not over it: it stays on top of it.
    Form1 *main = form1.window();
    if (fresh && main && main->isVisible())
        window->place(*main);
    if (withFocus)
        window->bringForward();
    else
        window->showWithoutFocus(main);
    return window;
}

frmAbout *Program::openAbout()
{
    return open(about, m_context);
}

void Program::openLink(const QString &linkKey)
{
    // Loaded, never shown: a request while it is loaded opens nothing.
    website.load(m_context, linkKey);
}

bool Program::mayClose()
{
    // Locked, nothing may be saved or kept without the master password: the
    // session ends as the locked dialog's Cancel would end it.
    if (m_lock.state() == ProgramLock::State::Locked)
        return true;
    MessageBoxes *messages = m_context.platform.messages;
    constexpr int kQuestion = MessageBox::YesNoCancel | MessageBox::Exclamation;
    if (frmAdd *editor = add.window(); editor && editor->hasChanges()) {
        const int answer
            = messages->show(QStringLiteral("The entry editor holds changes that are not saved.\n\n"
                                            "Save the entry before closing?"),
                             kQuestion);
        if (answer == MessageBox::Yes) {
            // The editor closes once the entry is saved, and stays open
            // with the reason otherwise.
            editor->submit();
        }
        if (answer != MessageBox::No && add.isLoaded()) {
            // Back to the editor, which may have been behind the main window.
            add.window()->bringForward();
            return false;
        }
    }
    if (m_session.hasUnsavedChanges()) {
        const int answer = messages->show(
            QStringLiteral("Your last change could not be saved to the vault file, so the "
                           "file still holds the entries as they were before it.\n\n"
                           "Try saving again before closing? If you close without saving, "
                           "the change is lost."),
            kQuestion);
        if (answer == MessageBox::Yes)
            return m_commands.save();
        return answer == MessageBox::No;
    }
    return true;
}

void Program::shutdown(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    closeEverything();
}

void Program::saveWithoutAsking()
{
    // Only a change in the list whose save failed, and never while the
    // vault is sealed by a lock: what the editor holds is not an entry until
    // the user saves it.
    if (m_session.hasUnsavedChanges() && m_session.isOpen()) {
        const VaultOutcome outcome = m_session.save(m_context.platform.clock->now());
        if (!outcome.ok())
            setStatus(outcome.status);
    }
}

bool Program::commitData(bool mayAsk)
{
    if (mayAsk)
        return mayClose();
    saveWithoutAsking();
    return true;
}

void Program::endOnRequest()
{
    if (m_ended)
        return;
    saveWithoutAsking();
    closeEverything();
}

void Program::closeEverything()
{
    help.unload();
    about.unload();
    add.unload();
    splash.unload();
    if (m_context.skin.bUseSkin)
        stopSkin(m_context.skin);
    website.unload();
    endProgram();
}

void Program::setStatus(const QString &text)
{
    emit statusChanged(text);
}

void Program::failStartup(const QString &error)
{
    // Above every window, the always-on-top password dialog of another copy
    // included: it is the reason this copy ends.
    m_context.platform.messages->show(error + QStringLiteral("\n\nThe program will now close."),
                                      MessageBox::Critical | MessageBox::Topmost, QString());
    endProgram();
}

void Program::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_session.abandon();
    m_context.platform.ender->endProgram();
}
