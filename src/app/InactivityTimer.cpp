#include "InactivityTimer.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QEvent>

#include <utility>

namespace {

// How often the time without input is looked at; a lock comes at most this
// much later than the minutes say.
constexpr int kTickMilliseconds = 5000;

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

} // namespace

InactivityTimer::InactivityTimer(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
    m_tick.setInterval(kTickMilliseconds);
    connect(&m_tick, &QTimer::timeout, this, &InactivityTimer::checkIdle);
    QCoreApplication::instance()->installEventFilter(this);
}

InactivityTimer::~InactivityTimer()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

void InactivityTimer::setMinutes(int minutes)
{
    m_minutes = qMax(0, minutes);
    // A new length counts from now.
    if (m_armed)
        start();
}

void InactivityTimer::start()
{
    m_armed = true;
    m_lastInput = m_clock.now();
    m_inputSeen = false;
    if (m_minutes > 0)
        m_tick.start();
    else
        m_tick.stop();
}

void InactivityTimer::stop()
{
    m_armed = false;
    m_tick.stop();
}

void InactivityTimer::checkIdle()
{
    if (!isRunning())
        return;
    const QDateTime now = m_clock.now();
    // An input since the last look, or a clock set back: counting starts
    // again.
    if (std::exchange(m_inputSeen, false) || now < m_lastInput) {
        m_lastInput = now;
        return;
    }
    if (m_lastInput.msecsTo(now) < qint64(m_minutes) * 60 * 1000)
        return;
    stop();
    emit idle();
}

bool InactivityTimer::eventFilter(QObject *watched, QEvent *event)
{
    if (isInput(event->type()))
        m_inputSeen = true;
    return QObject::eventFilter(watched, event);
}
