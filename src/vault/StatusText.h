#pragma once

#include <QDateTime>
#include <QString>

// The status line texts of the vault operations.
namespace StatusText {

inline QString passwordCreated()
{
    return QStringLiteral("Password created successfully");
}

inline QString loaded(qsizetype count)
{
    return QStringLiteral("Loaded ") + QString::number(count) + QStringLiteral(" entries");
}

inline QString encrypted()
{
    return QStringLiteral("Vault encrypted.  Data saved.");
}

inline QString encryptionRemoved()
{
    return QStringLiteral("Encryption removed.  Data saved.");
}

inline QString masterPasswordChanged()
{
    return QStringLiteral("Master password changed.  Data saved.");
}

// "Saved " and the local date and time as the system writes them: short
// date, a space, long time.
QString saved(const QDateTime &when);

} // namespace StatusText
