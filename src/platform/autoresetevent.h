#ifndef AUTORESETEVENT_H
#define AUTORESETEVENT_H

#include <condition_variable>
#include <mutex>

// An event that one thread sets and another waits for: a set wakes one
// wait (or the next one, when nobody waits yet) and is used up by it.
class AutoResetEvent
{
public:
    enum WaitResult {
        Signalled,
        TimedOut,
    };

    static constexpr int kInfinite = -1;

    void set();
    // Waits up to timeoutMs (kInfinite: without limit) for a set.
    WaitResult wait(int timeoutMs);

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_signalled = false;
};

#endif // AUTORESETEVENT_H
