#include <QFile>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QThread>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "holderrecorder.h"
#include "lessonservice.h"
#include "messagecatcher.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "testenvironment.h"
#include "testutil.h"
#include "utility/actionlog.h"

// The signal sequence of a request holder for every way a request can end,
// over real HTTP against the stand-in lesson service.
class TestNetworkReplyHolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void answerGivesStartSuccessFinish();
    void compressedAndChunkedAnswersAreReadWhole_data();
    void compressedAndChunkedAnswersAreReadWhole();
    void httpErrorGivesNegatedCode_data();
    void httpErrorGivesNegatedCode();
    void connectionRefused();
    void failureBeforeStartEventStartsOnce();
    void answerQueuedBeforeStartEventStartsFirst();
    void timeoutGivesFailureFourThenAbort();
    void noTimeoutWhenNotPositive_data();
    void noTimeoutWhenNotPositive();
    void answerJustBeforeTimeoutIsNoTimeout();
    void abortBeforeEventLoopGivesOnlyAbort();
    void abortWhileRunningGivesAbortAfterStart();
    void destroyedHolderSaysNothing();
    void holderDeletedInItsOwnSlot_data();
    void holderDeletedInItsOwnSlot();
    void progressWithUnknownTotalIsDropped();
    void errorTexts_data();
    void errorTexts();

private:
    QString apiUrl() const { return m_service.baseUrl() + QStringLiteral("/QXV1/Config/getAll"); }
    NetWorkReplyHolder *get(int timeout)
    {
        return Singleton<HttpMgr>::instance()->get(apiUrl(), {}, timeout);
    }
    // Records of the action log written since the test case began.
    QStringList actionRecords() const;

    LessonService m_service;
    QTemporaryDir m_logDir;
};

void TestNetworkReplyHolder::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    QVERIFY(ActionLog::instance()->init(m_logDir.filePath(QStringLiteral("test.action.log"))));
}

void TestNetworkReplyHolder::cleanupTestCase()
{
    ActionLog::instance()->close();
}

void TestNetworkReplyHolder::init()
{
    m_service.reset();
}

QStringList TestNetworkReplyHolder::actionRecords() const
{
    QFile file(m_logDir.filePath(QStringLiteral("test.action.log")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void TestNetworkReplyHolder::answerGivesStartSuccessFinish()
{
    std::unique_ptr<NetWorkReplyHolder> holder(get(5000));
    // Connected after the call: nothing may have been lost.
    HolderRecorder recorder(holder.get());
    QVERIFY(recorder.events.isEmpty());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QVERIFY(recorder.body.contains(QStringLiteral("\"errorCode\"")));
}

void TestNetworkReplyHolder::compressedAndChunkedAnswersAreReadWhole_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("gzip") << "gzip";
    QTest::newRow("chunked") << "chunked";
}

void TestNetworkReplyHolder::compressedAndChunkedAnswersAreReadWhole()
{
    QFETCH(QString, mode);
    std::unique_ptr<NetWorkReplyHolder> plain(get(5000));
    HolderRecorder plainRecorder(plain.get());
    QTRY_VERIFY(plainRecorder.ended());

    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), mode);
    std::unique_ptr<NetWorkReplyHolder> holder(get(5000));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(recorder.body, plainRecorder.body);
}

void TestNetworkReplyHolder::httpErrorGivesNegatedCode_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");
    QTest::newRow("404") << 404 << -203;
    QTest::newRow("500") << 500 << -401;
}

void TestNetworkReplyHolder::httpErrorGivesNegatedCode()
{
    QFETCH(int, status);
    QFETCH(int, code);
    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("status"),
                       QJsonObject{{"status", status}});

    std::unique_ptr<NetWorkReplyHolder> holder(get(-1));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events,
             (QStringList{"start", QStringLiteral("failure:%1").arg(code), "finish"}));

    const QStringList records = actionRecords();
    QVERIFY(!records.isEmpty());
    const QStringList fields = records.last().split(',');
    QCOMPARE(fields.value(0), QStringLiteral("error"));
    QCOMPARE(fields.value(4), QStringLiteral("Config_getAll_failure"));
    QCOMPARE(fields.value(5), QStringLiteral("{errorCode:%1}").arg(code));
}

