#include "signaleventqueue.h"

#include <vector>

namespace agora_sdk_win {

void SignalEventQueue::post(Task task)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_changed.notify_all();
}

uint64_t SignalEventQueue::postAfter(std::chrono::milliseconds delay, Task task)
{
    uint64_t id = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        id = m_nextTimerId++;
        m_timers.emplace(Clock::now() + delay, std::make_pair(id, std::move(task)));
    }
    m_changed.notify_all();
    return id;
}

void SignalEventQueue::cancel(uint64_t timerId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.first == timerId) {
            m_timers.erase(it);
            return;
        }
    }
}

void SignalEventQueue::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

bool SignalEventQueue::runDue(Clock::time_point deadline)
{
    std::vector<Task> due;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            const Clock::time_point now = Clock::now();
            while (!m_tasks.empty()) {
                due.push_back(std::move(m_tasks.front()));
                m_tasks.pop_front();
            }
            while (!m_timers.empty() && m_timers.begin()->first <= now) {
                due.push_back(std::move(m_timers.begin()->second.second));
                m_timers.erase(m_timers.begin());
            }
            if (!due.empty() || m_woken || now >= deadline)
                break;
            Clock::time_point until = deadline;
            if (!m_timers.empty() && m_timers.begin()->first < until)
                until = m_timers.begin()->first;
            if (until == Clock::time_point::max())
                m_changed.wait(lock); // nothing timed: only a post or wake() ends it
            else
                m_changed.wait_until(lock, until);
        }
        m_woken = false;
    }
    // Tasks run unlocked: they post more work.
    for (Task &task : due)
        task();
    return !due.empty();
}

} // namespace agora_sdk_win
