#ifndef RENDERTHREAD_H
#define RENDERTHREAD_H

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A thread of its own that runs the board's slow drawing (PDF pages, the
// cached layer) one task at a time, so the GUI thread never waits for it.
//
// Tasks are posted to lanes; a lower lane runs first, and each lane holds
// at most one waiting task: posting replaces the one waiting there, since
// only the newest wish of a lane counts. A task posted to a lane that is
// running one of another key, or to a lower lane than the one running,
// cancels the running task: its flag turns true and the abort hook runs,
// so a page nobody waits for any more stops early. A key already running is
// not posted again. The destructor cancels, drops what waits and joins; a
// task's result reaches the GUI thread only through a queued call to an
// object that outlives the thread.
class RenderThread
{
public:
    using Task = std::function<void(const std::atomic<bool> &cancelled)>;

    // abortHook, when given, is called (from the posting thread, under the
    // thread's lock) to stop a running task early.
    explicit RenderThread(std::function<void()> abortHook = {});
    ~RenderThread();

    RenderThread(const RenderThread &) = delete;
    RenderThread &operator=(const RenderThread &) = delete;

    void post(int lane, const QString &key, Task task);
    // Drops every waiting task and cancels the running one.
    void clear();
    // Blocks until nothing runs and nothing waits (for tests and tools).
    void waitIdle();

private:
    struct Queued
    {
        int lane;
        QString key;
        Task task;
    };

    void run();
    void cancelRunning();

    std::function<void()> abortHook;
    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Queued> waiting;
    bool running = false;
    int runningLane = 0;
    QString runningKey;
    std::atomic<bool> cancelled{ false };
    bool stopping = false;
    std::thread thread;
};

#endif // RENDERTHREAD_H
