#include "utility/userinfo.h"

#include <QTest>

// Teacher build: the teacher is also the signed-in user.
class TestUserInfoTeacher : public QObject
{
    Q_OBJECT

private slots:
    void teacherIndexSetsCurrentUser();
};

void TestUserInfoTeacher::teacherIndexSetsCurrentUser()
{
    UserList roster;
    UserInfo teacher;
    teacher.uid = "t1";
    teacher.userType = 2;
    roster.addUser(teacher);
    roster.setTeacherIdx(0);

    QCOMPARE(roster.getTeacherIdx(), 0);
    QCOMPARE(roster.getCurUserIdx(), 0);
    QCOMPARE(roster.getCurUser().uid, QStringLiteral("t1"));

    roster.setCurUserIdx(-1);
    QCOMPARE(roster.getTeacherIdx(), 0);
    QCOMPARE(roster.getCurUserIdx(), -1);
}

QTEST_GUILESS_MAIN(TestUserInfoTeacher)
#include "tst_userinfo_teacher.moc"
