#ifndef SINGLETON_H
#define SINGLETON_H

#include <QAtomicInt>
#include <QAtomicPointer>

// Runs function exactly once for the given flag (0 idle, 1 running, 2 done),
// even when several threads arrive together; late callers wait until the
// first one has finished.
void callOnce(void (*function)(), QAtomicInt &flag);

// Process-wide instance of T, created on first use and deleted at exit.
template<typename T>
class Singleton
{
public:
    static T *instance()
    {
        s_creator = &create;
        callOnce(&createInstance, s_flag);
        return s_instance.loadAcquire();
    }

private:
    static T *create() { return new T(); }

    // Deletes the instance when the process ends; built on the first
    // creation, so objects never created are never touched.
    struct Guard
    {
        ~Guard()
        {
            T *old = s_instance.fetchAndStoreOrdered(nullptr);
            delete old;
            s_creator = nullptr;
        }
    };

    static void createInstance()
    {
        static Guard guard;
        (void)guard;
        s_instance.storeRelease(s_creator());
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
