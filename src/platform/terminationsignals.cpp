#include "terminationsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] written by the handler, [1] read by the notifier.
int g_pipe[2] = {-1, -1};
struct sigaction g_previousTerm;
struct sigaction g_previousInt;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pair needs nothing more: a request is already waiting.
    const ssize_t written = ::write(g_pipe[0], &byte, 1);
    Q_UNUSED(written)
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (g_pipe[0] >= 0) {
        qWarning("TerminationSignals: already installed");
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        qWarning("TerminationSignals: no socket pair, errno %d", errno);
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_previousTerm);
    ::sigaction(SIGINT, &action, &g_previousInt);
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::slot_readSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool TerminationSignals::isActive() const
{
    return m_notifier != nullptr;
}

void TerminationSignals::slot_readSignal()
{
    unsigned char byte = 0;
    // Several requests arrived at once count as one.
    int last = 0;
    while (::read(g_pipe[1], &byte, 1) == 1)
        last = byte;
    if (last != 0) {
        qInfo("termination requested by signal %d", last);
        emit signal_terminationRequested(last);
    }
}
