// The stand-in lesson service, driven the way the client and the tests
// meet it: real HTTP through QNetworkAccessManager, raw sockets where the
// bytes on the wire matter, and the LessonService fixture for control.

#include "lessonservice.h"
#include "testenvironment.h"
#include "testutil.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>

#include <sys/socket.h>

namespace {

struct HttpResult
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray contentLength;
    QByteArray setCookie;

    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

QByteArray md5(const QByteArray &text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

QString fixturePath(const QString &name)
{
    return QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/") + name;
}

QByteArray fixtureBytes(const QString &name)
{
    QFile file(fixturePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A raw exchange on its own connection: the answer's head and body as sent.
struct RawAnswer
{
    int status = 0;
    QByteArray head; // lower case
    QByteArray body;

    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n')) {
            if (line.startsWith(name + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return QByteArray();
    }
};

// A cut-short request (cutShort) is followed by the end of the client's side
// of the stream, so the service sees it end at once instead of waiting for
// its read time-out; the service then drops it without an answer.
RawAnswer rawExchange(quint16 port, const QByteArray &request, bool cutShort = false)
{
    RawAnswer answer;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return answer;
    socket.write(request);
    socket.waitForBytesWritten(5000);
    if (cutShort)
        ::shutdown(static_cast<int>(socket.socketDescriptor()), SHUT_WR);
    QByteArray data;
    while (socket.waitForReadyRead(5000))
        data += socket.readAll();
    data += socket.readAll();
    const int end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return answer;
    answer.head = data.left(end).toLower();
    answer.body = data.mid(end + 4);
    answer.status = data.mid(9, 3).toInt();
    return answer;
}

RawAnswer rawGet(quint16 port, const QByteArray &target, const QByteArray &extraHeaders = QByteArray())
{
    return rawExchange(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extraHeaders + "\r\n");
}

} // namespace

class tst_LessonService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fixtureStartsServiceAndPointsServersIniAtIt();
    void everyCallAnswersWithTheEnvelope_data();
    void everyCallAnswersWithTheEnvelope();
    void login_data();
    void login();
    void refusals_data();
    void refusals();
    void classInfoEchoesTheClientClock();
    void classesFollowTheServiceStart();
    void callsChangeWhatClassInfoReports();
    void praiseCountsForTheSignedInStudent_data();
    void praiseCountsForTheSignedInStudent();
    void uploadedPicturesAreServed();
    void requestsAreRecordedInOrder();
    void filesAreServedWithLengthAndRanges_data();
    void filesAreServedWithLengthAndRanges();
    void avinfo_data();
    void avinfo();
    void faultsSpoilAnswers_data();
    void faultsSpoilAnswers();
    void delayAndTimesAreHonoured();
    void hangEndsOnResetAndBlocksNothingElse();
    void stallSendsHalfThenWaitsForReset();
    void upgradeOfferServesItsInstaller();
    void classBeginCanBeMoved();
    void controlRejectsBadInput_data();
    void controlRejectsBadInput();
    void survivesMalformedRequests();
    void endsCleanlyOnSigterm();
    void endsWithTheProcessThatStartedIt();

private:
    HttpResult finish(QNetworkReply *reply, int timeoutMs = 10000);
    HttpResult get(const QString &pathAndQuery, int transferTimeoutMs = 0);
    HttpResult post(const QString &path, const QList<QPair<QString, QString>> &form);
    HttpResult upload(const QString &path, const QList<QPair<QString, QString>> &fields, const QString &fileField,
                      const QByteArray &fileData, const QString &fileName);
    QJsonObject classInfo(const QString &classId);

    LessonService m_service;
    QNetworkAccessManager m_network;
    qint64 m_firstDay = 0;
    qint64 m_startedAt = 0;
};

// A connection closed short of its Content-Length: Qt reports it as
// RemoteHostClosedError, or, when the close is seen before the socket error,
// as a finished reply with a short body. Either way the answer is incomplete.
static bool endedShort(QNetworkReply::NetworkError error, int received, int announced)
{
    if (error == QNetworkReply::RemoteHostClosedError)
        return true;
    return error == QNetworkReply::NoError && received < announced;
}

HttpResult tst_LessonService::finish(QNetworkReply *reply, int timeoutMs)
{
    HttpResult result;
    if (!reply->isFinished()) {
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!finished.wait(timeoutMs))
            qWarning("no answer within %d ms", timeoutMs);
    }
    result.error = reply->error();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        result.body = reply->readAll();
    result.contentLength = reply->rawHeader("Content-Length");
    result.setCookie = reply->rawHeader("Set-Cookie");
    reply->deleteLater();
    return result;
}

HttpResult tst_LessonService::get(const QString &pathAndQuery, int transferTimeoutMs)
{
    QNetworkRequest request(QUrl(m_service.baseUrl() + pathAndQuery));
    if (transferTimeoutMs > 0)
        request.setTransferTimeout(transferTimeoutMs);
    return finish(m_network.get(request));
}

HttpResult tst_LessonService::post(const QString &path, const QList<QPair<QString, QString>> &form)
{
    QByteArrayList fields;
    for (const auto &field : form)
        fields.append(QUrl::toPercentEncoding(field.first) + '=' + QUrl::toPercentEncoding(field.second));
    QNetworkRequest request(QUrl(m_service.baseUrl() + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    return finish(m_network.post(request, fields.join('&')));
}

HttpResult tst_LessonService::upload(const QString &path, const QList<QPair<QString, QString>> &fields,
                                     const QString &fileField, const QByteArray &fileData, const QString &fileName)
{
    auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    for (const auto &field : fields) {
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader, QStringLiteral("form-data; name=\"%1\"").arg(field.first));
        part.setBody(field.second.toUtf8());
        multiPart->append(part);
    }
    if (!fileField.isEmpty()) {
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data; name=\"%1\"; filename=\"%2\"").arg(fileField, fileName));
        part.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("image/png"));
        part.setBody(fileData);
        multiPart->append(part);
    }
    QNetworkReply *reply = m_network.post(QNetworkRequest(QUrl(m_service.baseUrl() + path)), multiPart);
    multiPart->setParent(reply);
    return finish(reply);
}

QJsonObject tst_LessonService::classInfo(const QString &classId)
{
    return get(QStringLiteral("/QXV1/PcClass/classInfo?cid=%1&client_local_ts=1").arg(classId))
        .json().value(QStringLiteral("data")).toObject();
}

void tst_LessonService::initTestCase()
{
    m_startedAt = QDateTime::currentSecsSinceEpoch();
    QVERIFY(m_service.start());
    const QJsonArray days = get(QStringLiteral("/QXV1/PcStudents/getBookedClassList")).json().value(QStringLiteral("data")).toArray();
    QVERIFY(!days.isEmpty());
    m_firstDay = days.first().toObject().value(QStringLiteral("date_time")).toVariant().toLongLong();
}

void tst_LessonService::init()
{
    QVERIFY(m_service.reset());
    m_network.setCookieJar(new QNetworkCookieJar);
}

void tst_LessonService::fixtureStartsServiceAndPointsServersIniAtIt()
{
    QVERIFY(m_service.isRunning());
    QVERIFY(m_service.port() != 0);
    QCOMPARE(QString::fromLocal8Bit(qgetenv("LESSONRY_SERVERS_INI")), m_service.serversIniPath());

    QSettings ini(m_service.serversIniPath(), QSettings::IniFormat);
    for (const char *key : { "api/main", "api/us", "api/europe", "api/singapore", "api/development", "web/site" })
        QCOMPARE(ini.value(QLatin1String(key)).toString(), m_service.baseUrl());
    // No broker runs for these tests: the brokers are the test's dead address.
    QCOMPARE(ini.value(QStringLiteral("mqtt/production_port")).toInt(), int(TestEnvironment::deadPort()));
    QCOMPARE(ini.value(QStringLiteral("mqtt/development_port")).toInt(), int(TestEnvironment::deadPort()));

    QCOMPARE(m_service.fixtureUrl(QStringLiteral("courseware.pdf")), m_service.baseUrl() + QStringLiteral("/files/courseware.pdf"));
}

