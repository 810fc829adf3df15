#pragma once

#include <QObject>

// Tells when the desktop session is locked or the computer is about to sleep,
// the moments when whoever sits at the computer may no longer be its owner.
// A screensaver that merely starts is not one of them. The base class never
// says anything: it stands for a platform without such news.
class DesktopLock : public QObject
{
    Q_OBJECT

public:
    enum class Reason { SessionLocked, Sleep };
    Q_ENUM(Reason)

    using QObject::QObject;

signals:
    void locking(DesktopLock::Reason reason);
};
