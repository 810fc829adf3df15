#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <utility>

// Holds the single instance of one window. Loading creates the window and
// runs its load step once; opening it again while it is loaded finds the
// same window. Closing the window unloads it: the slot forgets it at once and
// the window is deleted when control returns to the event loop, so the next
// load starts afresh. A window that refuses to close stays loaded.
class FormSlotBase : public QObject
{
public:
    bool isLoaded() const { return !m_window.isNull(); }

    // Unloads the window as its close box would; nothing when not loaded.
    void unload()
    {
        if (QWidget *window = m_window)
            window->close();
    }

    // Deletes the window without running its unload handling (program
    // teardown).
    void destroy()
    {
        if (QWidget *window = m_window) {
            window->removeEventFilter(this);
            m_window = nullptr;
            delete window;
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close && watched == m_window) {
            // The window's own handler decides first: a window that refuses
            // to close stays loaded.
            watched->event(event);
            if (event->isAccepted())
                m_window = nullptr;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

    QPointer<QWidget> m_window;
};

template<typename W> class FormSlot : public FormSlotBase
{
public:
    ~FormSlot() override { destroy(); }

    W *window() const { return static_cast<W *>(m_window.data()); }

    // Loads the window if it is not loaded yet; returns it either way.
    template<typename... Args> W *load(Args &&...args)
    {
        if (!m_window) {
            auto *window = new W(std::forward<Args>(args)...);
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->installEventFilter(this);
            m_window = window;
            window->formLoad();
        }
        return window();
    }
};
