#include "BackgroundTask.h"

#include <QMetaObject>

bool BackgroundTask::Control::isCancelled() const
{
    return m_task.m_cancelled.load();
}

void BackgroundTask::Control::report(int progress)
{
    if (m_task.m_progress.exchange(progress) == progress)
        return;
    // One call on its way at a time; it reads the latest value when it runs.
    if (!m_task.m_progressPending.exchange(true))
        QMetaObject::invokeMethod(&m_task, &BackgroundTask::passProgressOn, Qt::QueuedConnection);
}

BackgroundTask::BackgroundTask(std::function<void()> lastAct, QObject *parent)
    : QObject(parent)
    , m_lastAct(std::move(lastAct))
{
}

BackgroundTask::~BackgroundTask()
{
    // The calls the thread queued go with this object.
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

bool BackgroundTask::run(std::function<void(Control &)> work,
                         std::function<void(bool cancelled)> deliver,
                         std::function<void(int)> progress)
{
    if (m_running)
        return false;
    // The thread of the last piece of work has ended, or is about to.
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_cancelled = false;
    m_progress = 0;
    m_progressPending = false;
    m_deliver = std::move(deliver);
    m_onProgress = std::move(progress);
    m_thread = std::thread([this, work = std::move(work)] {
        Control control(*this);
        work(control);
        // The destructor waits for this thread, so the object is still there
        // when the call is queued.
        QMetaObject::invokeMethod(this, &BackgroundTask::workEnded, Qt::QueuedConnection);
        if (m_lastAct)
            m_lastAct();
    });
    return true;
}

void BackgroundTask::cancel()
{
    if (m_running)
        m_cancelled = true;
}

void BackgroundTask::passProgressOn()
{
    m_progressPending = false;
    if (!m_running || m_cancelled || !m_onProgress)
        return;
    // A copy: what it runs may run events, and the work's end among them.
    const std::function<void(int)> onProgress = m_onProgress;
    onProgress(m_progress.load());
}

void BackgroundTask::workEnded()
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    m_onProgress = nullptr;
    // Taken out first: the callback may start the next piece of work.
    const std::function<void(bool)> deliver = std::exchange(m_deliver, nullptr);
    if (deliver)
        deliver(m_cancelled.load());
}
