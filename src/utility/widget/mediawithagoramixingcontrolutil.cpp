#include "mediawithagoramixingcontrolutil.h"

#include "biz/av/agora/agoraaudiomgr.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"

#include <QDebug>

MediaWithAgoraMixingControlUtil::MediaWithAgoraMixingControlUtil(QObject *parent)
    : MediaControlUtil(parent)
{
}

MediaWithAgoraMixingControlUtil::~MediaWithAgoraMixingControlUtil()
{
    if (avInfoReply) {
        qInfo("delete reply");
        delete avInfoReply.data();
    }
}

void MediaWithAgoraMixingControlUtil::setAudioFile(const QString &url, const QString &filePath)
{
    qInfo("setAudioFile audioUrl:%s, audioFilePath:%s", qUtf8Printable(url), qUtf8Printable(filePath));
    audioUrl = url;
    audioFilePath = filePath;
    requestAvInfo(avInfoReply, url, this, &MediaWithAgoraMixingControlUtil::slot_onSuccess_getAvInfoFromQiNiu);
}

void MediaWithAgoraMixingControlUtil::setMicrophoneMutedForVideo(bool muted)
{
    if (muted)
        qInfo("mute self audio");
    else
        qInfo("unmute self audio");
    SignalQueueMgr::instance()->signalplayingVideo(muted);
    VideoSDK::instance()->muteLocalAudio(muted);
}

NetWorkReplyHolder *MediaWithAgoraMixingControlUtil::startAvInfoRequest(const QString &url)
{
    if (url.isEmpty())
        return nullptr;
    return Singleton<HttpMgr>::instance()->get(url + QStringLiteral("?avinfo"), {}, -1);
}

void MediaWithAgoraMixingControlUtil::startMixing(const QString &filePath, bool loopback)
{
    if (filePath.isEmpty()) {
        qCritical("audioFilePath is empty");
        return;
    }
    const int ret = AgoraAudioMgr::instance()->startAudioMixing(filePath, loopback, true, 1);
    if (ret != 0)
        qCritical("startAudioMixing failed, ret:%d", ret);
}

void MediaWithAgoraMixingControlUtil::pauseMixing(const QString &filePath)
{
    if (!filePath.isEmpty())
        qInfo("pauseAudioMixing ret:%d", AgoraAudioMgr::instance()->pauseAudioMixing());
    else
        qCritical("audioFilePath is empty");
}

void MediaWithAgoraMixingControlUtil::resumeMixing(const QString &filePath)
{
    if (!filePath.isEmpty())
        qInfo("resumeAudioMixing ret:%d", AgoraAudioMgr::instance()->resumeAudioMixing());
    else
        qCritical("audioFilePath is empty");
}

void MediaWithAgoraMixingControlUtil::setIsOnlyLocalhasVoice(bool value)
{
    qInfo("setIsOnlyLocalhasVoice value:%d", value);
    isOnlyLocalhasVoice = value;
}

void MediaWithAgoraMixingControlUtil::slot_onSuccess_getAvInfoFromQiNiu(QString response)
{
    int duration = 0;
    if (parseAvInfoDuration(response, &duration))
        onWholeDuation(duration);
}

void MediaWithAgoraMixingControlUtil::onPlay()
{
    qInfo("onPlay, isOnlyLocalhasVoice:%d", isOnlyLocalhasVoice);
    startMixing(audioFilePath, isOnlyLocalhasVoice);
    if (!audioFilePath.isEmpty())
        bStartAudioMixing = true;
    MediaControlUtil::onPlay();
}

void MediaWithAgoraMixingControlUtil::onPause()
{
    pauseMixing(audioFilePath);
    MediaControlUtil::onPause();
}

void MediaWithAgoraMixingControlUtil::onResume()
{
    qInfo("MediaWithAgoraMixingControlUtil:onResume");
    resumeMixing(audioFilePath);
    MediaControlUtil::onResume();
}

void MediaWithAgoraMixingControlUtil::onFinished()
{
    if (bStartAudioMixing) {
        AgoraAudioMgr::instance()->stopAudioMixing(audioFilePath);
        bStartAudioMixing = false;
    } else {
        qWarning("bStartAudioMixing is not started");
    }
    MediaControlUtil::onFinished();
}
