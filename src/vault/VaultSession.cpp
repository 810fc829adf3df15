#include "VaultSession.h"

#include "SecretPack.h"
#include "StatusText.h"
#include "VaultFile.h"
#include "Wipe.h"

#include <QDir>
#include <QFileInfo>

VaultSession::VaultSession(QString programFolder)
    : m_file(VaultFile::pathIn(programFolder))
    , m_lock(m_file.savedPath())
{
}

VaultOutcome VaultSession::failed(const QString &error, const QString &status)
{
    return VaultOutcome {false, status, error};
}

VaultOutcome VaultSession::check(const QString &productName, bool takeOver)
{
    if (m_file.isLinkLoop()) {
        return failed(QStringLiteral("The vault \"%1\" cannot be opened: its name is a symbolic "
                                     "link that leads round in a circle, so it leads to no "
                                     "file. Nothing has been changed.\n\nMend or remove the "
                                     "link and start %2 again.")
                          .arg(QDir::toNativeSeparators(m_file.path()), productName));
    }
    QString notice;
    switch (m_lock.lock(takeOver)) {
    case VaultLock::Status::Locked:
        m_file.removeLeftoverSaves();
        break;
    case VaultLock::Status::CannotWrite:
        // No copy can change the vault where no lock can be made, so there
        // is nothing to keep the copies apart for: the entries can still be
        // read.
        m_readOnlyReason = m_lock.reason();
        notice = m_lock.message(productName);
        break;
    case VaultLock::Status::HeldOnAnotherComputer: {
        VaultOutcome outcome = failed(m_lock.message(productName));
        outcome.offersTakeOver = true;
        return outcome;
    }
    case VaultLock::Status::HeldByAnotherCopy:
    case VaultLock::Status::Unlocked:
        return failed(m_lock.message(productName));
    }

    QString error;
    // The header of an encrypted vault, or the start of a scrambled one.
    QByteArray start;
    qint64 size = 0;
    if (!m_file.ensureExists(&error)
        || !m_file.readStart(EncryptedFormat::kHeaderSize, &start, &size, &error))
        return failed(error);
    const auto wiped = [&start](VaultOutcome outcome) {
        wipe(start);
        return outcome;
    };
    if (EncryptedFormat::isEncrypted(start)) {
        VaultOutcome outcome = wiped(checkEncrypted(productName, start, size));
        if (outcome.ok)
            outcome.notice = notice;
        return outcome;
    }
    // An encrypted vault whose first byte was damaged would read as a
    // scrambled one whose master password is noise, or with a first line
    // that ends at once, as a first run whose save would finish it off.
    if (EncryptedFormat::hasDamagedMark(start))
        return wiped(failed(damaged()));
    // Only a file as the program makes it for a first run (or one left
    // empty) asks for a new master password: one that holds more after an
    // empty first line has lost its master password, and creating one would
    // rewrite it.
    const bool asMadeNew = size == 0 || start == VaultFormat::kLineEnd;
    wipe(start);
    QString firstLine;
    if (!m_file.readMasterPassword(&firstLine, &error))
        return failed(error);
    m_isNew = firstLine.isEmpty();
    wipe(firstLine);
    if (m_isNew && !asMadeNew) {
        return failed(m_file.describe(
            QStringLiteral("opened"),
            QStringLiteral("It is damaged: its first line, which holds the master password, is "
                           "empty, yet more follows it. It has not been changed; restore it "
                           "from a backup.")));
    }
    VaultOutcome outcome;
    outcome.notice = notice;
    return outcome;
}

QString VaultSession::damaged() const
{
    return m_file.describe(
        QStringLiteral("opened"),
        QStringLiteral("It is damaged: it is not a whole encrypted vault (a part of it is "
                       "missing or has been changed). It has not been changed further; "
                       "restore it from a backup."));
}

// Checks all that needs no key, the header before the rest is read: a
// damaged file or one from a newer version is refused before any password
// is asked for, and nothing is written.
VaultOutcome VaultSession::checkEncrypted(const QString &productName, QByteArrayView start,
                                          qint64 size)
{
    QString error;
    EncryptedFormat::Problem problem = EncryptedFormat::readHeader(start, size, &m_header);
    if (problem == EncryptedFormat::Problem::None) {
        if (!m_file.readAll(&m_sealed, &error))
            return failed(error);
        // Once more on the whole file, which may have changed meanwhile.
        problem = EncryptedFormat::readHeader(m_sealed, &m_header);
    }
    switch (problem) {
    case EncryptedFormat::Problem::None:
        break;
    case EncryptedFormat::Problem::NewerVersion:
        return failed(m_file.describe(
            QStringLiteral("opened"),
            QStringLiteral("It was made by a newer version of %1. Open it with that version; "
                           "this one has not changed it.")
                .arg(productName)));
    default:
        return failed(damaged());
    }
    m_encrypted = true;
    m_isNew = false;
    return VaultOutcome();
}

