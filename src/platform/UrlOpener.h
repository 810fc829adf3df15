#pragma once

#include <QString>

// Opens an address with the desktop's default handler for its kind.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void openUrl(const QString &address) = 0;
};
