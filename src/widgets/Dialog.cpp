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

void Dialog::closeEvent(QCloseEvent *event)
{
    event->accept();
}
