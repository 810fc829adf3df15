#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// What a piece of background work came to: done with its value, failed with
// a reason the user can act on, or cancelled before it was done.
template<typename T> struct TaskResult
{
    enum class Status { Done, Failed, Cancelled };

    Status status = Status::Done;
    T value {};
    // When it failed: why, in words for the user.
    QString error;

    bool isDone() const { return status == Status::Done; }
    bool isFailed() const { return status == Status::Failed; }
    bool isCancelled() const { return status == Status::Cancelled; }

    static TaskResult done(T value) { return TaskResult {Status::Done, std::move(value), {}}; }
    static TaskResult failed(QString error)
    {
        return TaskResult {Status::Failed, {}, std::move(error)};
    }
    static TaskResult cancelled() { return TaskResult {Status::Cancelled, {}, {}}; }
};

// Slow work (a key derivation, reading a large file) on a thread of its own,
// so that the window thread stays responsive, one piece at a time. The result
// comes back on the thread that owns this object, through its event loop.
//
// Cancelling tells the work, which stops where it can; its result then comes
// back cancelled, whatever the work made of it, so that a result that arrives
// after the cancel is never taken for a real one. Destroying the object
// cancels the work, waits for its thread to end and drops the result: no
// callback reaches an owner that is gone.
class BackgroundTask : public QObject
{
    Q_OBJECT

public:
    // What the work is handed: whether to stop, and where to say how far it is.
    class Control
    {
    public:
        bool isCancelled() const;
        // Passed on to the progress callback on the owner's thread. Only the
        // latest value reaches it, and only when it changed: the work may
        // report as often as it likes.
        void report(int progress);

    private:
        friend class BackgroundTask;
        explicit Control(BackgroundTask &task)
            : m_task(task)
        {
        }
        BackgroundTask &m_task;
    };

    // lastAct, when given, runs on the work's thread after everything else
    // (wiping the stack where the work kept secrets).
    explicit BackgroundTask(std::function<void()> lastAct = {}, QObject *parent = nullptr);
    ~BackgroundTask() override;

    // From start() until the result is handed back: a cancelled piece of work
    // runs until it has stopped.
    bool isRunning() const { return m_running; }

    // Runs work on a thread of its own; done gets its result on this object's
    // thread, and progress what the work reports. False, and nothing started,
    // while another piece of work runs.
    template<typename T>
    bool start(std::function<TaskResult<T>(Control &)> work,
               std::function<void(TaskResult<T>)> done, std::function<void(int)> progress = {});

    // The work stops where it can; its result comes back cancelled.
    void cancel();

private:
    bool run(std::function<void(Control &)> work, std::function<void(bool cancelled)> deliver,
             std::function<void(int)> progress);
    // On the owner's thread, once the work is over.
    void workEnded();
    void passProgressOn();

    std::function<void()> m_lastAct;
    std::thread m_thread;
    bool m_running = false;
    std::atomic<bool> m_cancelled {false};
    std::atomic<int> m_progress {0};
    std::atomic<bool> m_progressPending {false};
    std::function<void(bool)> m_deliver;
    std::function<void(int)> m_onProgress;
};

template<typename T>
bool BackgroundTask::start(std::function<TaskResult<T>(Control &)> work,
                           std::function<void(TaskResult<T>)> done,
                           std::function<void(int)> progress)
{
    // Filled on the work's thread, read on this one once the thread is over.
    auto result = std::make_shared<TaskResult<T>>();
    return run([work = std::move(work), result](Control &control) { *result = work(control); },
               [done = std::move(done), result](bool cancelled) {
                   if (cancelled)
                       result->status = TaskResult<T>::Status::Cancelled;
                   done(std::move(*result));
               },
               std::move(progress));
}