void tst_LessonService::everyCallAnswersWithTheEnvelope_data()
{
    QTest::addColumn<QString>("method"); // GET, POST or UPLOAD
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("params"); // name, value, name, value...
    QTest::addColumn<QString>("uploadField");
    QTest::addColumn<QString>("dataKey"); // key of "data" (or of its first element)

    const QString day = QStringLiteral("{day}");
    QTest::newRow("pcNewUpdate") << "GET" << "/QXV1/Public/pcNewUpdate" << QStringList{ "source", "12" } << "" << "LatestVer";
    QTest::newRow("getAll") << "GET" << "/QXV1/Config/getAll" << QStringList{ "source", "12" } << "" << "material_stagnate_timeout";
    QTest::newRow("getBookedClassList") << "GET" << "/QXV1/PcStudents/getBookedClassList" << QStringList() << "" << "class_num";
    QTest::newRow("getBookedClass") << "GET" << "/QXV1/PcStudents/getBookedClass" << QStringList{ "date", day } << "" << "timestamp";
    QTest::newRow("teacher getClassInfo") << "GET" << "/QXV1/PcTeacher/getClassInfo" << QStringList{ "cid", "10001" } << "" << "resource";
    QTest::newRow("classInfo") << "GET" << "/QXV1/PcClass/classInfo" << QStringList{ "cid", "10001", "client_local_ts", "5" } << "" << "agorainfo";
    QTest::newRow("webUrl") << "GET" << "/QXV1/Public/webUrl" << QStringList{ "source", "12", "type", "1" } << "" << "url";
    QTest::newRow("classWebUrl") << "GET" << "/QXV1/Public/webUrl" << QStringList{ "class_id", "10001", "source", "13", "type", "2" } << "" << "url";
    QTest::newRow("test") << "GET" << "/QXV1/Public/test" << QStringList() << "" << "";
    QTest::newRow("getScheduleByDay") << "GET" << "/QXV1/PcTeacher/getScheduleByDay" << QStringList{ "date", day } << "" << "timestamp";
    QTest::newRow("hasPermissionSupervise") << "GET" << "/QXV1/Supervise/hasPermissionSupervise" << QStringList{ "cid", "10001", "token", "supervisor-token" } << "" << "";
    QTest::newRow("kv") << "POST" << "/QXV1/Public/kv" << QStringList{ "json_str", "[{\"type\":\"win/student/1.1.5.1/event\",\"key\":\"user/login\",\"value\":\"1\"}]" } << "" << "";
    QTest::newRow("kv empty") << "POST" << "/QXV1/Public/kv" << QStringList{ "json_str", "[]" } << "" << "";
    QTest::newRow("student login") << "POST" << "/QXV1/PcStudents/login" << QStringList{ "os", "linux", "password", QString::fromLatin1(md5("student123")), "sdk_type", "2", "source", "12", "username", "13800000001", "version", "1.1.5.1" } << "" << "mobile";
    QTest::newRow("teacher login") << "POST" << "/QXV1/PcTeacher/login" << QStringList{ "password", QString::fromLatin1(md5("teacher123")), "source", "13", "username", "teacher@example.com" } << "" << "email";
    QTest::newRow("clickLike") << "POST" << "/QXV1/PcClass/clickLike" << QStringList{ "class_id", "10001", "tid", "20001" } << "" << "";
    QTest::newRow("saveComment") << "POST" << "/QXV1/PcClass/saveComment" << QStringList{ "class_id", "10001", "comment", "great", "score", "5" } << "" << "";
    QTest::newRow("chatPic") << "UPLOAD" << "/QXV1/Public/chatPic" << QStringList() << "chatPic" << "url";
    QTest::newRow("pcLogUpload") << "UPLOAD" << "/QXV1/Public/pcLogUpload" << QStringList{ "source", "12", "time", "1700000000", "user_id", "20001" } << "appLog" << "";
    QTest::newRow("updateSdkSig student") << "POST" << "/QXV1/PcClass/updateSdkSig" << QStringList{ "class_id", "10001", "sid", "20001", "source", "12" } << "" << "sig_key";
    QTest::newRow("updateSdkSig teacher") << "POST" << "/QXV1/PcClass/updateSdkSig" << QStringList{ "class_id", "10001", "source", "13", "tid", "30001" } << "" << "media_key";
    QTest::newRow("saveAwardRecord") << "POST" << "/QXV1/Awards/saveAwardRecord" << QStringList{ "award_id", "2", "class_id", "10001", "sid", "20001|20002|", "tid", "30001" } << "" << "time";
}

void tst_LessonService::everyCallAnswersWithTheEnvelope()
{
    QFETCH(QString, method);
    QFETCH(QString, path);
    QFETCH(QStringList, params);
    QFETCH(QString, uploadField);
    QFETCH(QString, dataKey);

    QList<QPair<QString, QString>> pairs;
    for (int i = 0; i + 1 < params.size(); i += 2)
        pairs.append(qMakePair(params.at(i), QString(params.at(i + 1)).replace(QStringLiteral("{day}"), QString::number(m_firstDay))));

    HttpResult result;
    if (method == QLatin1String("GET")) {
        QUrlQuery query;
        query.setQueryItems(pairs);
        result = get(path + (pairs.isEmpty() ? QString() : QLatin1Char('?') + query.query(QUrl::FullyEncoded)));
    } else if (method == QLatin1String("POST")) {
        result = post(path, pairs);
    } else {
        result = upload(path, pairs, uploadField, fixtureBytes(QStringLiteral("cover.png")), QStringLiteral("shot.png"));
    }

    QCOMPARE(result.error, QNetworkReply::NoError);
    QCOMPARE(result.status, 200);
    QCOMPARE(result.contentLength.toInt(), result.body.size());
    const QJsonObject envelope = result.json();
    QCOMPARE(envelope.value(QStringLiteral("errorCode")).toInt(), 200);
    QVERIFY(envelope.value(QStringLiteral("errorMsg")).isString());
    QVERIFY(envelope.contains(QStringLiteral("data")));
    if (!dataKey.isEmpty()) {
        const QJsonValue data = envelope.value(QStringLiteral("data"));
        const QJsonObject record = data.isArray() ? data.toArray().first().toObject() : data.toObject();
        QVERIFY2(record.contains(dataKey), result.body.constData());
    }

    const QJsonObject recorded = m_service.lastRequest(path);
    QCOMPARE(recorded.value(QStringLiteral("method")).toString(), method == QLatin1String("GET") ? QStringLiteral("GET") : QStringLiteral("POST"));
}

