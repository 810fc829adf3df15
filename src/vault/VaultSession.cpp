#include "VaultSession.h"

#include "StatusText.h"
#include "VaultFile.h"

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
    QString firstLine;
    if (!m_file.ensureExists(&error) || !m_file.readMasterPassword(&firstLine, &error))
        return failed(error);
    m_isNew = firstLine.isEmpty();
    if (!m_isNew)
        m_storedPassword = firstLine;
    VaultOutcome outcome;
    outcome.notice = notice;
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
    if (isReadOnly()) {
        m_unsaved = true;
        return failed(QStringLiteral("The vault file \"%1\" could not be written.\n\nSaving is "
                                     "off for this run: %2")
                          .arg(QDir::toNativeSeparators(m_file.path()), m_readOnlyReason),
                      QStringLiteral("The entries could not be saved."));
    }
    m_unsaved = !m_file.save(m_masterPassword, m_entries.entries(), &error);
    if (m_unsaved)
        return failed(error, QStringLiteral("The entries could not be saved."));
    return VaultOutcome {true, StatusText::saved(now), QString()};
}
