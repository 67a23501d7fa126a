#ifndef STUDENTAPIS_H
#define STUDENTAPIS_H

#include "biz/httpapi/baseapis.h"
#include "biz/httpapi/logevententity.h"
#include "mgr/singletonmgrbase.h"

#include <QMap>
#include <QString>
#include <QVector>

class EntityNetworkReplyHolder;
class QObject;

// The catalogue of server calls (all but the teacher login). Every call
// builds its request, hands it to HttpMgr and returns a new reply holder that
// is a child of "parent"; the caller connects to it and parses the answer.
// GUI thread only.
class StudentApis : public SingletonMgrBase
{
    Q_OBJECT

public:
    static EntityNetworkReplyHolder *pcNewUpdate(QObject *parent);
    static EntityNetworkReplyHolder *getAppConfig(QObject *parent);
    static EntityNetworkReplyHolder *getBookedClassList(QObject *parent);
    static EntityNetworkReplyHolder *getBookedClass(QObject *parent, int date);
    static EntityNetworkReplyHolder *getClassInfo(QObject *parent, int classId);
    static EntityNetworkReplyHolder *classInfo(QObject *parent, const QString &classId);
    static EntityNetworkReplyHolder *webUrl(QObject *parent);
    // Delay test of one line: always that line's production host.
    static EntityNetworkReplyHolder *test(QObject *parent, NETLINK_TYPE line, int timeout);
    static EntityNetworkReplyHolder *getScheduleByDay(QObject *parent, uint date);
    static EntityNetworkReplyHolder *hasPermissionSupervise(const QString &token, const QString &classId, QObject *parent);
    static EntityNetworkReplyHolder *classWebUrl(QObject *parent, const QString &classId, const QString &type);
    static EntityNetworkReplyHolder *logEventImpl(QObject *parent, const QVector<LogEventEntity> &events);
    // As logEventImpl, but the holder releases itself when the request ends.
    static EntityNetworkReplyHolder *logEvent(QObject *parent, const QVector<LogEventEntity> &events);
    static EntityNetworkReplyHolder *login(QObject *parent, const QString &username, const QString &password);
    static EntityNetworkReplyHolder *postEncourage(QObject *parent, const QString &classId, const QString &tid);
    static EntityNetworkReplyHolder *saveComment(QObject *parent, const QString &classId, int score, const QString &comment);
    static EntityNetworkReplyHolder *chatPic(QObject *parent, const QString &filePath);
    static EntityNetworkReplyHolder *pcLogUpload(QObject *parent, const QString &filePath);
    static EntityNetworkReplyHolder *updateSdkSig(QObject *parent, const QString &uid, const QString &classId);

    // "12" in the student build, "13" otherwise; decided at each call.
    static QString roleCode();
    // The events as one compact JSON array of {"type", "key", "value"}.
    static QString eventsToJson(const QVector<LogEventEntity> &events);
    // Form of both logins: user name, MD5 of the password, source, system
    // description, client version and SDK type.
    static QMap<QString, QString> loginParams(const QString &username, const QString &password, const QString &source);
};

#endif // STUDENTAPIS_H
