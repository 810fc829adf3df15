#include "LinkRules.h"

namespace LinkRules {

QString websiteKey()
{
    return QStringLiteral("Website");
}

std::optional<QString> addressFor(const QString &key, const QString &comments)
{
    if (key == websiteKey())
        return comments;
    return std::nullopt;
}

QString normalisedAddress(const QString &address)
{
    // The whole text is searched, not only its start: an address whose
    // query holds another address is left as it is.
    if (address.contains(u"https://", Qt::CaseInsensitive)
        || address.contains(u"http://", Qt::CaseInsensitive))
        return address;
    return QStringLiteral("http://") + address;
}

} // namespace LinkRules
