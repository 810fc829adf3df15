#pragma once

#include <QString>

// Opens an entry's location: a web address in the browser, a folder or file
// in the desktop's file manager. The text is handed over as one argument and
// never passes through a shell.
class LocationStarter
{
public:
    virtual ~LocationStarter() = default;
    virtual void startLocation(const QString &location) = 0;
};
