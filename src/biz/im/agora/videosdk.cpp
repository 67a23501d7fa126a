#include "videosdk.h"

#include "videorender.h"

#include "biz/av/agora/agoraaudiomgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/durations.h"
#include "utility/serverconfig.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QRect>
#include <QScreen>
#include <QSet>
#include <QWindow>

namespace {

const int kStatsLogIntervalMs = 10000;
const int kVolumeRecordEvery = 16;
const int kCaptureFrequency = 30;
const int kNoEngine = -7;

VideoSDK::WidgetLocator g_widgetLocator = nullptr;

const char *boolText(bool value)
{
    return value ? "true" : "false";
}

} // namespace

VideoSDK::VideoSDK(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<uint32_t>("uint32_t");
    // The volume reports need the own uid on the engine threads; they
    // read this copy, never the current-user records of the GUI thread.
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_on_login_ok, this, &VideoSDK::rememberOwnUid);
}

VideoSDK::~VideoSDK()
{
    m_pMediaEngine.reset();
    if (m_pRtcEngine) {
        // No callback may reach this object once its members start to go.
        m_pRtcEngine->release(true);
        m_pRtcEngine = nullptr;
    }
}

VideoSDK *VideoSDK::instance()
{
    return Singleton<VideoSDK>::instance();
}

void VideoSDK::init()
{
    initVideoEngine();
    AgoraAudioMgr::instance();
    setAgoraLogFilePath();
    setObject("che.audio.volume_indication", QStringLiteral("{\"interval\":200,\"smooth\":1}"));
}

void VideoSDK::initVideoEngine()
{
    if (m_pRtcEngine) {
        qInfo("videoRtcEngine is already inited");
        return;
    }
    m_pRtcEngine = createAgoraRtcEngine();
    int build = 0;
    const char *version = m_pRtcEngine->getVersion(&build);
    qInfo().noquote() << QStringLiteral("Agora Native SDK version:%1, verionNum:%2").arg(QString::fromUtf8(version)).arg(build);

    const QByteArray appId = AgoraIMSdk::getAppId().toUtf8();
    agora::rtc::RtcEngineContext context { static_cast<agora::rtc::IRtcEngineEventHandler *>(this), appId.constData() };
    if (m_pRtcEngine->initialize(context) != 0) {
        qCritical().nospace() << "initialize failed! this:" << static_cast<void *>(this)
                              << " eventHandler:" << static_cast<void *>(context.eventHandler)
                              << " appId:" << appId.constData();
        return;
    }
    if (m_pRtcEngine->setChannelProfile(0) != 0) {
        qCritical("setChannelProfile failed!");
        return;
    }
    void *mediaEngine = nullptr;
    m_pRtcEngine->queryInterface(agora::rtc::AGORA_IID_MEDIA_ENGINE, &mediaEngine);
    m_pMediaEngine.reset(static_cast<agora::media::IMediaEngine *>(mediaEngine));
    if (m_pMediaEngine)
        m_pMediaEngine->registerVideoRenderFactory(static_cast<agora::media::IExternalVideoRenderFactory *>(this));
    if (m_pRtcEngine->enableVideo() != 0)
        qCritical("enableVideo failed");
    qInfo("initVideoEngine OK");
}

