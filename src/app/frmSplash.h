// frmSplash: the start-up picture, no caption.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class Skin;
struct WindowContext;

// frmSplash, the start-up window (no caption): a borderless picture that
// holds the program's skin. It shows itself when it loads; when its timer has
// run it says so and hides, staying loaded until shutdown.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    // The timer's interval, and the count at which the splash has run its
    // course (the 75th tick).
    static constexpr int kTickMs = 2;
    static constexpr qint16 kLastTick = 150;

    explicit frmSplash(WindowContext &context);

    // Fills the branding values, takes this window's skin as the program's,
    // starts the timer and shows the window.
    void formLoad();
    void Timer2_Timer();

    qint16 ticks() const { return intTemp; }

signals:
    // The timer has run its course: the main window may load.
    void finished();

private:
    WindowContext &m_context;
    QLabel *Image1 = nullptr;
    QTimer *Timer2 = nullptr;
    Skin *skn = nullptr;
    qint16 intTemp = 0;
};
