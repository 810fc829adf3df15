#include "ScrambledVault.h"

#include "SecretPack.h"
#include "StatusText.h"
#include "VaultFile.h"
#include "Wipe.h"

#include <QDir>

ScrambledVault::ScrambledVault(VaultFile &file)
    : m_file(file)
{
}

ScrambledVault::ScrambledVault(VaultFile &file, MasterPassword masterPassword)
    : m_file(file)
    , m_masterPassword(std::move(masterPassword))
{
}

std::unique_ptr<ScrambledVault> ScrambledVault::read(VaultFile &file, bool asMadeNew, bool *isNew,
                                                     VaultOutcome *outcome)
{
    QString firstLine;
    QString error;
    if (!file.readMasterPassword(&firstLine, &error)) {
        *outcome = VaultOutcome::failed(error);
        return nullptr;
    }
    *isNew = firstLine.isEmpty();
    wipe(firstLine);
    // One that holds more after an empty first line has lost its master
    // password, and creating one would rewrite it.
    if (*isNew && !asMadeNew) {
        *outcome = VaultOutcome::failed(file.describe(
            QStringLiteral("opened"),
            QStringLiteral("It is damaged: its first line, which holds the master password, is "
                           "empty, yet more follows it. It has not been changed; restore it "
                           "from a backup.")));
        return nullptr;
    }
    return std::unique_ptr<ScrambledVault>(new ScrambledVault(file));
}

VaultOutcome ScrambledVault::create(std::vector<VaultEntry> *entries)
{
    QString error;
    if (!m_file.ensureExists(&error)
        || !m_file.writeMasterPasswordKeepingEntries(m_masterPassword.text(), entries, &error))
        return VaultOutcome::failed(error);
    return VaultOutcome::done(entries->empty() ? StatusText::passwordCreated()
                                               : StatusText::loaded(qsizetype(entries->size())));
}

void ScrambledVault::open(const MasterPassword &typed, Opened opened)
{
    std::vector<VaultEntry> entries;
    if (m_lockCheck.isSet()) {
        if (!m_lockCheck.matches(typed.text())) {
            opened(VaultOutcome::wrongPassword(), {});
            return;
        }
        // The list as it was, with the changes the file does not hold.
        if (!m_unsavedEntries.isNull()) {
            entries = unpackEntries(m_unsavedEntries);
            m_unsavedEntries.clear();
            m_lockCheck.clear();
            m_masterPassword = typed.copy();
            opened(
                VaultOutcome::done(QStringLiteral("Unlocked. The last change is still not saved.")),
                std::move(entries));
            return;
        }
    } else {
        QString stored;
        QString error;
        // A file that cannot be read now matches nothing: the try counts as
        // wrong rather than letting anyone in.
        const bool matches = m_file.readMasterPassword(&stored, &error) && !stored.isEmpty()
            && stored == typed.text();
        wipe(stored);
        if (!matches) {
            opened(VaultOutcome::wrongPassword(), {});
            return;
        }
    }
    VaultOutcome outcome = readEntries(&entries);
    if (outcome.ok()) {
        m_lockCheck.clear();
        m_masterPassword = typed.copy();
    }
    opened(outcome, std::move(entries));
}

VaultOutcome ScrambledVault::readEntries(std::vector<VaultEntry> *entries)
{
    QString error;
    if (!m_file.ensureExists(&error) || !m_file.readEntries(entries, &error))
        return VaultOutcome::failed(error);
    VaultOutcome outcome = VaultOutcome::done(StatusText::loaded(qsizetype(entries->size())));
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

bool ScrambledVault::isMasterPassword(const MasterPassword &typed) const
{
    return !m_masterPassword.isNull() && typed.text() == m_masterPassword.text();
}

bool ScrambledVault::save(std::span<const VaultEntry> entries, QString *error)
{
    return m_file.save(m_masterPassword.text(), entries, error);
}

void ScrambledVault::seal(std::span<const VaultEntry> entries, bool unsaved)
{
    m_lockCheck.set(m_masterPassword.text());
    m_masterPassword = MasterPassword();
    if (unsaved)
        m_unsavedEntries = packEntries(entries);
}
