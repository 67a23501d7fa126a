#include "frozendetectorutil.h"

#include "mgr/minidumpmgr.h"
#include "platform/autoresetevent.h"
#include "utility/durations.h"
#include "utility/lockwaitlimit.h"

#include <QDebug>
#include <QMutexLocker>
#include <QTimer>

#include <cerrno>
#include <new>

namespace {

bool s_eventCreationFails = false;

} // namespace

FrozenDetectorUtil::FrozenDetectorUtil(QObject *parent)
    : QThread(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(kHeartbeatMs);
    m_timer->setSingleShot(false);
    connect(m_timer, &QTimer::timeout, this, &FrozenDetectorUtil::slot_on_timeout);

    if (!s_eventCreationFails)
        m_event.reset(new (std::nothrow) AutoResetEvent);
    if (!m_event)
        qCritical("frozen:CreateEvent failed.err:%d", ENOMEM);
}

FrozenDetectorUtil::~FrozenDetectorUtil()
{
    if (m_started)
        end();
    // Every wait of the thread wakes on the stop flag, so this ends soon;
    // the object must not go while the thread still runs.
    {
        QMutexLocker locker(&m_stopMutex);
        m_stop = true;
        m_stopWake.wakeAll();
    }
    if (m_event)
        m_event->set();
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
    m_timer->start(Durations::ms(kHeartbeatMs));
    m_frozenTimeoutMs = Durations::ms(kFrozenTimeoutMs);
    {
        QMutexLocker locker(&m_stopMutex);
        m_stop = false;
    }
    start();
    m_started = true;
}

void FrozenDetectorUtil::end()
{
    qInfo("end");
    m_timer->stop();
    {
        QMutexLocker locker(&m_stopMutex);
        m_stop = true;
        m_stopWake.wakeAll();
    }
    // Wakes a waiting watchdog at once.
    slot_on_timeout();
    wait(static_cast<unsigned long>(Durations::ms(kEndWaitMs)));
    m_started = false;
    qInfo("end gone");
}

void FrozenDetectorUtil::slot_on_timeout()
{
    if (!m_event) {
        qCritical("frozen:m_hEvent is null");
        return;
    }
    m_event->set();
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
    unsigned long timeout = static_cast<unsigned long>(m_frozenTimeoutMs);
    for (;;) {
        if (shouldStop())
            break;
        // Without an event there is nothing to wait for: that is a failed
        // wait, never a freeze.
        bool signalled = false;
        bool failed = !m_event;
        if (m_event) {
            const int limit = timeout == kWaitInfinite ? AutoResetEvent::kInfinite : int(timeout);
            signalled = m_event->wait(limit) == AutoResetEvent::Signalled;
        }
        if (shouldStop()) {
            qWarning("should exited after wait");
            break;
        }
        if (signalled)
            timeout = static_cast<unsigned long>(m_frozenTimeoutMs);
        else if (failed)
            OnWaitFailed(timeout);
        else
            OnWaitTimeout(timeout);
    }
    qInfo("frozen thread ends");
}

void FrozenDetectorUtil::OnWaitTimeout(unsigned long &timeout)
{
    qCritical("frozen:OnWaitTimeout, the main thread is frozen");
    timeout = kWaitInfinite;
    qCritical("frozen:start DumpMiniDump");
    MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen);
}

void FrozenDetectorUtil::OnWaitFailed(unsigned long &timeout)
{
    qCritical("frozen:OnWaitFailed");
    timeout = kWaitInfinite;
    // A pause before the next try, cut short by a stop.
    QMutexLocker locker(&m_stopMutex);
    if (!m_stop)
        m_stopWake.wait(&m_stopMutex, static_cast<unsigned long>(Durations::ms(kFailedWaitPauseMs)));
}