bool VideoSDK::joinChannel(QString channel, void *view, uint uid, QString channelKey)
{
    qInfo("joinChannel: channel:%s, uid:%u", qUtf8Printable(channel), uid);
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_joinchannel"), QStringLiteral("{channelId:%1}").arg(channel));
    if (channel.isEmpty()) {
        qWarning("channel is empty!");
        return false;
    }
    if (!m_pRtcEngine) {
        qWarning("videoRtcEngine is NULL!");
        return false;
    }
    if (!view)
        qWarning("video widget is NULL, are you sure you only want to audio communication?");
    rememberOwnUid();

    if (!setupLocalVideo(view, uid)) {
        qCritical("setupLocalVideo failed");
        return false;
    }
    qDebug().noquote() << "channelKey:" << channelKey;
    if (m_pRtcEngine->startPreview() != 0) {
        qCritical("startPreview failed");
        return false;
    }
    setParameters(QStringLiteral("{\"che.video.setstream\":{\"uid\":100,\"stream\":0}}"));

    // Where our engine meets the other participants: the servers file's
    // relay, read at each join so a changed file is followed.
    const ServerConfig::MqttBroker relay = ServerConfig::current().rtcServer();
    if (setObject("rtc.relay_server", QStringLiteral("{\"host\":\"%1\",\"port\":%2}").arg(relay.host).arg(relay.port)) != 0)
        qCritical("no usable RTC relay in the servers file (%s:%u)", qUtf8Printable(relay.host), unsigned(relay.port));
    const QString media = ServerConfig::current().rtcMediaServer();
    const QString mediaJson = QString::fromUtf8(
        QJsonDocument(QJsonObject { { QStringLiteral("url"), media } }).toJson(QJsonDocument::Compact));
    if (media.isEmpty() || setObject("rtc.media_server", mediaJson) != 0)
        qCritical("no usable media server in the servers file: no sound or video in class");

    const QByteArray key = channelKey.toUtf8();
    const QByteArray name = channel.toUtf8();
    const int ret = m_pRtcEngine->joinChannel(key.constData(), name.constData(), nullptr, uid);
    if (ret != 0) {
        qCritical("joinChannel failed");
        ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_joinchannel_failure"),
                                         QStringLiteral("{channelId:%1,code:%2}").arg(channel).arg(ret));
        return false;
    }
    if (!createDataStream())
        return false;
    // Once, however often the class is joined: a second connection would
    // hand every received message to the message layer twice.
    connect(this, &VideoSDK::signal_receiveDataStreamMsg, SendAndReceiveMsg::instance(),
            &SendAndReceiveMsg::slot_receiveDataStreamMsg, Qt::UniqueConnection);
    qInfo("joinChannel OK");
    return true;
}

bool VideoSDK::leaveChannel()
{
    qInfo("leaveChannel");
    if (!m_pRtcEngine) {
        qCritical("videoRtcEngine is null");
        return false;
    }
    const int ret = m_pRtcEngine->leaveChannel();
    if (ret != 0) {
        qCritical("leaveChannel failed:ret:%d", ret);
        return false;
    }
    if (m_pRtcEngine->stopPreview() != 0) {
        qCritical("stopPreview failed");
        return false;
    }
    return true;
}

bool VideoSDK::setupLocalVideo(void *view, uint uid)
{
    qInfo("crash:setupLocalVideo widget:%llx, uid:%u", static_cast<unsigned long long>(quintptr(view)), uid);
    if (!m_pRtcEngine)
        return false;
    const agora::rtc::VideoCanvas canvas { view, agora::rtc::RENDER_MODE_HIDDEN, uid, nullptr };
    return m_pRtcEngine->setupLocalVideo(canvas) == 0;
}

bool VideoSDK::setupRemoteVideo(void *view, uint uid)
{
    qInfo("crash:setupRemoteVideo widget:%llx, uid:%u", static_cast<unsigned long long>(quintptr(view)), uid);
    if (!m_pRtcEngine)
        return false;
    const agora::rtc::VideoCanvas canvas { view, agora::rtc::RENDER_MODE_HIDDEN, uid, nullptr };
    return m_pRtcEngine->setupRemoteVideo(canvas) == 0;
}

bool VideoSDK::someoneJoinChannel(void *widget, uint uid)
{
    if (!widget || !m_pRtcEngine)
        return false;
    return setupRemoteVideo(widget, uid);
}

bool VideoSDK::someoneLeaveChannel(uint uid)
{
    if (!m_pRtcEngine)
        return false;
    return setupRemoteVideo(nullptr, uid);
}

