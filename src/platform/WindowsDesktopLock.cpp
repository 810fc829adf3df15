#include "WindowsDesktopLock.h"

#include <QCoreApplication>
#include <QWindow>

#include <qt_windows.h>
#include <wtsapi32.h>

WindowsDesktopLock::WindowsDesktopLock(QObject *parent)
    : DesktopLock(parent)
    , m_window(std::make_unique<QWindow>())
{
    // Never shown: a top-level window still receives the power broadcasts,
    // and the session notifications once registered.
    m_window->create();
    const auto window = reinterpret_cast<HWND>(m_window->winId());
    m_registered = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowsDesktopLock::~WindowsDesktopLock()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    if (m_registered)
        WTSUnRegisterSessionNotification(reinterpret_cast<HWND>(m_window->winId()));
}

bool WindowsDesktopLock::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "windows_generic_MSG")
        return false;
    const auto *msg = static_cast<const MSG *>(message);
    // Every top-level window hears the power broadcast: ours answers once.
    if (msg->hwnd != reinterpret_cast<HWND>(m_window->winId()))
        return false;
    if (msg->message == WM_WTSSESSION_CHANGE
        && (msg->wParam == WTS_SESSION_LOCK || msg->wParam == WTS_CONSOLE_DISCONNECT))
        emit locking(Reason::SessionLocked);
    else if (msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMSUSPEND)
        emit locking(Reason::Sleep);
    return false;
}
