#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>

#include "biz/httpapi/mockentitynetworkreplyholder.h"
#include "lessonservice.h"
#include "mgr/http/apireply.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "testenvironment.h"
#include "utility/actionlog.h"
#include "utility/hashutility.h"

namespace {

// The part of the login answer's "data" these tests read.
struct Account
{
    QString id = QStringLiteral("unset");
    QString nickname;
};

void readJson(const QJsonValue &value, Account &out)
{
    const QJsonObject object = value.toObject();
    readJsonString(object.value(QLatin1String("id")), out.id);
    readJsonString(object.value(QLatin1String("nickname")), out.nickname);
}

// A receiver with slots of its own, as a window would have.
class Window : public QObject
{
public:
    void started() { log << QStringLiteral("start"); }
    void signedIn(const Account &account) { log << QStringLiteral("success:") + account.id; }
    void failed(const BaseEntity &error) { log << QStringLiteral("failure:%1").arg(error.errorCode); }
    void finished() { log << QStringLiteral("finish"); }
    void aborted() { log << QStringLiteral("abort"); }

    QStringList log;
};

} // namespace

// One statement binds an API call's outcome to a receiver: the payload
// arrives typed, failures as envelopes, in the holder's order, and only
// while the receiver lives.
class TestApiReply : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void outcomes_data();
    void outcomes();
    void payloadIsReadFromTheCheckedAnswer();
    void textForVoid();
    void refusedRequestNeverSynchronous();
    void abortGivesOnlyAbort();
    void receiverGoneRunsNothing();
    void cannedAnswers_data();
    void cannedAnswers();
    void listPayload();

private:
    EntityNetworkReplyHolder *login(QObject *parent, const QString &password, const QString &base = QString());

    LessonService m_service;
    QTemporaryDir m_logDir;
};

void TestApiReply::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    QVERIFY(ActionLog::instance()->init(m_logDir.filePath(QStringLiteral("test.action.log"))));
}

void TestApiReply::init()
{
    m_service.reset();
}

void TestApiReply::cleanupTestCase()
{
    ActionLog::instance()->close();
}

EntityNetworkReplyHolder *TestApiReply::login(QObject *parent, const QString &password, const QString &base)
{
    QMap<QString, QString> params;
    params.insert(QStringLiteral("username"), QString::fromLatin1(LessonService::kStudentPhone));
    params.insert(QStringLiteral("password"), HashUtility::stringToMd5(password));
    params.insert(QStringLiteral("source"), QStringLiteral("12"));
    const QString url = (base.isEmpty() ? m_service.baseUrl() : base) + QStringLiteral("/QXV1/PcStudents/login");
    return new EntityNetworkReplyHolder(parent, Singleton<HttpMgr>::instance()->post(url, params, 15000));
}

void TestApiReply::outcomes_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("dead");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("message");

    QTest::newRow("accepted") << LessonService::kStudentPassword << "" << false
                              << QStringList{ "start", "success:20001", "finish" } << "";
    QTest::newRow("refused by the server") << "wrong" << "" << false
                                           << QStringList{ "start", "failure:410", "finish" } << "wrong password";
    QTest::newRow("answer not JSON") << LessonService::kStudentPassword << "nonjson" << false
                                     << QStringList{ "start", "failure:-333", "finish" } << "";
    QTest::newRow("HTTP 500") << LessonService::kStudentPassword << "status" << false
                              << QStringList{ "start", "failure:-401", "finish" } << "failed";
    QTest::newRow("nobody listening") << LessonService::kStudentPassword << "" << true
                                      << QStringList{ "start", "failure:-1", "finish" } << "failed";
}

void TestApiReply::outcomes()
{
    QFETCH(QString, password);
    QFETCH(QString, fault);
    QFETCH(bool, dead);
    QFETCH(QStringList, log);
    QFETCH(QString, message);

    if (fault == QLatin1String("status"))
        QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), fault, { { "status", 500 } }));
    else if (!fault.isEmpty())
        QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), fault));

    Window window;
    QString errorMsg;
    EntityNetworkReplyHolder *holder =
        bindApiReply<Account>(login(&window, password, dead ? TestEnvironment::deadBaseUrl() : QString()), &window)
            .onStart(&Window::started)
            .onSuccess(&Window::signedIn)
            .onFailure([&](const BaseEntity &error) {
                errorMsg = error.errorMsg;
                window.failed(error);
            })
            .onFinish(&Window::finished)
            .onAbort(&Window::aborted);
    QVERIFY(holder);
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(10000));
    QCOMPARE(window.log, log);
    if (!message.isEmpty())
        QCOMPARE(errorMsg, message);
}

void TestApiReply::payloadIsReadFromTheCheckedAnswer()
{
    QObject owner;
    EntityNetworkReplyHolder *holder = login(&owner, QString::fromLatin1(LessonService::kStudentPassword));
    bool checkedDuringSuccess = false;
    Account account;
    bindApiReply<Account>(holder, &owner).onSuccess([&](const Account &received) {
        checkedDuringSuccess = holder->checkedAnswer() != nullptr;
        account = received;
    });
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(10000));
    QVERIFY(checkedDuringSuccess);
    QCOMPARE(account.id, QStringLiteral("20001"));
    QCOMPARE(account.nickname, QStringLiteral("Lily"));
    // Only while the answer is being delivered.
    QCOMPARE(holder->checkedAnswer(), nullptr);
}

