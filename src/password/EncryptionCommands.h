#pragma once

#include "platform/PasswordPrompts.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class MasterPassword;
class VaultSession;
struct VaultOutcome;

// File, "Encrypt Vault...", "Remove Encryption..." and "Change Master
// Password...": each asks for the master password through the prompts, has
// the session answer it, then has the session rewrite the vault. A new key is
// derived off the GUI thread while the prompt says that it works. Failures
// reach the user through message boxes and the status signal; what was
// saved, the session announces.
class EncryptionCommands : public QObject
{
    Q_OBJECT

public:
    EncryptionCommands(VaultSession &session, const Platform &platform, PasswordPrompts &prompts,
                       QObject *parent = nullptr);

    void encryptVault();
    void removeEncryption();
    void changeMasterPassword();

    // Whether a command's key is being derived.
    bool isWorking() const { return m_working; }

signals:
    void statusChanged(const QString &text);
    // A key is being derived for a command (true), or that is over (false):
    // the command cannot stop halfway.
    void working(bool working);

private:
    // Opens the prompt; once the session found the master password right,
    // hands it (and for Change the new one) to `then`.
    void ask(PasswordPrompts::Kind kind, const QString &caption, const QString &intro,
             std::function<void(const MasterPassword &, const MasterPassword &)> then);
    // Asks for the master password, then the question; Yes hands the
    // password to `then`, anything else ends the command.
    void confirm(const QString &caption, const QString &intro, const QString &question, int style,
                 const std::function<void(const MasterPassword &)> &then);
    void startWorking();
    void finish(const VaultOutcome &outcome);

    VaultSession &m_session;
    Platform m_platform;
    PasswordPrompts &m_prompts;
    QPointer<PasswordPrompt> m_prompt;
    bool m_working = false;
};