int VideoSDK::muteLocalAudio(bool mute)
{
    const bool muted = mute || m_microphoneHeldOff;
    return applyMute(QStringLiteral("{\"rtc.audio.mute_me\":%1,\"che.audio.mute_me\":%2}")
                         .arg(QLatin1String(boolText(muted)), QLatin1String(boolText(muted))),
                     QStringLiteral("rtc_audio_muted"), QStringLiteral("mute audio is failed, isMute:%1  errCode:%2"), muted);
}

int VideoSDK::muteLocalVideo(bool mute)
{
    return applyMute(QStringLiteral("{\"rtc.video.mute_me\":%1,\"che.video.local.send\":%2}")
                         .arg(QLatin1String(boolText(mute)), QLatin1String(boolText(!mute))),
                     QStringLiteral("rtc_video_muted"), QStringLiteral("mute video is failed, isMute:%1  errCode:%2"), mute);
}

int VideoSDK::applyMute(const QString &parameters, const QString &action, const QString &failure, bool muted)
{
    const int ret = setParameters(parameters);
    // The flag says whether anything is sent.
    ActionLog::instance()->NormalInfo(action, QStringLiteral("flag:%1").arg(muted ? 0 : 1));
    if (ret != 0)
        qCritical().noquote() << failure.arg(muted ? 1 : 0).arg(ret);
    return ret;
}

int VideoSDK::setVideoProfile(int profile)
{
    qInfo("enter setVideoProfile, profile:%d", profile);
    if (!m_pRtcEngine || profile < 0)
        return -1;
    qInfo("setVideoProfile, profile:%d", profile);
    const int ret = m_pRtcEngine->setVideoProfile(profile, false);
    qInfo("ret:%d", ret);
    m_videoProfile = profile;
    return ret;
}

bool VideoSDK::createDataStream()
{
    if (!m_pRtcEngine || m_pRtcEngine->createDataStream(&m_dataStreamIds[0], true, true) != 0) {
        qCritical("createDataStream error.");
        return false;
    }
    return true;
}

int VideoSDK::sendStreamMessage(const QString &message)
{
    const int streamId = m_dataStreamIds[0];
    int ret = -1;
    if (m_pRtcEngine) {
        const QByteArray bytes = message.toUtf8();
        ret = m_pRtcEngine->sendStreamMessage(streamId, bytes.constData(), size_t(bytes.size()));
    }
    const QString line = QStringLiteral("sendStreamMessage error: errCode:%1, streaId:%2 sendMsg:%3").arg(ret).arg(streamId).arg(message);
    if (ret != 0) {
        qCritical().noquote() << line;
        ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_message_send_failure"),
                                         QStringLiteral("{dataStreamId:%1,code:%2}").arg(streamId).arg(ret));
        return ret;
    }
    qInfo().noquote() << line;
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_message_send_success"), QStringLiteral("{dataStreamId:%1}").arg(streamId));
    return 0;
}

void VideoSDK::setWidgetLocator(WidgetLocator locator)
{
    g_widgetLocator = locator;
}

