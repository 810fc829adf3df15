#include "EncryptionCommands.h"

#include "platform/MessageBoxes.h"
#include "platform/VersionInfo.h"
#include "vault/MasterPassword.h"
#include "vault/VaultSession.h"

EncryptionCommands::EncryptionCommands(VaultSession &session, const Platform &platform,
                                       PasswordPrompts &prompts, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_platform(platform)
    , m_prompts(prompts)
{
}

void EncryptionCommands::ask(
    PasswordPrompts::Kind kind, const QString &caption, const QString &intro,
    std::function<void(const MasterPassword &, const MasterPassword &)> then)
{
    PasswordPrompts::Handlers handlers;
    handlers.offered = [this](const MasterPassword &password) {
        m_session.askMasterPassword(password, this, [this](const VaultOutcome &outcome) {
            if (!m_prompt)
                return;
            if (outcome.result == VaultOutcome::Result::WrongPassword)
                m_prompt->refuse();
            else if (outcome.ok())
                m_prompt->confirm();
        });
    };
    handlers.accepted = std::move(then);
    if (PasswordPrompt *prompt = m_prompts.ask(kind, caption, intro, std::move(handlers)))
        m_prompt = prompt;
}

void EncryptionCommands::confirm(const QString &caption, const QString &intro,
                                 const QString &question, int style,
                                 const std::function<void(const MasterPassword &)> &then)
{
    ask(PasswordPrompts::Kind::Confirm, caption, intro,
        [=, this](const MasterPassword &password, const MasterPassword &) {
            if (m_platform.messages->show(question, style, caption) != MessageBox::Yes) {
                if (m_prompt)
                    m_prompt->finish();
                return;
            }
            then(password);
        });
}

void EncryptionCommands::encryptVault()
{
    if (m_session.isEncrypted())
        return;
    confirm(
        QStringLiteral("Encrypt Vault"),
        QStringLiteral("Enter your master password to encrypt the vault."),
        QStringLiteral("Encrypting rewrites the vault file so that it can be opened only with the "
                       "master password, and only by this version of %1 or a later one. The "
                       "scrambled content is removed from the file.\n\nIf you forget the master "
                       "password, the entries can never be recovered, by you or by anyone.\n\n"
                       "Encrypt the vault now?")
            .arg(m_platform.version->read().productName),
        MessageBox::YesNo | MessageBox::Exclamation, [this](const MasterPassword &password) {
            startWorking();
            m_session.encrypt(password, this,
                              [this](const VaultOutcome &outcome) { finish(outcome); });
        });
}

void EncryptionCommands::removeEncryption()
{
    if (!m_session.isEncrypted())
        return;
    // No is the default: the vault loses its protection on Yes.
    confirm(
        QStringLiteral("Remove Encryption"),
        QStringLiteral("Enter your master password to remove the vault's encryption."),
        QStringLiteral("Removing the encryption rewrites the vault file in the scrambled format: "
                       "anyone who can read the file can then recover every entry and the master "
                       "password.\n\nRemove the encryption now?"),
        MessageBox::YesNo | MessageBox::Exclamation | MessageBox::DefaultButton2,
        [this](const MasterPassword &password) { finish(m_session.removeEncryption(password)); });
}

void EncryptionCommands::changeMasterPassword()
{
    ask(PasswordPrompts::Kind::Change, QStringLiteral("Change Master Password"),
        QStringLiteral("Enter your current master password, then the new one twice."),
        [this](const MasterPassword &, const MasterPassword &newPassword) {
            // A scrambled vault is rewritten at once; an encrypted one once
            // the new key is derived.
            if (m_session.isEncrypted())
                startWorking();
            m_session.changeMasterPassword(
                newPassword, this, [this](const VaultOutcome &outcome) { finish(outcome); });
        });
}

void EncryptionCommands::startWorking()
{
    m_working = true;
    emit working(true);
    if (m_prompt)
        m_prompt->setWorking(true);
}

void EncryptionCommands::finish(const VaultOutcome &outcome)
{
    // The program ends: the command is dropped with it.
    if (outcome.result == VaultOutcome::Result::Cancelled)
        return;
    if (std::exchange(m_working, false))
        emit working(false);
    if (m_prompt) {
        m_prompt->setWorking(false);
        m_prompt->finish();
    }
    if (!outcome.ok()) {
        m_platform.messages->show(outcome.error, MessageBox::Critical);
        emit statusChanged(QStringLiteral("Nothing was changed."));
    }
}
