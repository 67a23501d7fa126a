#ifndef LOGWRITEQUEUE_H
#define LOGWRITEQUEUE_H

#include <QMutex>
#include <QWaitCondition>
#include <QtGlobal>

#include <atomic>
#include <memory>
#include <thread>

// Carries the message log's lines to its file on a thread of its own. A
// caller copies its line into a ring of bytes and returns; the writer takes
// everything queued in one write, so a burst of lines costs one system call
// instead of one each, and no caller waits for the disk.
//
// A crash handler hands what is still queued to the file before it writes
// its dump (writePendingNow(), async-signal-safe): every line whose append()
// returned reaches the file before the dump does.
//
// The queue does not own the file: setFile() hands a descriptor over and
// gives the previous one back once everything queued for it is written.
class LogWriteQueue
{
public:
    // Bytes the ring holds; a caller waits for room when it is full.
    static constexpr qint64 kCapacity = qint64(1) << 20;

    LogWriteQueue();
    // Writes what is queued and stops the writer; the file stays open.
    ~LogWriteQueue();

    // Makes fd (-1 for none), holding bytesInFile bytes already, the file of
    // the lines appended from now on, once everything queued so far is
    // written to the former one, which is returned for the caller to close.
    int setFile(int fd, qint64 bytesInFile = 0);

    // Queues size bytes for the file; returns the size the current file will
    // have with them, or -1 when nothing was queued: no file, a line
    // longer than the ring, or the thread's lock-wait limit (LockWaitLimit)
    // ran out.
    qint64 append(const char *data, qint64 size);

    // Waits until everything queued so far is written, within the calling
    // thread's lock-wait limit; false when the limit ran out.
    bool flush();

    // Async-signal-safe, for a crash handler: writes everything queued that
    // the writer has not taken, after the batch it is writing (waited for
    // a short moment, so the lines stay in order).
    void writePendingNow();

    // Tests hold the writer back to see what writePendingNow() does.
    void holdWriterForTests(bool hold);

private:
    void run();
    // Asks the writer to write what is queued now, without a pause for
    // more lines to gather.
    void hurryWriterLocked();
    // Writes the ring's bytes [from, to) to fd, whole unless fd refuses them.
    void writeRange(int fd, quint64 from, quint64 to) const;

    LogWriteQueue(const LogWriteQueue &) = delete;
    LogWriteQueue &operator=(const LogWriteQueue &) = delete;

    const std::unique_ptr<char[]> m_ring;
    // Running byte counts, never reset (a count modulo kCapacity is a
    // position in the ring): m_written <= m_claimed <= m_queued, and at
    // most kCapacity bytes between the first and the last. A writer claims
    // a range before writing it, so the writer thread and a crash handler
    // never write the same bytes.
    std::atomic<quint64> m_queued{0};
    std::atomic<quint64> m_claimed{0};
    std::atomic<quint64> m_written{0};
    std::atomic<int> m_fd{-1};
    qint64 m_fileBytes = 0;

    QMutex m_mutex;
    QWaitCondition m_work;
    QWaitCondition m_progress;
    bool m_writerWaiting = false;
    bool m_hurry = false;
    bool m_stopping = false;
    bool m_held = false;
    std::thread m_writer;
};

#endif // LOGWRITEQUEUE_H
