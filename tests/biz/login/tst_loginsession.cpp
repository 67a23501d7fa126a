#include "biz/im/mqtt/mqttimsdk.h"
#include "biz/login/logininfo.h"
#include "biz/login/loginsession.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "utility/possibleidutil.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// What follows an accepted login, run without any window, as the
// classroom's re-login will: the student client (the role linked here).
class TestLoginSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void takesAnswerOverIntoTheRolesUser_data();
    void takesAnswerOverIntoTheRolesUser();
    void unreadableAnswerChangesNothing();
    void startsSessionForTheSignedInUser();
    void savesAndReadsTheLogin();
    void noSavedLoginLeavesInfoAlone();
    void announcesTheLogin();

private:
    QStringList actionRecords() const;

    QTemporaryDir m_dir;
    QString m_actionLog;
};

void TestLoginSession::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_actionLog = m_dir.filePath(QStringLiteral("records.action.log"));
    QVERIFY(ActionLog::instance()->init(m_actionLog));
}

void TestLoginSession::init()
{
    Singleton<StudentCurrentUser>::instance()->setUserInfo(StudentLoginDataEntity());
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(TeacherLoginDataEntity());
    PossibleIdUtil::setPossibleId(QStringLiteral("typed-name"));
    PossibleIdUtil::setSetting(g_loginInfoKey, QString());
}

QStringList TestLoginSession::actionRecords() const
{
    QFile file(m_actionLog);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestLoginSession::takesAnswerOverIntoTheRolesUser_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("studentId");
    QTest::addColumn<QString>("teacherId");

    QTest::newRow("student")
        << int(ClientRoleStudent)
        << R"({"errorCode":200,"errorMsg":"","data":{"id":"20001","mobile":"13800000001","avatar":"http://127.0.0.1:1/a.png"}})"
        << "20001" << "";
    QTest::newRow("teacher") << int(ClientRoleTeacher)
                             << R"({"errorCode":200,"errorMsg":"","data":{"id":"30001","email":"t@example.com"}})"
                             << "" << "30001";
    QTest::newRow("empty data") << int(ClientRoleStudent) << R"({"errorCode":200,"errorMsg":"","data":{}})"
                                << "" << "";
}

void TestLoginSession::takesAnswerOverIntoTheRolesUser()
{
    QFETCH(int, role);
    QFETCH(QString, answer);
    QFETCH(QString, studentId);
    QFETCH(QString, teacherId);

    QVERIFY(LoginSession::takeOverLoginAnswer(ClientRole(role), answer));
    QCOMPARE(Singleton<StudentCurrentUser>::instance()->getId(), studentId);
    QCOMPARE(Singleton<TeacherCurrentUser>::instance()->getId(), teacherId);
    // Dumps and logs are named after the answer's user id from now on.
    QCOMPARE(PossibleIdUtil::getPossibleId(), role == ClientRoleStudent ? studentId : teacherId);
}

void TestLoginSession::unreadableAnswerChangesNothing()
{
    StudentLoginDataEntity before;
    before.id = QStringLiteral("20002");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(before);

    QVERIFY(!LoginSession::takeOverLoginAnswer(ClientRoleStudent, QStringLiteral("<html>not json")));
    QCOMPARE(Singleton<StudentCurrentUser>::instance()->getId(), QStringLiteral("20002"));
    QCOMPARE(PossibleIdUtil::getPossibleId(), QStringLiteral("typed-name"));
}

void TestLoginSession::startsSessionForTheSignedInUser()
{
    const QString answer = QStringLiteral(R"({"errorCode":200,"data":{"id":"20001"}})");
    QVERIFY(LoginSession::takeOverLoginAnswer(ClientRoleStudent, answer));
    MqttImSdk::instance()->init(QStringLiteral("someone-before"));

    QCOMPARE(LoginSession::startSession(), QStringLiteral("20001"));
    QVERIFY(MqttImSdk::instance()->hasClient());
    QCOMPARE(MqttImSdk::instance()->clientId(), QStringLiteral("client_student_20001"));
    const QStringList records = actionRecords();
    QVERIFY(!records.isEmpty());
    QVERIFY2(records.last().endsWith(QStringLiteral(",user_login_ok,{userid:20001}")), qPrintable(records.last()));
}

void TestLoginSession::savesAndReadsTheLogin()
{
    StudentLoginDataEntity student;
    student.avatar = QStringLiteral("http://127.0.0.1:1/files/avatar-student.png");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(student);

    LoginSession::saveLogin(QStringLiteral("13800000001"), QStringLiteral("student123"), true);

    const QJsonObject saved = QJsonDocument::fromJson(
        PossibleIdUtil::getSetting(g_loginInfoKey, QString()).toString().toUtf8()).object();
    QCOMPARE(saved.size(), 5);
    QCOMPARE(saved.value(QStringLiteral("shouldRememberPassword")).toInt(-1), 1);
    QCOMPARE(saved.value(QStringLiteral("shouldAutoLogin")).toInt(-1), 1);
    QCOMPARE(saved.value(QStringLiteral("avatarUrl")).toString(), student.avatar);

    LoginInfo info;
    QVERIFY(LoginSession::readSavedLogin(info));
    QCOMPARE(info.username, QStringLiteral("13800000001"));
    QCOMPARE(info.password, QStringLiteral("student123"));
    QCOMPARE(info.shouldAutoLogin, 1);
    QCOMPARE(info.avatarUrl, student.avatar);

    LoginSession::saveLogin(QStringLiteral("13800000001"), QStringLiteral("student123"), false);
    QVERIFY(LoginSession::readSavedLogin(info));
    QCOMPARE(info.shouldAutoLogin, 0);
    QCOMPARE(info.shouldRememberPassword, 1);
}

void TestLoginSession::noSavedLoginLeavesInfoAlone()
{
    LoginInfo info;
    info.username = QStringLiteral("kept");
    QVERIFY(!LoginSession::readSavedLogin(info));
    QCOMPARE(info.username, QStringLiteral("kept"));
}

void TestLoginSession::announcesTheLogin()
{
    QSignalSpy announced(Singleton<SignalQueueMgr>::instance(), &SignalQueueMgr::signal_on_login_ok);
    LoginSession::announceLogin();
    QCOMPARE(announced.count(), 1);
}

QTEST_GUILESS_MAIN(TestLoginSession)

#include "tst_loginsession.moc"
