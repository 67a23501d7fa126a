// ThreadSanitizer sees only the synchronisation of code built with it. The
// toolkit is not: its mutexes, semaphores and read-write locks wait on the
// kernel directly, so ThreadSanitizer would take every piece of data they
// guard for a race. This library, linked first into every program of a
// ThreadSanitizer build, stands in for their out-of-line functions: each
// calls the toolkit's own and tells ThreadSanitizer what it means (an
// acquire after taking, a release before giving back). The toolkit's calls
// inside its own core library do not come here and stay unseen.

#include <sanitizer/tsan_interface.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The toolkit's definition that this library hides.
void *next(const char *symbol)
{
    void *function = dlvsym(RTLD_NEXT, symbol, "Qt_5");
    if (!function) {
        std::fprintf(stderr, "qtsync: %s not found\n", symbol);
        std::abort();
    }
    return function;
}

template<typename Function>
Function real(const char *symbol)
{
    return reinterpret_cast<Function>(next(symbol));
}

using Void = void (*)(void *);
using VoidInt = void (*)(void *, int);
using Bool = bool (*)(void *);
using BoolInt = bool (*)(void *, int);
using BoolIntInt = bool (*)(void *, int, int);
using BoolWait = bool (*)(void *, void *, unsigned long);
// QDeadlineTimer is passed in registers as two 64-bit words and a type.
struct Deadline
{
    long long t1;
    unsigned t2;
    int type;
};
using BoolWaitDeadline = bool (*)(void *, void *, Deadline);

} // namespace

