#include "rolepolicy.h"

#include <QTest>

// The role facts both clients look up: this executable links the student
// role; both tables are checked, as each client carries both.
class TestRolePolicy : public QObject
{
    Q_OBJECT

private slots:
    void currentIsTheLinkedRole();
    void rolesDiffer_data();
    void rolesDiffer();
    void classroomDiffers_data();
    void classroomDiffers();
    void inputErrors_data();
    void inputErrors();
    void failureTexts_data();
    void failureTexts();
};

void TestRolePolicy::currentIsTheLinkedRole()
{
    QCOMPARE(getClientRole(), int(ClientRoleStudent));
    QCOMPARE(&RolePolicy::current(), &RolePolicy::student());
    QVERIFY(RolePolicy::current().isStudent());
    QVERIFY(!RolePolicy::teacher().isStudent());
}

void TestRolePolicy::rolesDiffer_data()
{
    QTest::addColumn<bool>("student");
    QTest::addColumn<QString>("roleWord");
    QTest::addColumn<QString>("sourceCode");
    QTest::addColumn<QString>("userIdField");
    QTest::addColumn<QString>("applicationName");
    QTest::addColumn<QString>("mqttPrefix");
    QTest::addColumn<QString>("helpPage");
    QTest::addColumn<bool>("chinese");

    QTest::newRow("student") << true << "student" << "12" << "sid" << "StudentApplication" << "client_student_"
                             << "/Web/Index/helph5" << true;
    QTest::newRow("teacher") << false << "teacher" << "13" << "tid" << "TeacherApplication" << "client_teacher_"
                             << "/Web/Index/faq" << false;
}

void TestRolePolicy::rolesDiffer()
{
    QFETCH(bool, student);
    const RolePolicy &policy = student ? RolePolicy::student() : RolePolicy::teacher();
    QTEST(policy.roleWord, "roleWord");
    QTEST(policy.sourceCode, "sourceCode");
    QTEST(policy.userIdField, "userIdField");
    QTEST(policy.applicationName, "applicationName");
    QTEST(policy.mqttClientIdPrefix, "mqttPrefix");
    QTEST(policy.helpPagePath, "helpPage");
    QTEST(policy.chineseInterface, "chinese");
}

void TestRolePolicy::classroomDiffers_data()
{
    QTest::addColumn<bool>("student");
    QTest::addColumn<bool>("teacherPages");
    QTest::addColumn<bool>("ordersClassMode");
    QTest::addColumn<bool>("maximises");
    QTest::addColumn<bool>("reviews");
    QTest::addColumn<bool>("noticesClassTime");
    QTest::addColumn<bool>("selectsAwardTiles");
    QTest::addColumn<bool>("showsUids");
    QTest::addColumn<int>("prizeRise");
    QTest::addColumn<QString>("logout");
    QTest::addColumn<QString>("deviceSound");

    // The student follows and is followed by nobody; the teacher leads.
    QTest::newRow("student") << true << false << false << true << true << false << false << false << 150 << "Log out"
                             << "/audioTest/studentPlayerTest.wav";
    QTest::newRow("teacher") << false << true << true << false << false << true << true << true << 180 << "logout"
                             << "/audioTest/teacherPlayerTest.wav";
}

void TestRolePolicy::classroomDiffers()
{
    QFETCH(bool, student);
    const RolePolicy &policy = student ? RolePolicy::student() : RolePolicy::teacher();
    QCOMPARE(policy.isStudent(), student);
    QTEST(policy.teacherPages, "teacherPages");
    QTEST(policy.ordersClassMode, "ordersClassMode");
    QTEST(policy.maximisesClassroom, "maximises");
    QTEST(policy.reviewsClassOnLeaving, "reviews");
    QTEST(policy.noticesClassTime, "noticesClassTime");
    QTEST(policy.selectsAwardTiles, "selectsAwardTiles");
    QTEST(policy.tilesShowStudentUids, "showsUids");
    QTEST(policy.prizeRiseHeight, "prizeRise");
    QTEST(QString::fromLatin1(policy.logoutMenuText), "logout");
    QTEST(policy.deviceTestSound, "deviceSound");
    // The device warning is in the interface's language.
    QCOMPARE(policy.deviceChangedWarning.startsWith(QLatin1String("It looks")), !policy.chineseInterface);
}

void TestRolePolicy::inputErrors_data()
{
    QTest::addColumn<bool>("student");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("error");

    QTest::newRow("student, no user") << true << "" << "" << QStringLiteral("手机号码为空");
    QTest::newRow("student, no password") << true << "138" << "" << QStringLiteral("密码为空");
    QTest::newRow("student, both") << true << "138" << "x" << "";
    QTest::newRow("teacher, no user") << false << "" << "x" << "empty email";
    QTest::newRow("teacher, no password") << false << "t@example.com" << "" << "empty password";
    QTest::newRow("teacher, both") << false << "t@example.com" << "x" << "";
}

void TestRolePolicy::inputErrors()
{
    QFETCH(bool, student);
    QFETCH(QString, user);
    QFETCH(QString, password);
    const RolePolicy &policy = student ? RolePolicy::student() : RolePolicy::teacher();
    QTEST(policy.loginErrors.inputError(user, password), "error");
}

void TestRolePolicy::failureTexts_data()
{
    QTest::addColumn<bool>("student");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("student 404") << true << 404 << QStringLiteral("手机号不存在，请检查手机号");
    QTest::newRow("student 410") << true << 410 << QStringLiteral("密码错误");
    QTest::newRow("student 500") << true << 500 << QStringLiteral("认证失败");
    QTest::newRow("student 501") << true << 501 << QStringLiteral("配置失败");
    QTest::newRow("student unreadable") << true << -333 << QStringLiteral("服务器返回值错误");
    // A time-out carries its network text and a full stop; a transport
    // failure (negative code) has no text, so no full stop either.
    QTest::newRow("student time-out") << true << 4 << QStringLiteral("登陆失败，请检查网络！连接超时.错误码[4]");
    QTest::newRow("student host not found") << true << -3 << QStringLiteral("登陆失败，请检查网络！错误码[-3]");
    QTest::newRow("teacher 404") << false << 404 << "user not exist";
    QTest::newRow("teacher 410") << false << 410 << "wrong password";
    QTest::newRow("teacher 500") << false << 500 << " Get Agora certification failure";
    QTest::newRow("teacher 501") << false << 501 << "Get Agora config failure";
    QTest::newRow("teacher unreadable") << false << -333 << "wrong server response";
    QTest::newRow("teacher time-out") << false << 4 << "login failed!please check your network!code[4]";
    QTest::newRow("teacher server code") << false << 403 << "login failed!please check your network!code[403]";
}

void TestRolePolicy::failureTexts()
{
    QFETCH(bool, student);
    QFETCH(int, code);
    const RolePolicy &policy = student ? RolePolicy::student() : RolePolicy::teacher();
    QTEST(policy.loginErrors.failureText(code), "text");
}

QTEST_GUILESS_MAIN(TestRolePolicy)

#include "tst_rolepolicy.moc"
