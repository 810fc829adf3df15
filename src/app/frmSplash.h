#pragma once

#include <QWidget>

class Program;
class QLabel;
class QTimer;
class Skin;

// The start-up window: a borderless picture that holds the program's skin.
// Its timer loads the main window, after which it stays loaded, hidden,
// until shutdown.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    // The timer's interval, and the count at which the main window loads
    // (the 75th tick).
    static constexpr int kTickMs = 2;
    static constexpr qint16 kLastTick = 150;

    explicit frmSplash(Program &program);

    void formLoad();
    void Timer2_Timer();

    QLabel *Image1 = nullptr;
    QTimer *Timer2 = nullptr;
    Skin *skn = nullptr;
    qint16 intTemp = 0;

private:
    Program &m_program;
};
