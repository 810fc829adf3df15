#pragma once

#include "DesktopLock.h"

#include <QDBusConnection>
#include <QString>

class QDBusPendingCallWatcher;

// logind on the system bus: the Manager's PrepareForSleep(true), and the Lock
// signal of this program's own session (found by $XDG_SESSION_ID, or by our
// process id where that is not set). Lock requests for other sessions and
// screensavers are not listened to. Every call is asynchronous: a slow or
// missing bus never holds up the program. DBUS_SYSTEM_BUS_ADDRESS, when set,
// names the system bus.
class LogindDesktopLock : public DesktopLock
{
    Q_OBJECT

public:
    explicit LogindDesktopLock(QObject *parent = nullptr,
                               const QDBusConnection &bus = QDBusConnection::systemBus());

    // The object path of our session once logind named it; empty until then,
    // and when there is no logind.
    const QString &sessionPath() const { return m_sessionPath; }

private slots:
    void prepareForSleep(bool start);
    void sessionLocked();

private:
    void askForSession(bool byProcess);
    void sessionFound(QDBusPendingCallWatcher *watcher, bool byProcess);

    QDBusConnection m_bus;
    QString m_sessionPath;
};
