#include "Topmost.h"

#include <QApplication>
#include <QWidget>

void SetTopmost(QWidget *window, bool topmost)
{
    if (!window)
        return;
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != topmost) {
        // Changing a window flag gives the window a new native window and
        // hides it; put it back where it was, as large as it was, and show it
        // again if it was showing.
        const bool wasVisible = window->isVisible();
        const QRect geometry = window->geometry();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        window->setGeometry(geometry);
        if (wasVisible)
            window->show();
    }
    window->raise();
    window->activateWindow();
}

bool topmostWindowShowing(const QWidget *except)
{
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window != except && window->isVisible()
            && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return true;
    }
    return false;
}

void keepAboveTopmostWindows(QWidget *window)
{
    if (window && topmostWindowShowing(window))
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