int VideoSDK::startScreenCapture(QObject *window, const agora::rtc::Rect *rect)
{
    // The engine reads windows of the windowing system by their native id.
    // A widget inside a window has no id of its own: its part of the
    // window it sits in is captured instead.
    quintptr windowId = 0;
    QRect part; // in the native window; empty: all of it
    if (auto *nativeWindow = qobject_cast<QWindow *>(window)) {
        windowId = quintptr(nativeWindow->winId());
    } else if (window && !(g_widgetLocator && g_widgetLocator(window, &windowId, &part))) {
        qCritical("startScreenCapture: %s is neither a window nor a widget", window->metaObject()->className());
        return -agora::rtc::ERR_INVALID_ARGUMENT;
    }
    agora::rtc::Rect area {};
    bool hasArea = rect != nullptr;
    if (rect)
        area = *rect;
    if (!part.isEmpty()) {
        if (!rect)
            area = { 0, 0, part.height(), part.width() };
        area = { area.top + part.top(), area.left + part.left(), area.bottom + part.top(), area.right + part.left() };
        hasArea = true;
    }
    qInfo("startScreenCapture windowId:%llx", static_cast<unsigned long long>(windowId));
    const uint id = uint(windowId);
    QString json;
    if (hasArea) {
        json = QStringLiteral("{\"id\":%1,\"captureFreq\":%2,\"top\":%3,\"left\":%4,\"bottom\":%5,\"right\":%6}")
                   .arg(id).arg(kCaptureFrequency).arg(area.top).arg(area.left).arg(area.bottom).arg(area.right);
    } else {
        json = QStringLiteral("{\"id\":%1,\"captureFreq\":%2}").arg(id).arg(kCaptureFrequency);
    }
    const int ret = setObject("che.video.start_screen_capture", json);
    if (ret != 0)
        return ret;
    QSize size;
    if (rect) {
        size = QSize(rect->right - rect->left, rect->bottom - rect->top);
    } else if (window) {
        size = QSize(window->property("width").toInt(), window->property("height").toInt());
    } else if (QScreen *screen = QGuiApplication::primaryScreen()) {
        size = screen->virtualSize();
    }
    emit signal_startScreenCapture(size);
    return ret;
}

int VideoSDK::startScreenCapture()
{
    qInfo("startScreenCapture");
    return startScreenCapture(nullptr, nullptr);
}

int VideoSDK::stopScreenCapture()
{
    qInfo("stopScreenCapture");
    const int ret = setBool("che.video.stop_screen_capture", true);
    if (ret == 0)
        emit signal_stopScreenCapture();
    return ret;
}

int VideoSDK::setAgoraLogFilePath()
{
    qInfo("setAgoraLogFilePath");
    const QString name = QStringLiteral("agora_%1_%2.log")
                             .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))
                             .arg(QDateTime::currentMSecsSinceEpoch());
    const QString path = getAbsoluteFilePath(getLogDir(), name);
    {
        QMutexLocker lock(&m_logFileMutex);
        m_agoraLogFileName = name;
        m_agoraLogFilePath = path;
    }
    return setAgoraLogFilePath(path);
}

int VideoSDK::setAgoraLogFilePath(const QString &path)
{
    qInfo("setLogFilePath:%s", qUtf8Printable(path));
    agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters = getRtcEngineParameters();
    if (!parameters)
        return kNoEngine;
    const QByteArray given = path.isNull() ? QByteArray("") : path.toUtf8();
    std::string converted;
    if (parameters->convertPath(given.constData(), converted) != 0)
        converted = given.toStdString();
    return parameters->setString("rtc.log_file", converted.c_str());
}

void VideoSDK::renameAgoraLogFileForUploading()
{
    QString source;
    QString name;
    {
        QMutexLocker lock(&m_logFileMutex);
        source = m_agoraLogFilePath;
        name = m_agoraLogFileName;
    }
    const QString target = getAbsoluteFilePath(getLogDir(), QStringLiteral("velmo_") + name);
    qInfo("agoraLogFilePath:%s, newLogFilePath:%s", qUtf8Printable(source), qUtf8Printable(target));
    // A copy: the engine goes on writing its file.
    const bool copied = QFile::copy(source, target);
    qInfo("rename ret:%d", copied ? 1 : 0);
}

QString VideoSDK::agoraLogFilePath() const
{
    QMutexLocker lock(&m_logFileMutex);
    return m_agoraLogFilePath;
}

agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> VideoSDK::getRtcEngineParameters() const
{
    void *parameters = nullptr;
    if (m_pRtcEngine)
        m_pRtcEngine->queryInterface(agora::rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &parameters);
    return agora::util::AutoPtr<agora::rtc::IRtcEngineParameter>(static_cast<agora::rtc::IRtcEngineParameter *>(parameters));
}

