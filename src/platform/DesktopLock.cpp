#include "DesktopLock.h"

#ifdef Q_OS_WIN
#include "WindowsDesktopLock.h"
#elif defined(Q_OS_LINUX)
#include "LogindDesktopLock.h"
#endif

DesktopLock *createDesktopLock(QObject *parent)
{
#ifdef Q_OS_WIN
    return new WindowsDesktopLock(parent);
#elif defined(Q_OS_LINUX)
    return new LogindDesktopLock(parent);
#else
    return new DesktopLock(parent);
#endif
}