void tst_LessonService::login_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QString>("userId");

    const QString student = QStringLiteral("/QXV1/PcStudents/login");
    const QString teacher = QStringLiteral("/QXV1/PcTeacher/login");
    QTest::newRow("student md5") << student << "13800000001" << md5("student123") << 200 << "20001";
    QTest::newRow("student md5 upper case") << student << "13800000001" << md5("student123").toUpper() << 200 << "20001";
    QTest::newRow("student typed password") << student << "13800000001" << QByteArray("student123") << 410 << "";
    QTest::newRow("student wrong password") << student << "13800000001" << md5("student124") << 410 << "";
    QTest::newRow("student empty password") << student << "13800000001" << QByteArray() << 410 << "";
    QTest::newRow("unknown phone") << student << "13800000009" << md5("student123") << 404 << "";
    QTest::newRow("empty user") << student << "" << md5("student123") << 404 << "";
    QTest::newRow("classmate without login") << student << "13800000002" << md5("") << 404 << "";
    QTest::newRow("teacher at student login") << student << "teacher@example.com" << md5("teacher123") << 404 << "";
    QTest::newRow("teacher md5") << teacher << "teacher@example.com" << md5("teacher123") << 200 << "30001";
    QTest::newRow("teacher e-mail in capitals") << teacher << "Teacher@Example.com" << md5("teacher123") << 200 << "30001";
    QTest::newRow("teacher wrong password") << teacher << "teacher@example.com" << md5("student123") << 410 << "";
    QTest::newRow("student at teacher login") << teacher << "13800000001" << md5("student123") << 404 << "";
}

void tst_LessonService::login()
{
    QFETCH(QString, path);
    QFETCH(QString, username);
    QFETCH(QByteArray, password);
    QFETCH(int, errorCode);
    QFETCH(QString, userId);

    const HttpResult result = post(path, { { QStringLiteral("username"), username },
                                           { QStringLiteral("password"), QString::fromLatin1(password) },
                                           { QStringLiteral("source"), QStringLiteral("12") } });
    QCOMPARE(result.status, 200);
    const QJsonObject envelope = result.json();
    QCOMPARE(envelope.value(QStringLiteral("errorCode")).toInt(), errorCode);
    QVERIFY(!envelope.value(QStringLiteral("errorMsg")).toString().isEmpty());
    if (errorCode == 200) {
        const QJsonObject data = envelope.value(QStringLiteral("data")).toObject();
        QCOMPARE(data.value(QStringLiteral("id")).toString(), userId);
        QCOMPARE(data.value(QStringLiteral("sdk_type")).toInt(), 2);
        QVERIFY(data.value(QStringLiteral("avatar")).toString().startsWith(m_service.baseUrl() + QStringLiteral("/files/")));
        QVERIFY2(result.setCookie.startsWith("PHPSESSID="), result.setCookie.constData());

        // The session cookie comes back on the next call.
        get(QStringLiteral("/QXV1/Public/test"));
        const QString cookie = m_service.lastRequest(QStringLiteral("/QXV1/Public/test")).value(QStringLiteral("cookie")).toString();
        QVERIFY2(cookie.startsWith(QStringLiteral("PHPSESSID=")), qPrintable(cookie));
    } else {
        QVERIFY(result.setCookie.isEmpty());
    }
}

void tst_LessonService::refusals_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<int>("errorCode");

    QTest::newRow("class info of an unknown class") << "GET" << "/QXV1/PcClass/classInfo?cid=99999&client_local_ts=1" << QByteArray() << 200 << 404;
    QTest::newRow("class info without cid") << "GET" << "/QXV1/PcClass/classInfo?client_local_ts=1" << QByteArray() << 200 << 400;
    QTest::newRow("class info with a bad clock") << "GET" << "/QXV1/PcClass/classInfo?cid=10001&client_local_ts=soon" << QByteArray() << 200 << 400;
    QTest::newRow("teacher class info with text cid") << "GET" << "/QXV1/PcTeacher/getClassInfo?cid=abc" << QByteArray() << 200 << 400;
    QTest::newRow("booked class without date") << "GET" << "/QXV1/PcStudents/getBookedClass" << QByteArray() << 200 << 400;
    QTest::newRow("schedule with negative date") << "GET" << "/QXV1/PcTeacher/getScheduleByDay?date=-5" << QByteArray() << 200 << 400;
    QTest::newRow("supervision with a wrong token") << "GET" << "/QXV1/Supervise/hasPermissionSupervise?token=guess&cid=10001" << QByteArray() << 200 << 403;
    QTest::newRow("web url of an unknown type") << "GET" << "/QXV1/Public/webUrl?source=12&type=9" << QByteArray() << 200 << 400;
    QTest::newRow("events that are not JSON") << "POST" << "/QXV1/Public/kv" << QByteArray("json_str=%7Bbroken") << 200 << 400;
    QTest::newRow("events missing a key") << "POST" << "/QXV1/Public/kv" << QByteArray("json_str=%5B%7B%22type%22%3A%22t%22%7D%5D") << 200 << 400;
    QTest::newRow("comment with score 0") << "POST" << "/QXV1/PcClass/saveComment" << QByteArray("class_id=10001&score=0&comment=x") << 200 << 400;
    QTest::newRow("like for someone outside the class") << "POST" << "/QXV1/PcClass/clickLike" << QByteArray("class_id=10002&tid=20002") << 200 << 404;
    QTest::newRow("key renewal with sid and tid") << "POST" << "/QXV1/PcClass/updateSdkSig" << QByteArray("class_id=10001&sid=20001&tid=30001&source=12") << 200 << 400;
    QTest::newRow("award with prize 7") << "POST" << "/QXV1/Awards/saveAwardRecord" << QByteArray("award_id=7&class_id=10001&sid=20001%7C&tid=30001") << 200 << 400;
    QTest::newRow("award without students") << "POST" << "/QXV1/Awards/saveAwardRecord" << QByteArray("award_id=1&class_id=10001&sid=%7C&tid=30001") << 200 << 400;
    QTest::newRow("chat picture without file") << "POST" << "/QXV1/Public/chatPic" << QByteArray("chatPic=x") << 200 << 400;
    QTest::newRow("login by GET") << "GET" << "/QXV1/PcStudents/login?username=13800000001&password=student123" << QByteArray() << 405 << 405;
    QTest::newRow("class info by POST") << "POST" << "/QXV1/PcClass/classInfo" << QByteArray("cid=10001") << 405 << 405;
    QTest::newRow("unknown call") << "GET" << "/QXV1/Public/nothing" << QByteArray() << 404 << 404;
}

void tst_LessonService::refusals()
{
    QFETCH(QString, method);
    QFETCH(QString, target);
    QFETCH(QByteArray, form);
    QFETCH(int, httpStatus);
    QFETCH(int, errorCode);

    QNetworkRequest request(QUrl(m_service.baseUrl() + target));
    QNetworkReply *reply = nullptr;
    if (method == QLatin1String("GET")) {
        reply = m_network.get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = m_network.post(request, form);
    }
    const HttpResult result = finish(reply);
    QCOMPARE(result.status, httpStatus);
    const QJsonObject envelope = result.json();
    QCOMPARE(envelope.value(QStringLiteral("errorCode")).toInt(), errorCode);
    QVERIFY2(!envelope.value(QStringLiteral("errorMsg")).toString().isEmpty(), result.body.constData());
}

void tst_LessonService::classInfoEchoesTheClientClock()
{
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const HttpResult result = get(QStringLiteral("/QXV1/PcClass/classInfo?cid=10001&client_local_ts=1700000000123"));
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    const QJsonObject data = result.json().value(QStringLiteral("data")).toObject();
    QCOMPARE(data.value(QStringLiteral("class_id")).toString(), QStringLiteral("10001"));
    const QJsonObject stamps = data.value(QStringLiteral("cs_ts")).toObject();
    // Numbers, not texts: the client reads only JSON numbers here.
    QVERIFY(stamps.value(QStringLiteral("client_local_ts")).isDouble());
    QCOMPARE(static_cast<qint64>(stamps.value(QStringLiteral("client_local_ts")).toDouble()), Q_INT64_C(1700000000123));
    const qint64 server = static_cast<qint64>(stamps.value(QStringLiteral("server_local_ts")).toDouble());
    QVERIFY(server >= before && server <= after);
    QVERIFY(stamps.value(QStringLiteral("server_delay")).isDouble());
    QVERIFY(stamps.value(QStringLiteral("server_delay")).toDouble() >= 0);

    // Without the client's clock the echo is 0, not an error.
    const QJsonObject bare = get(QStringLiteral("/QXV1/PcClass/classInfo?cid=10001")).json();
    QCOMPARE(bare.value(QStringLiteral("errorCode")).toInt(), 200);
    QCOMPARE(bare.value(QStringLiteral("data")).toObject().value(QStringLiteral("cs_ts")).toObject()
                 .value(QStringLiteral("client_local_ts")).toDouble(), 0.0);
}

