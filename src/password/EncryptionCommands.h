#pragma once

#include "frmVaultPassword.h"
#include "vault/KeyDerivation.h"

#include <QObject>
#include <QString>

#include <functional>

class VaultSession;
struct VaultOutcome;
struct WindowContext;

// File, "Encrypt Vault...", "Remove Encryption..." and "Change Master
// Password...": each asks for the master password in the vault password
// window, then rewrites the vault through the session. A new key is derived
// off the GUI thread while the window says that it works. Outcomes reach the
// user through the status signal and, for failures, message boxes.
class EncryptionCommands : public QObject
{
    Q_OBJECT

public:
    // Opens the vault password window and returns it, or brings forward the
    // one already open and returns null: a command runs at a time.
    using DialogOpener = std::function<frmVaultPassword *(
        frmVaultPassword::Mode mode, const QString &caption, const QString &intro)>;

    EncryptionCommands(VaultSession &session, const WindowContext &context, DialogOpener openDialog,
                       QObject *parent = nullptr);

    void encryptVault();
    void removeEncryption();
    void changeMasterPassword();

    // Whether a command's key is being derived.
    bool isWorking() const { return m_derivation.isRunning(); }
    // The program ends: a key still being derived is dropped with its
    // command, and the vault is left as it is.
    void abandon() { m_derivation.cancel(); }

signals:
    void statusChanged(const QString &text);
    // The vault is kept encrypted, or scrambled, from now on.
    void vaultFormatChanged(bool encrypted);
    // A key is being derived (true), or that is over (false).
    void working(bool working);
    // The command is over: its window goes.
    void finished();

private:
    enum class Derivation { Encrypt, ChangePassword };
    frmVaultPassword *openDialog(frmVaultPassword::Mode mode, const QString &caption,
                                 const QString &intro);
    // Asks for the master password, then the question; Yes hands the
    // password to `then`, anything else ends the command.
    void confirm(const QString &caption, const QString &intro, const QString &question, int style,
                 const std::function<void(const QString &)> &then);
    void startDerivation(Derivation purpose, const QString &password);
    void derivationFinished(Derivation purpose, KeyDerivation::Result result);
    void finish(const VaultOutcome &outcome);

    VaultSession &m_session;
    const WindowContext &m_context;
    DialogOpener m_openDialog;
    KeyDerivation m_derivation;
    // The password whose key is being derived; wiped once it is used.
    QString m_derivedFrom;
};
