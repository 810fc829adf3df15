#pragma once

#include <QString>

#include <optional>

// Which web address a link request opens, and how it is handed to the
// desktop.
namespace LinkRules {

// The key of the publisher's web address, the only link there is.
QString websiteKey();

// The address a link key names: the publisher's address (the comments field
// of the version information) for the website key, compared exactly;
// nothing for any other key, the empty one included.
std::optional<QString> addressFor(const QString &key, const QString &comments);

// "http://" in front of the address unless "https://" or "http://" occurs
// anywhere in it, in any letter case. An empty address becomes "http://".
QString normalisedAddress(const QString &address);

} // namespace LinkRules
