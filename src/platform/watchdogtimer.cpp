#include "watchdogtimer.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

WatchdogTimer::WatchdogTimer()
{
    m_timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

WatchdogTimer::~WatchdogTimer()
{
    if (m_timerFd >= 0)
        close(m_timerFd);
    if (m_stopFd >= 0)
        close(m_stopFd);
}

bool WatchdogTimer::isValid() const
{
    return m_timerFd >= 0 && m_stopFd >= 0;
}

bool WatchdogTimer::setDeadline(int timeoutMs)
{
    if (!isValid())
        return false;
    itimerspec value {};
    if (timeoutMs > 0) {
        value.it_value.tv_sec = timeoutMs / 1000;
        value.it_value.tv_nsec = long(timeoutMs % 1000) * 1000000L;
    }
    itimerspec old {};
    timerfd_settime(m_timerFd, 0, &value, &old);
    // An armed one-shot deadline that reads as cleared has passed.
    const bool passed = m_armed && old.it_value.tv_sec == 0 && old.it_value.tv_nsec == 0;
    m_armed = timeoutMs > 0;
    return passed;
}

bool WatchdogTimer::arm(int timeoutMs)
{
    return setDeadline(timeoutMs > 0 ? timeoutMs : 1);
}

bool WatchdogTimer::disarm()
{
    return setDeadline(0);
}

WatchdogTimer::WaitResult WatchdogTimer::wait()
{
    if (!isValid())
        return Failed;
    for (;;) {
        pollfd fds[2] = { { m_stopFd, POLLIN, 0 }, { m_timerFd, POLLIN, 0 } };
        const int ready = poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return Failed;
        }
        if (fds[0].revents & POLLIN)
            return Stopped;
        if (fds[1].revents & POLLIN) {
            uint64_t expirations = 0;
            // Another arm() may have cleared it meanwhile: then no expiry.
            if (read(m_timerFd, &expirations, sizeof expirations) == sizeof expirations && expirations > 0)
                return Expired;
        }
    }
}

void WatchdogTimer::stop()
{
    if (m_stopFd < 0)
        return;
    const uint64_t one = 1;
    ssize_t written = write(m_stopFd, &one, sizeof one);
    (void)written;
}

void WatchdogTimer::reset()
{
    if (m_stopFd < 0)
        return;
    uint64_t value = 0;
    ssize_t got = read(m_stopFd, &value, sizeof value);
    (void)got;
}
