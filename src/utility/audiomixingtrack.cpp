#include "audiomixingtrack.h"

#include "biz/av/agora/agoraaudiomgr.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"

#include <QDebug>

AudioMixingTrack::~AudioMixingTrack()
{
    if (m_durationReply) {
        qInfo("delete reply");
        delete m_durationReply.data();
    }
}

NetWorkReplyHolder *AudioMixingTrack::setFile(const QString &url, const QString &filePath)
{
    qInfo("setAudioFile audioUrl:%s, audioFilePath:%s", qUtf8Printable(url), qUtf8Printable(filePath));
    m_url = url;
    m_filePath = filePath;
    delete m_durationReply.data();
    m_durationReply = nullptr;
    if (url.isEmpty())
        return nullptr;
    m_durationReply = Singleton<HttpMgr>::instance()->get(url + QStringLiteral("?avinfo"), {}, -1);
    return m_durationReply;
}

void AudioMixingTrack::start(bool loopback)
{
    if (m_filePath.isEmpty()) {
        qCritical("audioFilePath is empty");
        return;
    }
    const int ret = AgoraAudioMgr::instance()->startAudioMixing(m_filePath, loopback, true, 1);
    if (ret != 0)
        qCritical("startAudioMixing failed, ret:%d", ret);
    m_started = true;
}

void AudioMixingTrack::pause()
{
    if (!m_filePath.isEmpty())
        qInfo("pauseAudioMixing ret:%d", AgoraAudioMgr::instance()->pauseAudioMixing());
    else
        qCritical("audioFilePath is empty");
}

void AudioMixingTrack::resume()
{
    if (!m_filePath.isEmpty())
        qInfo("resumeAudioMixing ret:%d", AgoraAudioMgr::instance()->resumeAudioMixing());
    else
        qCritical("audioFilePath is empty");
}

void AudioMixingTrack::stop(StopScope scope)
{
    if (!m_started) {
        qWarning("bStartAudioMixing is not started");
        return;
    }
    if (scope == StopThisFile)
        AgoraAudioMgr::instance()->stopAudioMixing(m_filePath);
    else
        AgoraAudioMgr::instance()->stopAudioMixing();
    m_started = false;
}
