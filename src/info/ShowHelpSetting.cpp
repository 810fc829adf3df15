#include "ShowHelpSetting.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace ShowHelpSetting {

bool opensAtStartup(const QString &value)
{
    return value == u"1";
}

namespace {

std::optional<qint16> fromRadix(QStringView digits, int base)
{
    if (digits.isEmpty() || digits.size() > 16)
        return std::nullopt;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, base);
    // Up to 16 bits the literal is a 16-bit pattern, so "&HFFFF" is -1.
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return qint16(quint16(value));
}

} // namespace

std::optional<qint16> toInt16(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u'&')) {
        const QStringView rest = QStringView(trimmed).mid(1);
        if (rest.startsWith(u'H', Qt::CaseInsensitive))
            return fromRadix(rest.mid(1), 16);
        if (rest.startsWith(u'O', Qt::CaseInsensitive))
            return fromRadix(rest.mid(1), 8);
        return fromRadix(rest, 8);
    }

    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eEdD][+-]?[0-9]+)?$"));
    if (!number.match(trimmed).hasMatch())
        return std::nullopt;
    QString plain = trimmed;
    plain.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;

    // Halves go to the even neighbour (0.5 gives 0, 1.5 and 2.5 give 2): the
    // rounding mode is never changed from its default, to nearest even.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return qint16(rounded);
}

std::optional<int> checkBoxValue(const QString &stored)
{
    const std::optional<qint16> value = toInt16(stored);
    if (!value || *value < 0 || *value > 2)
        return std::nullopt;
    return int(*value);
}

QString storedText(int checkBoxValue)
{
    return QString::number(checkBoxValue);
}

} // namespace ShowHelpSetting
