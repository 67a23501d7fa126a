#include "mgr/frozendetectormgr.h"
#include "mgr/minidumpmgr.h"
#include "mgr/singleton.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "testutil.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/frozendetectorutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

// The watchdog's durations at this factor: a freeze after 1000 ms.
const double kTimeScale = 0.25;
const int kTimeoutMs = 1000;

QStringList frozenDumps()
{
    return QDir(getLogDir()).entryList({ QStringLiteral("velmo_frozen_*.dmp") }, QDir::Files);
}

int frozenRecords()
{
    QFile file(ActionLog::instance()->filePath());
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return QString::fromUtf8(file.readAll()).count(QLatin1String(",app_frozen,"));
}

// The GUI thread stops answering: no events, no timers.
void blockGuiThread(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace

class TestFrozenDetectorUtil : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shortBlockGivesNoDump();
    void longBlockGivesOneDumpPerFreeze();
    void beginTwiceStartsOneThread();
    void shutdownDuringWaitReturnsAtOnce_data();
    void shutdownDuringWaitReturnsAtOnce();
    void missingEventNeverReportsAFreeze();
    void destroyedWhileRunningEndsTheThreadFirst();
    void managerStartsAndStops();

private:
    std::unique_ptr<FrozenDetectorUtil> m_detector;
    std::unique_ptr<ScopedTimeScale> m_timeScale;
};

void TestFrozenDetectorUtil::initTestCase()
{
    QVERIFY(ActionLog::instance()->init(QDir(getLogDir()).filePath(QStringLiteral("velmo_test.action.log"))));
    Singleton<MiniDumpMgr>::instance()->init();
}

void TestFrozenDetectorUtil::init()
{
    for (const QString &name : frozenDumps())
        QFile::remove(QDir(getLogDir()).filePath(name));
    m_timeScale.reset(new ScopedTimeScale(kTimeScale));
    m_detector.reset(new FrozenDetectorUtil);
}

void TestFrozenDetectorUtil::cleanup()
{
    m_detector.reset();
    m_timeScale.reset();
    FrozenDetectorUtil::setEventCreationFailsForTests(false);
}

void TestFrozenDetectorUtil::shortBlockGivesNoDump()
{
    m_detector->begin();
    TestUtil::drainEvents();
    // Half the limit (two seconds at the real durations).
    blockGuiThread(kTimeoutMs / 2);
    // Once the GUI thread waits for events again, its work period is
    // settled: it ran out or it did not, and no dump can follow it.
    QTest::qWait(1);
    QCOMPARE(m_detector->frozenPeriods(), 0);
    QVERIFY(frozenDumps().isEmpty());
}

void TestFrozenDetectorUtil::longBlockGivesOneDumpPerFreeze()
{
    const int recordsBefore = frozenRecords();
    m_detector->begin();
    TestUtil::drainEvents();

    // A freeze three times the limit still gives one dump, written while
    // the GUI thread is stuck.
    QElapsedTimer blocked;
    blocked.start();
    while (frozenDumps().isEmpty() && blocked.elapsed() < 10 * kTimeoutMs)
        blockGuiThread(10);
    QVERIFY(!frozenDumps().isEmpty());
    blockGuiThread(2 * kTimeoutMs);
    QCOMPARE(frozenDumps().size(), 1);

    // Running again: one frozen period, one dump, and the next work
    // period sets the deadline again.
    QTest::qWait(1);
    QCOMPARE(m_detector->frozenPeriods(), 1);
    QCOMPARE(frozenDumps().size(), 1);
    QTRY_COMPARE(frozenRecords(), recordsBefore + 1);

    // A second freeze gives a second dump.
    blocked.restart();
    while (frozenDumps().size() < 2 && blocked.elapsed() < 10 * kTimeoutMs)
        blockGuiThread(10);
    QCOMPARE(frozenDumps().size(), 2);
    QTest::qWait(1);
    QCOMPARE(m_detector->frozenPeriods(), 2);
    // The record follows the dump file.
    QTRY_COMPARE(frozenRecords(), recordsBefore + 2);
}

void TestFrozenDetectorUtil::beginTwiceStartsOneThread()
{
    m_detector->begin();
    QTest::ignoreMessage(QtCriticalMsg, "already started");
    m_detector->begin();
    QVERIFY(m_detector->isRunning());
    m_detector->end();
    QVERIFY(!m_detector->isRunning());
    // begin after end starts it again.
    m_detector->begin();
    QVERIFY(m_detector->isRunning());
}

void TestFrozenDetectorUtil::shutdownDuringWaitReturnsAtOnce_data()
{
    QTest::addColumn<bool>("eventFails");
    // At the real durations: a wait of four seconds for the heartbeat, or
    // the pause of two seconds after a failed wait; the stop cuts both short.
    QTest::newRow("waiting for the heartbeat") << false;
    QTest::newRow("pausing after a failed wait") << true;
}

void TestFrozenDetectorUtil::shutdownDuringWaitReturnsAtOnce()
{
    QFETCH(bool, eventFails);
    m_timeScale.reset();
    FrozenDetectorUtil::setEventCreationFailsForTests(eventFails);
    if (eventFails)
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^frozen:CreateEvent failed\\.err:")));
    m_detector.reset(new FrozenDetectorUtil);
    m_detector->begin();
    QTest::qWait(100);
    QElapsedTimer timer;
    timer.start();
    m_detector->end();
    QVERIFY(!m_detector->isRunning());
    QVERIFY2(timer.elapsed() < FrozenDetectorUtil::kEndWaitMs / 2, qPrintable(QString::number(timer.elapsed())));
}

void TestFrozenDetectorUtil::missingEventNeverReportsAFreeze()
{
    FrozenDetectorUtil::setEventCreationFailsForTests(true);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^frozen:CreateEvent failed\\.err:")));
    m_detector.reset(new FrozenDetectorUtil);
    MessageCatcher log;
    m_detector->begin();
    // A long block: without a timer nothing is taken for a freeze. The
    // thread's failed waits are the marker that it looked.
    blockGuiThread(2 * kTimeoutMs);
    QTRY_VERIFY(log.count(QtCriticalMsg, QStringLiteral("frozen:OnWaitFailed")) >= 2);
    QCOMPARE(m_detector->frozenPeriods(), 0);
    QVERIFY(frozenDumps().isEmpty());
}

void TestFrozenDetectorUtil::destroyedWhileRunningEndsTheThreadFirst()
{
    m_detector->begin();
    QVERIFY(m_detector->isRunning());
    // No end(): the destructor stops and joins the thread (QThread aborts
    // when destroyed while running).
    m_detector.reset();
}

void TestFrozenDetectorUtil::managerStartsAndStops()
{
    FrozenDetectorMgr manager;
    QVERIFY(!manager.isWatching());
    manager.init();
    QVERIFY(manager.isWatching());
    manager.end();
    QVERIFY(!manager.isWatching());
    manager.end();
    manager.init();
    QVERIFY(manager.isWatching());
}

QTEST_GUILESS_MAIN(TestFrozenDetectorUtil)
#include "tst_frozendetectorutil.moc"
