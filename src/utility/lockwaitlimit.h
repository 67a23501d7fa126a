#ifndef LOCKWAITLIMIT_H
#define LOCKWAITLIMIT_H

class QMutex;

// How long the current thread may wait for a log's mutex. The freeze
// watchdog writes its dump and records while the GUI thread is stuck, maybe
// holding one of those mutexes: it sets a limit and skips what it cannot
// have, instead of hanging with the GUI thread. Other threads wait as long
// as it takes.
class LockWaitLimit
{
public:
    // -1: no limit.
    static void setForCurrentThread(int milliseconds);
    static int forCurrentThread();

    // Locks mutex within the current thread's limit; false when it could not.
    static bool lock(QMutex &mutex);
};

#endif // LOCKWAITLIMIT_H
