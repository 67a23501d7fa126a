#include "apitestsupport.h"

#include "biz/httpapi/studentapis.h"
#include "biz/httpapi/teacherapis.h"
#include "lessonservice.h"
#include "testutil.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "mgr/teachercurrentuser.h"
#include "platform/systemdescription.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace ApiTest;

// The teacher build: same catalogue, teacher's role code.
class TestTeacherApis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void loginSendsTeacherForm_data();
    void loginSendsTeacherForm();
    void fixtureTeacherSignsIn();
    void roleCodeIsTeachers_data();
    void roleCodeIsTeachers();
    void studentLoginKeepsStudentSource();
    void channelKeyRenewalNamesTeacher();

private:
    LessonService m_service;
    QObject m_owner;
};

void TestTeacherApis::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
}

void TestTeacherApis::init()
{
    m_service.reset();
}

void TestTeacherApis::loginSendsTeacherForm_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::newRow("fixture account") << QStringLiteral("teacher@example.com") << QStringLiteral("teacher123");
    // "+" must not turn into a blank on the way.
    QTest::newRow("plus in address") << QStringLiteral("t+1@example.com") << QStringLiteral("p+ss w&rd=1");
    QTest::newRow("non-ASCII password") << QStringLiteral("teacher@example.com") << QStringLiteral("密码123");
}

void TestTeacherApis::loginSendsTeacherForm()
{
    QFETCH(QString, username);
    QFETCH(QString, password);

    int timeout = 0;
    EntityNetworkReplyHolder *holder = callNotingTimeout([&] { return TeacherApis::login(&m_owner, username, password); }, &timeout);
    QVERIFY(holder);
    QCOMPARE(holder->parent(), &m_owner);
    QCOMPARE(timeout, 15000);
    QVERIFY(waitForEnd(holder));

    const QJsonObject request = m_service.lastRequest("/QXV1/PcTeacher/login");
    QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
    QVERIFY(request.value("headers").toObject().value("content-type").toString().startsWith(
        QLatin1String("application/x-www-form-urlencoded")));
    QCOMPARE(keysOf(request.value("form_order").toArray()),
             QStringList({ "os", "password", "sdk_type", "source", "username", "version" }));
    const QJsonObject form = request.value("form").toObject();
    QCOMPARE(form.value("username").toString(), username);
    QCOMPARE(form.value("password").toString(), md5(password.toLocal8Bit()));
    QCOMPARE(form.value("source").toString(), QStringLiteral("13"));
    QCOMPARE(form.value("version").toString(), QStringLiteral("1.1.5.1"));
    QCOMPARE(form.value("sdk_type").toString(), QStringLiteral("2"));
    QCOMPARE(form.value("os").toString(), getSystemDescription());
}

void TestTeacherApis::fixtureTeacherSignsIn()
{
    EntityNetworkReplyHolder *holder = TeacherApis::login(&m_owner, QStringLiteral("teacher@example.com"), QStringLiteral("teacher123"));
    QSignalSpy succeeded(holder, &EntityNetworkReplyHolder::signal_onSuccess);
    QSignalSpy failed(holder, &EntityNetworkReplyHolder::signal_onFailure);
    QVERIFY(waitForEnd(holder));
    QCOMPARE(failed.count(), 0);
    QCOMPARE(succeeded.count(), 1);
    QVERIFY(!Singleton<HttpMgr>::instance()->getPhpSessionId().isEmpty());

    holder = TeacherApis::login(&m_owner, QStringLiteral("teacher@example.com"), QStringLiteral("teacher124"));
    QSignalSpy refused(holder, &EntityNetworkReplyHolder::signal_onFailure);
    QVERIFY(waitForEnd(holder));
    QCOMPARE(refused.count(), 1);
    QVERIFY(refused.at(0).at(0).value<BaseEntity>().errorCode != 200);
}

void TestTeacherApis::roleCodeIsTeachers_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<QString>("path");
    QTest::newRow("pcNewUpdate") << 0 << QStringLiteral("/QXV1/Public/pcNewUpdate");
    QTest::newRow("getAppConfig") << 1 << QStringLiteral("/QXV1/Config/getAll");
    QTest::newRow("webUrl") << 2 << QStringLiteral("/QXV1/Public/webUrl");
    QTest::newRow("classWebUrl") << 3 << QStringLiteral("/QXV1/Public/webUrl");
}

void TestTeacherApis::roleCodeIsTeachers()
{
    QFETCH(int, call);
    QFETCH(QString, path);
    const std::function<EntityNetworkReplyHolder *()> calls[] = {
        [this] { return StudentApis::pcNewUpdate(&m_owner); },
        [this] { return StudentApis::getAppConfig(&m_owner); },
        [this] { return StudentApis::webUrl(&m_owner); },
        [this] { return StudentApis::classWebUrl(&m_owner, QStringLiteral("8001"), QStringLiteral("2")); },
    };
    QVERIFY(waitForEnd(calls[call]()));
    QCOMPARE(m_service.lastRequest(path).value("query").toObject().value("source").toString(), QStringLiteral("13"));
}

void TestTeacherApis::studentLoginKeepsStudentSource()
{
    EntityNetworkReplyHolder *holder = StudentApis::login(&m_owner, QStringLiteral("13800000001"), QStringLiteral("student123"));
    QVERIFY(waitForEnd(holder));
    QCOMPARE(m_service.lastRequest("/QXV1/PcStudents/login").value("form").toObject().value("source").toString(),
             QStringLiteral("12"));
}

void TestTeacherApis::channelKeyRenewalNamesTeacher()
{
    EntityNetworkReplyHolder *holder = StudentApis::updateSdkSig(&m_owner, QStringLiteral("9001"), QStringLiteral("8001"));
    QVERIFY(waitForEnd(holder));
    const QJsonObject request = m_service.lastRequest("/QXV1/PcClass/updateSdkSig");
    QCOMPARE(keysOf(request.value("form_order").toArray()), QStringList({ "class_id", "source", "tid" }));
    const QJsonObject form = request.value("form").toObject();
    QCOMPARE(form.value("tid").toString(), QStringLiteral("9001"));
    QCOMPARE(form.value("source").toString(), QStringLiteral("13"));
    QVERIFY(!form.contains("sid"));

    // The log upload names the teacher as its user.
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("log.zip"));
    QVERIFY(TestUtil::writeFile(archive, "PK"));
    TeacherLoginDataEntity teacher;
    teacher.id = QStringLiteral("9001");
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(teacher);
    QVERIFY(waitForEnd(StudentApis::pcLogUpload(&m_owner, archive)));
    const QJsonObject upload = m_service.lastRequest("/QXV1/Public/pcLogUpload").value("form").toObject();
    QCOMPARE(upload.value("source").toString(), QStringLiteral("13"));
    QCOMPARE(upload.value("user_id").toString(), QStringLiteral("9001"));
}

QTEST_GUILESS_MAIN(TestTeacherApis)
#include "tst_teacherapis_teacher.moc"
