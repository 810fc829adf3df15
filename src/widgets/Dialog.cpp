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

void Dialog::closeEvent(QCloseEvent *event)
{
    event->accept();
}
