#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A named pipe made for a test, and watched: whatever opens it for reading
// is let through at once (the watch opens it for writing and closes it
// again, so the reader meets the end of the file), and the test learns that
// it was opened. Code that wrongly opens the pipe then fails its test rather
// than waiting for a writer for good.
class WatchedFifo
{
public:
    explicit WatchedFifo(const QString &path)
        : m_name(QFile::encodeName(path))
        , m_made(::mkfifo(m_name.constData(), 0600) == 0)
        , m_watch([this] {
            while (!m_stop) {
                // Opening the writing end without waiting succeeds only
                // while a reader has the pipe open.
                const int handle = ::open(m_name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (handle >= 0) {
                    m_opened = true;
                    ::close(handle);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        })
    {
    }
    ~WatchedFifo()
    {
        m_stop = true;
        m_watch.join();
    }
    WatchedFifo(const WatchedFifo &) = delete;
    WatchedFifo &operator=(const WatchedFifo &) = delete;

    bool made() const { return m_made; }
    bool wasOpened() const { return m_opened; }
    // Whether the name still stands for the pipe: nothing was put in its
    // place.
    bool isStillThere() const
    {
        struct stat status
        {
        };
        return ::lstat(m_name.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
    }

private:
    const QByteArray m_name;
    const bool m_made;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_opened {false};
    std::thread m_watch;
};