void TestNetworkReplyHolder::connectionRefused()
{
    const QString url = TestEnvironment::deadBaseUrl() + QStringLiteral("/QXV1/Config/getAll");
    std::unique_ptr<NetWorkReplyHolder> holder(Singleton<HttpMgr>::instance()->get(url, {}, 5000));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-1", "finish"}));
}

void TestNetworkReplyHolder::failureBeforeStartEventStartsOnce()
{
    MessageCatcher log;
    std::unique_ptr<NetWorkReplyHolder> holder(get(-1));
    HolderRecorder recorder(holder.get());
    // The error path runs before the posted start event is handled.
    holder->slot_error(QNetworkReply::ContentNotFoundError);
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-203", "finish"}));

    // The later start event and the real answer add nothing.
    QTRY_VERIFY(log.contains(QStringLiteral("already handled in error")));
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-203", "finish"}));
}

void TestNetworkReplyHolder::answerQueuedBeforeStartEventStartsFirst()
{
    // The toolkit sends a request at once; on loopback the answer can be
    // queued before the holder posts its start event.
    QNetworkAccessManager manager;
    // A first request brings the manager up; later ones leave at once.
    QNetworkReply *warmUp = manager.get(QNetworkRequest(QUrl(apiUrl())));
    QSignalSpy warmedUp(warmUp, &QNetworkReply::finished);
    QVERIFY(warmedUp.wait());
    delete warmUp;

    QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(apiUrl())));
    QThread::msleep(300);
    std::unique_ptr<NetWorkReplyHolder> holder(new NetWorkReplyHolder(reply, apiUrl(), -1));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
}

void TestNetworkReplyHolder::timeoutGivesFailureFourThenAbort()
{
    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("hang"));
    std::unique_ptr<NetWorkReplyHolder> holder(get(300));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:4", "abort"}));

    // The abort's own error (reported at once by the aborted reply) is only
    // recorded, never reported again.
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "failure:4", "abort"}));
    const QStringList fields = actionRecords().last().split(',');
    QCOMPARE(fields.value(4), QStringLiteral("Config_getAll_failure"));
    QCOMPARE(fields.value(5), QStringLiteral("{abort:true}"));
}

void TestNetworkReplyHolder::noTimeoutWhenNotPositive_data()
{
    QTest::addColumn<int>("timeout");
    QTest::newRow("zero") << 0;
    QTest::newRow("minus one") << -1;
}

void TestNetworkReplyHolder::noTimeoutWhenNotPositive()
{
    QFETCH(int, timeout);
    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("delay"),
                       QJsonObject{{"delay_ms", 100}});
    std::unique_ptr<NetWorkReplyHolder> holder(get(timeout));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
}

void TestNetworkReplyHolder::answerJustBeforeTimeoutIsNoTimeout()
{
    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("delay"),
                       QJsonObject{{"delay_ms", 50}});
    MessageCatcher log;
    // Room for a slow machine between the answer and the time-out.
    std::unique_ptr<NetWorkReplyHolder> holder(get(500));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    // The timer runs out after the answer: it must see a finished reply.
    QTRY_VERIFY(log.contains(QStringLiteral("timeout:onTimeout")));
    TestUtil::drainEvents();
    QVERIFY(!log.contains(QStringLiteral("timeout:reply is running, really timeout")));
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
}

void TestNetworkReplyHolder::abortBeforeEventLoopGivesOnlyAbort()
{
    std::unique_ptr<NetWorkReplyHolder> holder(get(5000));
    HolderRecorder recorder(holder.get());
    holder->setShouldAbort(true);
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, QStringList{"abort"});
}

void TestNetworkReplyHolder::abortWhileRunningGivesAbortAfterStart()
{
    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("hang"));
    std::unique_ptr<NetWorkReplyHolder> holder(get(-1));
    HolderRecorder recorder(holder.get());
    QTRY_COMPARE(recorder.events, QStringList{"start"});
    holder->setShouldAbort(true);
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "abort"}));
}