void VideoSDK::logRtcStats(const QString &tag, const agora::rtc::RtcStats &stats)
{
    qInfo().noquote().nospace() << tag << " duration " << stats.duration << " stat.cpuAppUsage: " << stats.cpuAppUsage
                                << " stat.cpuTotalUsage: " << stats.cpuTotalUsage << " rxAudioKBitRate " << stats.rxAudioKBitRate
                                << " txAudioKBitRate " << stats.txAudioKBitRate << " rxVideoKBitRate " << stats.rxVideoKBitRate
                                << " txVideoKBitRate " << stats.txVideoKBitRate << " rxKBitRate " << stats.rxKBitRate
                                << " txKBitRate " << stats.txKBitRate;
}

int VideoSDK::setParameters(const QString &json)
{
    agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters = getRtcEngineParameters();
    if (!parameters)
        return kNoEngine;
    return parameters->setParameters(json.toUtf8().constData());
}

int VideoSDK::setObject(const char *key, const QString &json)
{
    agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters = getRtcEngineParameters();
    if (!parameters)
        return kNoEngine;
    return parameters->setObject(key, json.toUtf8().constData());
}

int VideoSDK::setBool(const char *key, bool value)
{
    agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters = getRtcEngineParameters();
    if (!parameters)
        return kNoEngine;
    return parameters->setBool(key, value);
}

void VideoSDK::rememberOwnUid()
{
    const QString uid = Singleton<GlobalCurrentUser>::instance()->getUid();
    {
        QMutexLocker lock(&m_uidMutex);
        m_ownUid = uid;
    }
    // The engine shows it in the synthetic camera's picture, also before a join.
    if (auto parameters = getRtcEngineParameters())
        parameters->setString("rtc.user_account", uid.toUtf8().constData());
}

QString VideoSDK::ownUid() const
{
    QMutexLocker lock(&m_uidMutex);
    return m_ownUid;
}

const char *VideoSDK::keepText(const char *text)
{
    if (!text)
        return nullptr;
    // Device ids are few; each is kept once.
    static QMutex mutex;
    static QSet<QByteArray> texts;
    QMutexLocker lock(&mutex);
    return texts.insert(QByteArray(text))->constData();
}

// Engine callbacks: engine threads from here on.

void VideoSDK::onJoinChannelSuccess(const char *channel, agora::rtc::uid_t uid, int elapsed)
{
    Q_UNUSED(elapsed)
    m_channelName = QString::fromUtf8(channel ? channel : "");
    qInfo().noquote().nospace() << "onJoinChannelSuccess" << " channel: " << m_channelName << " uid: " << uid;
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_joinchannel_success"), QStringLiteral("{channelId:%1}").arg(m_channelName));
    emit signal_joinVideoChannelSuccess(m_channelName, QString::number(uid));
    emit signal_networkStatusChanged(true);
}

void VideoSDK::onRejoinChannelSuccess(const char *channel, agora::rtc::uid_t uid, int elapsed)
{
    Q_UNUSED(elapsed)
    const QString name = QString::fromUtf8(channel ? channel : "");
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_rejoinchannel"), QStringLiteral("{uid:%1,channel:%2}").arg(uid).arg(name));
    qInfo().noquote().nospace() << "onRejoinChannelSuccess" << " channel: " << name << " uid: " << uid;
    emit signal_networkStatusChanged(true);
}

void VideoSDK::onWarning(int warn, const char *msg)
{
    if (!msg)
        return;
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_occur_warning"), QStringLiteral("{code:%1}").arg(warn));
    qWarning("agora onWarning:warn:%d, msg:%s", warn, msg);
}

