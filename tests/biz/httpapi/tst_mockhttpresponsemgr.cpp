#include "biz/httpapi/mockentitynetworkreplyholder.h"
#include "biz/httpapi/mockhttpresponsemgr.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList sorted(QStringList keys)
{
    keys.sort();
    return keys;
}

} // namespace

class TestMockHttpResponseMgr : public QObject
{
    Q_OBJECT

private slots:
    void tableIsEmptyUntilInit();
    void initFillsTheFourAnswers_data();
    void initFillsTheFourAnswers();
    void initTwiceKeepsTheTable();
    void scheduleHasFreeAndBookedSlots();
    void classAnswersCarryTheirRecords();
    void holderDeliversOnlySuccessLater();
    void holderWaitsForItsDelay();
};

void TestMockHttpResponseMgr::tableIsEmptyUntilInit()
{
    MockHttpResponseMgr mgr;
    const MockHttpResponse response = mgr.getResponse(QStringLiteral("teacher.login"));
    QCOMPARE(response.delay, 0);
    QCOMPARE(response.body, QString());
}

void TestMockHttpResponseMgr::initFillsTheFourAnswers_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("errorMsg");
    QTest::newRow("login") << QStringLiteral("teacher.login") << 43 << QString();
    QTest::newRow("schedule") << QStringLiteral("teacher.schedule") << 5518 << QStringLiteral("Get data succeed");
    QTest::newRow("class details") << QStringLiteral("teacher.getclassinfo") << 2502 << QStringLiteral("Get course info success");
    QTest::newRow("class information") << QStringLiteral("teacher.classinfo") << 2573 << QStringLiteral("Get data succeed");
}

