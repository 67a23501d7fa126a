#include "utility/backgroundqueue.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

BackgroundQueue *shared(QPointer<BackgroundQueue> &queue, int threads)
{
    if (!queue)
        queue = new BackgroundQueue(threads, QCoreApplication::instance());
    return queue;
}

} // namespace

BackgroundQueue::BackgroundQueue(int threads, QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(threads);
}

BackgroundQueue::~BackgroundQueue()
{
    m_pool.waitForDone();
}

BackgroundQueue *BackgroundQueue::pictures()
{
    static QPointer<BackgroundQueue> queue;
    return shared(queue, 2);
}

BackgroundQueue *BackgroundQueue::files()
{
    static QPointer<BackgroundQueue> queue;
    return shared(queue, 1);
}

void BackgroundQueue::run(std::function<void()> work)
{
    m_pool.start([work = std::move(work)] {
        yieldToGuiThread();
        work();
    });
}

void BackgroundQueue::yieldToGuiThread()
{
    // A nice value of its own for this thread (Linux keeps it per thread):
    // a tenth of the GUI thread's share when both want a core.
    static thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
    if (setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10) != 0)
        qWarning("BackgroundQueue: worker priority not lowered");
}

void BackgroundQueue::afterWorkSoFar(QObject *receiver, std::function<void()> call)
{
    run<bool>([] { return true; }, receiver, [call](const bool &) { call(); });
}

void BackgroundQueue::waitForDone()
{
    m_pool.waitForDone();
}
