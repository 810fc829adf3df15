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

// "Saved " and the local date and time as the system writes them: short
// date, a space, long time.
QString saved(const QDateTime &when);

} // namespace StatusText
