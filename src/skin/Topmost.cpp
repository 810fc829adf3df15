#include "Topmost.h"

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
