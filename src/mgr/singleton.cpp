#include "singleton.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <vector>

namespace {

class ReleaseRegistry
{
public:
    ~ReleaseRegistry() { releaseAll(); }

    void add(void (*release)())
    {
        QMutexLocker locker(&m_mutex);
        m_releases.push_back(release);
    }

    void releaseAll()
    {
        // One at a time and without the lock held: a destructor may still
        // reach (and so create and register) another singleton.
        for (;;) {
            void (*release)() = nullptr;
            {
                QMutexLocker locker(&m_mutex);
                if (m_releases.empty())
                    return;
                release = m_releases.back();
                m_releases.pop_back();
            }
            release();
        }
    }

private:
    QMutex m_mutex;
    std::vector<void (*)()> m_releases;
};

ReleaseRegistry &registry()
{
    static ReleaseRegistry releases;
    return releases;
}

} // namespace

void callOnce(void (*function)(), QAtomicInt &flag)
{
    // Acquire pairs with the release below, so a caller that sees 2 also
    // sees the object the function stored.
    if (flag.loadAcquire() == 2)
        return;
    if (flag.testAndSetOrdered(0, 1)) {
        function();
        flag.storeRelease(2);
        return;
    }
    while (flag.loadAcquire() != 2)
        QThread::yieldCurrentThread();
}

void registerSingletonRelease(void (*release)())
{
    registry().add(release);
}

void releaseSingletons()
{
    registry().releaseAll();
}