void tst_LessonService::classesFollowTheServiceStart()
{
    // The student's strip: the seven days from today, nine lessons in all,
    // some days without any.
    const QJsonArray days = get(QStringLiteral("/QXV1/PcStudents/getBookedClassList")).json().value(QStringLiteral("data")).toArray();
    QCOMPARE(days.size(), 7);
    int classes = 0;
    int emptyDays = 0;
    for (const QJsonValue &day : days) {
        QVERIFY(day.toObject().value(QStringLiteral("date_time")).isDouble());
        const int count = day.toObject().value(QStringLiteral("class_num")).toInt();
        classes += count;
        emptyDays += count == 0 ? 1 : 0;
    }
    QCOMPARE(classes, 9);
    QVERIFY(emptyDays >= 2);

    const QJsonArray firstDay = get(QStringLiteral("/QXV1/PcStudents/getBookedClass?date=%1").arg(m_firstDay))
                                    .json().value(QStringLiteral("data")).toArray();
    QCOMPARE(firstDay.size(), 1);
    const QJsonObject lesson = firstDay.first().toObject().value(QStringLiteral("data")).toArray().first().toObject();
    QCOMPARE(lesson.value(QStringLiteral("id")).toString(), QStringLiteral("10001"));
    const qint64 begin = lesson.value(QStringLiteral("begin_time")).toString().toLongLong();
    QVERIFY(begin <= QDateTime::currentSecsSinceEpoch());
    QVERIFY(begin >= m_startedAt - 60);
    QCOMPARE(lesson.value(QStringLiteral("teacher")).toObject().value(QStringLiteral("nickname")).toString(), QStringLiteral("Ms. Green"));

    // A day without classes is an empty list, not a refusal.
    const QJsonObject empty = get(QStringLiteral("/QXV1/PcStudents/getBookedClass?date=%1").arg(m_firstDay - 7 * 86400)).json();
    QCOMPARE(empty.value(QStringLiteral("errorCode")).toInt(), 200);
    QVERIFY(empty.value(QStringLiteral("data")).toArray().isEmpty());

    // The teacher's schedule: the asked day and the next one.
    const QJsonObject schedule = get(QStringLiteral("/QXV1/PcTeacher/getScheduleByDay?date=%1").arg(m_firstDay)).json();
    QVERIFY(schedule.value(QStringLiteral("time")).isDouble());
    const QJsonArray scheduleDays = schedule.value(QStringLiteral("data")).toArray();
    QCOMPARE(scheduleDays.size(), 2);
    QCOMPARE(scheduleDays.at(0).toObject().value(QStringLiteral("timestamp")).toVariant().toLongLong(), m_firstDay);
    QJsonObject scheduled;
    for (const QJsonValue &entry : scheduleDays.at(0).toObject().value(QStringLiteral("data")).toArray()) {
        if (entry.toObject().value(QStringLiteral("class_id")).toString() == QLatin1String("10001"))
            scheduled = entry.toObject();
    }
    QCOMPARE(scheduled.value(QStringLiteral("class_id")).toString(), QStringLiteral("10001"));
    QCOMPARE(scheduled.value(QStringLiteral("status")).toString(), QStringLiteral("1"));
    QCOMPARE(scheduled.value(QStringLiteral("resource")).toArray().size(), 3);

    // The courseware named by the class is the file served, checksum and all.
    const QJsonObject material = classInfo(QStringLiteral("10001")).value(QStringLiteral("material")).toObject();
    const HttpResult pdf = finish(m_network.get(QNetworkRequest(QUrl(material.value(QStringLiteral("pdf")).toString()))));
    QCOMPARE(pdf.status, 200);
    QVERIFY(pdf.body.startsWith("%PDF-"));
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("/Count (\\d+)")).match(QString::fromLatin1(pdf.body.constData(), pdf.body.size()));
    QVERIFY(pages.hasMatch());
    QVERIFY(pages.captured(1).toInt() >= 2);
    QCOMPARE(material.value(QStringLiteral("md5")).toString().toLatin1(), md5(pdf.body));

    // The video's sound survives the client's http-to-https rewrite and
    // still reaches this plain-HTTP service.
    const QJsonObject video = material.value(QStringLiteral("videos")).toArray().first().toObject();
    const QString sound = video.value(QStringLiteral("voice")).toString();
    QVERIFY(!sound.contains(QStringLiteral("http://")));
    const HttpResult soundFile = finish(m_network.get(QNetworkRequest(QUrl(sound))));
    QCOMPARE(soundFile.status, 200);
    QCOMPARE(soundFile.body, fixtureBytes(QStringLiteral("lesson-video-sound.mp3")));
    QVERIFY(video.value(QStringLiteral("video_sm")).toString().isEmpty());
}

void tst_LessonService::callsChangeWhatClassInfoReports()
{
    auto student = [](const QJsonObject &info, const QString &sid) {
        for (const QJsonValue &value : info.value(QStringLiteral("students")).toArray()) {
            if (value.toObject().value(QStringLiteral("sid")).toString() == sid)
                return value.toObject();
        }
        return QJsonObject();
    };

    const QJsonObject before = classInfo(QStringLiteral("10001"));
    QCOMPARE(student(before, QStringLiteral("20001")).value(QStringLiteral("like_num")).toString(), QStringLiteral("3"));
    QCOMPARE(before.value(QStringLiteral("is_commented")).toBool(), false);

    // The praised student posts the praise, naming the teacher.
    post(QStringLiteral("/QXV1/PcStudents/login"), { { "username", "13800000001" }, { "password", QString::fromLatin1(md5("student123")) } });
    post(QStringLiteral("/QXV1/PcClass/clickLike"), { { "class_id", "10001" }, { "tid", "30001" } });
    post(QStringLiteral("/QXV1/Awards/saveAwardRecord"), { { "award_id", "3" }, { "class_id", "10001" }, { "sid", "20001|20002|" }, { "tid", "30001" } });
    post(QStringLiteral("/QXV1/PcClass/saveComment"), { { "class_id", "10001" }, { "comment", "ok" }, { "score", "4" } });
    const QJsonObject renewed = post(QStringLiteral("/QXV1/PcClass/updateSdkSig"), { { "class_id", "10001" }, { "sid", "20001" }, { "source", "12" } })
                                    .json().value(QStringLiteral("data")).toObject();

    const QJsonObject after = classInfo(QStringLiteral("10001"));
    QCOMPARE(student(after, QStringLiteral("20001")).value(QStringLiteral("like_num")).toString(), QStringLiteral("4"));
    for (const char *sid : { "20001", "20002" }) {
        const QJsonObject award = student(after, QLatin1String(sid)).value(QStringLiteral("lastAwardsInfo")).toObject();
        QCOMPARE(award.value(QStringLiteral("award_id")).toString(), QStringLiteral("3"));
        QCOMPARE(award.value(QStringLiteral("sid")).toString(), QLatin1String(sid));
    }
    QCOMPARE(after.value(QStringLiteral("is_commented")).toBool(), true);
    QVERIFY(renewed.value(QStringLiteral("sig_key")).toString() != before.value(QStringLiteral("agorainfo")).toObject().value(QStringLiteral("sig_key")).toString());
    QCOMPARE(after.value(QStringLiteral("agorainfo")).toObject().value(QStringLiteral("sig_key")), renewed.value(QStringLiteral("sig_key")));
    // The other class is untouched.
    QCOMPARE(classInfo(QStringLiteral("10002")).value(QStringLiteral("is_commented")).toBool(), false);

    QVERIFY(m_service.reset());
    QCOMPARE(classInfo(QStringLiteral("10001")).value(QStringLiteral("students")), before.value(QStringLiteral("students")));
}

