#include "loginsession.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "biz/login/logininfo.h"
#include "biz/login/studentlogindataentity.h"
#include "biz/login/teacherlogindataentity.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/http/httpentity.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "utility/possibleidutil.h"

namespace {

template<typename LoginData, typename CurrentUser>
bool takeOver(const QString &response)
{
    HttpEntity<LoginData> entity;
    if (!fromJson(response, entity))
        return false;
    PossibleIdUtil::setPossibleId(entity.data.id);
    Singleton<CurrentUser>::instance()->setUserInfo(entity.data);
    return true;
}

} // namespace

bool LoginSession::takeOverLoginAnswer(ClientRole role, const QString &response)
{
    if (role == ClientRoleStudent)
        return takeOver<StudentLoginDataEntity, StudentCurrentUser>(response);
    return takeOver<TeacherLoginDataEntity, TeacherCurrentUser>(response);
}

QString LoginSession::startSession()
{
    const QString uid = Singleton<GlobalCurrentUser>::instance()->getUid();
    ActionLog::instance()->NormalInfo(QStringLiteral("user_login_ok"), QStringLiteral("{userid:%1}").arg(uid));
    MqttImSdk::instance()->destory();
    MqttImSdk::instance()->init(uid);
    return uid;
}

void LoginSession::saveLogin(const QString &username, const QString &password, bool autoLogin)
{
    LoginInfo info;
    info.username = username;
    info.password = password;
    info.shouldRememberPassword = 1;
    info.shouldAutoLogin = autoLogin ? 1 : 0;
    info.avatarUrl = Singleton<StudentCurrentUser>::instance()->getAvatarUrl();
    PossibleIdUtil::setSetting(g_loginInfoKey, info.toJsonText());
}

bool LoginSession::readSavedLogin(LoginInfo &info)
{
    const QString json = PossibleIdUtil::getSetting(g_loginInfoKey, QString()).toString();
    if (json.isEmpty()) {
        qWarning("no jsonLoginInfo");
        return false;
    }
    LoginInfo::fromJsonText(json, info);
    return true;
}

void LoginSession::announceLogin()
{
    Singleton<SignalQueueMgr>::instance()->signalOnLoginOk();
}
