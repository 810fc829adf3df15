#pragma once

#include <QFont>
#include <QString>

class QRect;
class QToolButton;
class QWidget;

// What the windows' controls share.
namespace Controls {

// The windows' typeface, Verdana, at a size in points (8.25 by default).
QFont verdana(double points = 8.25, bool bold = false);

// Puts a window in the middle of its screen's work area.
void centreOnScreen(QWidget *window);

// A command button with a 32 x 32 picture above its caption, reachable by Tab
// and named for screen readers by its caption. The icon is a name under
// ":/icons/".
QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption,
                           const QString &icon, const QRect &geometry);

} // namespace Controls
