#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/logeventmgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"

#include <QTest>

// The same state in the teacher build.
class TestRoleStateTeacher : public QObject
{
    Q_OBJECT

private slots:
    void uidIsTheTeachers()
    {
        StudentLoginDataEntity student;
        student.id = QStringLiteral("s-1");
        Singleton<StudentCurrentUser>::instance()->setUserInfo(student);
        TeacherLoginDataEntity teacher;
        teacher.id = QStringLiteral("t-1");
        Singleton<TeacherCurrentUser>::instance()->setUserInfo(teacher);
        QCOMPARE(Singleton<GlobalCurrentUser>::instance()->getUid(), QStringLiteral("t-1"));
    }

    void eventPathOfTeacher()
    {
        QCOMPARE(LogEventMgr::instance()->eventPath(), QStringLiteral("win/teacher/1.1.5.1/event"));
    }

    void mqttClientIdOfTeacher()
    {
        MqttImSdk::instance()->init(QStringLiteral("7"));
        QCOMPARE(MqttImSdk::instance()->clientId(), QStringLiteral("client_teacher_7"));
    }
};

QTEST_GUILESS_MAIN(TestRoleStateTeacher)

#include "tst_rolestate_teacher.moc"
