#ifndef BACKGROUNDQUEUE_H
#define BACKGROUNDQUEUE_H

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <functional>

// Work that must not hold up the GUI thread (decoding pictures, writing
// files), run on threads of its own; a result goes back to a receiver on
// the queue's thread from the event loop, and never to a receiver that is
// gone by then. The workers run at a lower priority than the GUI thread.
// The shared queues are children of the application and wait for the work
// under way when it ends.
class BackgroundQueue : public QObject
{
    Q_OBJECT

public:
    // threads at once; with one, the work runs in the order it was given.
    BackgroundQueue(int threads, QObject *parent);
    ~BackgroundQueue() override;

    // Two threads for pictures: one at the pixel bound takes about 100 MB
    // while it is decoded.
    static BackgroundQueue *pictures();
    // One thread for the bodies of downloads, in the order they came.
    static BackgroundQueue *files();

    void run(std::function<void()> work);

    template<typename Result>
    void run(std::function<Result()> work, QObject *receiver, std::function<void(const Result &)> deliver)
    {
        const QPointer<QObject> alive(receiver);
        m_pool.start([this, work = std::move(work), alive, deliver = std::move(deliver)] {
            yieldToGuiThread();
            const Result result = work();
            QMetaObject::invokeMethod(
                this,
                [alive, deliver, result] {
                    if (alive)
                        deliver(result);
                },
                Qt::QueuedConnection);
        });
    }

    // Calls call on the queue's thread from the event loop once every piece
    // of work given before it has ended (a queue of one thread only).
    void afterWorkSoFar(QObject *receiver, std::function<void()> call);

    // Waits for everything given so far (for tests and shutdown).
    void waitForDone();

private:
    // Lowers the calling worker's scheduling weight (once per thread), so
    // that on a busy machine the GUI thread of the process gets a core first.
    static void yieldToGuiThread();

    QThreadPool m_pool;
};

#endif // BACKGROUNDQUEUE_H
