#ifndef WATCHDOGTIMER_H
#define WATCHDOGTIMER_H

#include <cstdint>

// A one-shot deadline that one thread arms and disarms and another waits
// on: the waiting thread sleeps until the deadline passes while armed, or
// until stop(). Nothing wakes it otherwise, however often the deadline is
// moved (a timerfd and an eventfd under it).
class WatchdogTimer
{
public:
    enum WaitResult {
        Expired,
        Stopped,
        Failed,
    };

    WatchdogTimer();
    ~WatchdogTimer();

    WatchdogTimer(const WatchdogTimer &) = delete;
    WatchdogTimer &operator=(const WatchdogTimer &) = delete;

    // False when the system could not make the timer.
    bool isValid() const;

    // Sets the deadline timeoutMs from now (replacing any earlier one).
    // Returns true when the deadline it replaces had already passed.
    bool arm(int timeoutMs);
    // Clears the deadline; true when it had already passed.
    bool disarm();

    // Blocks until an armed deadline passes (Expired, once per arming) or
    // stop() is called (Stopped, until reset()).
    WaitResult wait();
    void stop();
    void reset();

private:
    bool setDeadline(int timeoutMs);

    int m_timerFd = -1;
    int m_stopFd = -1;
    bool m_armed = false; // owned by the arming thread
};

#endif // WATCHDOGTIMER_H
