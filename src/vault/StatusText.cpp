#include "StatusText.h"

#include <QLocale>
#include <QRegularExpression>

namespace StatusText {

QString saved(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The long time format may carry a time-zone name; the status line shows
    // the clock time alone.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    timeFormat.replace(zone, QString());
    return QStringLiteral("Saved ") + locale.toString(when.date(), QLocale::ShortFormat)
        + QLatin1Char(' ') + locale.toString(when.time(), timeFormat.trimmed());
}

} // namespace StatusText