void TestApiReply::textForVoid()
{
    QObject owner;
    QString text;
    EntityNetworkReplyHolder *holder = bindApiReply<void>(login(&owner, QString::fromLatin1(LessonService::kStudentPassword)), &owner)
                                           .onSuccess([&](const QString &body) { text = body; });
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(10000));
    QVERIFY2(text.contains(QStringLiteral("\"nickname\":\"Lily\"")), qPrintable(text));
}

void TestApiReply::refusedRequestNeverSynchronous()
{
    // An upload of a file that cannot be read is never sent; its holder
    // still reports the whole sequence, from the event loop.
    Window window;
    NetWorkReplyHolder *inner = Singleton<HttpMgr>::instance()->upload(
        m_service.baseUrl() + QStringLiteral("/QXV1/Public/chatPic"), QStringLiteral("chatPic"),
        m_logDir.filePath(QStringLiteral("no such picture.png")), {});
    QVERIFY(inner);
    EntityNetworkReplyHolder *holder = bindApiReply<Account>(new EntityNetworkReplyHolder(&window, inner), &window)
                                           .onStart(&Window::started)
                                           .onSuccess(&Window::signedIn)
                                           .onFailure(&Window::failed)
                                           .onFinish(&Window::finished);
    QVERIFY(window.log.isEmpty());
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(5000));
    QCOMPARE(window.log, (QStringList{ "start", QStringLiteral("failure:%1").arg(REQUEST_REFUSED_ERROR_CODE), "finish" }));
    QVERIFY(m_service.requests().isEmpty());
}

void TestApiReply::abortGivesOnlyAbort()
{
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), QStringLiteral("hang")));
    Window window;
    EntityNetworkReplyHolder *holder =
        bindApiReply<Account>(login(&window, QString::fromLatin1(LessonService::kStudentPassword)), &window)
            .onStart(&Window::started)
            .onSuccess(&Window::signedIn)
            .onFailure(&Window::failed)
            .onFinish(&Window::finished)
            .onAbort(&Window::aborted);
    QTRY_COMPARE(window.log, QStringList{ "start" });
    QSignalSpy aborted(holder, &EntityNetworkReplyHolder::signal_onAbort);
    holder->abort();
    QVERIFY(aborted.wait(5000));
    QCOMPARE(window.log, (QStringList{ "start", "abort" }));
}

void TestApiReply::receiverGoneRunsNothing()
{
    // The holder outlives the receiver (another parent): nothing may run on
    // the receiver once it is gone.
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), QStringLiteral("delay"), { { "delay_ms", 200 } }));
    QObject owner;
    auto *window = new Window;
    int calls = 0;
    EntityNetworkReplyHolder *holder =
        bindApiReply<Account>(login(&owner, QString::fromLatin1(LessonService::kStudentPassword)), window)
            .onSuccess([&calls](const Account &) { ++calls; })
            .onFailure([&calls](const BaseEntity &) { ++calls; })
            .onFinish(&Window::finished);
    delete window;
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(10000));
    QCOMPARE(calls, 0);
}

void TestApiReply::cannedAnswers_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("readable") << R"({"errorCode":200,"errorMsg":"","data":{"id":"77"}})"
                              << QStringList{ "success:77" };
    QTest::newRow("not JSON") << "<html>" << QStringList{ "failure:-333" };
}

void TestApiReply::cannedAnswers()
{
    // A canned answer skips the envelope check: the payload is read from
    // its text, and a text that cannot be read is a failure.
    QFETCH(QString, body);
    QFETCH(QStringList, log);
    Window window;
    MockHttpResponse response;
    response.body = body;
    auto *holder = new MockEntityNetworkReplyHolder(&window, response);
    bindApiReply<Account>(holder, &window).onSuccess(&Window::signedIn).onFailure(&Window::failed);
    QTRY_COMPARE(window.log, log);
}

void TestApiReply::listPayload()
{
    // List answers ("data" an array) arrive as a vector, in array order.
    QObject owner;
    MockHttpResponse response;
    response.body = QStringLiteral(R"({"errorCode":200,"data":[{"id":"1","nickname":"A"},{"id":"2"}]})");
    QVector<Account> accounts;
    bindApiReply<QVector<Account>>(new MockEntityNetworkReplyHolder(&owner, response), &owner)
        .onSuccess([&](const QVector<Account> &received) { accounts = received; });
    QTRY_COMPARE(accounts.size(), 2);
    QCOMPARE(accounts.at(0).nickname, QStringLiteral("A"));
    QCOMPARE(accounts.at(1).id, QStringLiteral("2"));
    QCOMPARE(accounts.at(1).nickname, QString());
}

QTEST_GUILESS_MAIN(TestApiReply)
#include "tst_apireply.moc"
