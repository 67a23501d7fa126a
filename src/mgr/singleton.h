#ifndef SINGLETON_H
#define SINGLETON_H

#include <QAtomicInt>
#include <QAtomicPointer>

// Runs function exactly once for the given flag (0 idle, 1 running, 2 done),
// even when several threads arrive together; late callers wait until the
// first one has finished.
void callOnce(void (*function)(), QAtomicInt &flag);

// Remembers how to release one created singleton. Releases run in reverse
// order of registration: a singleton created later is released earlier.
void registerSingletonRelease(void (*release)());
// Releases every created singleton now. main() calls it before returning,
// while the toolkit's own globals still exist; whatever is left is
// released at process exit.
void releaseSingletons();

// Process-wide instance of T, created on first use and deleted at exit.
template<typename T>
class Singleton
{
public:
    static T *instance()
    {
        callOnce(&createInstance, s_flag);
        return s_instance.loadAcquire();
    }

    // Whether the object exists now; never creates it.
    static bool isCreated() { return s_instance.loadAcquire() != nullptr; }

private:
    static T *create() { return new T(); }

    // The creator slot is set here, inside the once-body, so concurrent
    // first callers never write it at the same time. Only objects that were
    // created are registered for release.
    static void createInstance()
    {
        registerSingletonRelease(&release);
        s_creator = &create;
        s_instance.storeRelease(s_creator());
    }

    static void release()
    {
        T *old = s_instance.fetchAndStoreOrdered(nullptr);
        delete old;
        s_creator = nullptr;
    }

    static QAtomicPointer<T> s_instance;
    static T *(*s_creator)();
    static QAtomicInt s_flag;
};

template<typename T>
QAtomicPointer<T> Singleton<T>::s_instance;
template<typename T>
T *(*Singleton<T>::s_creator)() = nullptr;
template<typename T>
QAtomicInt Singleton<T>::s_flag;

#endif // SINGLETON_H