VaultOutcome VaultSession::unlock(EncryptedFormat::VaultKey key, const QString &password,
                                  bool *wrongPassword)
{
    *wrongPassword = false;
    std::vector<VaultEntry> entries;
    switch (EncryptedFormat::open(m_sealed, key, &entries)) {
    case EncryptedFormat::Problem::None:
        break;
    case EncryptedFormat::Problem::WrongPassword:
        *wrongPassword = true;
        return failed(QString());
    case EncryptedFormat::Problem::OutOfMemory:
        return failed(m_file.describe(
            QStringLiteral("read"),
            QStringLiteral("There is not enough memory for a vault of this size.")));
    default:
        return failed(m_file.describe(QStringLiteral("read"), QStringLiteral("It is damaged.")));
    }
    m_sealed = QByteArray();
    m_key = std::move(key);
    m_passwordCheck.set(password);
    if (m_isSealed) {
        m_isSealed = false;
        // After a lock: the list as it was, when it held changes not saved.
        if (!m_unsavedEntries.isNull()) {
            for (VaultEntry &entry : entries)
                wipeEverywhere(entry);
            entries = unpackEntries(m_unsavedEntries);
            m_unsavedEntries.clear();
        }
    }
    return opened(QString(), std::move(entries));
}

bool VaultSession::isMasterPassword(QStringView typed) const
{
    return m_encrypted ? m_passwordCheck.matches(typed) : typed == m_masterPassword;
}

QString VaultSession::readOnlyError() const
{
    return QStringLiteral("The vault file \"%1\" could not be written.\n\nSaving is off for "
                          "this run: %2")
        .arg(QDir::toNativeSeparators(m_file.path()), m_readOnlyReason);
}

VaultOutcome VaultSession::encrypt(EncryptedFormat::VaultKey key)
{
    if (isReadOnly())
        return failed(readOnlyError());
    QString error;
    if (!writeEncrypted(key, &error))
        return failed(error);
    m_passwordCheck.set(m_masterPassword);
    wipe(m_masterPassword);
    m_key = std::move(key);
    m_encrypted = true;
    return VaultOutcome {true, StatusText::encrypted(), QString()};
}

VaultOutcome VaultSession::removeEncryption(const QString &masterPassword)
{
    if (isReadOnly())
        return failed(readOnlyError());
    QString error;
    if (!m_file.save(masterPassword, m_entries.entries(), &error))
        return failed(error);
    m_unsaved = false;
    m_masterPassword = masterPassword;
    m_key.clear();
    m_passwordCheck.clear();
    m_encrypted = false;
    return VaultOutcome {true, StatusText::encryptionRemoved(), QString()};
}

VaultOutcome VaultSession::changeMasterPassword(const QString &newPassword,
                                                EncryptedFormat::VaultKey newKey)
{
    if (isReadOnly())
        return failed(readOnlyError());
    QString error;
    if (m_encrypted) {
        if (!writeEncrypted(newKey, &error))
            return failed(error);
        m_key = std::move(newKey);
        m_passwordCheck.set(newPassword);
    } else {
        if (!m_file.save(newPassword, m_entries.entries(), &error))
            return failed(error);
        m_unsaved = false;
        m_masterPassword = newPassword;
    }
    return VaultOutcome {true, StatusText::masterPasswordChanged(), QString()};
}

// The entries sealed under the key, written the safe way.
bool VaultSession::writeEncrypted(const EncryptedFormat::VaultKey &key, QString *error)
{
    QByteArray sealed = EncryptedFormat::seal(key, m_entries.entries());
    if (sealed.isEmpty()) {
        *error = m_file.describe(QStringLiteral("written"),
                                 QStringLiteral("There is not enough memory to encrypt it. "
                                                "Nothing has been changed."));
        return false;
    }
    if (!m_file.write(sealed, error))
        return false;
    m_unsaved = false;
    return true;
}

