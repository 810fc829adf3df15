#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <iterator>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
// The handler may do nothing but write to this socket; the event loop reads
// the other end.
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(kSignals)];

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &number, 1);
    errno = saved;
}
#endif

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
#ifndef Q_OS_WIN
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    for (int end : g_pipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
#endif
}

TerminationSignals::~TerminationSignals()
{
#ifndef Q_OS_WIN
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    for (int &end : g_pipe) {
        ::close(end);
        end = -1;
    }
#endif
}

void TerminationSignals::readSignal()
{
#ifndef Q_OS_WIN
    unsigned char number = 0;
    while (::read(g_pipe[1], &number, 1) == 1)
        emit endRequested(number);
#endif
}
