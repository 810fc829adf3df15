#include "VaultSession.h"

#include "EncryptedVault.h"
#include "MasterPassword.h"
#include "ScrambledVault.h"
#include "StatusText.h"
#include "Wipe.h"

#include <QDir>
#include <QPointer>

namespace {

QString notSaved()
{
    return QStringLiteral("The entries could not be saved.");
}

} // namespace

VaultSession::VaultSession(QString programFolder, QObject *parent)
    : QObject(parent)
    , m_file(VaultFile::pathIn(programFolder))
    , m_claim(m_file.savedPath())
{
}

VaultSession::~VaultSession() = default;

VaultOutcome VaultSession::check(const QString &productName, bool takeOver)
{
    if (m_file.isLinkLoop()) {
        return VaultOutcome::failed(
            QStringLiteral("The vault \"%1\" cannot be opened: its name is a symbolic "
                           "link that leads round in a circle, so it leads to no "
                           "file. Nothing has been changed.\n\nMend or remove the "
                           "link and start %2 again.")
                .arg(QDir::toNativeSeparators(m_file.path()), productName));
    }
    QString notice;
    switch (m_claim.claim(takeOver)) {
    case VaultClaim::Status::Claimed:
        m_file.removeLeftoverSaves();
        break;
    case VaultClaim::Status::CannotWrite:
        // No copy can change the vault where no claim can be made, so there
        // is nothing to keep the copies apart for: the entries can still be
        // read.
        m_readOnlyReason = m_claim.reason();
        notice = m_claim.message(productName);
        break;
    case VaultClaim::Status::HeldOnAnotherComputer: {
        VaultOutcome outcome = VaultOutcome::failed(m_claim.message(productName));
        outcome.offersTakeOver = true;
        return outcome;
    }
    case VaultClaim::Status::HeldByAnotherCopy:
    case VaultClaim::Status::NotClaimed:
        return VaultOutcome::failed(m_claim.message(productName));
    }

    QString error;
    // The header of an encrypted vault, or the start of a scrambled one.
    QByteArray start;
    qint64 size = 0;
    if (!m_file.ensureExists(&error)
        || !m_file.readStart(EncryptedFormat::kHeaderSize, &start, &size, &error))
        return VaultOutcome::failed(error);
    VaultOutcome outcome;
    m_isNew = false;
    if (EncryptedFormat::isEncrypted(start))
        m_stored = EncryptedVault::read(m_file, productName, start, size, &outcome);
    else if (EncryptedFormat::hasDamagedMark(start))
        // An encrypted vault whose first byte was damaged would read as a
        // scrambled one whose master password is noise, or with a first
        // line that ends at once, as a first run whose save would finish it
        // off.
        outcome = VaultOutcome::failed(EncryptedVault::damaged(m_file));
    else
        m_stored = ScrambledVault::read(m_file, size == 0 || start == VaultFormat::kLineEnd,
                                        &m_isNew, &outcome);
    wipe(start);
    if (outcome.ok())
        outcome.notice = notice;
    return outcome;
}

VaultOutcome VaultSession::create(const MasterPassword &masterPassword)
{
    if (masterPassword.isNull())
        return noSecureMemory();
    auto created = std::make_unique<ScrambledVault>(m_file, masterPassword.copy());
    std::vector<VaultEntry> kept;
    const VaultOutcome outcome = created->create(&kept);
    if (!outcome.ok())
        return outcome;
    m_stored = std::move(created);
    m_isNew = false;
    m_state = State::Open;
    m_entries.appendAll(std::move(kept));
    return outcome;
}

void VaultSession::askMasterPassword(const MasterPassword &typed, QObject *asker, Answer answer)
{
    if (!m_stored || m_isNew) {
        answer(VaultOutcome::failed(QString()));
        return;
    }
    if (m_state == State::Open) {
        answer(m_stored->isMasterPassword(typed) ? VaultOutcome() : VaultOutcome::wrongPassword());
        return;
    }
    m_stored->open(typed,
                   [this, asker = QPointer<QObject>(asker),
                    answer](VaultOutcome outcome, std::vector<VaultEntry> entries) {
                       if (outcome.ok()) {
                           m_state = State::Open;
                           m_entries.appendAll(std::move(entries));
                           if (m_stored->isEncrypted())
                               emit formatChanged(true);
                       }
                       if (asker)
                           answer(outcome);
                   });
}

VaultOutcome VaultSession::apply(const Change &change, IfSaveFails ifSaveFails,
                                 const QString &savedStatus)
{
    EntryListChange journal(m_entries);
    const bool wasUnsaved = m_unsaved;
    change(journal);
    const VaultOutcome outcome = write(savedStatus);
    if (!outcome.ok() && ifSaveFails == IfSaveFails::TakeBack) {
        journal.takeBack();
        setUnsaved(wasUnsaved);
    }
    return outcome;
}

