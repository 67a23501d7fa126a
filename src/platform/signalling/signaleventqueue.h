#ifndef SIGNALEVENTQUEUE_H
#define SIGNALEVENTQUEUE_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace agora_sdk_win {

// The work list of one library object: tasks posted from any thread (the
// caller's operations, the MQTT library's callbacks) and timed tasks, all
// run one after another by whichever thread pumps the queue.
class SignalEventQueue
{
public:
    using Clock = std::chrono::steady_clock;
    using Task = std::function<void()>;

    void post(Task task);
    // Runs task after delay unless cancelled; returns its id (never 0).
    uint64_t postAfter(std::chrono::milliseconds delay, Task task);
    void cancel(uint64_t timerId);

    // Runs every task due now, waiting until deadline for the first one
    // when none is (Clock::time_point::max(): until a task is posted, a
    // timer falls due or wake() is called). Returns false when nothing ran.
    bool runDue(Clock::time_point deadline);
    // Makes a thread waiting in runDue() look again at once.
    void wake();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    std::multimap<Clock::time_point, std::pair<uint64_t, Task>> m_timers;
    uint64_t m_nextTimerId = 1;
    bool m_woken = false;
};

} // namespace agora_sdk_win

#endif // SIGNALEVENTQUEUE_H