void tst_LessonService::praiseCountsForTheSignedInStudent_data()
{
    QTest::addColumn<QString>("signIn");
    QTest::addColumn<int>("lilyLikes");
    QTest::newRow("the student signed in") << QStringLiteral("student") << 4;
    QTest::newRow("nobody signed in") << QString() << 3;
    QTest::newRow("the teacher signed in") << QStringLiteral("teacher") << 3;
}

void tst_LessonService::praiseCountsForTheSignedInStudent()
{
    // The client posts "clickLike" with the praising teacher's uid in
    // "tid": the count is the signed-in student's, never the teacher's,
    // and a post without a known session counts for nobody.
    QFETCH(QString, signIn);
    QFETCH(int, lilyLikes);
    if (signIn == QLatin1String("student"))
        QCOMPARE(post(QStringLiteral("/QXV1/PcStudents/login"),
                      { { "username", "13800000001" }, { "password", QString::fromLatin1(md5("student123")) } }).status, 200);
    else if (signIn == QLatin1String("teacher"))
        QCOMPARE(post(QStringLiteral("/QXV1/PcTeacher/login"),
                      { { "username", "teacher@example.com" }, { "password", QString::fromLatin1(md5("teacher123")) } }).status, 200);
    const HttpResult answer = post(QStringLiteral("/QXV1/PcClass/clickLike"), { { "class_id", "10001" }, { "tid", "30001" } });
    QCOMPARE(answer.json().value(QStringLiteral("errorCode")).toInt(), 200);
    QMap<QString, int> likes;
    for (const QJsonValue &value : classInfo(QStringLiteral("10001")).value(QStringLiteral("students")).toArray())
        likes.insert(value.toObject().value(QStringLiteral("sid")).toString(), value.toObject().value(QStringLiteral("like_num")).toString().toInt());
    QCOMPARE(likes.value(QStringLiteral("20001")), lilyLikes);
    QCOMPARE(likes.value(QStringLiteral("20002")), 1);
    QVERIFY(!likes.contains(QStringLiteral("30001")));
}

void tst_LessonService::uploadedPicturesAreServed()
{
    const QByteArray picture = fixtureBytes(QStringLiteral("avatar-teacher.png"));
    const QJsonObject data = upload(QStringLiteral("/QXV1/Public/chatPic"), {}, QStringLiteral("chatPic"), picture,
                                    QStringLiteral("../../etc/passwd.png"))
                                 .json().value(QStringLiteral("data")).toObject();
    const QString url = data.value(QStringLiteral("url")).toString();
    QVERIFY2(url.startsWith(m_service.baseUrl() + QStringLiteral("/uploads/")), qPrintable(url));
    QVERIFY(url.endsWith(data.value(QStringLiteral("key")).toString()));
    QVERIFY(!url.contains(QStringLiteral("..")));

    const HttpResult served = finish(m_network.get(QNetworkRequest(QUrl(url))));
    QCOMPARE(served.status, 200);
    QCOMPARE(served.body, picture);

    // Uploads go with a reset.
    QVERIFY(m_service.reset());
    QCOMPARE(finish(m_network.get(QNetworkRequest(QUrl(url)))).status, 404);
}

void tst_LessonService::requestsAreRecordedInOrder()
{
    get(QStringLiteral("/QXV1/Public/webUrl?type=1&source=12&type=2&name=a%20b+c"));
    post(QStringLiteral("/QXV1/PcStudents/login"), { { "version", "1.1.5.1" }, { "username", "13800000001" }, { "password", QString::fromLatin1(md5("student123")) } });
    get(QStringLiteral("/QXV1/Public/test"));
    upload(QStringLiteral("/QXV1/Public/pcLogUpload"), { { "user_id", "20001" }, { "source", "12" } }, QStringLiteral("appLog"),
           QByteArray(1234, 'x'), QStringLiteral("log.zip"));
    get(QStringLiteral("/__control/requests")); // control calls are not recorded

    const QJsonArray all = m_service.requests();
    QCOMPARE(all.size(), 4);

    const QJsonObject first = all.at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("method")).toString(), QStringLiteral("GET"));
    QCOMPARE(first.value(QStringLiteral("path")).toString(), QStringLiteral("/QXV1/Public/webUrl"));
    QCOMPARE(first.value(QStringLiteral("query_order")).toArray(), (QJsonArray{ "type", "source", "type", "name" }));
    QCOMPARE(first.value(QStringLiteral("query")).toObject().value(QStringLiteral("type")).toString(), QStringLiteral("2"));
    QCOMPARE(first.value(QStringLiteral("query")).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("a b c"));
    QVERIFY(first.value(QStringLiteral("headers")).toObject().contains(QStringLiteral("host")));
    QCOMPARE(first.value(QStringLiteral("cookie")).toString(), QString());

    const QJsonObject login = all.at(1).toObject();
    QCOMPARE(login.value(QStringLiteral("form_order")).toArray(), (QJsonArray{ "version", "username", "password" }));
    QCOMPARE(login.value(QStringLiteral("form")).toObject().value(QStringLiteral("username")).toString(), QStringLiteral("13800000001"));
    QVERIFY(login.value(QStringLiteral("body")).toString().startsWith(QStringLiteral("version=1.1.5.1&username=")));
    QCOMPARE(login.value(QStringLiteral("headers")).toObject().value(QStringLiteral("content-type")).toString(),
             QStringLiteral("application/x-www-form-urlencoded"));

    QVERIFY(all.at(2).toObject().value(QStringLiteral("cookie")).toString().startsWith(QStringLiteral("PHPSESSID=")));

    const QJsonObject logUpload = all.at(3).toObject();
    QCOMPARE(logUpload.value(QStringLiteral("form_order")).toArray(), (QJsonArray{ "user_id", "source" }));
    QCOMPARE(logUpload.value(QStringLiteral("body")).toString(), QString());
    const QJsonArray files = logUpload.value(QStringLiteral("files")).toArray();
    QCOMPARE(files.size(), 1);
    const QJsonObject file = files.first().toObject();
    QCOMPARE(file.value(QStringLiteral("field")).toString(), QStringLiteral("appLog"));
    QCOMPARE(file.value(QStringLiteral("filename")).toString(), QStringLiteral("log.zip"));
    QCOMPARE(file.value(QStringLiteral("size")).toInt(), 1234);
    QCOMPARE(file.value(QStringLiteral("content_type")).toString(), QStringLiteral("image/png"));

    QCOMPARE(m_service.lastRequest(QStringLiteral("/QXV1/Public/test")), all.at(2).toObject());
    QVERIFY(m_service.lastRequest(QStringLiteral("/QXV1/never")).isEmpty());

    QVERIFY(m_service.reset());
    QVERIFY(m_service.requests().isEmpty());
}

