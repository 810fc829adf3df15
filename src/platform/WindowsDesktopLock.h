#pragma once

#include "DesktopLock.h"

#include <QAbstractNativeEventFilter>

#include <memory>

class QWindow;

// Windows: the session's lock (WTS_SESSION_LOCK, and WTS_CONSOLE_DISCONNECT
// when another user takes the console) and the computer's suspend
// (PBT_APMSUSPEND), read from the messages of a hidden window of our own
// that is registered for them.
class WindowsDesktopLock : public DesktopLock, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit WindowsDesktopLock(QObject *parent = nullptr);
    ~WindowsDesktopLock() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    std::unique_ptr<QWindow> m_window;
    bool m_registered = false;
};
