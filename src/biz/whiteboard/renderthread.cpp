#include "biz/whiteboard/renderthread.h"

#include <algorithm>

RenderThread::RenderThread(std::function<void()> abortHook)
    : abortHook(std::move(abortHook))
    , thread([this] { run(); })
{
}

RenderThread::~RenderThread()
{
    {
        std::lock_guard<std::mutex> hold(lock);
        stopping = true;
        waiting.clear();
        cancelRunning();
    }
    wake.notify_all();
    thread.join();
}

void RenderThread::cancelRunning()
{
    if (!running)
        return;
    cancelled = true;
    if (abortHook)
        abortHook();
}

void RenderThread::post(int lane, const QString &key, Task task)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                     [&](const Queued &queued) { return queued.lane == lane || queued.key == key; }),
                      waiting.end());
        if (running && runningKey == key && !cancelled) {
            // Already on its way; it now counts as wanted by this lane.
            runningLane = std::min(runningLane, lane);
            return;
        }
        if (running && lane <= runningLane)
            cancelRunning();
        const auto place = std::find_if(waiting.begin(), waiting.end(),
                                        [lane](const Queued &queued) { return queued.lane > lane; });
        waiting.insert(place, Queued { lane, key, std::move(task) });
    }
    wake.notify_one();
}

void RenderThread::clear()
{
    std::lock_guard<std::mutex> hold(lock);
    waiting.clear();
    cancelRunning();
}

void RenderThread::waitIdle()
{
    std::unique_lock<std::mutex> hold(lock);
    idle.wait(hold, [this] { return !running && waiting.empty(); });
}

void RenderThread::run()
{
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        wake.wait(hold, [this] { return stopping || !waiting.empty(); });
        if (stopping)
            break;
        Queued next = std::move(waiting.front());
        waiting.pop_front();
        running = true;
        runningLane = next.lane;
        runningKey = next.key;
        cancelled = false;
        hold.unlock();
        next.task(cancelled);
        next.task = nullptr; // what it holds goes on this thread, outside the lock
        hold.lock();
        running = false;
        runningKey.clear();
        if (waiting.empty())
            idle.notify_all();
    }
    running = false;
    idle.notify_all();
}