void tst_LessonService::filesAreServedWithLengthAndRanges_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("range");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("first"); // -1: no body expected
    QTest::addColumn<int>("length");

    const int size = fixtureBytes(QStringLiteral("courseware.pdf")).size();
    QTest::newRow("whole file") << QByteArray("/files/courseware.pdf") << QByteArray() << 200 << 0 << size;
    QTest::newRow("first bytes") << QByteArray("/files/courseware.pdf") << QByteArray("bytes=0-9") << 206 << 0 << 10;
    QTest::newRow("from an offset") << QByteArray("/files/courseware.pdf") << QByteArray("bytes=100-") << 206 << 100 << size - 100;
    QTest::newRow("last bytes") << QByteArray("/files/courseware.pdf") << QByteArray("bytes=-16") << 206 << size - 16 << 16;
    QTest::newRow("end past the file") << QByteArray("/files/courseware.pdf") << QByteArray("bytes=10-999999") << 206 << 10 << size - 10;
    QTest::newRow("start past the file") << QByteArray("/files/courseware.pdf") << QByteArray("bytes=999999-") << 416 << -1 << 0;
    QTest::newRow("several ranges: whole file") << QByteArray("/files/courseware.pdf") << QByteArray("bytes=0-1,5-6") << 200 << 0 << size;
    QTest::newRow("through the proxy") << QByteArray("/proxy/files/courseware.pdf") << QByteArray() << 200 << 0 << size;
    QTest::newRow("unknown file") << QByteArray("/files/nothing.pdf") << QByteArray() << 404 << -1 << 0;
    QTest::newRow("dot-dot") << QByteArray("/files/../CMakeLists.txt") << QByteArray() << 404 << -1 << 0;
    QTest::newRow("encoded dot-dot") << QByteArray("/files/%2e%2e%2fCMakeLists.txt") << QByteArray() << 404 << -1 << 0;
    QTest::newRow("nested path") << QByteArray("/files/a/courseware.pdf") << QByteArray() << 404 << -1 << 0;
    QTest::newRow("not a served file") << QByteArray("/files/avinfo.json") << QByteArray() << 404 << -1 << 0;
}

void tst_LessonService::filesAreServedWithLengthAndRanges()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, range);
    QFETCH(int, status);
    QFETCH(int, first);
    QFETCH(int, length);

    const RawAnswer answer = rawGet(m_service.port(), target, range.isEmpty() ? QByteArray() : "Range: " + range + "\r\n");
    QCOMPARE(answer.status, status);
    QCOMPARE(answer.header("content-length").toInt(), answer.body.size());
    if (first < 0)
        return;
    const QByteArray file = fixtureBytes(QStringLiteral("courseware.pdf"));
    QCOMPARE(answer.body, file.mid(first, length));
    QCOMPARE(answer.header("content-type"), QByteArray("application/pdf"));
    if (status == 206)
        QCOMPARE(answer.header("content-range"), QStringLiteral("bytes %1-%2/%3").arg(first).arg(first + length - 1).arg(file.size()).toLatin1());
}

void tst_LessonService::avinfo_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("duration");

    QTest::newRow("audio") << "lesson-audio.mp3" << 200 << 2.0;
    QTest::newRow("video") << "lesson-video.mp4" << 200 << 12.0;
    QTest::newRow("video sound") << "lesson-video-sound.mp3" << 200 << 12.0;
    QTest::newRow("a picture") << "cover.png" << 400 << 0.0;
    QTest::newRow("no such file") << "nothing.mp3" << 404 << 0.0;
}

void tst_LessonService::avinfo()
{
    QFETCH(QString, file);
    QFETCH(int, status);
    QFETCH(double, duration);

    // As the media players ask: the material URL followed by "?avinfo".
    const HttpResult result = finish(m_network.get(QNetworkRequest(QUrl(m_service.fixtureUrl(file) + QStringLiteral("?avinfo")))));
    QCOMPARE(result.status, status);
    const QJsonObject root = result.json();
    if (status != 200) {
        QVERIFY(!root.value(QStringLiteral("error")).toString().isEmpty());
        return;
    }
    const QJsonValue value = root.value(QStringLiteral("format")).toObject().value(QStringLiteral("duration"));
    QVERIFY2(value.isString(), result.body.constData());
    QVERIFY(qAbs(value.toString().toDouble() - duration) < 0.2);
}

void tst_LessonService::faultsSpoilAnswers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QJsonObject>("extra");

    const QJsonObject toCover{ { QStringLiteral("location"), QStringLiteral("/files/cover.png") } };
    QTest::newRow("non-JSON body") << "/QXV1/Public/test" << "nonjson" << QJsonObject();
    QTest::newRow("HTTP 502") << "/QXV1/PcStudents/getBookedClassList" << "status" << QJsonObject{ { "status", 502 } };
    QTest::newRow("HTTP 404") << "/QXV1/Config/getAll" << "status" << QJsonObject{ { "status", 404 } };
    QTest::newRow("truncated answer") << "/QXV1/PcStudents/getBookedClassList" << "truncate" << QJsonObject();
    QTest::newRow("truncated download") << "/files/courseware.pdf" << "truncate" << QJsonObject();
    QTest::newRow("gzip answer") << "/QXV1/Config/getAll" << "gzip" << QJsonObject();
    QTest::newRow("gzip download") << "/files/cover.png" << "gzip" << QJsonObject();
    QTest::newRow("chunked answer") << "/QXV1/Public/pcNewUpdate" << "chunked" << QJsonObject();
    QTest::newRow("redirect") << "/files/courseware.pdf" << "redirect" << toCover;
    QJsonObject permanent = toCover;
    permanent.insert(QStringLiteral("status"), 301);
    QTest::newRow("permanent redirect") << "/QXV1/Public/test" << "redirect" << permanent;
}

void tst_LessonService::faultsSpoilAnswers()
{
    QFETCH(QString, path);
    QFETCH(QString, mode);
    QFETCH(QJsonObject, extra);
    const int status = extra.value(QStringLiteral("status")).toInt(mode == QLatin1String("redirect") ? 302 : 0);

    const QByteArray intact = rawGet(m_service.port(), path.toLatin1()).body;
    QVERIFY(!intact.isEmpty());
    QVERIFY(m_service.setFault(path, mode, extra));

    const RawAnswer raw = rawGet(m_service.port(), path.toLatin1(), "Accept-Encoding: gzip\r\n");
    const HttpResult viaClient = get(path);

    if (mode == QLatin1String("nonjson")) {
        QCOMPARE(raw.status, 200);
        QCOMPARE(raw.body, QByteArray("Error Message:Redis Error<br>Error Code:102"));
        QCOMPARE(raw.header("content-length").toInt(), raw.body.size());
        QVERIFY(QJsonDocument::fromJson(viaClient.body).isNull());
    } else if (mode == QLatin1String("status")) {
        QCOMPARE(raw.status, status);
        QCOMPARE(viaClient.status, status);
        QVERIFY(viaClient.error != QNetworkReply::NoError);
    } else if (mode == QLatin1String("truncate")) {
        QCOMPARE(raw.status, 200);
        QCOMPARE(raw.header("content-length").toInt(), intact.size());
        QVERIFY(raw.body.size() < intact.size());
        QVERIFY(intact.startsWith(raw.body));
        QVERIFY(endedShort(viaClient.error, viaClient.body.size(), intact.size()));
    } else if (mode == QLatin1String("gzip")) {
        QCOMPARE(raw.header("content-encoding"), QByteArray("gzip"));
        QCOMPARE(raw.header("content-length").toInt(), raw.body.size());
        QVERIFY(raw.body.startsWith("\x1f\x8b"));
        QCOMPARE(viaClient.error, QNetworkReply::NoError);
        if (path.startsWith(QLatin1String("/QXV1/")))
            QCOMPARE(viaClient.json().value(QStringLiteral("errorCode")).toInt(), 200);
        else
            QCOMPARE(viaClient.body, intact);
    } else if (mode == QLatin1String("chunked")) {
        QCOMPARE(raw.header("transfer-encoding"), QByteArray("chunked"));
        QVERIFY(raw.header("content-length").isEmpty());
        QCOMPARE(viaClient.error, QNetworkReply::NoError);
        QCOMPARE(viaClient.body, intact);
    } else if (mode == QLatin1String("redirect")) {
        QCOMPARE(raw.status, status);
        QCOMPARE(raw.header("location"), extra.value(QStringLiteral("location")).toString().toLatin1());
        QCOMPARE(raw.header("content-length").toInt(), raw.body.size());
        QCOMPARE(viaClient.status, status);
    }

    // A reset puts the answers right again.
    QVERIFY(m_service.reset());
    QCOMPARE(rawGet(m_service.port(), path.toLatin1()).body.size(), intact.size());
}

