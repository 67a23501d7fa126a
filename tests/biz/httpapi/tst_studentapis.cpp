#include "apitestsupport.h"

#include "biz/httpapi/baseapis.h"
#include "biz/httpapi/mockhttpresponsemgr.h"
#include "biz/httpapi/studentapis.h"
#include "lessonservice.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "platform/systemdescription.h"
#include "testutil.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace ApiTest;

namespace {

using ApiCall = std::function<EntityNetworkReplyHolder *(QObject *)>;

// Value that changes per call; checked by its own test.
const QString kAnyValue = QStringLiteral("<any>");

struct WireCase
{
    const char *name;
    ApiCall call;
    QString method;
    QString path;
    // Parameters as they must arrive, in the order they must arrive.
    QList<QPair<QString, QString>> params;
    // Milliseconds; -1 for none.
    int timeout;
};

QList<WireCase> wireCases()
{
    using P = QPair<QString, QString>;
    return {
        { "pcNewUpdate", [](QObject *o) { return StudentApis::pcNewUpdate(o); }, "GET", "/QXV1/Public/pcNewUpdate",
          { P("source", "12") }, -1 },
        { "getAppConfig", [](QObject *o) { return StudentApis::getAppConfig(o); }, "GET", "/QXV1/Config/getAll",
          { P("source", "12") }, 10000 },
        { "getBookedClassList", [](QObject *o) { return StudentApis::getBookedClassList(o); }, "GET",
          "/QXV1/PcStudents/getBookedClassList", {}, -1 },
        { "getBookedClass negative day", [](QObject *o) { return StudentApis::getBookedClass(o, -3); }, "GET",
          "/QXV1/PcStudents/getBookedClass", { P("date", "-3") }, -1 },
        { "getClassInfo", [](QObject *o) { return StudentApis::getClassInfo(o, 8001); }, "GET",
          "/QXV1/PcTeacher/getClassInfo", { P("cid", "8001") }, -1 },
        { "classInfo", [](QObject *o) { return StudentApis::classInfo(o, QStringLiteral("8001")); }, "GET",
          "/QXV1/PcClass/classInfo", { P("cid", "8001"), P("client_local_ts", kAnyValue) }, 10000 },
        { "webUrl", [](QObject *o) { return StudentApis::webUrl(o); }, "GET", "/QXV1/Public/webUrl",
          { P("source", "12"), P("type", "1") }, -1 },
        { "test", [](QObject *o) { return StudentApis::test(o, NETLINK_MAIN, 1234); }, "GET", "/QXV1/Public/test", {}, 1234 },
        { "getScheduleByDay above int range", [](QObject *o) { return StudentApis::getScheduleByDay(o, 3000000000u); },
          "GET", "/QXV1/PcTeacher/getScheduleByDay", { P("date", "3000000000") }, -1 },
        { "hasPermissionSupervise",
          [](QObject *o) { return StudentApis::hasPermissionSupervise(QStringLiteral("tok-1"), QStringLiteral("8001"), o); },
          "GET", "/QXV1/Supervise/hasPermissionSupervise", { P("cid", "8001"), P("token", "tok-1") }, -1 },
        { "classWebUrl", [](QObject *o) { return StudentApis::classWebUrl(o, QStringLiteral("8001"), QStringLiteral("3")); },
          "GET", "/QXV1/Public/webUrl", { P("class_id", "8001"), P("source", "13"), P("type", "3") }, -1 },
        { "logEventImpl", [](QObject *o) { return StudentApis::logEventImpl(o, {}); }, "POST", "/QXV1/Public/kv",
          { P("json_str", "[]") }, -1 },
        { "login", [](QObject *o) { return StudentApis::login(o, QStringLiteral("13800000001"), QStringLiteral("student123")); },
          "POST", "/QXV1/PcStudents/login",
          { P("os", kAnyValue), P("password", "ad6a280417a0f533d8b670c61667e1a0"), P("sdk_type", "2"), P("source", "12"),
            P("username", "13800000001"), P("version", "1.1.5.1") }, 15000 },
        { "postEncourage", [](QObject *o) { return StudentApis::postEncourage(o, QStringLiteral("8001"), QStringLiteral("9001")); },
          "POST", "/QXV1/PcClass/clickLike", { P("class_id", "8001"), P("tid", "9001") }, -1 },
        { "saveComment",
          [](QObject *o) { return StudentApis::saveComment(o, QStringLiteral("8001"), 5, QStringLiteral("Fun & easy = 5/5 +1 老师好")); },
          "POST", "/QXV1/PcClass/saveComment",
          { P("class_id", "8001"), P("comment", "Fun & easy = 5/5 +1 老师好"), P("score", "5") }, -1 },
        { "updateSdkSig", [](QObject *o) { return StudentApis::updateSdkSig(o, QStringLiteral("5001"), QStringLiteral("8001")); },
          "POST", "/QXV1/PcClass/updateSdkSig", { P("class_id", "8001"), P("sid", "5001"), P("source", "12") }, -1 },
    };
}

} // namespace

