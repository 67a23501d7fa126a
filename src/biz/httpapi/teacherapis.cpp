#include "teacherapis.h"

#include "biz/httpapi/baseapis.h"
#include "biz/httpapi/mockentitynetworkreplyholder.h"
#include "biz/httpapi/mockhttpresponsemgr.h"
#include "biz/httpapi/studentapis.h"
#include "buildconstants.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/durations.h"

namespace {

constexpr int kLoginTimeout = 15000;

} // namespace

EntityNetworkReplyHolder *TeacherApis::login(QObject *parent, const QString &username, const QString &password)
{
    if (isMockHttpEnabled())
        return new MockEntityNetworkReplyHolder(
            parent, Singleton<MockHttpResponseMgr>::instance()->getResponse(QStringLiteral("teacher.login")));

    NetWorkReplyHolder *holder = Singleton<HttpMgr>::instance()->post(
        BaseApis::getUrl(QStringLiteral("/QXV1/PcTeacher/login")),
        StudentApis::loginParams(username, password, RolePolicy::teacher().sourceCode), Durations::ms(kLoginTimeout));
    return new EntityNetworkReplyHolder(parent, holder);
}
