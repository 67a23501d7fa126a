#include "autoresetevent.h"

#include <chrono>

void AutoResetEvent::set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = true;
    }
    m_wake.notify_one();
}

AutoResetEvent::WaitResult AutoResetEvent::wait(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (timeoutMs < 0) {
        m_wake.wait(lock, [this] { return m_signalled; });
    } else if (!m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_signalled; })) {
        return TimedOut;
    }
    m_signalled = false;
    return Signalled;
}
