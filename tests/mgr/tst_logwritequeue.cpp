#include "mgr/logwritequeue.h"
#include "utility/lockwaitlimit.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>

#include <fcntl.h>
#include <unistd.h>

namespace {

int openForAppend(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLogWriteQueue : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void linesFromThreadsArriveWholeAndInOrder();
    void switchingFilesWritesEachLineToItsOwn();
    void withoutAFileNothingIsQueued();
    void crashPathWritesWhatTheWriterHasNot();
    void fullQueueWithinTheLockWaitLimitDropsTheLine();

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_path;
};

void TestLogWriteQueue::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("queue.log"));
}

void TestLogWriteQueue::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

// Several times the ring's size from four threads: every line arrives
// whole, wrapped around the ring's end or not, each thread's in its order.
void TestLogWriteQueue::linesFromThreadsArriveWholeAndInOrder()
{
    const int threadCount = 4;
    const QByteArray filler(97, 'x');
    const int perThread = int(3 * LogWriteQueue::kCapacity / (threadCount * (filler.size() + 16)));
    {
        LogWriteQueue queue;
        QCOMPARE(queue.setFile(openForAppend(m_path)), -1);
        std::atomic<int> refused{0};
        QList<QThread *> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads << QThread::create([&queue, &filler, &refused, t, perThread] {
                for (int i = 0; i < perThread; ++i) {
                    const QByteArray line = QByteArray::number(t) + ' ' + QByteArray::number(i) + ' ' + filler + '\n';
                    if (queue.append(line.constData(), line.size()) <= 0)
                        ++refused;
                }
            });
            threads.last()->start();
        }
        for (QThread *thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        QCOMPARE(refused.load(), 0);
        QVERIFY(queue.flush());
        ::close(queue.setFile(-1));
    }
    QVector<int> next(threadCount, 0);
    const QList<QByteArray> lines = readAll(m_path).split('\n');
    QCOMPARE(lines.size(), threadCount * perThread + 1);
    for (int i = 0; i < lines.size() - 1; ++i) {
        const QList<QByteArray> fields = lines.at(i).split(' ');
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(2), filler);
        const int thread = fields.at(0).toInt();
        QCOMPARE(fields.at(1).toInt(), next[thread]);
        ++next[thread];
    }
}

void TestLogWriteQueue::switchingFilesWritesEachLineToItsOwn()
{
    const QString second = m_dir->filePath(QStringLiteral("second.log"));
    LogWriteQueue queue;
    queue.setFile(openForAppend(m_path));
    QCOMPARE(queue.append("one\n", 4), qint64(4));
    const int first = queue.setFile(openForAppend(second), 10);
    // Handed back only once its lines are in it.
    QCOMPARE(readAll(m_path), QByteArray("one\n"));
    ::close(first);
    QCOMPARE(queue.append("two\n", 4), qint64(14));
    ::close(queue.setFile(-1));
    QCOMPARE(readAll(second), QByteArray("two\n"));
}

void TestLogWriteQueue::withoutAFileNothingIsQueued()
{
    LogWriteQueue queue;
    QCOMPARE(queue.append("lost\n", 5), qint64(-1));
    queue.setFile(openForAppend(m_path));
    QCOMPARE(queue.append("kept\n", 5), qint64(5));
    ::close(queue.setFile(-1));
    QCOMPARE(readAll(m_path), QByteArray("kept\n"));
}

// What a crash handler calls: the queued lines reach the file at once,
// and the writer, let go, does not write them a second time.
void TestLogWriteQueue::crashPathWritesWhatTheWriterHasNot()
{
    LogWriteQueue queue;
    queue.setFile(openForAppend(m_path));
    queue.append("before\n", 7);
    QVERIFY(queue.flush());
    queue.holdWriterForTests(true);
    queue.append("a\n", 2);
    queue.append("b\n", 2);
    QCOMPARE(readAll(m_path), QByteArray("before\n"));
    queue.writePendingNow();
    QCOMPARE(readAll(m_path), QByteArray("before\na\nb\n"));
    queue.writePendingNow();
    queue.holdWriterForTests(false);
    queue.append("after\n", 6);
    QVERIFY(queue.flush());
    ::close(queue.setFile(-1));
    QCOMPARE(readAll(m_path), QByteArray("before\na\nb\nafter\n"));
}

// The freeze watchdog logs with a lock-wait limit: a queue that stays full
// costs it the line, not a hang, and nothing of that line is written.
void TestLogWriteQueue::fullQueueWithinTheLockWaitLimitDropsTheLine()
{
    LogWriteQueue queue;
    queue.setFile(openForAppend(m_path));
    queue.holdWriterForTests(true);
    const QByteArray block(int(LogWriteQueue::kCapacity / 4), 'f');
    for (int i = 0; i < 4; ++i)
        QVERIFY(queue.append(block.constData(), block.size()) > 0);
    qint64 dropped = 0;
    QThread *watchdog = QThread::create([&queue, &dropped] {
        LockWaitLimit::setForCurrentThread(50);
        dropped = queue.append("late\n", 5);
    });
    watchdog->start();
    QVERIFY(watchdog->wait(30000));
    delete watchdog;
    QCOMPARE(dropped, qint64(-1));
    // A line longer than the ring is refused outright.
    const QByteArray huge(int(LogWriteQueue::kCapacity + 1), 'h');
    QCOMPARE(queue.append(huge.constData(), huge.size()), qint64(-1));
    queue.holdWriterForTests(false);
    QVERIFY(queue.flush());
    ::close(queue.setFile(-1));
    QCOMPARE(QFileInfo(m_path).size(), LogWriteQueue::kCapacity);
    QVERIFY(!readAll(m_path).contains("late"));
}

QTEST_GUILESS_MAIN(TestLogWriteQueue)

#include "tst_logwritequeue.moc"
