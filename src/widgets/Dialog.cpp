#include "Dialog.h"

#include <QCloseEvent>
#include <QLineEdit>

Dialog::Dialog(Qt::WindowFlags flags)
    : QDialog(nullptr, flags)
{
}

void Dialog::done(int result)
{
    setResult(result);
    close();
}

void Dialog::bringForward()
{
    show();
    raise();
    activateWindow();
}

void Dialog::showWithoutFocus(QWidget *focused)
{
    const bool was = testAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
    setAttribute(Qt::WA_ShowWithoutActivating, was);
    // Not every platform honours the attribute (nor every window manager):
    // the focused window asks for the focus again.
    if (focused && focused != this)
        focused->activateWindow();
}

void Dialog::closeEvent(QCloseEvent *event)
{
    event->accept();
}

bool Dialog::focusNextPrevChild(bool next)
{
    if (!QDialog::focusNextPrevChild(next))
        return false;
    // Qt's box selects its text when the focus event reaches it, which
    // happens only in the active window; elsewhere the focus moves without
    // one, and the box would take the next keys after its text. Keys do
    // reach a window that is not active: the bridge to a screen reader
    // holds each key until the reader has seen it and then hands it to the
    // window it came to, which may meanwhile be shown anew (a window put on
    // top or taken off is) and wait for its activation.
    if (auto *box = qobject_cast<QLineEdit *>(focusWidget()))
        box->selectAll();
    return true;
}