void VideoSDK::onError(int err, const char *msg)
{
    const QString message = QString::fromUtf8(msg ? msg : "");
    qCritical().noquote().nospace() << "err:" << err << " msg: " << message;
    ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_occur_error"), QStringLiteral("{code:%1}").arg(err));
    emit signal_Error(QString::number(err), message);
}

void VideoSDK::onAudioQuality(agora::rtc::uid_t uid, int quality, unsigned short delay, unsigned short lost)
{
    if (quality < 3)
        return;
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_audio_quality"),
                                      QStringLiteral("{uid:%1,quality:%2,delay:%3,lost:%4}").arg(uid).arg(quality).arg(delay).arg(lost));
}

void VideoSDK::onAudioVolumeIndication(const agora::rtc::AudioVolumeInfo *speakers, unsigned int speakerNumber, int totalVolume)
{
    if (!speakers || speakerNumber == 0)
        return;
    const QString self = ownUid();
    for (unsigned int i = 0; i < speakerNumber; ++i) {
        // 0 stands for the local user.
        const QString uid = speakers[i].uid == 0 ? self : QString::number(speakers[i].uid);
        emit signal_audioVolumeChange(uid, int(speakers[i].volume));
    }
    emit signal_currentAudioVolume(speakers[0].uid, uint(totalVolume));
    if (m_volumeReportCounter.fetch_add(1) >= kVolumeRecordEvery) {
        m_volumeReportCounter = 0;
        ActionLog::instance()->NormalInfo(QStringLiteral("rtc_audio_volume_indication_speakers"),
                                          QStringLiteral("{count:%1, volume:%2}").arg(speakerNumber).arg(totalVolume));
        qInfo().nospace() << "onAudioVolumeIndication volume:" << speakers[0].uid << " " << speakers[0].volume << " " << totalVolume;
    }
}

void VideoSDK::onLeaveChannel(const agora::rtc::RtcStats &stats)
{
    logRtcStats(QStringLiteral("onLeaveChannel"), stats);
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_exitchannel"), QStringLiteral("{channelId:%1}").arg(m_channelName));
    emit signal_LeaveChannel();
}

void VideoSDK::onRtcStats(const agora::rtc::RtcStats &stats)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastStatsTime.load() < Durations::ms(kStatsLogIntervalMs))
        return;
    logRtcStats(QStringLiteral("onRtcStats"), stats);
    m_lastStatsTime = now;
}

void VideoSDK::onAudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    qInfo().nospace() << "onAudioDeviceStateChanged deviceId:" << (deviceId ? deviceId : "") << " " << deviceType;
    // The receivers read the id later, on their own thread: they get a
    // copy that outlives the engine's buffer.
    const char *id = keepText(deviceId);
    emit signal_AudioDeviceStateChanged(id, deviceType, deviceState);
    ActionLog::instance()->NormalInfo(QStringLiteral("audio_device_state_changed"),
                                      QStringLiteral("{deviceId:%1}").arg(QString::fromUtf8(id ? id : "")));
}

void VideoSDK::onVideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    qInfo().nospace() << "onVideoDeviceStateChanged deviceId:" << (deviceId ? deviceId : "") << " " << deviceType;
    const char *id = keepText(deviceId);
    emit signal_VideoDeviceStateChanged(id, deviceType, deviceState);
    ActionLog::instance()->NormalInfo(QStringLiteral("video_device_state_changed"),
                                      QStringLiteral("{deviceId:%1}").arg(QString::fromUtf8(id ? id : "")));
}

void VideoSDK::onNetworkQuality(agora::rtc::uid_t uid, int txQuality, int rxQuality)
{
    if (txQuality < 2 && rxQuality < 2)
        return;
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_network_quality"),
                                      QStringLiteral("{uid:%1,txQuality:%2,rxQuality:%3}").arg(uid).arg(txQuality).arg(rxQuality));
    qInfo().noquote() << QStringLiteral("onNetworkQuality::uid:%1, txQuality:%2, rxQuality:%3").arg(uid).arg(txQuality).arg(rxQuality);
}