void tst_LessonService::delayAndTimesAreHonoured()
{
    const QString path = QStringLiteral("/QXV1/Public/test");
    QVERIFY(m_service.setFault(path, QStringLiteral("delay"), { { QStringLiteral("delay_ms"), 300 } }));
    QElapsedTimer timer;
    timer.start();
    const HttpResult delayed = get(path);
    QVERIFY(timer.elapsed() >= 300);
    QCOMPARE(delayed.json().value(QStringLiteral("errorCode")).toInt(), 200);

    // "times" limits a fault to the next requests of its path.
    QVERIFY(m_service.setFault(path, QStringLiteral("nonjson"), { { QStringLiteral("times"), 2 } }));
    QVERIFY(get(path).json().isEmpty());
    QVERIFY(get(path).json().isEmpty());
    QCOMPARE(get(path).json().value(QStringLiteral("errorCode")).toInt(), 200);

    // A fault on one path leaves the others alone.
    QVERIFY(m_service.setFault(path, QStringLiteral("status")));
    QCOMPARE(get(path).status, 500);
    QCOMPARE(get(QStringLiteral("/QXV1/Config/getAll")).status, 200);
}

void tst_LessonService::hangEndsOnResetAndBlocksNothingElse()
{
    const QString path = QStringLiteral("/QXV1/PcStudents/login");
    QVERIFY(m_service.setFault(path, QStringLiteral("hang")));

    // A client that gives up sees no answer at all.
    QNetworkRequest request(QUrl(m_service.baseUrl() + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(200);
    const HttpResult givenUp = finish(m_network.post(request, "username=13800000001"));
    QVERIFY(givenUp.error != QNetworkReply::NoError);
    QCOMPARE(givenUp.status, 0);

    // One that waits is held while other calls go on, and let go by a reset.
    QNetworkRequest patient(QUrl(m_service.baseUrl() + path));
    patient.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    QNetworkReply *held = m_network.post(patient, "username=13800000001");
    QSignalSpy heldFinished(held, &QNetworkReply::finished);
    QCOMPARE(get(QStringLiteral("/QXV1/Config/getAll")).status, 200);
    // The held request travels on a connection of its own.
    QTRY_COMPARE(m_service.requests().size(), 3);
    QVERIFY(!held->isFinished());

    QVERIFY(m_service.reset());
    QVERIFY(heldFinished.wait(5000));
    QCOMPARE(held->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 504);
    held->deleteLater();
    QCOMPARE(post(path, { { "username", "13800000001" }, { "password", QString::fromLatin1(md5("student123")) } }).json().value(QStringLiteral("errorCode")).toInt(), 200);
}

void tst_LessonService::stallSendsHalfThenWaitsForReset()
{
    const QString path = QStringLiteral("/files/courseware.pdf");
    const QByteArray whole = fixtureBytes(QStringLiteral("courseware.pdf"));
    QVERIFY(m_service.setFault(path, QStringLiteral("stall")));

    QNetworkReply *reply = m_network.get(QNetworkRequest(QUrl(m_service.baseUrl() + path)));
    QByteArray received;
    connect(reply, &QNetworkReply::readyRead, this, [&] { received += reply->readAll(); });
    QTRY_COMPARE(received.size(), whole.size() / 2);
    QVERIFY(whole.startsWith(received));
    QCOMPARE(reply->rawHeader("Content-Length").toInt(), whole.size());
    QVERIFY(!reply->isFinished());

    // Other calls go on meanwhile; a reset lets the answer end, short.
    QCOMPARE(get(QStringLiteral("/QXV1/Public/test")).status, 200);
    QVERIFY(m_service.reset());
    const HttpResult ended = finish(reply);
    QVERIFY(reply->isFinished());
    received += ended.body;
    QCOMPARE(received.size(), whole.size() / 2);
    QVERIFY(endedShort(ended.error, received.size(), whole.size()));
}

void tst_LessonService::upgradeOfferServesItsInstaller()
{
    auto upgradeData = [this] {
        return get(QStringLiteral("/QXV1/Public/pcNewUpdate?source=12")).json().value(QStringLiteral("data")).toObject();
    };
    QCOMPARE(upgradeData().value(QStringLiteral("LatestVer")).toString(), QStringLiteral("1.1.5.1"));

    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" }, { "UpdateLog", "Notes" } }));
    const QJsonObject offer = upgradeData();
    QCOMPARE(offer.value(QStringLiteral("LatestVer")).toString(), QStringLiteral("1.1.5.10"));
    QCOMPARE(offer.value(QStringLiteral("UpdateLog")).toString(), QStringLiteral("Notes"));
    QCOMPARE(offer.value(QStringLiteral("type")).toString(), QStringLiteral("12"));
    const QString md5 = offer.value(QStringLiteral("FileMd5")).toString();
    QCOMPARE(md5, md5.toUpper());
    const QString mainUrl = offer.value(QStringLiteral("DownLoadMainUrl")).toString();
    QVERIFY(mainUrl.startsWith(m_service.baseUrl()));
    const QByteArray installer = get(mainUrl.mid(m_service.baseUrl().size())).body;
    QVERIFY(installer.startsWith("#!/bin/sh\n"));
    QCOMPARE(QString::fromLatin1(QCryptographicHash::hash(installer, QCryptographicHash::Md5).toHex().toUpper()), md5);
    const QString backupUrl = offer.value(QStringLiteral("DownLoadBackupUrl")).toString();
    QCOMPARE(get(backupUrl.mid(m_service.baseUrl().size())).body, installer);

    QVERIFY(m_service.reset());
    QCOMPARE(upgradeData().value(QStringLiteral("LatestVer")).toString(), QStringLiteral("1.1.5.1"));
}

void tst_LessonService::classBeginCanBeMoved()
{
    const QString fixtureBegin = classInfo(QStringLiteral("10001")).value(QStringLiteral("begin_time")).toString();
    QVERIFY(!fixtureBegin.isEmpty());
    const LessonService::ControlReply moved = m_service.control(
        "POST", "/__control/class", R"({"class_id":"10001","begin_time":1700000000})");
    QCOMPARE(moved.status, 200);
    QCOMPARE(classInfo(QStringLiteral("10001")).value(QStringLiteral("begin_time")).toString(), QStringLiteral("1700000000"));
    // Only that class, and only until a reset.
    QVERIFY(classInfo(QStringLiteral("10002")).value(QStringLiteral("begin_time")).toString() != QStringLiteral("1700000000"));
    QVERIFY(m_service.reset());
    QCOMPARE(classInfo(QStringLiteral("10001")).value(QStringLiteral("begin_time")).toString(), fixtureBegin);
}

void tst_LessonService::controlRejectsBadInput_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");

    QTest::newRow("body not JSON") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{mode: hang") << 400;
    QTest::newRow("body an array") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("[]") << 400;
    QTest::newRow("no path") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"mode\":\"hang\"}") << 400;
    QTest::newRow("relative path") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"QXV1/x\",\"mode\":\"hang\"}") << 400;
    QTest::newRow("control path") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/__control/reset\",\"mode\":\"hang\"}") << 400;
    QTest::newRow("unknown mode") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"slow\"}") << 400;
    QTest::newRow("negative delay") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"delay\",\"delay_ms\":-1}") << 400;
    QTest::newRow("delay beyond a minute") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"delay\",\"delay_ms\":60001}") << 400;
    QTest::newRow("fractional delay") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"delay\",\"delay_ms\":1.5}") << 400;
    QTest::newRow("status out of range") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"status\",\"status\":99}") << 400;
    QTest::newRow("status as text") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"status\",\"status\":\"500\"}") << 400;
    QTest::newRow("redirect without location") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"redirect\"}") << 400;
    QTest::newRow("redirect off the service") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"redirect\",\"location\":\"//127.0.0.1:1/x\"}") << 400;
    QTest::newRow("redirect to a full address") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"redirect\",\"location\":\"http://127.0.0.1:1/x\"}") << 400;
    QTest::newRow("redirect with a line break") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"redirect\",\"location\":\"/a\\r\\nX: y\"}") << 400;
    QTest::newRow("redirect with status 200") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"redirect\",\"location\":\"/a\",\"status\":200}") << 400;
    QTest::newRow("zero times") << QByteArray("POST") << QByteArray("/__control/fault") << QByteArray("{\"path\":\"/x\",\"mode\":\"gzip\",\"times\":0}") << 400;
    QTest::newRow("fault by GET") << QByteArray("GET") << QByteArray("/__control/fault") << QByteArray() << 405;
    QTest::newRow("upgrade body not JSON") << QByteArray("POST") << QByteArray("/__control/upgrade") << QByteArray("{offer") << 400;
    QTest::newRow("upgrade of an unknown installer") << QByteArray("POST") << QByteArray("/__control/upgrade") << QByteArray("{\"offer\":\"setup.exe\"}") << 400;
    QTest::newRow("upgrade with an unknown key") << QByteArray("POST") << QByteArray("/__control/upgrade") << QByteArray("{\"Latest\":\"2.0.0.0\"}") << 400;
    QTest::newRow("upgrade value not a text") << QByteArray("POST") << QByteArray("/__control/upgrade") << QByteArray("{\"LatestVer\":2}") << 400;
    QTest::newRow("upgrade by GET") << QByteArray("GET") << QByteArray("/__control/upgrade") << QByteArray() << 405;
    QTest::newRow("class begin not JSON") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{class") << 400;
    QTest::newRow("class begin of no class") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":\"99999\",\"begin_time\":1700000000}") << 400;
    QTest::newRow("class id as number") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":10001,\"begin_time\":1700000000}") << 400;
    QTest::newRow("class begin missing") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":\"10001\"}") << 400;
    QTest::newRow("class begin as text") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":\"10001\",\"begin_time\":\"1700000000\"}") << 400;
    QTest::newRow("class begin fractional") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":\"10001\",\"begin_time\":1700000000.5}") << 400;
    QTest::newRow("class begin in 1970") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":\"10001\",\"begin_time\":5}") << 400;
    QTest::newRow("class begin with an unknown key") << QByteArray("POST") << QByteArray("/__control/class") << QByteArray("{\"class_id\":\"10001\",\"begin_time\":1700000000,\"end\":1}") << 400;
    QTest::newRow("class begin by GET") << QByteArray("GET") << QByteArray("/__control/class") << QByteArray() << 405;
    QTest::newRow("unknown control call") << QByteArray("POST") << QByteArray("/__control/shutdown") << QByteArray() << 404;
}