bool VaultSession::matchesStoredPassword(QStringView typed) const
{
    if (m_isSealed)
        return m_lockCheck.matches(typed);
    QString stored;
    QString error;
    // A file that cannot be read now matches nothing: the try counts as
    // wrong rather than letting anyone in.
    const bool matches
        = m_file.readMasterPassword(&stored, &error) && !stored.isEmpty() && stored == typed;
    wipe(stored);
    return matches;
}

void VaultSession::lock()
{
    if (m_isSealed)
        return;
    m_isSealed = true;
    if (m_unsaved)
        m_unsavedEntries = packEntries(m_entries.entries());
    if (m_encrypted) {
        // The key goes. The list is sealed with it first, and unlocking
        // derives the key again from the password typed and opens that:
        // whatever becomes of the file meanwhile (moved, deleted, replaced),
        // the right password still brings the list back. The file as it is
        // now serves only where the list could not be sealed.
        m_sealed = EncryptedFormat::seal(m_key, m_entries.entries());
        QString error;
        if (m_sealed.isEmpty())
            m_file.readAll(&m_sealed, &error);
        EncryptedFormat::readHeader(m_sealed, &m_header);
        m_key.clear();
        m_passwordCheck.clear();
        m_entries.clear();
        return;
    }
    m_entries.clear();
    m_lockCheck.set(m_masterPassword);
    wipeEverywhere(m_masterPassword);
}

VaultOutcome VaultSession::reopen(const QString &masterPassword)
{
    if (!m_unsavedEntries.isNull()) {
        std::vector<VaultEntry> kept = unpackEntries(m_unsavedEntries);
        m_unsavedEntries.clear();
        m_lockCheck.clear();
        m_isSealed = false;
        VaultOutcome outcome = opened(masterPassword, std::move(kept));
        outcome.status = QStringLiteral("Unlocked. The last change is still not saved.");
        return outcome;
    }
    VaultOutcome outcome = load(masterPassword);
    if (outcome.ok) {
        m_lockCheck.clear();
        m_isSealed = false;
    }
    return outcome;
}

VaultOutcome VaultSession::create(const QString &masterPassword)
{
    QString error;
    std::vector<VaultEntry> kept;
    if (!m_file.ensureExists(&error)
        || !m_file.writeMasterPasswordKeepingEntries(masterPassword, &kept, &error))
        return failed(error);
    m_masterPassword = masterPassword;
    if (kept.empty())
        return VaultOutcome {true, StatusText::passwordCreated(), QString()};
    return opened(masterPassword, std::move(kept));
}

VaultOutcome VaultSession::load(const QString &masterPassword)
{
    // An encrypted vault opens only through unlock(): read as scrambled
    // lines its bytes would make entries of noise, which a save would keep.
    if (m_encrypted)
        return failed(m_file.describe(QStringLiteral("read"),
                                      QStringLiteral("It is encrypted and must be unlocked.")));
    QString error;
    std::vector<VaultEntry> loaded;
    if (!m_file.ensureExists(&error) || !m_file.readEntries(&loaded, &error))
        return failed(error);
    VaultOutcome outcome = opened(masterPassword, std::move(loaded));
    if (m_file.endsInMidLine()) {
        outcome.notice
            = QStringLiteral("The vault file \"%1\" ends in the middle of a line, which no save "
                             "leaves: it looks cut short, and entries that stood after that point "
                             "are missing.\n\nThe entries it still holds are open. The last one "
                             "may be incomplete: check it before you rely on it.")
                  .arg(QDir::toNativeSeparators(m_file.path()));
    }
    return outcome;
}

VaultOutcome VaultSession::opened(const QString &masterPassword, std::vector<VaultEntry> entries)
{
    m_masterPassword = masterPassword;
    const qsizetype count = qsizetype(entries.size());
    m_entries.appendAll(std::move(entries));
    return VaultOutcome {true, StatusText::loaded(count), QString()};
}

VaultOutcome VaultSession::save(const QDateTime &now)
{
    QString error;
    // Locked, the list is empty and the master password gone: writing now
    // would replace the vault with nothing.
    if (m_isSealed)
        return failed(QStringLiteral("The vault is locked."),
                      QStringLiteral("The entries could not be saved."));
    if (isReadOnly()) {
        m_unsaved = true;
        return failed(readOnlyError(), QStringLiteral("The entries could not be saved."));
    }
    if (m_encrypted)
        m_unsaved = !writeEncrypted(m_key, &error);
    else
        m_unsaved = !m_file.save(m_masterPassword, m_entries.entries(), &error);
    if (m_unsaved)
        return failed(error, QStringLiteral("The entries could not be saved."));
    return VaultOutcome {true, StatusText::saved(now), QString()};
}
