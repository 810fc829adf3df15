#include "EncryptedVault.h"

#include "MasterPassword.h"
#include "SecretPack.h"
#include "StatusText.h"
#include "VaultFile.h"
#include "Wipe.h"

using EncryptedFormat::Problem;

EncryptedVault::EncryptedVault(VaultFile &file)
    : m_file(file)
{
}

std::unique_ptr<EncryptedVault> EncryptedVault::read(VaultFile &file, const QString &productName,
                                                     QByteArrayView start, qint64 size,
                                                     VaultOutcome *outcome)
{
    std::unique_ptr<EncryptedVault> vault(new EncryptedVault(file));
    Problem problem = EncryptedFormat::readHeader(start, size, &vault->m_header);
    if (problem == Problem::None) {
        QString error;
        if (!file.readAll(&vault->m_sealed, &error)) {
            *outcome = VaultOutcome::failed(error);
            return nullptr;
        }
        // Once more on the whole file, which may have changed meanwhile.
        problem = EncryptedFormat::readHeader(vault->m_sealed, &vault->m_header);
    }
    switch (problem) {
    case Problem::None:
        return vault;
    case Problem::NewerVersion:
        *outcome = VaultOutcome::failed(file.describe(
            QStringLiteral("opened"),
            QStringLiteral("It was made by a newer version of %1. Open it with that version; "
                           "this one has not changed it.")
                .arg(productName)));
        return nullptr;
    default:
        *outcome = VaultOutcome::failed(damaged(file));
        return nullptr;
    }
}

QString EncryptedVault::damaged(const VaultFile &file)
{
    return file.describe(
        QStringLiteral("opened"),
        QStringLiteral("It is damaged: it is not a whole encrypted vault (a part of it is "
                       "missing or has been changed). It has not been changed further; "
                       "restore it from a backup."));
}

std::unique_ptr<EncryptedVault> EncryptedVault::withNewKey(VaultFile &file,
                                                           const MasterPassword &masterPassword,
                                                           const EncryptedFormat::KdfParams &params,
                                                           std::function<void(VaultOutcome)> ready)
{
    std::unique_ptr<EncryptedVault> vault(new EncryptedVault(file));
    EncryptedVault *made = vault.get();
    made->derive(masterPassword, params, EncryptedFormat::newSalt(),
                 [made, ready](KeyDerivation::Result result) {
                     if (!result.isDone()) {
                         made->m_offeredCheck.clear();
                         ready(result.isCancelled() ? VaultOutcome::cancelled()
                                                    : VaultOutcome::failed(result.error));
                         return;
                     }
                     made->m_key = std::move(result.value);
                     made->m_check = std::move(made->m_offeredCheck);
                     ready(VaultOutcome());
                 });
    return vault;
}

void EncryptedVault::derive(const MasterPassword &password,
                            const EncryptedFormat::KdfParams &params,
                            const EncryptedFormat::Salt &salt,
                            std::function<void(KeyDerivation::Result)> then)
{
    m_offeredCheck.set(password.text());
    m_derivation.start(password.text(), params, salt, std::move(then));
}

void EncryptedVault::open(const MasterPassword &typed, Opened opened)
{
    // One key at a time: a password offered while one is derived is not
    // taken.
    if (m_derivation.isRunning()) {
        opened(VaultOutcome::cancelled(), {});
        return;
    }
    derive(typed, m_header.params, m_header.salt, [this, opened](KeyDerivation::Result result) {
        if (!result.isDone()) {
            m_offeredCheck.clear();
            opened(result.isCancelled() ? VaultOutcome::cancelled()
                                        : VaultOutcome::failed(result.error),
                   {});
            return;
        }
        std::vector<VaultEntry> entries;
        const Problem problem = EncryptedFormat::open(m_sealed, result.value, &entries);
        if (problem != Problem::None) {
            m_offeredCheck.clear();
            if (problem == Problem::WrongPassword)
                opened(VaultOutcome::wrongPassword(), {});
            else
                opened(VaultOutcome::failed(m_file.describe(
                           QStringLiteral("read"),
                           problem == Problem::OutOfMemory
                               ? QStringLiteral("There is not enough memory for a vault of this "
                                                "size.")
                               : QStringLiteral("It is damaged."))),
                       {});
            return;
        }
        m_sealed = QByteArray();
        m_key = std::move(result.value);
        m_check = std::move(m_offeredCheck);
        // After a lock whose list could not be sealed: the changes that were
        // not saved, over what the file held.
        if (!m_unsavedEntries.isNull()) {
            for (VaultEntry &entry : entries)
                wipeEverywhere(entry);
            entries = unpackEntries(m_unsavedEntries);
            m_unsavedEntries.clear();
        }
        const qsizetype count = qsizetype(entries.size());
        opened(VaultOutcome::done(StatusText::loaded(count)), std::move(entries));
    });
}

bool EncryptedVault::isMasterPassword(const MasterPassword &typed) const
{
    return m_check.matches(typed.text());
}

bool EncryptedVault::save(std::span<const VaultEntry> entries, QString *error)
{
    const QByteArray sealed = EncryptedFormat::seal(m_key, entries);
    if (sealed.isEmpty()) {
        *error = m_file.describe(QStringLiteral("written"),
                                 QStringLiteral("There is not enough memory to encrypt it. "
                                                "Nothing has been changed."));
        return false;
    }
    return m_file.write(sealed, error);
}

void EncryptedVault::seal(std::span<const VaultEntry> entries, bool unsaved)
{
    // The key goes. The list is sealed with it first, and the right password
    // derives the key again and opens that: whatever becomes of the file
    // meanwhile (moved, deleted, replaced), the right password still brings
    // the list back. The file as it is now serves only where the list could
    // not be sealed, with the changes it does not hold kept beside it.
    m_sealed = EncryptedFormat::seal(m_key, entries);
    if (m_sealed.isEmpty()) {
        QString error;
        m_file.readAll(&m_sealed, &error);
        if (unsaved)
            m_unsavedEntries = packEntries(entries);
    }
    EncryptedFormat::readHeader(m_sealed, &m_header);
    m_key.clear();
    m_check.clear();
}
