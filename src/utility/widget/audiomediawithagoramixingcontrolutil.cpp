#include "audiomediawithagoramixingcontrolutil.h"

#include "biz/av/agora/agoraaudiomgr.h"
#include "mgr/http/networkreplyholder.h"
#include "utility/widget/mediacontrolutil.h"
#include "utility/widget/mediawithagoramixingcontrolutil.h"

#include <QDebug>

AudioMediaWithAgoraMixingControlUtil::AudioMediaWithAgoraMixingControlUtil(QObject *parent)
    : AudioMediaControlUtil(parent)
{
    qInfo("ctor");
}

AudioMediaWithAgoraMixingControlUtil::~AudioMediaWithAgoraMixingControlUtil()
{
    qInfo("destructor");
    if (avInfoReply) {
        qInfo("delete reply");
        delete avInfoReply.data();
    }
}

void AudioMediaWithAgoraMixingControlUtil::setAudioFile(const QString &url, const QString &filePath)
{
    qInfo("setAudioFile audioUrl:%s, audioFilePath:%s", qUtf8Printable(url), qUtf8Printable(filePath));
    audioUrl = url;
    audioFilePath = filePath;
    MediaWithAgoraMixingControlUtil::requestAvInfo(avInfoReply, url, this,
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
    MediaWithAgoraMixingControlUtil::startMixing(audioFilePath, isOnlyLocalhasVoice);
    if (!audioFilePath.isEmpty())
        bStartAudioMixing = true;
    AudioMediaControlUtil::onPlay();
}

void AudioMediaWithAgoraMixingControlUtil::onPause()
{
    qInfo("onPause");
    MediaWithAgoraMixingControlUtil::pauseMixing(audioFilePath);
    AudioMediaControlUtil::onPause();
}

void AudioMediaWithAgoraMixingControlUtil::onResume()
{
    qInfo("onResume");
    MediaWithAgoraMixingControlUtil::resumeMixing(audioFilePath);
    AudioMediaControlUtil::onResume();
}

void AudioMediaWithAgoraMixingControlUtil::onFinished()
{
    qInfo("onFinished");
    if (bStartAudioMixing) {
        AgoraAudioMgr::instance()->stopAudioMixing();
        bStartAudioMixing = false;
    } else {
        qWarning("bStartAudioMixing is not started");
    }
    AudioMediaControlUtil::onFinished();
}
