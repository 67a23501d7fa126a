#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

#include "holderrecorder.h"
#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "testutil.h"
#include "utility/hashutility.h"

namespace {

QStringList s_logLines;
QtMessageHandler s_previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    s_logLines.append(message);
    if (s_previousHandler)
        s_previousHandler(type, context, message);
}

QStringList toStringList(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &entry : value.toArray())
        list.append(entry.toString());
    return list;
}

} // namespace

// The HTTP manager against the stand-in lesson service: what each operation
// puts on the wire, the session cookie, and the log lines it writes.
class TestHttpMgr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void contentType_data();
    void contentType();
    void failureActionName_data();
    void failureActionName();
    void sessionIdFromCookies();

    void getSendsParamsInKeyOrder();
    void getKeepsOrReplacesOwnQuery();
    void getCarriesPlusAndReservedCharacters();
    void postEncodesForm_data();
    void postEncodesForm();
    void postSendsFormContentType();
    void uploadSendsFileAndTextParts();
    void uploadGuessesOctetStreamForUnknownSuffix();
    void uploadOfUnreadableFileIsNotSent();
    void sessionCookieRecordedAndSentBack();
    void passwordIsMaskedInLogLines();
    void redirectsFollowedByGetAndDownloadOnly_data();
    void redirectsFollowedByGetAndDownloadOnly();
    void downloadFetchesOnlyWebAddresses_data();
    void downloadFetchesOnlyWebAddresses();

private:
    // Waits for the end signal of holder and returns what it emitted.
    QStringList run(NetWorkReplyHolder *holder);

    LessonService m_service;
    HttpMgr *m_mgr = nullptr;
};

void TestHttpMgr::initTestCase()
{
    QVERIFY(m_service.start());
    m_mgr = Singleton<HttpMgr>::instance();
    m_mgr->init();
}

void TestHttpMgr::init()
{
    m_service.reset();
}

QStringList TestHttpMgr::run(NetWorkReplyHolder *holder)
{
    HolderRecorder recorder(holder);
    if (!QTest::qWaitFor([&] { return recorder.ended(); }, 10000))
        return QStringList{QStringLiteral("no end signal")} + recorder.events;
    return recorder.events;
}

void TestHttpMgr::contentType_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("type");
    QTest::newRow("jpg") << "/tmp/a.jpg" << "image/jpeg";
    QTest::newRow("jpeg upper") << "C:/pics/a.JPEG" << "image/jpeg";
    QTest::newRow("png") << "shot.png" << "image/png";
    QTest::newRow("gif") << "x.gif" << "image/gif";
    QTest::newRow("zip upper") << "/logs/app.ZIP" << "application/zip";
    QTest::newRow("txt") << "notes.txt" << "text/plain";
    QTest::newRow("no suffix") << "/tmp/README" << "application/octet-stream";
    QTest::newRow("last suffix only") << "logs.tar.gz" << "application/octet-stream";
    QTest::newRow("unknown") << "talk.pdf" << "application/octet-stream";
    QTest::newRow("blank after suffix") << "a.png " << "image/png";
}

void TestHttpMgr::contentType()
{
    QFETCH(QString, path);
    QFETCH(QString, type);
    QCOMPARE(m_mgr->guessFileContentType(path), type);
}

void TestHttpMgr::failureActionName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::newRow("api path") << "http://127.0.0.1:1/QXV1/PcStudents/login"
                              << "PcStudents_login_failure";
    QTest::newRow("trailing slash") << "http://127.0.0.1:1/QXV1/PcStudents/"
                                    << "PcStudents__failure";
    QTest::newRow("no slash") << "login" << "login_failure";
    QTest::newRow("empty") << "" << "_failure";
}

void TestHttpMgr::failureActionName()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QCOMPARE(::failureActionName(url), name);
}