void tst_LessonService::controlRejectsBadInput()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, body);
    QFETCH(int, status);

    const LessonService::ControlReply reply = m_service.control(method, path, body);
    QCOMPARE(reply.status, status);
    QVERIFY2(!QJsonDocument::fromJson(reply.body).object().value(QStringLiteral("error")).toString().isEmpty(), reply.body.constData());

    // Nothing was set: the calls answer as before.
    QCOMPARE(rawGet(m_service.port(), "/x").status, 404);
    QCOMPARE(get(QStringLiteral("/QXV1/Public/test")).json().value(QStringLiteral("errorCode")).toInt(), 200);
}

void tst_LessonService::survivesMalformedRequests()
{
    const QList<QByteArray> garbage = {
        "NOT HTTP AT ALL\r\n\r\n",
        "GET\r\n\r\n",
        "POST /QXV1/Public/chatPic HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
        "Content-Type: multipart/form-data; boundary=zz\r\nContent-Length: 10\r\n\r\n0123456789",
        "POST /QXV1/Public/kv HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 5\r\n\r\n%zz%",
        "POST /QXV1/PcStudents/login HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 100\r\n\r\nshort",
        "GET /QXV1/Public/test?%%%=%%% HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
        "PUT /QXV1/Public/test HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 0\r\n\r\n",
    };
    for (const QByteArray &request : garbage)
        rawExchange(m_service.port(), request, true);

    QVERIFY(m_service.isRunning());
    QCOMPARE(get(QStringLiteral("/QXV1/Public/test")).json().value(QStringLiteral("errorCode")).toInt(), 200);
}

void tst_LessonService::endsCleanlyOnSigterm()
{
    LessonService second;
    QVERIFY(second.start());
    QVERIFY(second.port() != m_service.port());
    QCOMPARE(QString::fromLocal8Bit(qgetenv("LESSONRY_SERVERS_INI")), second.serversIniPath());

    // An idle kept-alive connection and a hanging request must not hold up the end.
    QNetworkAccessManager network;
    QNetworkReply *kept = network.get(QNetworkRequest(QUrl(second.baseUrl() + QStringLiteral("/QXV1/Public/test"))));
    QVERIFY(QSignalSpy(kept, &QNetworkReply::finished).wait(5000) || kept->isFinished());
    QVERIFY(second.setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("hang")));
    QNetworkReply *hanging = network.get(QNetworkRequest(QUrl(second.baseUrl() + QStringLiteral("/QXV1/Public/test"))));
    QTRY_COMPARE(second.requests().size(), 2);

    // The fixture kills a service that is still there after 5 s; exit code
    // 0 shows it ended on SIGTERM by itself.
    second.stop();
    QCOMPARE(second.lastExitCode(), 0);
    QVERIFY(!second.isRunning());
    // The client is pointed back where it was before: the fixture's service.
    QCOMPARE(QString::fromLocal8Bit(qgetenv("LESSONRY_SERVERS_INI")), m_service.serversIniPath());
    delete kept;
    delete hanging;

    // The fixture for the other tests is unharmed.
    QVERIFY(m_service.isRunning());
}

void tst_LessonService::endsWithTheProcessThatStartedIt()
{
    // A shell starts the service the way the fixture does and ends at once,
    // as a crashed test would.
    QProcess shell;
    shell.start(QStringLiteral("sh"), { QStringLiteral("-c"), QStringLiteral("\"$0\" --port 0 --parent-pid $$ >/dev/null & echo $!"),
                                         TestUtil::binDir() + QStringLiteral("/lessonry-lesson-service") });
    QVERIFY(shell.waitForFinished(5000));
    QCOMPARE(shell.exitStatus(), QProcess::NormalExit);
    QCOMPARE(shell.exitCode(), 0);
    const QByteArray pid = shell.readAllStandardOutput().trimmed();
    QVERIFY(!pid.isEmpty());

    // Gone, or at most a zombie waiting for whoever adopted it.
    auto running = [&pid] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
    };
    QTRY_VERIFY_WITH_TIMEOUT(!running(), 5000);
}

QTEST_GUILESS_MAIN(tst_LessonService)

#include "tst_lessonservice.moc"
