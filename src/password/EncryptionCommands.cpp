#include "EncryptionCommands.h"

#include "platform/MessageBoxes.h"
#include "vault/VaultSession.h"
#include "vault/Wipe.h"
#include "widgets/WindowContext.h"

EncryptionCommands::EncryptionCommands(VaultSession &session, const WindowContext &context,
                                       DialogOpener openDialog, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_context(context)
    , m_openDialog(std::move(openDialog))
{
}

frmVaultPassword *EncryptionCommands::openDialog(frmVaultPassword::Mode mode,
                                                 const QString &caption, const QString &intro)
{
    frmVaultPassword *dialog = m_openDialog(mode, caption, intro);
    if (dialog) {
        connect(this, &EncryptionCommands::working, dialog, &frmVaultPassword::setWorking);
        connect(this, &EncryptionCommands::finished, dialog, &QWidget::close);
    }
    return dialog;
}

void EncryptionCommands::confirm(const QString &caption, const QString &intro,
                                 const QString &question, int style,
                                 const std::function<void(const QString &)> &then)
{
    frmVaultPassword *dialog = openDialog(frmVaultPassword::Mode::Confirm, caption, intro);
    if (!dialog)
        return;
    connect(dialog, &frmVaultPassword::submitted, this, [=, this](const QString &password) {
        if (m_context.platform.messages->show(question, style, caption) != MessageBox::Yes) {
            emit finished();
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
            .arg(m_context.branding.strProductName),
        MessageBox::YesNo | MessageBox::Exclamation,
        [this](const QString &password) { startDerivation(Derivation::Encrypt, password); });
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
        [this](const QString &password) { finish(m_session.removeEncryption(password)); });
}

void EncryptionCommands::changeMasterPassword()
{
    frmVaultPassword *dialog
        = openDialog(frmVaultPassword::Mode::Change, QStringLiteral("Change Master Password"),
                     QStringLiteral("Enter your current master password, then the new one twice."));
    if (!dialog)
        return;
    connect(dialog, &frmVaultPassword::submitted, this,
            [this](const QString &, const QString &newPassword) {
                if (m_session.isEncrypted())
                    startDerivation(Derivation::ChangePassword, newPassword);
                else
                    finish(m_session.changeMasterPassword(newPassword, {}));
            });
}

void EncryptionCommands::startDerivation(Derivation purpose, const QString &password)
{
    m_derivedFrom = password;
    emit working(true);
    m_derivation.start(password, EncryptedFormat::defaultParams(), EncryptedFormat::newSalt(),
                       [this, purpose](KeyDerivation::Result result) {
                           derivationFinished(purpose, std::move(result));
                       });
}

void EncryptionCommands::derivationFinished(Derivation purpose, KeyDerivation::Result result)
{
    QString password = std::move(m_derivedFrom);
    // Abandoned with the program: the vault is left as it is.
    if (result.isCancelled()) {
        wipe(password);
        return;
    }
    if (!result.isDone()) {
        wipe(password);
        finish(VaultOutcome {false, QString(), result.error});
        return;
    }
    switch (purpose) {
    case Derivation::Encrypt:
        wipe(password);
        finish(m_session.encrypt(std::move(result.value)));
        return;
    case Derivation::ChangePassword:
        finish(m_session.changeMasterPassword(password, std::move(result.value)));
        wipe(password);
        return;
    }
}

void EncryptionCommands::finish(const VaultOutcome &outcome)
{
    emit working(false);
    emit finished();
    if (!outcome.ok) {
        m_context.platform.messages->show(outcome.error, MessageBox::Critical);
        emit statusChanged(QStringLiteral("Nothing was changed."));
        return;
    }
    emit statusChanged(outcome.status);
    emit vaultFormatChanged(m_session.isEncrypted());
}
