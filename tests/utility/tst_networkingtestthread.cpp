#include "biz/httpapi/baseapis.h"
#include "biz/httpapi/studentapis.h"
#include "lessonservice.h"
#include "testenvironment.h"
#include "testutil.h"
#include "utility/actionlog.h"
#include "utility/networkingtestthread.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestNetworkingTestThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void levelBands_data();
    void levelBands();
    void answerGivesOneLevelAndEndsThread();
    void refusalIsRetriedThenMeasured();
    void timeOutIsRetried();
    void deadLineTriesFourTimesThenGivesUp();
    void destroyedWhileRunning();
    void stoppedTestReportsNothing();

private:
    bool pointLinesAt(const QString &mainBase, const QString &usBase);
    QStringList actionRecords(const QString &name);

    LessonService m_service;
    QTemporaryDir m_dir;
    QString m_actionLog;
    QString m_deadBase;
};

void TestNetworkingTestThread::initTestCase()
{
    qRegisterMetaType<NETLINK_TYPE>("NETLINK_TYPE");
    QVERIFY(m_service.start());
    m_actionLog = m_dir.filePath(QStringLiteral("test.action.log"));
    QVERIFY(ActionLog::instance()->init(m_actionLog));
    // Nothing listens there: every request is refused at once.
    m_deadBase = TestEnvironment::deadBaseUrl();
    QVERIFY(pointLinesAt(m_service.baseUrl(), m_deadBase));

    // The first request of a process sets up the network stack; it must not
    // be counted as the delay of a line.
    QObject owner;
    EntityNetworkReplyHolder *warmUp = StudentApis::test(&owner, NETLINK_MAIN, 10000);
    QSignalSpy warmedUp(warmUp, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(warmedUp.wait(10000));
}

void TestNetworkingTestThread::cleanupTestCase()
{
    ActionLog::instance()->close();
}

void TestNetworkingTestThread::init()
{
    m_service.reset();
}

// Line 0 is the stand-in, line 1 a dead host.
bool TestNetworkingTestThread::pointLinesAt(const QString &mainBase, const QString &usBase)
{
    TestUtil::ServerAddresses addresses;
    addresses.main = mainBase;
    addresses.us = usBase;
    return TestUtil::useServersIni(m_dir.filePath(QStringLiteral("servers.ini")), addresses);
}

QStringList TestNetworkingTestThread::actionRecords(const QString &name)
{
    QFile file(m_actionLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList found;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        // kind,1,version,time,name,information (the information may hold commas)
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() >= 6 && fields.at(4) == name)
            found << fields.at(0) + QLatin1Char(',') + line.section(QLatin1Char(','), 5);
    }
    return found;
}

void TestNetworkingTestThread::levelBands_data()
{
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<int>("level");
    QTest::newRow("0 ms") << qint64(0) << 0;
    QTest::newRow("299 ms") << qint64(299) << 0;
    QTest::newRow("300 ms") << qint64(300) << 1;
    QTest::newRow("599 ms") << qint64(599) << 1;
    QTest::newRow("600 ms") << qint64(600) << 2;
    QTest::newRow("1999 ms") << qint64(1999) << 2;
    QTest::newRow("an hour") << qint64(3600000) << 2;
    QTest::newRow("clock went back") << qint64(-500) << 0;
}

void TestNetworkingTestThread::levelBands()
{
    QFETCH(qint64, elapsed);
    QFETCH(int, level);
    const qint64 sent = 1700000000000;
    QCOMPARE(NetworkingTestThread::signalLevel(sent, sent + elapsed), level);
}

