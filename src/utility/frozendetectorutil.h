#ifndef FROZENDETECTORUTIL_H
#define FROZENDETECTORUTIL_H

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>

class AutoResetEvent;
class QTimer;

// The freeze watchdog: a GUI-thread timer sets an event every second, and
// this thread waits for it. When no heartbeat comes for four seconds the
// GUI thread is taken as frozen and one "frozen" dump is written; the next
// wait has no limit, so a long freeze gives one dump, and the next heartbeat
// re-arms it. Every wait of the thread wakes when it is stopped.
class FrozenDetectorUtil : public QThread
{
    Q_OBJECT

public:
    static constexpr int kHeartbeatMs = 1000;
    static constexpr int kFrozenTimeoutMs = 4000;
    static constexpr int kFailedWaitPauseMs = 2000;
    static constexpr int kEndWaitMs = 1000;
    // How long the dump writer may wait for a log's mutex.
    static constexpr int kLogLockWaitMs = 500;

    // Create on the GUI thread: the heartbeat timer fires there.
    explicit FrozenDetectorUtil(QObject *parent = nullptr);
    // Stops the thread and waits until it has ended.
    ~FrozenDetectorUtil() override;

    void begin();
    // Waits up to kEndWaitMs for the thread; the destructor waits for the rest.
    void end();

    bool isStarted() const;

    // For tests only: watchdogs created afterwards find no event, as when
    // the system cannot make one. (Durations are shortened for tests by
    // the common time scale, Durations.)
    static void setEventCreationFailsForTests(bool fails);

protected:
    void run() override;

private slots:
    void slot_on_timeout();

private:
    static constexpr unsigned long kWaitInfinite = ~0UL;

    void OnWaitTimeout(unsigned long &timeout);
    void OnWaitFailed(unsigned long &timeout);
    bool shouldStop() const;

    QTimer *m_timer = nullptr;
    std::unique_ptr<AutoResetEvent> m_event; // null when it could not be made
    int m_frozenTimeoutMs = kFrozenTimeoutMs; // as scaled when begun
    mutable QMutex m_stopMutex;
    QWaitCondition m_stopWake;
    bool m_stop = false;   // under m_stopMutex
    bool m_started = false; // GUI thread only
};

#endif // FROZENDETECTORUTIL_H
