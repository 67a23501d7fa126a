#include "logwritequeue.h"

#include "utility/lockwaitlimit.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <unistd.h>

static_assert(std::atomic<quint64>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the crash path reads the counts without a lock");

namespace {

// How long the crash path lets a batch under way end before it writes the
// rest itself.
constexpr int kCrashWaitSteps = 100;
constexpr long kCrashWaitStepNs = 1000000;

// How long the writer lets a burst of lines gather before writing it: the
// lines of one event-loop turn, or of a few, go out in one write, and a
// caller wakes the writer once per burst rather than once per line. A
// crash writes what is still gathering; flush() does not wait for it.
constexpr int kGatherMs = 2;

// The calling thread's lock-wait limit as a deadline.
QDeadlineTimer lockWaitDeadline()
{
    const int limit = LockWaitLimit::forCurrentThread();
    return limit < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(limit);
}

// Unlocks a mutex taken through LockWaitLimit at the end of the scope.
struct LimitedLock
{
    QMutex &mutex;
    ~LimitedLock() { mutex.unlock(); }
};

} // namespace

LogWriteQueue::LogWriteQueue()
    : m_ring(new char[kCapacity])
    , m_writer([this] { run(); })
{
}

LogWriteQueue::~LogWriteQueue()
{
    {
        QMutexLocker locker(&m_mutex);
        m_stopping = true;
        m_held = false;
        m_work.wakeOne();
    }
    m_writer.join();
}

int LogWriteQueue::setFile(int fd, qint64 bytesInFile)
{
    QMutexLocker locker(&m_mutex);
    // The former file gets everything queued for it; the writer then has
    // nothing claimed and does not touch the descriptor.
    hurryWriterLocked();
    while (m_written.load(std::memory_order_acquire) != m_queued.load(std::memory_order_relaxed))
        m_progress.wait(&m_mutex);
    m_fileBytes = bytesInFile;
    return m_fd.exchange(fd);
}

qint64 LogWriteQueue::append(const char *data, qint64 size)
{
    if (size > kCapacity)
        return -1;
    const QDeadlineTimer deadline = lockWaitDeadline();
    if (!LockWaitLimit::lock(m_mutex))
        return -1;
    const LimitedLock locked{m_mutex};
    if (m_fd.load(std::memory_order_relaxed) < 0)
        return -1;
    // Other callers may queue while this one waits for room.
    while (m_queued.load(std::memory_order_relaxed) + quint64(size) - m_written.load(std::memory_order_acquire)
           > quint64(kCapacity)) {
        hurryWriterLocked();
        if (!m_progress.wait(&m_mutex, deadline) || m_fd.load(std::memory_order_relaxed) < 0)
            return -1;
    }
    const quint64 queued = m_queued.load(std::memory_order_relaxed);
    const quint64 at = queued % quint64(kCapacity);
    const quint64 first = qMin(quint64(size), quint64(kCapacity) - at);
    std::memcpy(m_ring.get() + at, data, size_t(first));
    std::memcpy(m_ring.get(), data + first, size_t(quint64(size) - first));
    m_queued.store(queued + quint64(size), std::memory_order_release);
    m_fileBytes += size;
    if (m_writerWaiting)
        m_work.wakeOne();
    else if (queued + quint64(size) - m_written.load(std::memory_order_relaxed) > quint64(kCapacity) / 2)
        hurryWriterLocked();
    return m_fileBytes;
}

bool LogWriteQueue::flush()
{
    const QDeadlineTimer deadline = lockWaitDeadline();
    if (!LockWaitLimit::lock(m_mutex))
        return false;
    const LimitedLock locked{m_mutex};
    const quint64 target = m_queued.load(std::memory_order_relaxed);
    if (m_written.load(std::memory_order_acquire) < target)
        hurryWriterLocked();
    while (m_written.load(std::memory_order_acquire) < target) {
        if (!m_progress.wait(&m_mutex, deadline))
            return false;
    }
    return true;
}

void LogWriteQueue::holdWriterForTests(bool hold)
{
    QMutexLocker locker(&m_mutex);
    m_held = hold;
    m_work.wakeOne();
}

void LogWriteQueue::hurryWriterLocked()
{
    m_hurry = true;
    m_work.wakeOne();
}

void LogWriteQueue::run()
{
    QMutexLocker locker(&m_mutex);
    for (;;) {
        quint64 from = m_claimed.load(std::memory_order_relaxed);
        const quint64 to = m_queued.load(std::memory_order_relaxed);
        if (from == to || m_held) {
            if (m_stopping && from == to)
                return;
            m_writerWaiting = true;
            m_work.wait(&m_mutex);
            m_writerWaiting = false;
            // Woken by the first line of a burst: let the rest come.
            if (!m_hurry && !m_stopping && !m_held)
                m_work.wait(&m_mutex, kGatherMs);
            continue;
        }
        m_hurry = false;
        // The crash path may have taken these bytes meanwhile.
        if (!m_claimed.compare_exchange_strong(from, to))
            continue;
        const int fd = m_fd.load(std::memory_order_relaxed);
        locker.unlock();
        writeRange(fd, from, to);
        m_written.store(to, std::memory_order_release);
        locker.relock();
        m_progress.wakeAll();
    }
}

void LogWriteQueue::writeRange(int fd, quint64 from, quint64 to) const
{
    while (fd >= 0 && from < to) {
        const quint64 at = from % quint64(kCapacity);
        const quint64 length = qMin(to - from, quint64(kCapacity) - at);
        const ssize_t done = ::write(fd, m_ring.get() + at, size_t(length));
        if (done < 0 && errno == EINTR)
            continue;
        // A file that takes nothing (a full disk) loses the batch, as it
        // would lose each of its lines.
        if (done <= 0)
            return;
        from += quint64(done);
    }
}

void LogWriteQueue::writePendingNow()
{
    for (int i = 0; i < kCrashWaitSteps
         && m_written.load(std::memory_order_acquire) < m_claimed.load(std::memory_order_acquire);
         ++i) {
        const timespec step{0, kCrashWaitStepNs};
        nanosleep(&step, nullptr);
    }
    quint64 from = m_claimed.load(std::memory_order_acquire);
    for (;;) {
        const quint64 to = m_queued.load(std::memory_order_acquire);
        if (from >= to)
            return;
        if (m_claimed.compare_exchange_weak(from, to)) {
            writeRange(m_fd.load(), from, to);
            m_written.store(to, std::memory_order_release);
            return;
        }
    }
}