class TestStudentApis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void callsGoOutAsListed_data();
    void callsGoOutAsListed();
    void loginHashesPasswordAndDescribesSystem();
    void sessionCookieIsRecordedAndSentBack();
    void classInfoCarriesLocalClock();
    void idsStayParameterValues_data();
    void idsStayParameterValues();
    void eventsAreOneCompactArray();
    void logEventHolderReleasesItself();
    void uploadsCarryTheirParts();
    void lineTestUsesProductionHostOfItsLine();
    void cannedCallsUseNetworkWhenSwitchedOff();

private:
    QJsonObject lastRequest(const QString &path);

    LessonService m_service;
    QObject m_owner;
    QTemporaryDir m_dir;
};

void TestStudentApis::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    QVERIFY(m_dir.isValid());
}

void TestStudentApis::init()
{
    BaseApis::setNetLinkType(NETLINK_MAIN);
    m_service.reset();
}

QJsonObject TestStudentApis::lastRequest(const QString &path)
{
    return m_service.lastRequest(path);
}

void TestStudentApis::callsGoOutAsListed_data()
{
    QTest::addColumn<int>("index");
    const QList<WireCase> cases = wireCases();
    for (int i = 0; i < cases.size(); ++i)
        QTest::newRow(cases.at(i).name) << i;
}

void TestStudentApis::callsGoOutAsListed()
{
    QFETCH(int, index);
    const WireCase c = wireCases().at(index);

    int timeout = 0;
    EntityNetworkReplyHolder *holder = callNotingTimeout([&] { return c.call(&m_owner); }, &timeout);
    QVERIFY(holder);
    QCOMPARE(holder->parent(), &m_owner);
    QCOMPARE(timeout, c.timeout);
    QVERIFY(waitForEnd(holder));

    const QJsonObject request = lastRequest(c.path);
    QCOMPARE(request.value("method").toString(), c.method);
    QCOMPARE(request.value("path").toString(), c.path);

    const bool isGet = c.method == QLatin1String("GET");
    const QJsonObject values = request.value(isGet ? "query" : "form").toObject();
    QStringList expectedKeys;
    for (const auto &param : c.params) {
        expectedKeys << param.first;
        if (param.second != kAnyValue)
            QCOMPARE(values.value(param.first).toString(), param.second);
    }
    QCOMPARE(keysOf(request.value(isGet ? "query_order" : "form_order").toArray()), expectedKeys);
    if (isGet) {
        QVERIFY(keysOf(request.value("form_order").toArray()).isEmpty());
    } else {
        QVERIFY(keysOf(request.value("query_order").toArray()).isEmpty());
        QVERIFY(request.value("headers").toObject().value("content-type").toString().startsWith(
            QLatin1String("application/x-www-form-urlencoded")));
    }
    delete holder;
}

void TestStudentApis::loginHashesPasswordAndDescribesSystem()
{
    EntityNetworkReplyHolder *holder = StudentApis::login(&m_owner, QStringLiteral("13800000001"), QStringLiteral("student123"));
    QSignalSpy succeeded(holder, &EntityNetworkReplyHolder::signal_onSuccess);
    QVERIFY(waitForEnd(holder));
    QCOMPARE(succeeded.count(), 1);

    const QJsonObject form = lastRequest("/QXV1/PcStudents/login").value("form").toObject();
    const QString password = form.value("password").toString();
    QCOMPARE(password, md5("student123"));
    QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(password).hasMatch());
    QCOMPARE(form.value("os").toString(), getSystemDescription());
    QVERIFY(form.value("os").toString().startsWith(QLatin1String("version:")));

    // Refused credentials still send the hash, never the typed text.
    holder = StudentApis::login(&m_owner, QStringLiteral("13800000001"), QStringLiteral("wrong"));
    QSignalSpy failed(holder, &EntityNetworkReplyHolder::signal_onFailure);
    QVERIFY(waitForEnd(holder));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(lastRequest("/QXV1/PcStudents/login").value("form").toObject().value("password").toString(), md5("wrong"));
}

