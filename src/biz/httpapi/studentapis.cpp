#include "studentapis.h"

#include "biz/httpapi/mockentitynetworkreplyholder.h"
#include "biz/httpapi/mockhttpresponsemgr.h"
#include "buildconstants.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "platform/systemdescription.h"
#include "rolepolicy.h"
#include "utility/durations.h"
#include "utility/globalconstants.h"
#include "utility/hashutility.h"

#include <QDateTime>
#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace {

using Params = QMap<QString, QString>;

// No time-out timer for the request.
constexpr int kNoTimeout = -1;
constexpr int kLoginTimeout = 15000;
constexpr int kClassTimeout = 10000;

EntityNetworkReplyHolder *get(QObject *parent, const QString &url, const Params &params, int timeout)
{
    return new EntityNetworkReplyHolder(parent, Singleton<HttpMgr>::instance()->get(url, params, timeout));
}

EntityNetworkReplyHolder *post(QObject *parent, const QString &url, const Params &params, int timeout)
{
    return new EntityNetworkReplyHolder(parent, Singleton<HttpMgr>::instance()->post(url, params, timeout));
}

EntityNetworkReplyHolder *upload(QObject *parent, const QString &url, const QString &fileControlName,
                                 const QString &filePath, const Params &params)
{
    return new EntityNetworkReplyHolder(parent,
                                        Singleton<HttpMgr>::instance()->upload(url, fileControlName, filePath, params));
}

// The canned answer of "key" when canned responses are switched on, else null.
EntityNetworkReplyHolder *cannedReply(QObject *parent, const QString &key)
{
    if (!isMockHttpEnabled())
        return nullptr;
    return new MockEntityNetworkReplyHolder(parent, Singleton<MockHttpResponseMgr>::instance()->getResponse(key));
}

} // namespace

QString StudentApis::roleCode()
{
    return RolePolicy::current().sourceCode;
}