void TestNetworkReplyHolder::destroyedHolderSaysNothing()
{
    m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("hang"));
    std::unique_ptr<NetWorkReplyHolder> holder(get(200));
    HolderRecorder recorder(holder.get());
    holder.reset();
    // The reply and its time-out go with the holder: once the deferred
    // deletions ran there is nothing left that could speak.
    TestUtil::drainEvents();
    QVERIFY(recorder.events.isEmpty());
    // The abandoned request is recorded like any other.
    QCOMPARE(actionRecords().last().split(',').value(5), QStringLiteral("{abort:true}"));
}

void TestNetworkReplyHolder::holderDeletedInItsOwnSlot_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("event");
    QTest::newRow("start") << 0 << "start";
    QTest::newRow("success") << 0 << "success";
    QTest::newRow("finish") << 0 << "finish";
    QTest::newRow("failure") << 404 << "failure:-203";
}

void TestNetworkReplyHolder::holderDeletedInItsOwnSlot()
{
    QFETCH(int, status);
    QFETCH(QString, event);
    if (status)
        m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), QStringLiteral("status"),
                           QJsonObject{{"status", status}});
    QPointer<NetWorkReplyHolder> holder = get(5000);
    HolderRecorder recorder(holder);
    auto deleteOn = [&](const QString &seen) {
        if (seen == event)
            delete holder.data();
    };
    connect(holder, &NetWorkReplyHolder::signal_onStart, this, [=] { deleteOn("start"); });
    connect(holder, &NetWorkReplyHolder::signal_onSuccess, this, [=] { deleteOn("success"); });
    connect(holder, &NetWorkReplyHolder::signal_onFailure, this,
            [=](int code) { deleteOn(QStringLiteral("failure:%1").arg(code)); });
    connect(holder, &NetWorkReplyHolder::signal_onFinish, this, [=] { deleteOn("finish"); });
    QTRY_VERIFY(holder.isNull());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events.last(), event);
}

void TestNetworkReplyHolder::progressWithUnknownTotalIsDropped()
{
    std::unique_ptr<NetWorkReplyHolder> holder(get(-1));
    QSignalSpy progress(holder.get(), &NetWorkReplyHolder::signal_downloadProgress);
    holder->slot_downloadProgress(10, -1);
    QCOMPARE(progress.count(), 0);
    holder->slot_downloadProgress(10, 100);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.first().at(0).toLongLong(), 10LL);
    QCOMPARE(progress.first().at(1).toLongLong(), 100LL);
}

void TestNetworkReplyHolder::errorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused") << 1 << "ConnectionRefusedError" << QStringLiteral("连接被拒绝");
    QTest::newRow("closed") << 2 << "RemoteHostClosedError" << QStringLiteral("远程主机关闭");
    QTest::newRow("host") << 3 << "HostNotFoundError" << QStringLiteral("无法连接服务器");
    QTest::newRow("timeout") << 4 << "TimeoutError" << QStringLiteral("连接超时");
    QTest::newRow("cancelled") << 5 << "OperationCanceledError" << QStringLiteral("操作被取消");
    QTest::newRow("ssl") << 6 << "SslHandshakeFailedError" << "SslHandshakeFailedError";
    QTest::newRow("not found") << 203 << "ContentNotFoundError" << "ContentNotFoundError";
    QTest::newRow("server") << 401 << "InternalServerError" << "InternalServerError";
    QTest::newRow("unknown server") << 499 << "UnknownServerError" << "UnknownServerError";
    QTest::newRow("no error") << 0 << "" << "";
    QTest::newRow("negated") << -3 << "" << "";
    QTest::newRow("not a value") << 12 << "" << "";
}

void TestNetworkReplyHolder::errorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QCOMPARE(networkErrorName(code), name);
    QCOMPARE(networkErrorMessage(code), message);
}

QTEST_GUILESS_MAIN(TestNetworkReplyHolder)
#include "tst_networkreplyholder.moc"
