#include "VaultSession.h"

#include "StatusText.h"
#include "VaultFile.h"

#include <QFileInfo>

VaultSession::VaultSession(QString programFolder)
    : m_file(VaultFile::pathIn(programFolder))
    , m_lock(m_file.path())
{
}

VaultOutcome VaultSession::failed(const QString &error, const QString &status)
{
    return VaultOutcome {false, status, error};
}

VaultOutcome VaultSession::check(const QString &productName)
{
    switch (m_lock.lock()) {
    case VaultLock::Status::Locked:
        m_file.removeLeftoverSaves(m_lock.takenOverFrom());
        break;
    case VaultLock::Status::Failed:
        // In a folder that cannot be written to, no copy can change the
        // vault, so there is nothing to keep the copies apart for: the
        // entries can still be read.
        if (!QFileInfo(QFileInfo(m_file.path()).absolutePath()).isWritable())
            break;
        [[fallthrough]];
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
    return VaultOutcome();
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
    return opened(masterPassword, std::move(loaded));
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
    m_unsaved = !m_file.save(m_masterPassword, m_entries.entries(), &error);
    if (m_unsaved)
        return failed(error, QStringLiteral("The entries could not be saved."));
    return VaultOutcome {true, StatusText::saved(now), QString()};
}
