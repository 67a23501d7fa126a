#include "utility/backgroundqueue.h"

#include <QCoreApplication>

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
    m_pool.start(std::move(work));
}

void BackgroundQueue::afterWorkSoFar(QObject *receiver, std::function<void()> call)
{
    run<bool>([] { return true; }, receiver, [call](const bool &) { call(); });
}

void BackgroundQueue::waitForDone()
{
    m_pool.waitForDone();
}
