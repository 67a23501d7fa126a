#ifndef FROZENDETECTORUTIL_H
#define FROZENDETECTORUTIL_H

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>

class WatchdogTimer;

// The freeze watchdog. While the GUI thread works (from each wake-up of
// its event loop until it waits for events again) a four-second deadline
// runs; the loop moves it on as it goes and clears it when it waits. This
// thread sleeps until a deadline passes: then the GUI thread is taken as
// frozen and one "frozen" dump is written. The deadline is not set again
// until the GUI thread moves on, so a long freeze gives one dump. Nothing
// wakes this thread, or the GUI thread, while the client is idle.
class FrozenDetectorUtil : public QThread
{
    Q_OBJECT

public:
    static constexpr int kFrozenTimeoutMs = 4000;
    static constexpr int kFailedWaitPauseMs = 2000;
    static constexpr int kEndWaitMs = 1000;
    // How long the dump writer may wait for a log's mutex.
    static constexpr int kLogLockWaitMs = 500;

    // Create on the GUI thread: its event loop is the one watched.
    explicit FrozenDetectorUtil(QObject *parent = nullptr);
    // Stops the thread and waits until it has ended.
    ~FrozenDetectorUtil() override;

    void begin();
    // Waits up to kEndWaitMs for the thread; the destructor waits for the rest.
    void end();

    bool isStarted() const;

    // Work periods of the GUI thread that ran past the limit, counted when
    // the GUI thread next waits for events (GUI thread only). A period the
    // GUI thread has finished without it is settled for good: tests read
    // this instead of waiting for a dump that must not come.
    int frozenPeriods() const { return m_frozenPeriods; }

    // For tests only: watchdogs created afterwards find no timer, as when
    // the system cannot make one. (Durations are shortened for tests by
    // the common time scale, Durations.)
    static void setEventCreationFailsForTests(bool fails);

    // Called on the GUI thread by the event loop's hooks.
    void guiThreadWoke();
    void guiThreadWaits();

protected:
    void run() override;

private:
    void OnWaitTimeout();
    void OnWaitFailed();
    bool shouldStop() const;
    void watchEventLoop(bool watch);

    std::unique_ptr<WatchdogTimer> m_timer; // null when it could not be made
    int m_frozenTimeoutMs = kFrozenTimeoutMs; // as scaled when begun
    qint64 m_lastArmMs = 0;   // GUI thread only
    bool m_working = false;   // GUI thread only
    int m_frozenPeriods = 0;  // GUI thread only
    mutable QMutex m_stopMutex;
    QWaitCondition m_stopWake;
    bool m_stop = false;   // under m_stopMutex
    bool m_started = false; // GUI thread only
    QMetaObject::Connection m_awake;
    QMetaObject::Connection m_aboutToBlock;
};

#endif // FROZENDETECTORUTIL_H
