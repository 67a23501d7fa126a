#include "biz/im/mqtt/mqttimsdk.h"
#include "biz/login/logininfo.h"
#include "biz/login/loginsession.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"

#include <QTest>

// The teacher client's session: its own user id and client name, and a
// saved login without a picture (the picture comes from the student record).
class TestLoginSessionTeacher : public QObject
{
    Q_OBJECT

private slots:
    void startsSessionForTheTeacher();
};

void TestLoginSessionTeacher::startsSessionForTheTeacher()
{
    const QString answer =
        QStringLiteral("{\"errorCode\":200,\"data\":{\"id\":\"30001\",\"avatar\":\"http://127.0.0.1:1/t.png\"}}");
    QVERIFY(LoginSession::takeOverLoginAnswer(ClientRoleTeacher, answer));
    QCOMPARE(LoginSession::startSession(), QStringLiteral("30001"));
    QCOMPARE(MqttImSdk::instance()->clientId(), QStringLiteral("client_teacher_30001"));

    LoginSession::saveLogin(QStringLiteral("teacher@example.com"), QStringLiteral("teacher123"), true);
    LoginInfo info;
    QVERIFY(LoginSession::readSavedLogin(info));
    QCOMPARE(info.username, QStringLiteral("teacher@example.com"));
    QCOMPARE(info.avatarUrl, QString());
    QCOMPARE(Singleton<StudentCurrentUser>::instance()->getId(), QString());
}

QTEST_GUILESS_MAIN(TestLoginSessionTeacher)

#include "tst_loginsession_teacher.moc"
