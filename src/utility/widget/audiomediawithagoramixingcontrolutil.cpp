#include "audiomediawithagoramixingcontrolutil.h"

#include "mgr/http/networkreplyholder.h"
#include "utility/widget/mediacontrolutil.h"

#include <QDebug>

AudioMediaWithAgoraMixingControlUtil::AudioMediaWithAgoraMixingControlUtil(QObject *parent)
    : AudioMediaControlUtil(parent)
{
    qInfo("ctor");
}

AudioMediaWithAgoraMixingControlUtil::~AudioMediaWithAgoraMixingControlUtil()
{
    qInfo("destructor");
}

void AudioMediaWithAgoraMixingControlUtil::setAudioFile(const QString &url, const QString &filePath)
{
    if (NetWorkReplyHolder *reply = m_track.setFile(url, filePath))
        connect(reply, &NetWorkReplyHolder::signal_onSuccess, this,
                &AudioMediaWithAgoraMixingControlUtil::slot_onSuccess_getAvInfoFromQiNiu);
}

void AudioMediaWithAgoraMixingControlUtil::slot_onSuccess_getAvInfoFromQiNiu(QString response)
{
    int duration = 0;
    if (MediaControlUtil::parseAvInfoDuration(response, &duration))
        onWholeDuation(duration);
}

void AudioMediaWithAgoraMixingControlUtil::onPlay()
{
    qInfo("onPlay, isOnlyLocalhasVoice:%d", isOnlyLocalhasVoice);
    m_track.start(isOnlyLocalhasVoice);
    AudioMediaControlUtil::onPlay();
}

void AudioMediaWithAgoraMixingControlUtil::onPause()
{
    qInfo("onPause");
    m_track.pause();
    AudioMediaControlUtil::onPause();
}

void AudioMediaWithAgoraMixingControlUtil::onResume()
{
    qInfo("onResume");
    m_track.resume();
    AudioMediaControlUtil::onResume();
}

void AudioMediaWithAgoraMixingControlUtil::onFinished()
{
    qInfo("onFinished");
    m_track.stop(AudioMixingTrack::StopAnyFile);
    AudioMediaControlUtil::onFinished();
}