void TestHttpMgr::sessionIdFromCookies()
{
    m_mgr->setPhpSessionId(QStringLiteral("before"));

    m_mgr->SavePhpSessionId(QVariant());
    QCOMPARE(m_mgr->getPhpSessionId(), QStringLiteral("before"));

    const QList<QNetworkCookie> others{QNetworkCookie("lang", "en")};
    m_mgr->SavePhpSessionId(QVariant::fromValue(others));
    QCOMPARE(m_mgr->getPhpSessionId(), QStringLiteral("before"));

    // Any case of the name; with several the last one wins.
    const QList<QNetworkCookie> sessions{QNetworkCookie("phpsessid", "first"),
                                         QNetworkCookie("lang", "en"),
                                         QNetworkCookie("PhpSessId", "second")};
    m_mgr->SavePhpSessionId(QVariant::fromValue(sessions));
    QCOMPARE(m_mgr->getPhpSessionId(), QStringLiteral("second"));
}

void TestHttpMgr::getSendsParamsInKeyOrder()
{
    const QString url = m_service.baseUrl() + QStringLiteral("/QXV1/Config/getAll");
    QMap<QString, QString> params;
    params.insert(QStringLiteral("source"), QStringLiteral("12"));
    params.insert(QStringLiteral("b"), QStringLiteral("2"));
    params.insert(QStringLiteral("a"), QStringLiteral("1"));

    std::unique_ptr<NetWorkReplyHolder> holder(m_mgr->get(url, params, -1));
    QVERIFY(holder);
    QCOMPARE(holder->getUrl(), url);
    QCOMPARE(run(holder.get()), (QStringList{"start", "success", "finish"}));

    const QJsonObject request = m_service.lastRequest(QStringLiteral("/QXV1/Config/getAll"));
    QCOMPARE(request.value("method").toString(), QStringLiteral("GET"));
    QCOMPARE(toStringList(request.value("query_order")), (QStringList{"a", "b", "source"}));
}

void TestHttpMgr::getKeepsOrReplacesOwnQuery()
{
    const QString url = m_service.fixtureUrl(QStringLiteral("lesson-audio.mp3")) + "?avinfo";
    const QString path = QStringLiteral("/files/lesson-audio.mp3");

    std::unique_ptr<NetWorkReplyHolder> kept(m_mgr->get(url, {}, -1));
    QCOMPARE(run(kept.get()), (QStringList{"start", "success", "finish"}));
    QVERIFY(m_service.lastRequest(path).value("query").toObject().contains("avinfo"));

    m_service.reset();
    QMap<QString, QString> params;
    params.insert(QStringLiteral("x"), QStringLiteral("1"));
    std::unique_ptr<NetWorkReplyHolder> replaced(m_mgr->get(url, params, -1));
    run(replaced.get());
    const QJsonObject query = m_service.lastRequest(path).value("query").toObject();
    QVERIFY(!query.contains("avinfo"));
    QCOMPARE(query.value("x").toString(), QStringLiteral("1"));
}

void TestHttpMgr::getCarriesPlusAndReservedCharacters()
{
    QMap<QString, QString> params;
    params.insert(QStringLiteral("email"), QStringLiteral("t+1@example.com"));
    params.insert(QStringLiteral("text"), QStringLiteral("a b&c=d#e%f/ü"));
    std::unique_ptr<NetWorkReplyHolder> holder(
        m_mgr->get(m_service.baseUrl() + "/QXV1/Config/getAll", params, -1));
    run(holder.get());

    const QJsonObject query =
        m_service.lastRequest(QStringLiteral("/QXV1/Config/getAll")).value("query").toObject();
    QCOMPARE(query.value("email").toString(), QStringLiteral("t+1@example.com"));
    QCOMPARE(query.value("text").toString(), QStringLiteral("a b&c=d#e%f/ü"));
}

