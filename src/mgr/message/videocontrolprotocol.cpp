#include "videocontrolprotocol.h"

#include "biz/course/classinfoentity.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"

#include <QDebug>

namespace VideoControlProtocol {

namespace {

bool isId(const QString &id)
{
    if (id.size() > kMaxIdLength)
        return false;
    for (const QChar c : id) {
        const ushort u = c.unicode();
        const bool ok = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '-'
                        || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

bool isWebAddressOrEmpty(const QString &url)
{
    return url.isEmpty() || DownloadUtil::isWebAddress(url);
}

bool isName(const QString &name)
{
    if (name.size() > kMaxNameLength)
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

QString typeName(int type)
{
    switch (type) {
    case VIDEO_PLAY: return QStringLiteral("VIDEO_PLAY");
    case VIDEO_PAUSE: return QStringLiteral("VIDEO_PAUSE");
    case VIDEO_RESUME: return QStringLiteral("VIDEO_RESUME");
    case VIDEO_FINISHED: return QStringLiteral("VIDEO_FINISHED");
    case VIDEO_INIT: return QStringLiteral("VIDEO_INIT");
    case VIDEO_STUDENT_READY: return QStringLiteral("VIDEO_STUDENT_READY");
    default: return QStringLiteral("unknown");
    }
}

QString toString(const ProtocolVideoControl &protocol)
{
    return QStringLiteral("video_protocol:type:%1, classId:%2, mid:%3, videoid:%4, video:%5, voice:%6, name:%7")
        .arg(typeName(protocol.type), protocol.classid, protocol.mid, protocol.videoid, protocol.video,
             protocol.voice, protocol.name);
}

bool isAcceptable(const ProtocolVideoControl &protocol, QString *why)
{
    QString reason;
    if (protocol.type < VIDEO_PLAY || protocol.type > VIDEO_STUDENT_READY)
        reason = QStringLiteral("type %1 out of range").arg(protocol.type);
    else if (!isId(protocol.classid) || !isId(protocol.mid) || !isId(protocol.videoid))
        reason = QStringLiteral("bad id");
    else if (!isWebAddressOrEmpty(protocol.video) || !isWebAddressOrEmpty(protocol.voice))
        reason = QStringLiteral("address not http(s) or too long");
    else if (!isName(protocol.name))
        reason = QStringLiteral("bad name");
    if (why)
        *why = reason;
    return reason.isEmpty();
}

ProtocolVideoControl make(int type, const ClassInfoEntity &classInfo, const VideoMaterial &video)
{
    ProtocolVideoControl protocol;
    protocol.type = type;
    protocol.classid = classInfo.class_id;
    protocol.mid = classInfo.material.mid;
    protocol.videoid = video.id;
    protocol.video = video.video;
    protocol.voice = video.voice;
    protocol.name = video.name;
    return protocol;
}

void send(int type, const ClassInfoEntity &classInfo, const VideoMaterial &video)
{
    const ProtocolVideoControl protocol = make(type, classInfo, video);
    qInfo("sendVideoControlProtocol:%s", qUtf8Printable(toString(protocol)));
    SendAndReceiveMsg::instance()->sendMsg(protocol, IM_VideoControl, Singleton<GlobalCurrentUser>::instance()->getUid());
}

} // namespace VideoControlProtocol