void TestNetworkingTestThread::answerGivesOneLevelAndEndsThread()
{
    NetworkingTestThread thread(NETLINK_MAIN, nullptr);
    // The request is out before the thread runs.
    QSignalSpy delays(&thread, &NetworkingTestThread::signal_currentNetworkDelay);
    thread.start();
    QVERIFY(delays.wait(5000));
    QCOMPARE(delays.at(0).at(0).value<NETLINK_TYPE>(), NETLINK_MAIN);
    QCOMPARE(delays.at(0).at(1).toInt(), 0);
    QVERIFY(thread.wait(5000));
    QCOMPARE(delays.count(), 1);
    QCOMPARE(thread.retryCount(), 0);
    QCOMPARE(m_service.requests().size(), 1);
    QCOMPARE(m_service.lastRequest("/QXV1/Public/test").value("method").toString(), QStringLiteral("GET"));
}

void TestNetworkingTestThread::refusalIsRetriedThenMeasured()
{
    // An answer that is not an envelope with 200 is a failure, not a delay.
    m_service.setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("nonjson"), { { "times", 1 } });
    NetworkingTestThread thread(NETLINK_MAIN, nullptr);
    QSignalSpy delays(&thread, &NetworkingTestThread::signal_currentNetworkDelay);
    thread.start();
    QVERIFY(delays.wait(5000));
    QCOMPARE(thread.retryCount(), 1);
    QCOMPARE(m_service.requests().size(), 2);
    QCOMPARE(actionRecords("networking_test_failure").size(), 1);
    QCOMPARE(actionRecords("networking_test_failure").constLast(),
             QStringLiteral("error,{currentNetLink:0, URL:%1}").arg(m_service.baseUrl()));
}

void TestNetworkingTestThread::timeOutIsRetried()
{
    // Slower than the 2000 ms time-out once; the resend answers at once,
    // well within it and within the first 300 ms band (real durations: the
    // bands shrink with the time scale too).
    m_service.setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("delay"), { { "delay_ms", 3500 }, { "times", 1 } });
    NetworkingTestThread thread(NETLINK_MAIN, nullptr);
    QSignalSpy delays(&thread, &NetworkingTestThread::signal_currentNetworkDelay);
    thread.start();
    QVERIFY(delays.wait(8000));
    QCOMPARE(delays.at(0).at(1).toInt(), 0);
    QCOMPARE(thread.retryCount(), 1);
}

void TestNetworkingTestThread::deadLineTriesFourTimesThenGivesUp()
{
    const int before = actionRecords("networking_test_failure").size();
    NetworkingTestThread thread(NETLINK_UNITED_STATES, nullptr);
    QSignalSpy delays(&thread, &NetworkingTestThread::signal_currentNetworkDelay);
    thread.start();
    QTRY_VERIFY_WITH_TIMEOUT(thread.isFinished(), 10000);
    QCOMPARE(thread.retryCount(), 3);
    QCOMPARE(delays.count(), 0);
    const QStringList records = actionRecords("networking_test_failure");
    QCOMPARE(records.size() - before, 4);
    QCOMPARE(records.constLast(), QStringLiteral("error,{currentNetLink:1, URL:%1}").arg(m_deadBase));
}

void TestNetworkingTestThread::destroyedWhileRunning()
{
    m_service.setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("hang"));
    QObject owner;
    QPointer<NetworkingTestThread> thread = new NetworkingTestThread(NETLINK_MAIN, &owner);
    thread->start();
    QTRY_VERIFY(thread->isRunning());
    // Deleting a running QThread aborts the process; the test object must
    // end its thread first.
    delete thread.data();
    QVERIFY(thread.isNull());
}

void TestNetworkingTestThread::stoppedTestReportsNothing()
{
    m_service.setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("delay"), { { "delay_ms", 300 } });
    NetworkingTestThread thread(NETLINK_MAIN, nullptr);
    QSignalSpy delays(&thread, &NetworkingTestThread::signal_currentNetworkDelay);
    thread.start();
    QTRY_VERIFY(thread.isRunning());
    thread.stopTest();
    QVERIFY(thread.isFinished());
    // The request in flight went with the stop.
    TestUtil::drainEvents();
    QCOMPARE(delays.count(), 0);
    QCOMPARE(thread.retryCount(), 0);
}

QTEST_GUILESS_MAIN(TestNetworkingTestThread)
#include "tst_networkingtestthread.moc"