void VideoSDK::onFirstLocalVideoFrame(int width, int height, int elapsed)
{
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_video_local_video_first"),
                                      QStringLiteral("{width:%1,height:%2,elapsed:%3}").arg(width).arg(height).arg(elapsed));
}

void VideoSDK::onFirstRemoteVideoDecoded(agora::rtc::uid_t uid, int width, int height, int elapsed)
{
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_video_remote_video_decode_first"),
                                      QStringLiteral("{uid:%1,width:%2,height:%3,elapsed:%4}").arg(uid).arg(width).arg(height).arg(elapsed));
}

void VideoSDK::onUserJoined(agora::rtc::uid_t uid, int elapsed)
{
    Q_UNUSED(elapsed)
    qInfo().nospace() << "<userJoinLeave> onUserJoined" << " uid: " << uid;
    emit signal_UserJoined(QString::number(uid));
}

void VideoSDK::onUserOffline(agora::rtc::uid_t uid, agora::rtc::USER_OFFLINE_REASON_TYPE reason)
{
    qInfo().nospace() << "<userJoinLeave> onUserOffline" << " uid: " << uid << " reason: " << int(reason);
    ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_member_offline"), QStringLiteral("{uid:%1, code:%2}").arg(uid).arg(int(reason)));
    emit signal_UserOffline(QString::number(uid));
}

void VideoSDK::onUserMuteVideo(agora::rtc::uid_t uid, bool muted)
{
    qInfo().noquote() << QStringLiteral("onUserMuteVideo, uid:%1, muted:%2").arg(uid).arg(muted);
    emit signal_UserMuteVideo(QString::number(uid), muted);
}

void VideoSDK::onApiCallExecuted(const char *api, int error)
{
    const QString name = QString::fromUtf8(api ? api : "");
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_api_call_execute"), QStringLiteral("{code:%1, apiName:%2}").arg(error).arg(name));
    qInfo("onApiCallExecuted api:%s, error:%d", qUtf8Printable(name), error);
}

void VideoSDK::onCameraReady()
{
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_camera_ready"), QStringLiteral("{}"));
}

void VideoSDK::onConnectionLost()
{
    qCritical("onConnectionLost");
    ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_video_connect_losted"), QStringLiteral("{}"));
}

void VideoSDK::onConnectionInterrupted()
{
    qCritical("ConnectionInterrupted");
    ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_video_connect_interrupted"), QStringLiteral("{}"));
    emit signal_networkStatusChanged(false);
}

void VideoSDK::onRefreshRecordingServiceStatus(int status)
{
    qInfo().nospace() << "onRefreshRecordingServiceStatus status:" << status;
}

void VideoSDK::onStreamMessage(agora::rtc::uid_t uid, int streamId, const char *data, size_t length)
{
    qInfo("onStreamMessage streamId:%s", qPrintable(QString::number(streamId)));
    emit signal_receiveDataStreamMsg(QString::number(uid), QString::fromUtf8(data, int(length)));
}

void VideoSDK::onStreamMessageError(agora::rtc::uid_t uid, int streamId, int code, int missed, int cached)
{
    ActionLog::instance()->ErrorInfo(QStringLiteral("rtc_message_send_failure"), QStringLiteral("{code:%1}").arg(code));
    qCritical().noquote() << QStringLiteral("onStreamMessageError, uid:%1 streamId:%2 code:%3 missed:%4 cached:%5")
                                 .arg(uid).arg(streamId).arg(code).arg(missed).arg(cached);
}

void VideoSDK::onRequestChannelKey()
{
    qCritical("onRequestChannelKey");
    emit signal_onReuqestChannelKey();
}

agora::media::IExternalVideoRender *VideoSDK::createRenderInstance(const agora::media::ExternalVideoRenerContext &context)
{
    if (!context.view)
        return nullptr;
    return new VideoRender(context);
}
