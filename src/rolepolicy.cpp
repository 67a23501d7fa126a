#include "rolepolicy.h"

#include "mgr/http/baseentity.h"
#include "mgr/http/networkreplyholder.h"

#include <QtGlobal>

namespace {

RolePolicy makeStudent()
{
    RolePolicy policy;
    policy.role = ClientRoleStudent;
    policy.roleWord = QStringLiteral("student");
    policy.sourceCode = QStringLiteral("12");
    policy.userIdField = QStringLiteral("sid");
    policy.applicationName = QStringLiteral("StudentApplication");
    policy.mqttClientIdPrefix = QStringLiteral("client_student_");
    policy.mqttUserNamePrefix = QStringLiteral("username_student_");
    policy.helpPagePath = QStringLiteral("/Web/Index/helph5");
    policy.titleBarHelpImage = QStringLiteral(":/image/class/icon_help.png");
    policy.chineseInterface = true;
    policy.boardShowsClassCountdown = false;
    LoginErrorTexts &errors = policy.loginErrors;
    errors.emptyUser = QStringLiteral("手机号码为空");
    errors.emptyPassword = QStringLiteral("密码为空");
    errors.userNotFound = QStringLiteral("手机号不存在，请检查手机号");
    errors.wrongPassword = QStringLiteral("密码错误");
    errors.certificationFailed = QStringLiteral("认证失败");
    errors.configFailed = QStringLiteral("配置失败");
    errors.unreadableAnswer = QStringLiteral("服务器返回值错误");
    errors.otherFailure = QStringLiteral("登陆失败，请检查网络！%1错误码[%2]");
    errors.withNetworkText = true;

    policy.teacherPages = false;
    policy.ordersClassMode = false;
    policy.maximisesClassroom = true;
    policy.reviewsClassOnLeaving = true;
    policy.noticesClassTime = false;
    policy.selectsAwardTiles = false;
    policy.tilesShowStudentUids = false;
    policy.prizeRiseHeight = 150;
    policy.logoutMenuText = QT_TRANSLATE_NOOP("BaseCourseMainWidget", "Log out");
    policy.deviceChangedWarning = QStringLiteral("检测到您的音视频设备有变动，建议您重新进行设备测试!");
    policy.deviceTestSound = QStringLiteral("/audioTest/studentPlayerTest.wav");
    return policy;
}

RolePolicy makeTeacher()
{
    RolePolicy policy;
    policy.role = ClientRoleTeacher;
    policy.roleWord = QStringLiteral("teacher");
    policy.sourceCode = QStringLiteral("13");
    policy.userIdField = QStringLiteral("tid");
    policy.applicationName = QStringLiteral("TeacherApplication");
    policy.mqttClientIdPrefix = QStringLiteral("client_teacher_");
    policy.mqttUserNamePrefix = QStringLiteral("username_teacher_");
    policy.helpPagePath = QStringLiteral("/Web/Index/faq");
    policy.titleBarHelpImage = QStringLiteral(":/image/class/helpImgEn.png");
    policy.chineseInterface = false;
    policy.boardShowsClassCountdown = true;
    LoginErrorTexts &errors = policy.loginErrors;
    errors.emptyUser = QStringLiteral("empty email");
    errors.emptyPassword = QStringLiteral("empty password");
    errors.userNotFound = QStringLiteral("user not exist");
    errors.wrongPassword = QStringLiteral("wrong password");
    errors.certificationFailed = QStringLiteral(" Get Agora certification failure");
    errors.configFailed = QStringLiteral("Get Agora config failure");
    errors.unreadableAnswer = QStringLiteral("wrong server response");
    errors.otherFailure = QStringLiteral("login failed!please check your network!code[%1]");
    errors.withNetworkText = false;

    policy.teacherPages = true;
    policy.ordersClassMode = true;
    policy.maximisesClassroom = false;
    policy.reviewsClassOnLeaving = false;
    policy.noticesClassTime = true;
    policy.selectsAwardTiles = true;
    // The teacher tells students apart by their uids as well.
    policy.tilesShowStudentUids = true;
    policy.prizeRiseHeight = 180;
    // Not in the translations: the teacher's interface stays in English.
    policy.logoutMenuText = "logout";
    policy.deviceChangedWarning = QStringLiteral(
        "It looks that your audio/video devices have changed, better to test devices again to make sure to select the right devices");
    policy.deviceTestSound = QStringLiteral("/audioTest/teacherPlayerTest.wav");
    return policy;
}

} // namespace

QString LoginErrorTexts::inputError(const QString &user, const QString &password) const
{
    if (user.isEmpty())
        return emptyUser;
    if (password.isEmpty())
        return emptyPassword;
    return QString();
}

QString LoginErrorTexts::failureText(int code) const
{
    switch (code) {
    case 404:
        return userNotFound;
    case 410:
        return wrongPassword;
    case 500:
        return certificationFailed;
    case 501:
        return configFailed;
    case BaseEntity::UNREAD_ERROR_CODE:
        return unreadableAnswer;
    default:
        break;
    }
    if (!withNetworkText)
        return otherFailure.arg(code);
    QString networkText = networkErrorMessage(code);
    if (!networkText.isEmpty())
        networkText += QLatin1Char('.');
    return otherFailure.arg(networkText).arg(code);
}

const RolePolicy &RolePolicy::student()
{
    static const RolePolicy policy = makeStudent();
    return policy;
}

const RolePolicy &RolePolicy::teacher()
{
    static const RolePolicy policy = makeTeacher();
    return policy;
}

const RolePolicy &RolePolicy::current()
{
    return getClientRole() == ClientRoleStudent ? student() : teacher();
}
