#include "VaultSession.h"

#include "StatusText.h"
#include "VaultFile.h"

VaultSession::VaultSession(QString programFolder)
    : m_path(VaultFile::pathIn(programFolder))
{
}

VaultOutcome VaultSession::failed(const QString &error, const QString &status)
{
    return VaultOutcome {false, status, error};
}

VaultOutcome VaultSession::check()
{
    VaultFile vault(m_path);
    QString error;
    QString firstLine;
    if (!vault.ensureExists(&error) || !vault.readMasterPassword(&firstLine, &error))
        return failed(error);
    m_isNew = firstLine.isEmpty();
    if (!m_isNew)
        m_storedPassword = firstLine;
    return VaultOutcome();
}

VaultOutcome VaultSession::create(const QString &masterPassword)
{
    VaultFile vault(m_path);
    QString error;
    if (!vault.ensureExists(&error) || !vault.writeMasterPassword(masterPassword, &error))
        return failed(error);
    m_masterPassword = masterPassword;
    return VaultOutcome {true, StatusText::passwordCreated(), QString()};
}

VaultOutcome VaultSession::load(const QString &masterPassword)
{
    VaultFile vault(m_path);
    QString error;
    std::vector<VaultEntry> loaded;
    if (!vault.ensureExists(&error) || !vault.readEntries(&loaded, &error))
        return failed(error);
    m_masterPassword = masterPassword;
    const qsizetype count = qsizetype(loaded.size());
    m_entries.appendAll(std::move(loaded));
    return VaultOutcome {true, StatusText::loaded(count), QString()};
}

VaultOutcome VaultSession::save(const QDateTime &now)
{
    VaultFile vault(m_path);
    QString error;
    m_unsaved
        = !vault.ensureExists(&error) || !vault.save(m_masterPassword, m_entries.entries(), &error);
    if (m_unsaved)
        return failed(error, QStringLiteral("The entries could not be saved."));
    return VaultOutcome {true, StatusText::saved(now), QString()};
}