#define LESSONRY_REAL(type, symbol)                                                                                    \
    static const type function = real<type>(#symbol);                                                                  \
    (void)0

extern "C" {

// QMutex
__attribute__((visibility("default"))) void _ZN6QMutex4lockEv(void *mutex)
{
    LESSONRY_REAL(Void, _ZN6QMutex4lockEv);
    function(mutex);
    __tsan_acquire(mutex);
}

__attribute__((visibility("default"))) bool _ZN6QMutex7tryLockEi(void *mutex, int timeout)
{
    LESSONRY_REAL(BoolInt, _ZN6QMutex7tryLockEi);
    const bool locked = function(mutex, timeout);
    if (locked)
        __tsan_acquire(mutex);
    return locked;
}

__attribute__((visibility("default"))) void _ZN6QMutex6unlockEv(void *mutex)
{
    LESSONRY_REAL(Void, _ZN6QMutex6unlockEv);
    __tsan_release(mutex);
    function(mutex);
}

// QBasicMutex: the inline fast paths are atomics ThreadSanitizer sees; the
// slow paths come here.
__attribute__((visibility("default"))) void _ZN11QBasicMutex12lockInternalEv(void *mutex)
{
    LESSONRY_REAL(Void, _ZN11QBasicMutex12lockInternalEv);
    function(mutex);
    __tsan_acquire(mutex);
}

__attribute__((visibility("default"))) bool _ZN11QBasicMutex12lockInternalEi(void *mutex, int timeout)
{
    LESSONRY_REAL(BoolInt, _ZN11QBasicMutex12lockInternalEi);
    const bool locked = function(mutex, timeout);
    if (locked)
        __tsan_acquire(mutex);
    return locked;
}

__attribute__((visibility("default"))) void _ZN11QBasicMutex14unlockInternalEv(void *mutex)
{
    LESSONRY_REAL(Void, _ZN11QBasicMutex14unlockInternalEv);
    __tsan_release(mutex);
    function(mutex);
}

// QSemaphore
__attribute__((visibility("default"))) void _ZN10QSemaphore7acquireEi(void *semaphore, int n)
{
    LESSONRY_REAL(VoidInt, _ZN10QSemaphore7acquireEi);
    function(semaphore, n);
    __tsan_acquire(semaphore);
}

__attribute__((visibility("default"))) bool _ZN10QSemaphore10tryAcquireEi(void *semaphore, int n)
{
    LESSONRY_REAL(BoolInt, _ZN10QSemaphore10tryAcquireEi);
    const bool acquired = function(semaphore, n);
    if (acquired)
        __tsan_acquire(semaphore);
    return acquired;
}

__attribute__((visibility("default"))) bool _ZN10QSemaphore10tryAcquireEii(void *semaphore, int n, int timeout)
{
    LESSONRY_REAL(BoolIntInt, _ZN10QSemaphore10tryAcquireEii);
    const bool acquired = function(semaphore, n, timeout);
    if (acquired)
        __tsan_acquire(semaphore);
    return acquired;
}

__attribute__((visibility("default"))) void _ZN10QSemaphore7releaseEi(void *semaphore, int n)
{
    LESSONRY_REAL(VoidInt, _ZN10QSemaphore7releaseEi);
    __tsan_release(semaphore);
    function(semaphore, n);
}

// QReadWriteLock
__attribute__((visibility("default"))) void _ZN14QReadWriteLock11lockForReadEv(void *lock)
{
    LESSONRY_REAL(Void, _ZN14QReadWriteLock11lockForReadEv);
    function(lock);
    __tsan_acquire(lock);
}

__attribute__((visibility("default"))) void _ZN14QReadWriteLock12lockForWriteEv(void *lock)
{
    LESSONRY_REAL(Void, _ZN14QReadWriteLock12lockForWriteEv);
    function(lock);
    __tsan_acquire(lock);
}

__attribute__((visibility("default"))) bool _ZN14QReadWriteLock14tryLockForReadEv(void *lock)
{
    LESSONRY_REAL(Bool, _ZN14QReadWriteLock14tryLockForReadEv);
    const bool locked = function(lock);
    if (locked)
        __tsan_acquire(lock);
    return locked;
}

__attribute__((visibility("default"))) bool _ZN14QReadWriteLock14tryLockForReadEi(void *lock, int timeout)
{
    LESSONRY_REAL(BoolInt, _ZN14QReadWriteLock14tryLockForReadEi);
    const bool locked = function(lock, timeout);
    if (locked)
        __tsan_acquire(lock);
    return locked;
}

__attribute__((visibility("default"))) bool _ZN14QReadWriteLock15tryLockForWriteEv(void *lock)
{
    LESSONRY_REAL(Bool, _ZN14QReadWriteLock15tryLockForWriteEv);
    const bool locked = function(lock);
    if (locked)
        __tsan_acquire(lock);
    return locked;
}

__attribute__((visibility("default"))) bool _ZN14QReadWriteLock15tryLockForWriteEi(void *lock, int timeout)
{
    LESSONRY_REAL(BoolInt, _ZN14QReadWriteLock15tryLockForWriteEi);
    const bool locked = function(lock, timeout);
    if (locked)
        __tsan_acquire(lock);
    return locked;
}

__attribute__((visibility("default"))) void _ZN14QReadWriteLock6unlockEv(void *lock)
{
    LESSONRY_REAL(Void, _ZN14QReadWriteLock6unlockEv);
    __tsan_release(lock);
    function(lock);
}

// QWaitCondition: waiting gives the mutex back and takes it again; a wake
// is a release the woken thread acquires.
__attribute__((visibility("default"))) bool _ZN14QWaitCondition4waitEP6QMutexm(void *condition, void *mutex,
                                                                               unsigned long time)
{
    LESSONRY_REAL(BoolWait, _ZN14QWaitCondition4waitEP6QMutexm);
    __tsan_release(mutex);
    const bool woken = function(condition, mutex, time);
    __tsan_acquire(mutex);
    __tsan_acquire(condition);
    return woken;
}

__attribute__((visibility("default"))) bool _ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer(void *condition,
                                                                                             void *mutex,
                                                                                             Deadline deadline)
{
    LESSONRY_REAL(BoolWaitDeadline, _ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer);
    __tsan_release(mutex);
    const bool woken = function(condition, mutex, deadline);
    __tsan_acquire(mutex);
    __tsan_acquire(condition);
    return woken;
}

__attribute__((visibility("default"))) void _ZN14QWaitCondition7wakeOneEv(void *condition)
{
    LESSONRY_REAL(Void, _ZN14QWaitCondition7wakeOneEv);
    __tsan_release(condition);
    function(condition);
}

__attribute__((visibility("default"))) void _ZN14QWaitCondition7wakeAllEv(void *condition)
{
    LESSONRY_REAL(Void, _ZN14QWaitCondition7wakeAllEv);
    __tsan_release(condition);
    function(condition);
}

} // extern "C"