void TestHttpMgr::postEncodesForm_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("plain") << "abc-1.2_x~" << "abc-1.2_x~";
    QTest::newRow("plus") << "t+1@example.com" << "t%2B1%40example.com";
    QTest::newRow("blank") << "two words" << "two%20words";
    QTest::newRow("ampersand and equals") << "a&b=c" << "a%26b%3Dc";
    QTest::newRow("percent") << "100%2B" << "100%252B";
    QTest::newRow("non-ascii") << QStringLiteral("课堂") << "%E8%AF%BE%E5%A0%82";
    QTest::newRow("empty") << "" << "";
}

void TestHttpMgr::postEncodesForm()
{
    QFETCH(QString, value);
    QFETCH(QString, encoded);

    QMap<QString, QString> params;
    params.insert(QStringLiteral("comment"), value);
    params.insert(QStringLiteral("class_id"), QStringLiteral("10001"));
    std::unique_ptr<NetWorkReplyHolder> holder(
        m_mgr->post(m_service.baseUrl() + "/QXV1/PcClass/saveComment", params, -1));
    QVERIFY(holder);
    run(holder.get());

    const QJsonObject request = m_service.lastRequest(QStringLiteral("/QXV1/PcClass/saveComment"));
    QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
    QCOMPARE(request.value("body").toString(), "class_id=10001&comment=" + encoded);
    QCOMPARE(request.value("form").toObject().value("comment").toString(), value);
    QCOMPARE(toStringList(request.value("form_order")), (QStringList{"class_id", "comment"}));
}

void TestHttpMgr::postSendsFormContentType()
{
    std::unique_ptr<NetWorkReplyHolder> holder(
        m_mgr->post(m_service.baseUrl() + "/QXV1/PcClass/saveComment", {}, -1));
    run(holder.get());
    const QJsonObject headers = m_service.lastRequest(QStringLiteral("/QXV1/PcClass/saveComment"))
                                    .value("headers")
                                    .toObject();
    QCOMPARE(headers.value("content-type").toString(),
             QStringLiteral("application/x-www-form-urlencoded"));
}

