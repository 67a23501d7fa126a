#include "frozendetectorutil.h"

#include "mgr/minidumpmgr.h"
#include "platform/watchdogtimer.h"
#include "utility/durations.h"
#include "utility/lockwaitlimit.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QMutexLocker>

#include <glib.h>

#include <cerrno>
#include <new>

namespace {

bool s_eventCreationFails = false;

qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

// The GUI thread's event loop runs on GLib's default context (unless Qt
// was told not to use GLib). Its poll is where the thread waits for
// events: wrapped, it tells the watchdog when the thread goes to sleep
// and when it wakes, with no timer of its own.
FrozenDetectorUtil *s_watched = nullptr; // GUI thread only
GPollFunc s_previousPoll = nullptr;

gint watchedPoll(GPollFD *fds, guint count, gint timeout)
{
    FrozenDetectorUtil *watched = s_watched;
    // A poll that does not wait (timeout 0) is part of the work.
    if (watched && timeout != 0)
        watched->guiThreadWaits();
    const gint result = s_previousPoll(fds, count, timeout);
    if (watched)
        watched->guiThreadWoke();
    return result;
}

bool dispatcherIsGlib(QAbstractEventDispatcher *dispatcher)
{
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}

} // namespace

FrozenDetectorUtil::FrozenDetectorUtil(QObject *parent)
    : QThread(parent)
{
    if (!s_eventCreationFails) {
        m_timer.reset(new (std::nothrow) WatchdogTimer);
        if (m_timer && !m_timer->isValid())
            m_timer.reset();
    }
    if (!m_timer)
        qCritical("frozen:CreateEvent failed.err:%d", ENOMEM);
}

FrozenDetectorUtil::~FrozenDetectorUtil()
{
    if (m_started)
        end();
    watchEventLoop(false);
    // Every wait of the thread wakes on the stop flag, so this ends soon;
    // the object must not go while the thread still runs.
    {
        QMutexLocker locker(&m_stopMutex);
        m_stop = true;
        m_stopWake.wakeAll();
    }
    if (m_timer)
        m_timer->stop();
    wait();
}

void FrozenDetectorUtil::setEventCreationFailsForTests(bool fails)
{
    s_eventCreationFails = fails;
}

bool FrozenDetectorUtil::isStarted() const
{
    return m_started;
}

void FrozenDetectorUtil::begin()
{
    qInfo("start");
    if (m_started) {
        qCritical("already started");
        return;
    }
    // A thread that outlived the last end() finishes first: it has been
    // told to stop and all its waits wake on that.
    wait();
    m_frozenTimeoutMs = Durations::ms(kFrozenTimeoutMs);
    {
        QMutexLocker locker(&m_stopMutex);
        m_stop = false;
    }
    if (m_timer)
        m_timer->reset();
    start();
    m_started = true;
    // The GUI thread is at work right now.
    m_working = false;
    guiThreadWoke();
    watchEventLoop(true);
}

void FrozenDetectorUtil::end()
{
    qInfo("end");
    watchEventLoop(false);
    if (m_timer)
        m_timer->disarm();
    {
        QMutexLocker locker(&m_stopMutex);
        m_stop = true;
        m_stopWake.wakeAll();
    }
    // Wakes a waiting watchdog at once.
    if (m_timer)
        m_timer->stop();
    wait(static_cast<unsigned long>(Durations::ms(kEndWaitMs)));
    m_started = false;
    qInfo("end gone");
}

void FrozenDetectorUtil::watchEventLoop(bool watch)
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(thread());
    if (watch) {
        if (!m_timer || !dispatcher)
            return;
        if (dispatcherIsGlib(dispatcher)) {
            if (!s_watched) {
                GMainContext *context = g_main_context_default();
                s_previousPoll = g_main_context_get_poll_func(context);
                g_main_context_set_poll_func(context, &watchedPoll);
            }
            s_watched = this;
        } else {
            // Qt's own loop says when it is about to wait and when it woke.
            m_aboutToBlock = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                                     &FrozenDetectorUtil::guiThreadWaits, Qt::DirectConnection);
            m_awake = connect(dispatcher, &QAbstractEventDispatcher::awake, this, &FrozenDetectorUtil::guiThreadWoke,
                              Qt::DirectConnection);
        }
        return;
    }
    if (s_watched == this) {
        g_main_context_set_poll_func(g_main_context_default(), s_previousPoll);
        s_watched = nullptr;
    }
    disconnect(m_aboutToBlock);
    disconnect(m_awake);
}

void FrozenDetectorUtil::guiThreadWoke()
{
    if (!m_timer)
        return;
    // Moving the deadline on costs a system call: at most every tenth of
    // the limit while the thread keeps working.
    const qint64 now = monotonicMs();
    if (m_working && now - m_lastArmMs < qMax(1, m_frozenTimeoutMs / 10))
        return;
    if (m_timer->arm(m_frozenTimeoutMs))
        ++m_frozenPeriods;
    m_lastArmMs = now;
    m_working = true;
}

void FrozenDetectorUtil::guiThreadWaits()
{
    if (!m_timer || !m_working)
        return;
    if (m_timer->disarm())
        ++m_frozenPeriods;
    m_working = false;
}

bool FrozenDetectorUtil::shouldStop() const
{
    QMutexLocker locker(&m_stopMutex);
    return m_stop;
}

void FrozenDetectorUtil::run()
{
    // This thread writes while the GUI thread may hold a log's mutex.
    LockWaitLimit::setForCurrentThread(kLogLockWaitMs);
    qInfo("frozen thread starts");
    for (;;) {
        if (shouldStop())
            break;
        // Without a timer there is nothing to wait for: that is a failed
        // wait, never a freeze.
        const WatchdogTimer::WaitResult result = m_timer ? m_timer->wait() : WatchdogTimer::Failed;
        if (shouldStop()) {
            qWarning("should exited after wait");
            break;
        }
        if (result == WatchdogTimer::Expired)
            OnWaitTimeout();
        else if (result == WatchdogTimer::Failed)
            OnWaitFailed();
    }
    qInfo("frozen thread ends");
}

void FrozenDetectorUtil::OnWaitTimeout()
{
    qCritical("frozen:OnWaitTimeout, the main thread is frozen");
    qCritical("frozen:start DumpMiniDump");
    MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen);
}

void FrozenDetectorUtil::OnWaitFailed()
{
    qCritical("frozen:OnWaitFailed");
    // A pause before the next try, cut short by a stop.
    QMutexLocker locker(&m_stopMutex);
    if (!m_stop)
        m_stopWake.wait(&m_stopMutex, static_cast<unsigned long>(Durations::ms(kFailedWaitPauseMs)));
}
