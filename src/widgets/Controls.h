#pragma once

#include <QFont>
#include <QString>

class QLineEdit;
class QRect;
class QToolButton;
class QTreeView;
class QWidget;

// What the windows' controls share.
namespace Controls {

// The windows' typeface, Verdana, at a size in points (8.25 by default).
QFont verdana(double points = 8.25, bool bold = false);

// Puts a window in the middle of its screen's work area.
void centreOnScreen(QWidget *window);

// A caption as a screen reader speaks it: without the "&" that marks its
// underlined letter ("&&" stands for one "&").
QString withoutMnemonic(const QString &caption);

// Keeps Alt and a letter that no control answers from typing the letter
// into the box, as Alt+letter is meant for a window's underlined letters.
// AltGr (Ctrl+Alt on Windows) still types.
void refuseAltTyping(QLineEdit *box);

// A command button with a 32 x 32 picture above its caption, reachable by Tab
// and named for screen readers by its caption (without its "&"). The icon is
// a name under ":/icons/".
QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption,
                           const QString &icon, const QRect &geometry);

// A list of rows with column headers, one row selected at a time, read
// only. Its last column takes up every change of the list's width, so the
// columns always fill the list and no horizontal scroll bar is needed. A
// screen reader can press its column headers as a mouse clicks them.
QTreeView *reportList(QWidget *parent, const QString &name, const QString &accessibleName);

} // namespace Controls
