#include "videoviewbinder.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/singleton.h"

bool VideoViewBinder::toEngineUid(const QString &uid, uint *out)
{
    bool numeric = false;
    const uint value = uid.toUInt(&numeric);
    if (!numeric) {
        qCritical("uid is not a number, not bound: \"%s\"", qUtf8Printable(uid.left(64)));
        return false;
    }
    *out = value;
    return true;
}

bool VideoViewBinder::bind(QWidget *view, const QString &uid)
{
    uint engineUid = 0;
    bool ok = false;
    if (toEngineUid(uid, &engineUid)) {
        VideoSDK *sdk = VideoSDK::instance();
        if (uid == Singleton<GlobalCurrentUser>::instance()->getUid())
            ok = sdk->setupLocalVideo(view, engineUid);
        else
            ok = sdk->setupRemoteVideo(view, engineUid);
    }
    if (!ok)
        qCritical("switch video widget failured.");
    return ok;
}
