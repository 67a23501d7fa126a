#include "mediawithagoramixingcontrolutil.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/http/networkreplyholder.h"

#include <QDebug>

MediaWithAgoraMixingControlUtil::MediaWithAgoraMixingControlUtil(QObject *parent)
    : MediaControlUtil(parent)
{
}

MediaWithAgoraMixingControlUtil::~MediaWithAgoraMixingControlUtil() = default;

void MediaWithAgoraMixingControlUtil::setAudioFile(const QString &url, const QString &filePath)
{
    if (NetWorkReplyHolder *reply = m_track.setFile(url, filePath))
        connect(reply, &NetWorkReplyHolder::signal_onSuccess, this,
                &MediaWithAgoraMixingControlUtil::slot_onSuccess_getAvInfoFromQiNiu);
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
    if (!player()) {
        qCritical("no medium to play");
        return;
    }
    m_track.start(isOnlyLocalhasVoice);
    MediaControlUtil::onPlay();
}

void MediaWithAgoraMixingControlUtil::onPause()
{
    m_track.pause();
    MediaControlUtil::onPause();
}

void MediaWithAgoraMixingControlUtil::onResume()
{
    qInfo("MediaWithAgoraMixingControlUtil:onResume");
    m_track.resume();
    MediaControlUtil::onResume();
}

void MediaWithAgoraMixingControlUtil::onFinished()
{
    m_track.stop(AudioMixingTrack::StopThisFile);
    MediaControlUtil::onFinished();
}