void TestMockHttpResponseMgr::initFillsTheFourAnswers()
{
    QFETCH(QString, key);
    QFETCH(int, length);
    QFETCH(QString, errorMsg);

    MockHttpResponseMgr mgr;
    mgr.init();
    const MockHttpResponse response = mgr.getResponse(key);
    QCOMPARE(response.delay, 0);
    QCOMPARE(response.body.size(), length);
    if (errorMsg.isEmpty()) {
        // The canned login is the server's error page, not JSON.
        QCOMPARE(response.body, QStringLiteral("Error Message:Redis Error<br>Error Code:102"));
        return;
    }
    QJsonParseError error;
    const QJsonObject answer = QJsonDocument::fromJson(response.body.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(answer.value("errorCode").toInt(), 200);
    QCOMPARE(answer.value("errorMsg").toString(), errorMsg);
    QVERIFY(answer.value("time").isDouble());
}

void TestMockHttpResponseMgr::initTwiceKeepsTheTable()
{
    MockHttpResponseMgr mgr;
    mgr.init();
    const QString schedule = mgr.getResponse(QStringLiteral("teacher.schedule")).body;
    mgr.init();
    QCOMPARE(mgr.getResponse(QStringLiteral("teacher.schedule")).body, schedule);
    QCOMPARE(mgr.getResponse(QStringLiteral("teacher.unknown")).body, QString());
}

void TestMockHttpResponseMgr::scheduleHasFreeAndBookedSlots()
{
    MockHttpResponseMgr mgr;
    mgr.init();
    const QJsonArray days = QJsonDocument::fromJson(mgr.getResponse(QStringLiteral("teacher.schedule")).body.toUtf8())
                                .object()
                                .value("data")
                                .toArray();
    QCOMPARE(days.size(), 2);
    const QStringList bookedKeys = sorted({ "class_id", "room_id", "begin_time", "class_time", "free_try", "cls_type", "type",
                                            "status", "cls_max_num", "cls_app_num", "tch_plan_url", "material", "teacher",
                                            "students", "resource" });
    int booked = 0;
    for (const QJsonValue &day : days) {
        QVERIFY(day.toObject().value("timestamp").isDouble());
        const QJsonArray daySlots = day.toObject().value("data").toArray();
        QVERIFY(!daySlots.isEmpty());
        for (const QJsonValue &entry : daySlots) {
            const QJsonObject object = entry.toObject();
            if (object.value("class_id").toString().isEmpty()) {
                QCOMPARE(sorted(object.keys()), sorted({ "class_id", "begin_time" }));
            } else {
                ++booked;
                QCOMPARE(sorted(object.keys()), bookedKeys);
                QVERIFY(object.value("students").isArray());
                QVERIFY(object.value("resource").isArray());
            }
        }
    }
    QVERIFY(booked > 0);
}

void TestMockHttpResponseMgr::classAnswersCarryTheirRecords()
{
    MockHttpResponseMgr mgr;
    mgr.init();
    const QJsonObject details = QJsonDocument::fromJson(mgr.getResponse(QStringLiteral("teacher.getclassinfo")).body.toUtf8())
                                    .object()
                                    .value("data")
                                    .toObject();
    for (const char *key : { "id", "begin_time", "class_time", "status", "use_tool", "free_try" })
        QVERIFY2(details.contains(QLatin1String(key)), key);
    QVERIFY(details.value("teacher").isObject());
    QVERIFY(details.value("material").isObject());
    QVERIFY(!details.value("student").toArray().isEmpty());
    const QJsonObject resource = details.value("resource").toArray().first().toObject();
    QCOMPARE(sorted(resource.keys()), sorted({ "mid", "name", "type", "path", "md5" }));

    const QJsonObject info = QJsonDocument::fromJson(mgr.getResponse(QStringLiteral("teacher.classinfo")).body.toUtf8())
                                 .object()
                                 .value("data")
                                 .toObject();
    QVERIFY(info.value("material").toObject().value("voices").isArray());
    QVERIFY(info.value("material").toObject().value("videos").isArray());
    QVERIFY(!info.value("students").toArray().isEmpty());
    const QJsonObject agora = info.value("agorainfo").toObject();
    QVERIFY(agora.value("sig_key").isString());
    QVERIFY(agora.value("media_key").isString());
    QVERIFY(agora.value("expired_time").isDouble());
}

void TestMockHttpResponseMgr::holderDeliversOnlySuccessLater()
{
    QObject owner;
    auto *holder = new MockEntityNetworkReplyHolder(&owner, MockHttpResponse{ 0, QString() });
    QCOMPARE(holder->parent(), &owner);
    QSignalSpy started(holder, &EntityNetworkReplyHolder::signal_onStart);
    QSignalSpy raw(holder, &EntityNetworkReplyHolder::signal_onRawSuccess);
    QSignalSpy succeeded(holder, &EntityNetworkReplyHolder::signal_onSuccess);
    QSignalSpy failed(holder, &EntityNetworkReplyHolder::signal_onFailure);
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    // Nothing is delivered from inside the call that made the holder.
    QCOMPARE(succeeded.count(), 0);
    QVERIFY(succeeded.wait(1000));
    QCOMPARE(succeeded.at(0).at(0).toString(), QString());
    TestUtil::drainEvents();
    QCOMPARE(succeeded.count(), 1);
    QCOMPARE(started.count() + raw.count() + failed.count() + finished.count(), 0);
    // abort() has no request to act on.
    holder->abort();
}

void TestMockHttpResponseMgr::holderWaitsForItsDelay()
{
    QElapsedTimer clock;
    clock.start();
    MockEntityNetworkReplyHolder holder(nullptr, MockHttpResponse{ 150, QStringLiteral("{\"errorCode\":200}") });
    QSignalSpy succeeded(&holder, &EntityNetworkReplyHolder::signal_onSuccess);
    QVERIFY(succeeded.wait(2000));
    QVERIFY(clock.elapsed() >= 140);
    QCOMPARE(succeeded.at(0).at(0).toString(), QStringLiteral("{\"errorCode\":200}"));
}

QTEST_GUILESS_MAIN(TestMockHttpResponseMgr)
#include "tst_mockhttpresponsemgr.moc"
