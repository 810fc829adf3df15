#pragma once

#include <QWidget>

class Program;
class QTimer;

// The link opener: a window that is loaded but never shown. Its load opens
// the requested web address; it then stays loaded for ten seconds, and a
// request made meanwhile opens nothing.
class frmWebsite : public QWidget
{
    Q_OBJECT

public:
    explicit frmWebsite(Program &program);

    // Opens the address the program's link request names, then clears the
    // request.
    void formLoad();

    // Ten seconds after the load: unloads the window.
    void Timer1_Timer();

    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Program &m_program;
};