void TestStudentApis::sessionCookieIsRecordedAndSentBack()
{
    EntityNetworkReplyHolder *holder = StudentApis::login(&m_owner, QStringLiteral("13800000001"), QStringLiteral("student123"));
    QVERIFY(waitForEnd(holder));
    const QString sessionId = Singleton<HttpMgr>::instance()->getPhpSessionId();
    QVERIFY(!sessionId.isEmpty());

    holder = StudentApis::getBookedClassList(&m_owner);
    QVERIFY(waitForEnd(holder));
    const QString cookie = lastRequest("/QXV1/PcStudents/getBookedClassList").value("cookie").toString();
    QVERIFY2(cookie.contains(QStringLiteral("PHPSESSID=") + sessionId), qPrintable(cookie));
}

void TestStudentApis::classInfoCarriesLocalClock()
{
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    EntityNetworkReplyHolder *holder = StudentApis::classInfo(&m_owner, QStringLiteral("8001"));
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    QVERIFY(waitForEnd(holder));

    bool ok = false;
    const qint64 sent = lastRequest("/QXV1/PcClass/classInfo").value("query").toObject().value("client_local_ts").toString().toLongLong(&ok);
    QVERIFY(ok);
    QVERIFY(sent >= before && sent <= after);
}

void TestStudentApis::idsStayParameterValues_data()
{
    QTest::addColumn<QString>("classId");
    QTest::newRow("path climbing") << QStringLiteral("../../Public/kv");
    QTest::newRow("extra parameter") << QStringLiteral("8001&cid=1");
    QTest::newRow("fragment") << QStringLiteral("8001#x");
    QTest::newRow("query") << QStringLiteral("8001?cid=2");
    QTest::newRow("plus and blank") << QStringLiteral("80 01+2");
}

// Ids come from server answers; whatever they hold, they reach the server as
// the one parameter value and never change the path or add parameters.
void TestStudentApis::idsStayParameterValues()
{
    QFETCH(QString, classId);

    EntityNetworkReplyHolder *holder = StudentApis::classInfo(&m_owner, classId);
    QVERIFY(waitForEnd(holder));
    const QJsonObject request = lastRequest("/QXV1/PcClass/classInfo");
    QCOMPARE(request.value("path").toString(), QStringLiteral("/QXV1/PcClass/classInfo"));
    QCOMPARE(keysOf(request.value("query_order").toArray()), QStringList({ "cid", "client_local_ts" }));
    QCOMPARE(request.value("query").toObject().value("cid").toString(), classId);

    holder = StudentApis::postEncourage(&m_owner, classId, QStringLiteral("9001"));
    QVERIFY(waitForEnd(holder));
    const QJsonObject post = lastRequest("/QXV1/PcClass/clickLike");
    QCOMPARE(keysOf(post.value("form_order").toArray()), QStringList({ "class_id", "tid" }));
    QCOMPARE(post.value("form").toObject().value("class_id").toString(), classId);
    QCOMPARE(m_service.requests().size(), 2);
}

void TestStudentApis::eventsAreOneCompactArray()
{
    const QVector<LogEventEntity> events = {
        { QStringLiteral("win/student/1.1.5.1/event"), QStringLiteral("user/login"), QStringLiteral("1") },
        { QStringLiteral("win/student/1.1.5.1/event"), QStringLiteral("class/join"), QStringLiteral("8001 \"x\"") },
    };
    EntityNetworkReplyHolder *holder = StudentApis::logEventImpl(&m_owner, events);
    QVERIFY(waitForEnd(holder));

    const QString text = lastRequest("/QXV1/Public/kv").value("form").toObject().value("json_str").toString();
    QCOMPARE(text, QStringLiteral("[{\"key\":\"user/login\",\"type\":\"win/student/1.1.5.1/event\",\"value\":\"1\"},"
                                  "{\"key\":\"class/join\",\"type\":\"win/student/1.1.5.1/event\",\"value\":\"8001 \\\"x\\\"\"}]"));
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    QCOMPARE(array.size(), 2);
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        QCOMPARE(object.keys(), QStringList({ "key", "type", "value" }));
        QCOMPARE(object.value("type").toString(), events.at(i).type);
        QCOMPARE(object.value("key").toString(), events.at(i).key);
        QCOMPARE(object.value("value").toString(), events.at(i).value);
    }
}

void TestStudentApis::logEventHolderReleasesItself()
{
    QPointer<EntityNetworkReplyHolder> holder =
        StudentApis::logEvent(&m_owner, { { QStringLiteral("t"), QStringLiteral("user/login"), QStringLiteral("1") } });
    QVERIFY(holder);
    QTRY_VERIFY_WITH_TIMEOUT(holder.isNull(), 10000);
    QCOMPARE(lastRequest("/QXV1/Public/kv").value("method").toString(), QStringLiteral("POST"));
}

