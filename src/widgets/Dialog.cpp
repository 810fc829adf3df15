#include "Dialog.h"

#include <QCloseEvent>

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
