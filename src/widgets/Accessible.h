#pragma once

#include <QAccessible>

class QTreeView;
class QWidget;

// How the program's windows present themselves to assistive technology,
// where Qt's own reading of a widget is not what a user sees.
namespace Accessible {

// Announces a top-level window with this role, and lists as its children
// only the controls a user can see in it: hidden ones, ones that lie
// outside the window's area and twins (see markAsTwin) are left out.
void setWindowRole(QWidget *window, QAccessible::Role role);

// Marks a control that repeats, for the eye only, another control under it:
// it is left out of its window's accessible children (see setWindowRole).
void markAsTwin(QWidget *control);

// Gives each column header of the list the press action, which does what a
// click on the header does: the header reports the section clicked. The
// list reads otherwise exactly as Qt reads it.
void givePressableHeaders(QTreeView *list);

// Keeps what is typed into a box that hides its text (a password box) from
// assistive technology: each piece of news of a change to the box's text
// carries as many echo characters as the box shows instead. Runs for the
// whole program, in front of whatever handled that news before; calling it
// again puts it back in front if another handler took its place.
void hideTypedSecrets();

} // namespace Accessible
