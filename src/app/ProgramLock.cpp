#include "ProgramLock.h"

#include "vault/VaultSession.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMetaObject>
#include <QThread>
#include <QWidget>

ProgramLock::ProgramLock(VaultSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
    QCoreApplication::instance()->installEventFilter(this);
}

ProgramLock::~ProgramLock()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

QKeySequence ProgramLock::keys()
{
    return QKeySequence(Qt::CTRL | Qt::Key_L);
}

void ProgramLock::opened()
{
    m_state = State::Unlocked;
    m_loopLevel = QThread::currentThread()->loopLevel();
}

void ProgramLock::lock()
{
    if (m_state != State::Unlocked)
        return;
    m_state = State::Locking;
    // At once, nothing of the program stays on the screen or open to use;
    // what the windows hold goes in the second half.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->hide();
    }
    emit stopping();
    finish();
}

void ProgramLock::setCommandRunning(bool running)
{
    m_commandRunning = running;
    // Not from inside the command: it finishes first.
    if (!running && m_state == State::Locking)
        finishOnReturn();
}

void ProgramLock::closeModals()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    while (QWidget *modal = QApplication::activeModalWidget())
        dismiss(modal);
}

void ProgramLock::dismiss(QWidget *window)
{
    if (auto *dialog = qobject_cast<QDialog *>(window))
        dialog->reject();
    else
        window->close();
    window->hide();
}

void ProgramLock::finish()
{
    if (m_state != State::Locking)
        return;
    // A message box, or an open menu, answers as if cancelled; the code
    // that asked goes on with that answer once its loop returns, and only
    // then do the windows and the list go.
    closeModals();
    if (QThread::currentThread()->loopLevel() > m_loopLevel) {
        finishOnReturn();
        return;
    }
    // A command's key being derived: the command finishes first, and says so.
    if (m_commandRunning)
        return;

    for (auto &[window, packed] : m_held)
        packed.clear();
    m_held.clear();
    emit locking();
    m_session.lock();
    m_state = State::Locked;
    emit locked();
}

void ProgramLock::finishOnReturn()
{
    // Qt deletes an object whose deleteLater() was called only once control
    // has returned to the event loop it was called from, not in loops opened
    // on top of it: the wait costs nothing while those run.
    auto *marker = new QObject(this);
    connect(marker, &QObject::destroyed, this, &ProgramLock::finish);
    marker->deleteLater();
}

void ProgramLock::hold(const QString &window, SecureBytes packed)
{
    m_held[window] = std::move(packed);
}

std::optional<SecureBytes> ProgramLock::takeHeld(const QString &window)
{
    const auto found = m_held.find(window);
    if (found == m_held.end())
        return std::nullopt;
    SecureBytes packed = std::move(found->second);
    m_held.erase(found);
    return packed;
}

bool ProgramLock::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // The File menu's Lock has these keys while the main window takes
        // input. While a modal dialog shuts it out (a progress dialog, a
        // message box, the vault password window) the keys reach that
        // dialog instead, and lock from there.
        if (m_state == State::Unlocked && watched->isWidgetType()
            && static_cast<QKeyEvent *>(event)->keyCombination() == keys()[0]) {
            lock();
            return true;
        }
        break;
    case QEvent::Show:
        // Code that was halfway when the lock came may show a window before
        // it returns: it hides again, and a modal one answers as if
        // cancelled, once its own loop runs. The others stay loaded, to pack
        // themselves with the rest.
        if (m_state == State::Locking && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            auto *window = static_cast<QWidget *>(watched);
            QMetaObject::invokeMethod(
                window,
                [window] {
                    if (window->isModal())
                        dismiss(window);
                    else
                        window->hide();
                },
                Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
