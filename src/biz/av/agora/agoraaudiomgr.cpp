#include "agoraaudiomgr.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

namespace {

const int kNoEngine = -7;
const int kPathRefused = -2;
const int kOtherFile = -1;
const int kTooLong = -3;
// The engine takes option texts of at most this many bytes.
const int kMaxOptionBytes = 511;

agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters()
{
    return VideoSDK::instance()->getRtcEngineParameters();
}

int setPause(bool pause)
{
    auto handle = parameters();
    if (!handle)
        return kNoEngine;
    return handle->setBool("che.audio.pause_file_as_playout", pause);
}

int stopPlayout()
{
    auto handle = parameters();
    if (!handle)
        return kNoEngine;
    return handle->setBool("che.audio.stop_file_as_playout", true);
}

} // namespace

AgoraAudioMgr::AgoraAudioMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraAudioMgr::~AgoraAudioMgr() = default;

AgoraAudioMgr *AgoraAudioMgr::instance()
{
    return Singleton<AgoraAudioMgr>::instance();
}

int AgoraAudioMgr::startAudioMixing(const QString &filePath, bool loopback, bool keepMicrophone, int cycle)
{
    emit signal_onStartAudioMixing();
    qInfo("startAudioMixing filePath:%s", qUtf8Printable(filePath));
    m_mixingFilePath = filePath;
    auto handle = parameters();
    if (!handle)
        return kNoEngine;
    std::string converted;
    if (handle->convertPath(filePath.toUtf8().constData(), converted) != 0)
        return kPathRefused;
    // Written by the JSON writer, so quotes and backslashes in the path
    // stay part of the path; a text the engine cannot take whole is
    // refused rather than cut.
    QJsonObject option;
    option.insert(QStringLiteral("filePath"), QString::fromStdString(converted));
    option.insert(QStringLiteral("loopback"), loopback);
    option.insert(QStringLiteral("replace"), !keepMicrophone);
    option.insert(QStringLiteral("cycle"), cycle);
    const QByteArray json = QJsonDocument(option).toJson(QJsonDocument::Compact);
    if (json.size() > kMaxOptionBytes) {
        qCritical("startAudioMixing: the file path is too long for the engine (%d bytes)", json.size());
        return kTooLong;
    }
    return handle->setObject("che.audio.start_file_as_playout", json.constData());
}

int AgoraAudioMgr::stopAudioMixing(const QString &filePath)
{
    qInfo("stopAudioMixing filePath:%s", qUtf8Printable(filePath));
    if (filePath != m_mixingFilePath) {
        qCritical("different file, return");
        return kOtherFile;
    }
    return stopPlayout();
}

int AgoraAudioMgr::stopAudioMixing()
{
    qInfo("stopAudioMixing");
    return stopPlayout();
}

int AgoraAudioMgr::pauseAudioMixing()
{
    return setPause(true);
}

int AgoraAudioMgr::resumeAudioMixing()
{
    return setPause(false);
}