VaultOutcome VaultSession::save(const QDateTime &now)
{
    return write(StatusText::saved(now));
}

VaultOutcome VaultSession::write(const QString &status)
{
    // Sealed, the list is empty and the master password gone: writing now
    // would replace the vault with nothing.
    if (m_state == State::Sealed)
        return VaultOutcome::failed(QStringLiteral("The vault is locked."), notSaved());
    if (m_state != State::Open)
        return VaultOutcome::failed(QStringLiteral("The vault is not open."), notSaved());
    if (isReadOnly()) {
        setUnsaved(true);
        return VaultOutcome::failed(readOnlyError(), notSaved());
    }
    QString error;
    const bool written = m_stored->save(m_entries.entries(), &error);
    setUnsaved(!written);
    if (!written)
        return VaultOutcome::failed(error, notSaved());
    emit saved(status);
    return VaultOutcome::done(status);
}

void VaultSession::encrypt(const MasterPassword &masterPassword, QObject *asker, Answer answer)
{
    if (masterPassword.isNull()) {
        answer(noSecureMemory());
        return;
    }
    rewriteWithNewKey(masterPassword, StatusText::encrypted(), asker, std::move(answer));
}

VaultOutcome VaultSession::removeEncryption(const MasterPassword &masterPassword)
{
    if (masterPassword.isNull())
        return noSecureMemory();
    return rewriteAs(std::make_unique<ScrambledVault>(m_file, masterPassword.copy()),
                     StatusText::encryptionRemoved());
}

void VaultSession::changeMasterPassword(const MasterPassword &newPassword, QObject *asker,
                                        Answer answer)
{
    if (newPassword.isNull()) {
        answer(noSecureMemory());
        return;
    }
    if (isEncrypted()) {
        rewriteWithNewKey(newPassword, StatusText::masterPasswordChanged(), asker,
                          std::move(answer));
        return;
    }
    answer(rewriteAs(std::make_unique<ScrambledVault>(m_file, newPassword.copy()),
                     StatusText::masterPasswordChanged()));
}

void VaultSession::rewriteWithNewKey(const MasterPassword &password, const QString &status,
                                     QObject *asker, Answer answer)
{
    // One new key at a time.
    if (m_next) {
        answer(VaultOutcome::cancelled());
        return;
    }
    m_next = EncryptedVault::withNewKey(
        m_file, password, m_newKeyParams,
        [this, status, asker = QPointer<QObject>(asker), answer](const VaultOutcome &derived) {
            // Taken up once the derivation that made the key has returned:
            // the format that ran it may go with a failed rewrite.
            QMetaObject::invokeMethod(
                this,
                [this, status, asker, answer, derived] {
                    std::unique_ptr<StoredVault> next = std::move(m_next);
                    VaultOutcome outcome = derived;
                    if (m_abandoned)
                        outcome = VaultOutcome::cancelled();
                    else if (outcome.ok())
                        outcome = rewriteAs(std::move(next), status);
                    if (asker)
                        answer(outcome);
                },
                Qt::QueuedConnection);
        });
}

VaultOutcome VaultSession::rewriteAs(std::unique_ptr<StoredVault> next, const QString &status)
{
    if (isReadOnly())
        return VaultOutcome::failed(readOnlyError());
    QString error;
    if (!next->save(m_entries.entries(), &error))
        return VaultOutcome::failed(error);
    const bool formatChanges = next->isEncrypted() != isEncrypted();
    m_stored = std::move(next);
    setUnsaved(false);
    emit saved(status);
    if (formatChanges)
        emit formatChanged(isEncrypted());
    return VaultOutcome::done(status);
}

void VaultSession::setUnsaved(bool unsaved)
{
    if (unsaved == m_unsaved)
        return;
    m_unsaved = unsaved;
    emit unsavedChanged(unsaved);
}

VaultOutcome VaultSession::noSecureMemory() const
{
    return VaultOutcome::failed(m_file.describe(
        QStringLiteral("written"),
        QStringLiteral("There is not enough memory to keep the master password safe. Nothing "
                       "has been changed.")));
}

QString VaultSession::readOnlyError() const
{
    return QStringLiteral("The vault file \"%1\" could not be written.\n\nSaving is off for "
                          "this run: %2")
        .arg(QDir::toNativeSeparators(m_file.path()), m_readOnlyReason);
}

void VaultSession::abandon()
{
    m_abandoned = true;
    if (m_stored)
        m_stored->abandon();
    if (m_next)
        m_next->abandon();
}

void VaultSession::lock()
{
    if (m_state != State::Open)
        return;
    m_state = State::Sealed;
    m_stored->seal(m_entries.entries(), m_unsaved);
    m_entries.clear();
}
