#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class Clock;

// Tells when the user has left the program alone: no key, mouse or wheel
// input to any of its windows for a given number of minutes. It watches the
// whole application's events; an input only marks that there was one, and a
// tick every few seconds reads the clock seam and decides, so time spent
// asleep counts (the clock is the wall clock) and tests drive the time
// through a fake clock and checkIdle().
class InactivityTimer : public QObject
{
    Q_OBJECT

public:
    explicit InactivityTimer(const Clock &clock, QObject *parent = nullptr);
    ~InactivityTimer() override;

    // Minutes without input before idle() is emitted; 0 switches it off.
    void setMinutes(int minutes);
    int minutes() const { return m_minutes; }

    // Starts counting from now (the program was unlocked), or stops until
    // the next start (the program locked).
    void start();
    void stop();
    // Counting: started, and a length set.
    bool isRunning() const { return m_armed && m_minutes > 0; }

    // What each tick runs: emits idle() once, and stops, when the time
    // without input is up.
    void checkIdle();

signals:
    void idle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Clock &m_clock;
    QTimer m_tick;
    QDateTime m_lastInput;
    int m_minutes = 0;
    bool m_armed = false;
    bool m_inputSeen = false;
};