void TestStudentApis::uploadsCarryTheirParts()
{
    const QString picture = m_dir.filePath(QStringLiteral("shot.png"));
    const QString archive = m_dir.filePath(QStringLiteral("app.zip"));
    for (const QString &path : { picture, archive }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1234, 'x'));
    }
    StudentLoginDataEntity user;
    user.id = QStringLiteral("5001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);

    // An upload never has a time-out.
    int timeout = 0;
    EntityNetworkReplyHolder *holder = callNotingTimeout([&] { return StudentApis::chatPic(&m_owner, picture); }, &timeout);
    QCOMPARE(timeout, -1);
    QVERIFY(waitForEnd(holder));
    QJsonObject request = lastRequest("/QXV1/Public/chatPic");
    QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
    QVERIFY(keysOf(request.value("form_order").toArray()).isEmpty());
    QJsonArray files = request.value("files").toArray();
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.at(0).toObject().value("field").toString(), QStringLiteral("chatPic"));
    QCOMPARE(files.at(0).toObject().value("filename").toString(), QStringLiteral("shot.png"));
    QCOMPARE(files.at(0).toObject().value("size").toInt(), 1234);

    const qint64 before = QDateTime::currentMSecsSinceEpoch() / 1000;
    holder = StudentApis::pcLogUpload(&m_owner, archive);
    const qint64 after = QDateTime::currentMSecsSinceEpoch() / 1000;
    QVERIFY(waitForEnd(holder));
    request = lastRequest("/QXV1/Public/pcLogUpload");
    QCOMPARE(keysOf(request.value("form_order").toArray()), QStringList({ "source", "time", "user_id" }));
    const QJsonObject form = request.value("form").toObject();
    QCOMPARE(form.value("source").toString(), QStringLiteral("12"));
    QCOMPARE(form.value("user_id").toString(), QStringLiteral("5001"));
    const qint64 seconds = form.value("time").toString().toLongLong();
    QVERIFY(seconds >= before && seconds <= after);
    files = request.value("files").toArray();
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.at(0).toObject().value("field").toString(), QStringLiteral("appLog"));
    QCOMPARE(files.at(0).toObject().value("filename").toString(), QStringLiteral("app.zip"));
    QCOMPARE(files.at(0).toObject().value("content_type").toString(), QStringLiteral("application/zip"));
}

void TestStudentApis::lineTestUsesProductionHostOfItsLine()
{
    // A second stand-in serves line 3 only: the test of line 3 must reach it
    // whatever line is current.
    const QByteArray previous = qgetenv("LESSONRY_SERVERS_INI");
    LessonService singapore;
    QVERIFY(singapore.start());
    const QString mainBase = m_service.baseUrl();
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("servers.ini"));
    TestUtil::ServerAddresses addresses;
    addresses.main = mainBase;
    addresses.singapore = singapore.baseUrl();
    QVERIFY(TestUtil::useServersIni(ini, addresses));

    EntityNetworkReplyHolder *holder = StudentApis::test(&m_owner, NETLINK_SINGAPORE, 2000);
    QSignalSpy succeeded(holder, &EntityNetworkReplyHolder::signal_onSuccess);
    QVERIFY(waitForEnd(holder));
    QCOMPARE(succeeded.count(), 1);
    QCOMPARE(singapore.lastRequest("/QXV1/Public/test").value("method").toString(), QStringLiteral("GET"));
    QVERIFY(m_service.requests().isEmpty());

    qputenv("LESSONRY_SERVERS_INI", previous);
    singapore.stop();
}

void TestStudentApis::cannedCallsUseNetworkWhenSwitchedOff()
{
    const QList<QPair<QString, ApiCall>> calls = {
        { "/QXV1/PcTeacher/getClassInfo", [](QObject *o) { return StudentApis::getClassInfo(o, 1); } },
        { "/QXV1/PcClass/classInfo", [](QObject *o) { return StudentApis::classInfo(o, QStringLiteral("1")); } },
        { "/QXV1/PcTeacher/getScheduleByDay", [](QObject *o) { return StudentApis::getScheduleByDay(o, 1); } },
    };
    for (const auto &call : calls) {
        EntityNetworkReplyHolder *holder = call.second(&m_owner);
        QSignalSpy started(holder, &EntityNetworkReplyHolder::signal_onStart);
        QVERIFY(waitForEnd(holder));
        QCOMPARE(started.count(), 1);
        QVERIFY2(!lastRequest(call.first).isEmpty(), qPrintable(call.first));
    }
    QVERIFY(Singleton<MockHttpResponseMgr>::instance()->getResponse(QStringLiteral("teacher.schedule")).body.isEmpty());
}

QTEST_GUILESS_MAIN(TestStudentApis)
#include "tst_studentapis.moc"
