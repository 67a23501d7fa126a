#include "mediawithagoramixingcontrolutil.h"

#include "biz/av/agora/agoraaudiomgr.h"
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
    if (url.isEmpty())
        return;
    delete avInfoReply.data();
    avInfoReply = Singleton<HttpMgr>::instance()->get(url + QStringLiteral("?avinfo"), {}, -1);
    if (avInfoReply) {
        connect(avInfoReply, &NetWorkReplyHolder::signal_onSuccess, this,
                &MediaWithAgoraMixingControlUtil::slot_onSuccess_getAvInfoFromQiNiu);
    }
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
    if (!audioFilePath.isEmpty()) {
        const int ret = AgoraAudioMgr::instance()->startAudioMixing(audioFilePath, isOnlyLocalhasVoice, true, 1);
        if (ret != 0)
            qCritical("startAudioMixing failed, ret:%d", ret);
        bStartAudioMixing = true;
    } else {
        qCritical("audioFilePath is empty");
    }
    MediaControlUtil::onPlay();
}

void MediaWithAgoraMixingControlUtil::onPause()
{
    if (!audioFilePath.isEmpty())
        qInfo("pauseAudioMixing ret:%d", AgoraAudioMgr::instance()->pauseAudioMixing());
    else
        qCritical("audioFilePath is empty");
    MediaControlUtil::onPause();
}

void MediaWithAgoraMixingControlUtil::onResume()
{
    qInfo("MediaWithAgoraMixingControlUtil:onResume");
    if (!audioFilePath.isEmpty())
        qInfo("resumeAudioMixing ret:%d", AgoraAudioMgr::instance()->resumeAudioMixing());
    else
        qCritical("audioFilePath is empty");
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
