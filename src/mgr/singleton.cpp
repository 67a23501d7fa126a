#include "singleton.h"

#include <QThread>

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
