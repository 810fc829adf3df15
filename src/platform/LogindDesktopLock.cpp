#include "LogindDesktopLock.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

} // namespace

LogindDesktopLock::LogindDesktopLock(QObject *parent, const QDBusConnection &bus)
    : DesktopLock(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kManagerPath, kManager, QStringLiteral("PrepareForSleep"), this,
                  SLOT(prepareForSleep(bool)));
    askForSession(qEnvironmentVariableIsEmpty("XDG_SESSION_ID"));
}

void LogindDesktopLock::askForSession(bool byProcess)
{
    QDBusMessage call;
    if (byProcess) {
        call = QDBusMessage::createMethodCall(kService, kManagerPath, kManager,
                                              QStringLiteral("GetSessionByPID"));
        call << quint32(getpid());
    } else {
        call = QDBusMessage::createMethodCall(kService, kManagerPath, kManager,
                                              QStringLiteral("GetSession"));
        call << qEnvironmentVariable("XDG_SESSION_ID");
    }
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, byProcess](QDBusPendingCallWatcher *done) { sessionFound(done, byProcess); });
}

void LogindDesktopLock::sessionFound(QDBusPendingCallWatcher *watcher, bool byProcess)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        // A session id that logind does not know (set by hand, or left from
        // another login): the session this process runs in.
        if (!byProcess)
            askForSession(true);
        return;
    }
    m_sessionPath = reply.value().path();
    m_bus.connect(kService, m_sessionPath, kSession, QStringLiteral("Lock"), this,
                  SLOT(sessionLocked()));
}

void LogindDesktopLock::prepareForSleep(bool start)
{
    // Sent twice: true before sleep, false after waking.
    if (start)
        emit locking(Reason::Sleep);
}

void LogindDesktopLock::sessionLocked()
{
    emit locking(Reason::SessionLocked);
}
