#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests to end that the system sends the process (SIGTERM at
// shutdown, SIGHUP when the terminal or the session goes away) into a signal
// on the event loop, where the program can end in good order. Without it
// such a request ends the process on the spot. Only one may exist at a
// time. Where the system has no such signals (Windows) it never emits.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    // The system asked the process to end (the signal's number).
    void endRequested(int signal);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
