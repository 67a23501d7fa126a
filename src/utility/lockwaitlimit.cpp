#include "lockwaitlimit.h"

#include <QMutex>

namespace {

thread_local int t_limitMs = -1;

} // namespace

void LockWaitLimit::setForCurrentThread(int milliseconds)
{
    t_limitMs = milliseconds < 0 ? -1 : milliseconds;
}

int LockWaitLimit::forCurrentThread()
{
    return t_limitMs;
}

bool LockWaitLimit::lock(QMutex &mutex)
{
    if (t_limitMs < 0) {
        mutex.lock();
        return true;
    }
    return mutex.tryLock(t_limitMs);
}