QString StudentApis::eventsToJson(const QVector<LogEventEntity> &events)
{
    QJsonArray array;
    for (const LogEventEntity &event : events) {
        QJsonObject object;
        object.insert(QStringLiteral("type"), event.type);
        object.insert(QStringLiteral("key"), event.key);
        object.insert(QStringLiteral("value"), event.value);
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QMap<QString, QString> StudentApis::loginParams(const QString &username, const QString &password, const QString &source)
{
    Params params;
    params.insert(QStringLiteral("username"), username);
    params.insert(QStringLiteral("password"), HashUtility::stringToMd5(password));
    params.insert(QStringLiteral("source"), source);
    params.insert(QStringLiteral("os"), getSystemDescription());
    params.insert(QStringLiteral("version"), QLatin1String(g_clientVersion));
    params.insert(QStringLiteral("sdk_type"), QStringLiteral("2"));
    return params;
}

EntityNetworkReplyHolder *StudentApis::pcNewUpdate(QObject *parent)
{
    Params params;
    params.insert(QStringLiteral("source"), roleCode());
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Public/pcNewUpdate")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::getAppConfig(QObject *parent)
{
    qInfo() << "getAppConfig";
    Params params;
    params.insert(QStringLiteral("source"), roleCode());
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Config/getAll")), params, Durations::ms(kClassTimeout));
}

EntityNetworkReplyHolder *StudentApis::getBookedClassList(QObject *parent)
{
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcStudents/getBookedClassList")), Params(), kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::getBookedClass(QObject *parent, int date)
{
    Params params;
    params.insert(QStringLiteral("date"), QString::number(date));
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcStudents/getBookedClass")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::getClassInfo(QObject *parent, int classId)
{
    if (EntityNetworkReplyHolder *canned = cannedReply(parent, QStringLiteral("teacher.getclassinfo")))
        return canned;
    Params params;
    params.insert(QStringLiteral("cid"), QString::number(classId));
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcTeacher/getClassInfo")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::classInfo(QObject *parent, const QString &classId)
{
    if (EntityNetworkReplyHolder *canned = cannedReply(parent, QStringLiteral("teacher.classinfo")))
        return canned;
    Params params;
    params.insert(QStringLiteral("cid"), classId);
    params.insert(QStringLiteral("client_local_ts"), QString::number(QDateTime::currentMSecsSinceEpoch()));
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcClass/classInfo")), params, Durations::ms(kClassTimeout));
}

EntityNetworkReplyHolder *StudentApis::webUrl(QObject *parent)
{
    Params params;
    params.insert(QStringLiteral("source"), roleCode());
    params.insert(QStringLiteral("type"), QStringLiteral("1"));
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Public/webUrl")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::test(QObject *parent, NETLINK_TYPE line, int timeout)
{
    return get(parent, BaseApis::getServerBaseUrl(line) + QStringLiteral("/QXV1/Public/test"), Params(), timeout);
}

EntityNetworkReplyHolder *StudentApis::getScheduleByDay(QObject *parent, uint date)
{
    if (EntityNetworkReplyHolder *canned = cannedReply(parent, QStringLiteral("teacher.schedule")))
        return canned;
    Params params;
    params.insert(QStringLiteral("date"), QString::number(date));
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcTeacher/getScheduleByDay")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::hasPermissionSupervise(const QString &token, const QString &classId, QObject *parent)
{
    Params params;
    params.insert(QStringLiteral("token"), token);
    params.insert(QStringLiteral("cid"), classId);
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Supervise/hasPermissionSupervise")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::classWebUrl(QObject *parent, const QString &classId, const QString &type)
{
    Params params;
    // Only the teacher's course window asks for these pages.
    params.insert(QStringLiteral("source"), RolePolicy::teacher().sourceCode);
    params.insert(QStringLiteral("type"), type);
    params.insert(QStringLiteral("class_id"), classId);
    return get(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Public/webUrl")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::logEventImpl(QObject *parent, const QVector<LogEventEntity> &events)
{
    const QString json = eventsToJson(events);
    qInfo("logEvent json:%s", qUtf8Printable(json));
    Params params;
    params.insert(QStringLiteral("json_str"), json);
    return post(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Public/kv")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::logEvent(QObject *parent, const QVector<LogEventEntity> &events)
{
    EntityNetworkReplyHolder *holder = logEventImpl(parent, events);
    if (holder)
        holder->setAutoDelete(true);
    return holder;
}

EntityNetworkReplyHolder *StudentApis::login(QObject *parent, const QString &username, const QString &password)
{
    return post(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcStudents/login")),
                loginParams(username, password, RolePolicy::student().sourceCode), Durations::ms(kLoginTimeout));
}

EntityNetworkReplyHolder *StudentApis::postEncourage(QObject *parent, const QString &classId, const QString &tid)
{
    qInfo() << "StudentApis postEncourage uid:" << tid;
    Params params;
    params.insert(QStringLiteral("class_id"), classId);
    params.insert(QStringLiteral("tid"), tid);
    return post(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcClass/clickLike")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::saveComment(QObject *parent, const QString &classId, int score, const QString &comment)
{
    qInfo().noquote() << QStringLiteral("StudentApis saveComment classId:%1, score:%2, comment:%3").arg(classId).arg(score).arg(comment);
    Params params;
    params.insert(QStringLiteral("class_id"), classId);
    params.insert(QStringLiteral("score"), QString::number(score));
    params.insert(QStringLiteral("comment"), comment);
    return post(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcClass/saveComment")), params, kNoTimeout);
}

EntityNetworkReplyHolder *StudentApis::chatPic(QObject *parent, const QString &filePath)
{
    return upload(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Public/chatPic")), QStringLiteral("chatPic"), filePath, Params());
}

EntityNetworkReplyHolder *StudentApis::pcLogUpload(QObject *parent, const QString &filePath)
{
    Params params;
    params.insert(QStringLiteral("source"), roleCode());
    params.insert(QStringLiteral("time"), QString::number(QDateTime::currentMSecsSinceEpoch() / 1000));
    params.insert(QStringLiteral("user_id"), Singleton<GlobalCurrentUser>::instance()->getUid());
    return upload(parent, BaseApis::getUrl(QStringLiteral("/QXV1/Public/pcLogUpload")), QStringLiteral("appLog"), filePath, params);
}

EntityNetworkReplyHolder *StudentApis::updateSdkSig(QObject *parent, const QString &uid, const QString &classId)
{
    Params params;
    params.insert(RolePolicy::current().userIdField, uid);
    params.insert(QStringLiteral("source"), roleCode());
    params.insert(QStringLiteral("class_id"), classId);
    return post(parent, BaseApis::getUrl(QStringLiteral("/QXV1/PcClass/updateSdkSig")), params, kNoTimeout);
}