void TestHttpMgr::uploadSendsFileAndTextParts()
{
    QTemporaryDir dir;
    const QString filePath = dir.filePath(QStringLiteral("app.ZIP"));
    QFile file(filePath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray content(3000, 'z');
    file.write(content);
    file.close();

    QMap<QString, QString> params;
    params.insert(QStringLiteral("user_id"), QStringLiteral("20001"));
    params.insert(QStringLiteral("source"), QStringLiteral("12"));
    std::unique_ptr<NetWorkReplyHolder> holder(m_mgr->upload(
        m_service.baseUrl() + "/QXV1/Public/pcLogUpload", QStringLiteral("appLog"), filePath, params));
    QVERIFY(holder);
    QCOMPARE(run(holder.get()), (QStringList{"start", "success", "finish"}));

    const QJsonObject request = m_service.lastRequest(QStringLiteral("/QXV1/Public/pcLogUpload"));
    const QJsonArray files = request.value("files").toArray();
    QCOMPARE(files.size(), 1);
    const QJsonObject part = files.first().toObject();
    QCOMPARE(part.value("field").toString(), QStringLiteral("appLog"));
    QCOMPARE(part.value("filename").toString(), QStringLiteral("app.ZIP"));
    QCOMPARE(part.value("content_type").toString(), QStringLiteral("application/zip"));
    QCOMPARE(part.value("size").toInt(), content.size());
    const QJsonObject form = request.value("form").toObject();
    QCOMPARE(form.value("user_id").toString(), QStringLiteral("20001"));
    QCOMPARE(form.value("source").toString(), QStringLiteral("12"));
}

void TestHttpMgr::uploadGuessesOctetStreamForUnknownSuffix()
{
    QTemporaryDir dir;
    const QString filePath = dir.filePath(QStringLiteral("dump"));
    QVERIFY(TestUtil::writeFile(filePath, "x"));

    std::unique_ptr<NetWorkReplyHolder> holder(m_mgr->upload(
        m_service.baseUrl() + "/QXV1/Public/chatPic", QStringLiteral("chatPic"), filePath, {}));
    run(holder.get());
    const QJsonObject part = m_service.lastRequest(QStringLiteral("/QXV1/Public/chatPic"))
                                 .value("files")
                                 .toArray()
                                 .first()
                                 .toObject();
    QCOMPARE(part.value("content_type").toString(), QStringLiteral("application/octet-stream"));
    QCOMPARE(part.value("filename").toString(), QStringLiteral("dump"));
}

void TestHttpMgr::uploadOfUnreadableFileIsNotSent()
{
    QTemporaryDir dir;
    std::unique_ptr<NetWorkReplyHolder> holder(
        m_mgr->upload(m_service.baseUrl() + "/QXV1/Public/chatPic", QStringLiteral("chatPic"),
                      dir.filePath(QStringLiteral("missing.png")), {}));
    QVERIFY(holder);
    QCOMPARE(run(holder.get()),
             (QStringList{"start", QStringLiteral("failure:%1").arg(REQUEST_REFUSED_ERROR_CODE),
                          "finish"}));
    QVERIFY(m_service.lastRequest(QStringLiteral("/QXV1/Public/chatPic")).isEmpty());
}

void TestHttpMgr::sessionCookieRecordedAndSentBack()
{
    m_mgr->setPhpSessionId(QString());
    QMap<QString, QString> login;
    login.insert(QStringLiteral("username"), QStringLiteral("13800000001"));
    login.insert(QStringLiteral("password"), HashUtility::stringToMd5(QStringLiteral("student123")));
    login.insert(QStringLiteral("source"), QStringLiteral("12"));
    login.insert(QStringLiteral("version"), QStringLiteral("1.1.5.1"));
    login.insert(QStringLiteral("sdk_type"), QStringLiteral("2"));
    std::unique_ptr<NetWorkReplyHolder> holder(
        m_mgr->post(m_service.baseUrl() + "/QXV1/PcStudents/login", login, 15000));
    QCOMPARE(run(holder.get()), (QStringList{"start", "success", "finish"}));

    const QString sessionId = m_mgr->getPhpSessionId();
    QVERIFY(!sessionId.isEmpty());

    std::unique_ptr<NetWorkReplyHolder> next(
        m_mgr->get(m_service.baseUrl() + "/QXV1/PcStudents/getBookedClassList", {}, -1));
    run(next.get());
    const QString cookie = m_service.lastRequest(QStringLiteral("/QXV1/PcStudents/getBookedClassList"))
                               .value("cookie")
                               .toString();
    QVERIFY2(cookie.contains("PHPSESSID=" + sessionId), qPrintable(cookie));
    // The id sent back is recorded again, unchanged.
    QCOMPARE(m_mgr->getPhpSessionId(), sessionId);
}

void TestHttpMgr::passwordIsMaskedInLogLines()
{
    const QString hashed = HashUtility::stringToMd5(QStringLiteral("student123"));
    QMap<QString, QString> params;
    params.insert(QStringLiteral("username"), QStringLiteral("13800000001"));
    params.insert(QStringLiteral("password"), hashed);

    s_logLines.clear();
    s_previousHandler = qInstallMessageHandler(captureMessage);
    std::unique_ptr<NetWorkReplyHolder> posted(
        m_mgr->post(m_service.baseUrl() + "/QXV1/PcStudents/login", params, -1));
    std::unique_ptr<NetWorkReplyHolder> got(
        m_mgr->get(m_service.baseUrl() + "/QXV1/Config/getAll", params, -1));
    qInstallMessageHandler(s_previousHandler);

    QVERIFY(!s_logLines.isEmpty());
    for (const QString &line : qAsConst(s_logLines))
        QVERIFY2(!line.contains(hashed), qPrintable(line));
    QVERIFY(s_logLines.join('\n').contains(QStringLiteral("key:username, value:13800000001")));

    // The server still receives it.
    HolderRecorder postedEvents(posted.get());
    HolderRecorder gotEvents(got.get());
    QTRY_VERIFY_WITH_TIMEOUT(postedEvents.ended() && gotEvents.ended(), 10000);
    QCOMPARE(postedEvents.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(m_service.lastRequest(QStringLiteral("/QXV1/PcStudents/login"))
                 .value("form")
                 .toObject()
                 .value("password")
                 .toString(),
             hashed);
}

void TestHttpMgr::redirectsFollowedByGetAndDownloadOnly_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("followed");
    QTest::newRow("get") << "get" << "/QXV1/Config/getAll" << true;
    QTest::newRow("download") << "download" << "/files/courseware.pdf" << true;
    QTest::newRow("post") << "post" << "/QXV1/PcClass/saveComment" << false;
    QTest::newRow("upload") << "upload" << "/QXV1/Public/chatPic" << false;
}

void TestHttpMgr::redirectsFollowedByGetAndDownloadOnly()
{
    QFETCH(QString, operation);
    QFETCH(QString, from);
    QFETCH(bool, followed);
    const QString target = QStringLiteral("/files/cover.png");
    QVERIFY(m_service.setFault(from, QStringLiteral("redirect"),
                               QJsonObject{{"location", target}, {"times", 1}}));

    QTemporaryDir dir;
    const QString url = m_service.baseUrl() + from;
    if (operation == QLatin1String("download")) {
        QObject parent;
        NetWorkDownloadReplyHolder *holder = m_mgr->download(&parent, url, dir.path());
        HolderRecorder recorder(holder);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.ended(), 10000);
        QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
        // The size check holds against the final answer's length.
        QFile stored(recorder.filePath);
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QFile fixture(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/cover.png"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), fixture.readAll());
    } else {
        NetWorkReplyHolder *holder = nullptr;
        if (operation == QLatin1String("get")) {
            holder = m_mgr->get(url, {}, 5000);
        } else if (operation == QLatin1String("post")) {
            holder = m_mgr->post(url, {}, 5000);
        } else {
            const QString filePath = dir.filePath(QStringLiteral("shot.png"));
            QVERIFY(TestUtil::writeFile(filePath, "png"));
            holder = m_mgr->upload(url, QStringLiteral("chatPic"), filePath, {});
        }
        std::unique_ptr<NetWorkReplyHolder> owner(holder);
        QCOMPARE(run(holder), (QStringList{"start", "success", "finish"}));
    }

    QVERIFY(!m_service.lastRequest(from).isEmpty());
    QCOMPARE(!m_service.lastRequest(target).isEmpty(), followed);
}

void TestHttpMgr::downloadFetchesOnlyWebAddresses_data()
{
    QTest::addColumn<QString>("url");
    const QString fixture = QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/cover.png");
    QTest::newRow("file") << QUrl::fromLocalFile(fixture).toString();
    QTest::newRow("file in capitals") << QStringLiteral("FILE://") + fixture;
    QTest::newRow("data") << QStringLiteral("data:application/pdf;base64,JVBERi0xLjQK");
    QTest::newRow("qrc") << QStringLiteral("qrc:/languages/change_language_CN.qm");
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1:1/courseware.pdf");
    QTest::newRow("no host") << QStringLiteral("http:///files/courseware.pdf");
    QTest::newRow("no scheme") << fixture;
}

void TestHttpMgr::downloadFetchesOnlyWebAddresses()
{
    QFETCH(QString, url);
    QTemporaryDir dir;
    QObject parent;
    NetWorkDownloadReplyHolder *holder = m_mgr->download(&parent, url, dir.path());
    HolderRecorder recorder(holder);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.ended(), 10000);
    QCOMPARE(recorder.events,
             (QStringList{"start", QStringLiteral("failure:%1").arg(REQUEST_REFUSED_ERROR_CODE), "finish"}));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestHttpMgr)
#include "tst_httpmgr.moc"
