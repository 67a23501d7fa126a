#include "rtcengineimpl.h"

#include "rtcchannel.h"
#include "rtcdevicelist.h"
#include "rtcdevicemanagers.h"
#include "rtcmediasession.h"
#include "rtcrelayclient.h"
#include "rtcsoundplayer.h"
#include "rtcstreampacket.h"
#include "rtcvideoframe.h"
#include "rtcvideohub.h"
#include "rtcvideosource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSet>
#include <QThread>
#include <QUrl>

#include <cmath>

using namespace agora::rtc;

namespace {

const char kVersion[] = "1.0.0";
const int kBuild = 1;
const int kMaxChannelNameBytes = 64;

QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

QSet<RtcEngineImpl *> &registry()
{
    static QSet<RtcEngineImpl *> engines;
    return engines;
}

// Stops the threads of engines still running when the process goes; the
// engine objects stay for their owners to release.
struct ExitRelease
{
    ~ExitRelease() { RtcEngineImpl::stopAll(); }
};

void ensureExitRelease()
{
    // The registry is made first, so it is still there when the releaser
    // runs at exit.
    registryMutex();
    registry();
    static ExitRelease exitRelease;
    (void)exitRelease;
    // The toolkit calls exit() from its event loop when it loses the
    // display, and the statics then go in whatever order they came, the
    // toolkit's fonts and painting among them. The C library runs the
    // exiting thread's own destructors before any static one: this one,
    // made on the application's thread, stops the engines while everything
    // they use is still there.
    const QCoreApplication *application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        static thread_local ExitRelease threadExitRelease;
        (void)threadExitRelease;
    }
}

// A JSON text of any kind (object, array, string, number, literal).
bool parseJsonValue(const char *text, QJsonValue *value)
{
    if (!text)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray("[") + text + "]", &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1)
        return false;
    *value = document.array().first();
    return true;
}

class RtcParameterHandle : public IRtcEngineParameter
{
public:
    explicit RtcParameterHandle(RtcEngineImpl *engine) : m_engine(engine) {}

    void release() override { delete this; }
    int setParameters(const char *parameters) override { return m_engine->setParameters(parameters); }
    int setObject(const char *key, const char *value) override
    {
        if (key && value)
            m_engine->noteOptionText(QString::fromUtf8(key), QByteArray(value));
        QJsonValue parsed;
        if (!key || !parseJsonValue(value, &parsed))
            return -ERR_INVALID_ARGUMENT;
        return m_engine->setParameter(QString::fromUtf8(key), parsed);
    }
    int setBool(const char *key, bool value) override
    {
        if (!key)
            return -ERR_INVALID_ARGUMENT;
        m_engine->noteOptionText(QString::fromUtf8(key), value ? QByteArray("true") : QByteArray("false"));
        return m_engine->setParameter(QString::fromUtf8(key), value);
    }
    int setString(const char *key, const char *value) override
    {
        if (!key || !value)
            return -ERR_INVALID_ARGUMENT;
        m_engine->noteOptionText(QString::fromUtf8(key), QByteArray(value));
        return m_engine->setParameter(QString::fromUtf8(key), QString::fromUtf8(value));
    }
    int convertPath(const char *filePath, std::string &converted) override
    {
        if (!filePath || !*filePath)
            return -ERR_INVALID_ARGUMENT;
        const QString path = QDir::cleanPath(QFileInfo(QString::fromUtf8(filePath)).absoluteFilePath());
        converted = path.toStdString();
        return 0;
    }

private:
    RtcEngineImpl *m_engine;
};

class RtcMediaEngineHandle : public agora::media::IMediaEngine
{
public:
    explicit RtcMediaEngineHandle(RtcEngineImpl *engine) : m_engine(engine) {}

    void release() override { delete this; }
    int registerVideoRenderFactory(agora::media::IExternalVideoRenderFactory *factory) override
    {
        return m_engine->registerVideoRenderFactory(factory);
    }

private:
    RtcEngineImpl *m_engine;
};

} // namespace

RtcEngineImpl::RtcEngineImpl()
    : m_callbackThread(new QThread)
    , m_videoThread(new QThread)
    , m_video(new RtcVideoHub)
    , m_remoteFrames(std::make_shared<RtcLatestFrames<RtcVideoFrame>>())
    , m_outlet(std::make_shared<RtcMediaOutlet>())
{
    m_channel = new RtcChannel(&m_log, &m_txBytes, m_outlet);
    m_callbackThread->setObjectName(QStringLiteral("rtc-callback"));
    m_videoThread->setObjectName(QStringLiteral("rtc-video"));
    m_channel->moveToThread(m_callbackThread);
    m_video->moveToThread(m_videoThread);
    // Runs on the ending thread itself: the channel leaves and its timers
    // stop where they live.
    RtcChannel *channel = m_channel;
    QObject::connect(m_callbackThread, &QThread::finished, [channel] { delete channel; });
    RtcVideoHub *video = m_video;
    QObject::connect(m_videoThread, &QThread::finished, [video] { delete video; });
    // Both run on the engine's own threads, which end before the engine.
    const std::shared_ptr<RtcMediaOutlet> outlet = m_outlet;
    m_video->setSender([outlet](const QImage &picture) { outlet->pushFrame(picture); });
    m_video->setLog(&m_log);
    m_video->setWarningSink([this](const QString &why) {
        const QByteArray text = why.toUtf8();
        // Posted under the lock while the engine runs: the callback
        // thread's objects are still there then.
        QMutexLocker lock(&m_mutex);
        if (m_released)
            return;
        runOnCallbackThread([text](IRtcEngineEventHandler &handler) { handler.onWarning(WARN_CAMERA_FAILED, text.constData()); });
    });
    m_channel->setFrameSink([this](uid_t uid, const QImage &frame) { deliverRemoteFrame(uid, RtcVideoFrame(frame)); });
    m_callbackThread->start();
    m_videoThread->start();
    ensureExitRelease();
    QMutexLocker lock(&registryMutex());
    registry().insert(this);
}

RtcEngineImpl::~RtcEngineImpl()
{
    delete m_callbackThread;
    delete m_videoThread;
}

template<typename F>
void RtcEngineImpl::onCallbackThread(F f, bool wait)
{
    // A stopped engine has no threads left to run anything.
    if (!m_channel)
        return;
    if (QThread::currentThread() == m_callbackThread) {
        f();
        return;
    }
    QMetaObject::invokeMethod(m_channel, f, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

template<typename F>
void RtcEngineImpl::onVideoThread(F f, bool wait)
{
    if (!m_video)
        return;
    if (QThread::currentThread() == m_videoThread) {
        f();
        return;
    }
    if (!wait) {
        QMetaObject::invokeMethod(m_video, f, Qt::QueuedConnection);
        return;
    }
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        QMetaObject::invokeMethod(m_video, f, Qt::BlockingQueuedConnection);
        return;
    }
    // A render may need the GUI thread while it is released (its view
    // lives there), so the GUI thread keeps taking its posted events.
    QSemaphore done;
    QMetaObject::invokeMethod(m_video, [f, &done] {
        f();
        done.release();
    }, Qt::QueuedConnection);
    while (!done.tryAcquire(1, 5))
        QCoreApplication::sendPostedEvents();
}

void RtcEngineImpl::release(bool sync)
{
    Q_UNUSED(sync) // always synchronous: nothing of the engine runs on after it
    stop();
    delete this;
}

void RtcEngineImpl::stop()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_released)
            return;
        m_released = true;
        m_inChannel = false;
        m_relay.reset();
    }
    {
        QMutexLocker lock(&registryMutex());
        registry().remove(this);
    }
    // Renders are released while their views' thread can still answer
    // them. At exit there is no event loop left to answer, nor to ask.
    QCoreApplication *application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        RtcVideoHub *video = m_video;
        onVideoThread([video] { video->releaseAll(); }, true);
    }
    // Each thread frees its own objects as it ends (see the constructor),
    // which needs no event posted to it: that works at exit too.
    // The callback thread hands received frames to the video thread: it
    // ends first, so no frame is posted to the video hub once it is gone.
    // Its queued backlog is dropped, not worked off.
    m_channel->abandon();
    m_callbackThread->quit();
    joinThread(m_callbackThread);
    m_videoThread->quit();
    joinThread(m_videoThread);
    m_channel = nullptr;
    m_video = nullptr;
}

void RtcEngineImpl::joinThread(QThread *thread)
{
    // A render released as the thread ends may wait for the views' thread
    // to answer it. When that is this thread (or the application is gone
    // and with it every event loop), this thread takes its posted events
    // while it waits; without an application they are dropped undelivered,
    // which frees the waiting render all the same.
    QCoreApplication *application = QCoreApplication::instance();
    if (application && QThread::currentThread() != application->thread()) {
        thread->wait();
        return;
    }
    while (!thread->wait(5))
        QCoreApplication::sendPostedEvents();
}

void RtcEngineImpl::stopAll()
{
    for (;;) {
        RtcEngineImpl *engine = nullptr;
        {
            QMutexLocker lock(&registryMutex());
            if (registry().isEmpty())
                return;
            engine = *registry().cbegin();
        }
        engine->stop();
    }
}

const char *RtcEngineImpl::getVersion(int *build)
{
    if (build)
        *build = kBuild;
    return kVersion;
}

int RtcEngineImpl::initialize(const RtcEngineContext &context)
{
    static const QRegularExpression appIdPattern(QStringLiteral("^[0-9a-f]{32}$"));
    if (!context.eventHandler || !context.appId || !appIdPattern.match(QString::fromLatin1(context.appId)).hasMatch())
        return -ERR_INVALID_ARGUMENT;
    {
        QMutexLocker lock(&m_mutex);
        if (m_released)
            return -ERR_NOT_INITIALIZED;
        if (m_initialized)
            return -ERR_REFUSED;
        m_initialized = true;
        m_appId = context.appId;
    }
    RtcChannel *channel = m_channel;
    IRtcEngineEventHandler *handler = context.eventHandler;
    onCallbackThread([channel, handler] { channel->setHandler(handler); }, true);
    // Plugs and unplugs of the machine's devices are reported from now on,
    // as the test hooks report theirs.
    RtcDeviceList::watch(&RtcEngineImpl::machineDevicesChanged);
    return 0;
}

void RtcEngineImpl::machineDevicesChanged(const QList<RtcDeviceChange> &changes)
{
    // The device list is the process's: every engine hears of its changes.
    QMutexLocker lock(&registryMutex());
    for (RtcEngineImpl *engine : qAsConst(registry())) {
        for (const RtcDeviceChange &change : changes)
            engine->notifyDeviceState(change.kind, change.id, change.state);
    }
}

int RtcEngineImpl::setChannelProfile(int profile)
{
    QMutexLocker lock(&m_mutex);
    if (!m_initialized)
        return -ERR_NOT_INITIALIZED;
    // Only the communication profile: every participant talks.
    return profile == 0 ? 0 : -ERR_NOT_SUPPORTED;
}

int RtcEngineImpl::queryInterface(int iid, void **inter)
{
    if (!inter)
        return -ERR_INVALID_ARGUMENT;
    *inter = nullptr;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_initialized || m_released)
            return -ERR_NOT_INITIALIZED;
    }
    switch (iid) {
    case AGORA_IID_RTC_ENGINE_PARAMETER:
        *inter = static_cast<IRtcEngineParameter *>(new RtcParameterHandle(this));
        return 0;
    case AGORA_IID_MEDIA_ENGINE:
        *inter = static_cast<agora::media::IMediaEngine *>(new RtcMediaEngineHandle(this));
        return 0;
    case AGORA_IID_AUDIO_DEVICE_MANAGER:
        *inter = createAudioDeviceManager(this);
        return 0;
    case AGORA_IID_VIDEO_DEVICE_MANAGER:
        *inter = createVideoDeviceManager(this);
        return 0;
    default:
        return -ERR_NOT_SUPPORTED;
    }
}

int RtcEngineImpl::enableVideo()
{
    QMutexLocker lock(&m_mutex);
    if (!m_initialized)
        return -ERR_NOT_INITIALIZED;
    m_videoEnabled = true;
    return 0;
}

int RtcEngineImpl::startPreview()
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_initialized)
            return -ERR_NOT_INITIALIZED;
        m_previewing = true;
    }
    updateCapture();
    return 0;
}

int RtcEngineImpl::stopPreview()
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_initialized)
            return -ERR_NOT_INITIALIZED;
        m_previewing = false;
    }
    updateCapture();
    return 0;
}

void RtcEngineImpl::updateCapture()
{
    RtcCaptureState state;
    bool videoMuted = false;
    {
        QMutexLocker lock(&m_mutex);
        if (m_released)
            return;
        const bool muted = m_parameters.value(QStringLiteral("rtc.video.mute_me")).toBool(false)
            || !m_parameters.value(QStringLiteral("che.video.local.send")).toBool(true);
        state.preview = m_previewing;
        state.send = m_inChannel && m_videoEnabled && !muted;
        videoMuted = muted;
        const RtcVideoSource::Profile profile = RtcVideoSource::profile(m_videoProfile);
        state.videoSize = profile.size;
        state.framesPerSecond = profile.framesPerSecond;
        const QString account = m_parameters.value(QStringLiteral("rtc.user_account")).toString();
        state.userId = m_inChannel ? QString::number(m_uid) : (account.isEmpty() ? QStringLiteral("-") : account);
        QByteArray camera = m_currentDevices.value(VIDEO_CAPTURE_DEVICE);
        if (camera.isEmpty() || !RtcDeviceList::contains(VIDEO_CAPTURE_DEVICE, camera)) {
            const QList<RtcDevice> cameras = RtcDeviceList::devices(VIDEO_CAPTURE_DEVICE);
            camera = cameras.isEmpty() ? QByteArray() : cameras.first().id;
        }
        state.cameraId = camera;
        state.cameraName = QString::fromUtf8(RtcDeviceList::nameOf(VIDEO_CAPTURE_DEVICE, camera));
        const QJsonValue screen = m_parameters.value(QStringLiteral("che.video.start_screen_capture"));
        const bool stopped = m_parameters.value(QStringLiteral("che.video.stop_screen_capture")).toBool(false);
        if (screen.isObject() && !stopped) {
            const QJsonObject capture = screen.toObject();
            state.screen = true;
            state.windowId = quintptr(capture.value(QStringLiteral("id")).toDouble());
            const int top = capture.value(QStringLiteral("top")).toInt();
            const int left = capture.value(QStringLiteral("left")).toInt();
            const int bottom = capture.value(QStringLiteral("bottom")).toInt();
            const int right = capture.value(QStringLiteral("right")).toInt();
            if (right > left && bottom > top)
                state.rect = QRect(left, top, right - left, bottom - top);
        }
    }
    RtcVideoHub *video = m_video;
    onVideoThread([video, state] { video->setCapture(state); }, false);
    RtcChannel *worker = m_channel;
    onCallbackThread([worker, videoMuted] { worker->setVideoMuted(videoMuted); }, false);
}

QByteArray RtcEngineImpl::currentDevice(int kind) const
{
    QByteArray id;
    {
        QMutexLocker lock(&m_mutex);
        id = m_currentDevices.value(kind);
    }
    // A chosen device that is gone leaves the first one in use.
    if (!id.isEmpty() && RtcDeviceList::contains(kind, id))
        return id;
    const QList<RtcDevice> devices = RtcDeviceList::devices(kind);
    return devices.isEmpty() ? QByteArray() : devices.first().id;
}

void RtcEngineImpl::soundDevices(QByteArray *microphone, QByteArray *speaker) const
{
    // The media open PulseAudio devices by their names: the "device"
    // property of the listed entry (a device listed without an element, as
    // tests list theirs, is named by its id). The synthetic ones are the
    // tone and the silent speaker (empty).
    const auto pulseName = [this](int kind, const char *element) {
        const QByteArray id = currentDevice(kind);
        RtcDevice device;
        if (id.isEmpty() || RtcDeviceList::isSynthetic(id) || !RtcDeviceList::find(kind, id, &device))
            return QByteArray();
        if (device.element.isEmpty())
            return id;
        if (device.element != element)
            return QByteArray();
        for (const auto &property : device.properties) {
            if (property.first == "device")
                return property.second;
        }
        return QByteArray();
    };
    *microphone = pulseName(AUDIO_RECORDING_DEVICE, "pulsesrc");
    *speaker = pulseName(AUDIO_PLAYOUT_DEVICE, "pulsesink");
}

int RtcEngineImpl::setCurrentDevice(int kind, const QByteArray &id)
{
    if (id.isEmpty() || !RtcDeviceList::contains(kind, id))
        return -ERR_INVALID_ARGUMENT;
    {
        QMutexLocker lock(&m_mutex);
        if (m_released)
            return -ERR_NOT_INITIALIZED;
        m_currentDevices.insert(kind, id);
    }
    m_log.write(QStringLiteral("device of kind %1 is now %2").arg(kind).arg(QString::fromUtf8(id)));
    if (kind == VIDEO_CAPTURE_DEVICE) {
        updateCapture();
    } else {
        QByteArray microphone;
        QByteArray speaker;
        soundDevices(&microphone, &speaker);
        RtcChannel *worker = m_channel;
        onCallbackThread([worker, microphone, speaker] { worker->media()->setDevices(microphone, speaker); }, false);
    }
    return 0;
}

int RtcEngineImpl::startPlaybackTest(const QString &filePath)
{
    // Only a readable PCM WAV file is a test sound.
    RtcSoundPlayer::Sound sound;
    QString error;
    if (!RtcSoundPlayer::readWav(filePath, &sound, &error)) {
        m_log.write(QStringLiteral("playback test refused: %1").arg(error));
        return -ERR_INVALID_ARGUMENT;
    }
    {
        QMutexLocker lock(&m_mutex);
        if (m_released)
            return -ERR_NOT_INITIALIZED;
        m_playbackTestFile = filePath;
    }
    m_log.write(QStringLiteral("playback test with %1").arg(filePath));
    const QByteArray speaker = currentDevice(AUDIO_PLAYOUT_DEVICE);
    RtcChannel *worker = m_channel;
    onCallbackThread([worker, sound, speaker] { worker->soundPlayer()->start(sound, speaker); }, false);
    return 0;
}

QString RtcEngineImpl::playbackTestFileForTests() const
{
    QMutexLocker lock(&m_mutex);
    return m_playbackTestFile;
}

int RtcEngineImpl::playbackTestPassesForTests(bool *silent)
{
    int passes = -1;
    bool quiet = false;
    RtcChannel *worker = m_channel;
    onCallbackThread([worker, &passes, &quiet] {
        passes = worker->soundPlayer()->finishedPasses();
        quiet = worker->soundPlayer()->isSilent();
    }, true);
    if (silent)
        *silent = quiet;
    return passes;
}

int RtcEngineImpl::stopPlaybackTest()
{
    {
        QMutexLocker lock(&m_mutex);
        m_playbackTestFile.clear();
    }
    RtcChannel *worker = m_channel;
    onCallbackThread([worker] { worker->soundPlayer()->stop(); }, false);
    return 0;
}

int RtcEngineImpl::setRecordingTest(int intervalMs)
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_initialized || m_released)
            return -ERR_NOT_INITIALIZED;
    }
    const QByteArray microphone = intervalMs > 0 ? currentDevice(AUDIO_RECORDING_DEVICE) : QByteArray();
    RtcChannel *worker = m_channel;
    onCallbackThread([worker, intervalMs, microphone] { worker->setRecordingTestInterval(intervalMs, microphone); },
                     false);
    return 0;
}

int RtcEngineImpl::setCameraTestView(void *view, bool start)
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_initialized || m_released)
            return -ERR_NOT_INITIALIZED;
    }
    if (start && !view)
        return -ERR_INVALID_ARGUMENT;
    updateCapture();
    RtcVideoHub *video = m_video;
    const quint64 request = ++m_bindRequests;
    m_latestTestView = request;
    onVideoThread([this, video, view, request] {
        if (m_latestTestView == request)
            video->setTestView(view);
    }, false);
    return 0;
}

bool RtcEngineImpl::notifyDeviceState(int kind, const QByteArray &id, int state)
{
    return runOnCallbackThread([kind, id, state](IRtcEngineEventHandler &handler) {
        if (kind == VIDEO_CAPTURE_DEVICE)
            handler.onVideoDeviceStateChanged(id.constData(), kind, state);
        else
            handler.onAudioDeviceStateChanged(id.constData(), kind, state);
    });
}

int RtcEngineImpl::setVideoProfile(int profile, bool swapWidthAndHeight)
{
    Q_UNUSED(swapWidthAndHeight)
    QMutexLocker lock(&m_mutex);
    if (!m_initialized)
        return -ERR_NOT_INITIALIZED;
    if (profile < 0)
        return -ERR_INVALID_ARGUMENT;
    m_videoProfile = profile;
    bool known = false;
    const RtcVideoSource::Profile format = RtcVideoSource::profile(profile, &known);
    m_log.write(QStringLiteral("video profile %1%2: %3x%4, %5 a second, %6 kbit/s; sent so from the next join on")
                    .arg(profile)
                    .arg(known ? QString() : QStringLiteral(" (not known, the default one)"))
                    .arg(format.size.width())
                    .arg(format.size.height())
                    .arg(format.framesPerSecond)
                    .arg(format.kbps));
    lock.unlock();
    updateCapture();
    return 0;
}

int RtcEngineImpl::setupLocalVideo(const VideoCanvas &canvas)
{
    return bindVideo(0, canvas);
}

int RtcEngineImpl::setupRemoteVideo(const VideoCanvas &canvas)
{
    if (canvas.uid == 0)
        return -ERR_INVALID_ARGUMENT;
    return bindVideo(canvas.uid, canvas);
}

int RtcEngineImpl::bindVideo(uid_t uid, const VideoCanvas &canvas)
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_initialized || m_released)
            return -ERR_NOT_INITIALIZED;
    }
    RtcVideoHub *video = m_video;
    void *view = canvas.view;
    const int mode = canvas.renderMode;
    // Only the newest binding of a uid is made: a view unbound before
    // its owner frees it is never handed to a render afterwards.
    const quint64 request = ++m_bindRequests;
    {
        QMutexLocker lock(&m_mutex);
        m_latestBind.insert(uid, request);
    }
    onVideoThread([this, video, uid, view, mode, request] {
        {
            QMutexLocker lock(&m_mutex);
            if (m_latestBind.value(uid) != request)
                return;
        }
        video->bind(uid, view, mode);
    }, false);
    return 0;
}

int RtcEngineImpl::joinChannel(const char *channelKey, const char *channelName, const char *info, uid_t uid)
{
    Q_UNUSED(channelKey) // the relay asks for no key
    Q_UNUSED(info)
    const QByteArray channel(channelName ? channelName : "");
    if (channel.isEmpty() || channel.size() > kMaxChannelNameBytes)
        return -ERR_INVALID_ARGUMENT;

    QMutexLocker lock(&m_mutex);
    if (!m_initialized || m_released)
        return -ERR_NOT_INITIALIZED;
    if (m_inChannel)
        return -ERR_ALREADY_IN_CHANNEL;
    const QJsonObject relayServer = m_parameters.value(QStringLiteral("rtc.relay_server")).toObject();
    const QString host = relayServer.value(QStringLiteral("host")).toString();
    const int port = relayServer.value(QStringLiteral("port")).toInt();
    if (host.isEmpty() || port <= 0) {
        m_log.write(QStringLiteral("join refused: no relay server is set"));
        return -ERR_NOT_READY;
    }

    QRandomGenerator *random = QRandomGenerator::global();
    uid_t ownUid = uid;
    while (ownUid == 0)
        ownUid = random->generate();
    quint64 session = 0;
    while (session == 0)
        session = random->generate64();

    RtcJoinRequest request;
    request.relay = std::make_shared<RtcRelayClient>();
    request.topicPrefix = "lessonry/rtc/" + m_appId + '/' + QUrl::toPercentEncoding(QString::fromUtf8(channel)) + '/';
    request.channel = channel;
    request.uid = ownUid;
    request.session = session;
    const QString mediaServer = m_parameters.value(QStringLiteral("rtc.media_server")).toObject().value(QStringLiteral("url")).toString();
    if (!mediaServer.isEmpty())
        request.mediaServer = QUrl(mediaServer);
    request.toneHz = m_toneHz;
    const RtcVideoSource::Profile profile = RtcVideoSource::profile(m_videoProfile);
    request.videoSize = profile.size;
    request.framesPerSecond = profile.framesPerSecond;
    request.videoKbps = profile.kbps;
    QString error;
    const QByteArray clientId = "lrtc-" + QByteArray::number(ownUid) + '-' + QByteArray::number(session, 16);
    if (!request.relay->create(host, quint16(port), clientId, &error)) {
        m_log.write(error);
        return -ERR_FAILED;
    }

    m_inChannel = true;
    m_uid = ownUid;
    m_session = session;
    m_relay = request.relay;
    m_streamTopic = request.topicPrefix + "stream/" + QByteArray::number(ownUid);
    m_streamSequence.clear();
    m_nextStreamId = 1;
    lock.unlock();

    soundDevices(&request.microphone, &request.speaker);

    RtcChannel *worker = m_channel;
    onCallbackThread([worker, request] { worker->join(request); }, false);
    updateCapture();
    return 0;
}

int RtcEngineImpl::leaveChannel()
{
    QMutexLocker lock(&m_mutex);
    if (!m_initialized || m_released)
        return -ERR_NOT_INITIALIZED;
    if (!m_inChannel)
        return 0;
    m_inChannel = false;
    m_relay.reset();
    m_streamSequence.clear();
    lock.unlock();

    RtcChannel *worker = m_channel;
    onCallbackThread([worker] { worker->leave(); }, false);
    updateCapture();
    return 0;
}

int RtcEngineImpl::createDataStream(int *streamId, bool reliable, bool ordered)
{
    if (!streamId)
        return -ERR_INVALID_ARGUMENT;
    if (!reliable || !ordered)
        return -ERR_NOT_SUPPORTED;
    QMutexLocker lock(&m_mutex);
    if (!m_initialized || m_released)
        return -ERR_NOT_INITIALIZED;
    if (!m_inChannel)
        return -ERR_NOT_READY;
    *streamId = m_nextStreamId++;
    m_streamSequence.insert(*streamId, 0);
    return 0;
}

int RtcEngineImpl::sendStreamMessage(int streamId, const char *data, size_t length)
{
    if (!data || length == 0 || length > kMaxStreamMessageLength)
        return -ERR_INVALID_ARGUMENT;
    QMutexLocker lock(&m_mutex);
    if (!m_initialized || m_released)
        return -ERR_NOT_INITIALIZED;
    if (!m_inChannel || !m_relay)
        return -ERR_NOT_READY;
    const auto it = m_streamSequence.find(streamId);
    if (it == m_streamSequence.end())
        return -ERR_INVALID_ARGUMENT;
    // While the relay is away the message is refused, as the other
    // transports refuse theirs: never held back and sent after the outage.
    if (m_relay->isAway())
        return -ERR_NOT_READY;

    RtcStreamPacket packet;
    packet.streamId = streamId;
    packet.session = m_session;
    packet.sequence = *it + 1;
    packet.data = QByteArray(data, int(length));
    // Published under the lock, so the order of the calls is the order on
    // the wire.
    if (m_relay->publish(m_streamTopic, packet.encode(), false) != 0)
        return -ERR_FAILED;
    *it = packet.sequence;
    m_txBytes += length;
    return 0;
}

int RtcEngineImpl::setParameters(const char *json)
{
    if (!json)
        return -ERR_INVALID_ARGUMENT;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(json), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return -ERR_INVALID_ARGUMENT;
    const QJsonObject object = document.object();
    int result = 0;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const int rc = setParameter(it.key(), it.value());
        if (rc != 0 && result == 0)
            result = rc;
    }
    return result;
}

int RtcEngineImpl::setParameter(const QString &key, const QJsonValue &value)
{
    static const QSet<QString> booleanKeys { QStringLiteral("che.audio.mute_me"), QStringLiteral("rtc.audio.mute_me"),
                                             QStringLiteral("rtc.video.mute_me"), QStringLiteral("che.video.local.send") };
    if (key.isEmpty())
        return -ERR_INVALID_ARGUMENT;
    if (booleanKeys.contains(key) && !value.isBool())
        return -ERR_INVALID_ARGUMENT;

    if (key == QLatin1String("rtc.relay_server")) {
        const QJsonObject server = value.toObject();
        const int port = server.value(QStringLiteral("port")).toInt();
        if (server.value(QStringLiteral("host")).toString().isEmpty() || port <= 0 || port > 65535)
            return -ERR_INVALID_ARGUMENT;
    } else if (key == QLatin1String("che.audio.volume_indication")) {
        const QJsonValue interval = value.toObject().value(QStringLiteral("interval"));
        if (!interval.isDouble())
            return -ERR_INVALID_ARGUMENT;
        RtcChannel *worker = m_channel;
        const int ms = interval.toInt();
        onCallbackThread([worker, ms] { worker->setVolumeIndicationInterval(ms); }, false);
    } else if (key == QLatin1String("rtc.log_file")) {
        if (!value.isString() || !m_log.setPath(value.toString()))
            return -ERR_FAILED;
    } else if (key == QLatin1String("rtc.media_server")) {
        const QUrl url(value.toObject().value(QStringLiteral("url")).toString(), QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty()
            || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
            return -ERR_INVALID_ARGUMENT;
    } else if (key == QLatin1String("che.audio.mute_me") || key == QLatin1String("rtc.audio.mute_me")) {
        bool muted = value.toBool();
        {
            QMutexLocker lock(&m_mutex);
            const QString other = key == QLatin1String("che.audio.mute_me") ? QStringLiteral("rtc.audio.mute_me")
                                                                             : QStringLiteral("che.audio.mute_me");
            // Either key mutes; muteLocalAudio sets both.
            muted = muted || m_parameters.value(other).toBool(false);
        }
        RtcChannel *worker = m_channel;
        onCallbackThread([worker, muted] { worker->media()->setMicrophoneMuted(muted); }, false);
    } else if (key == QLatin1String("rtc.audio.mute_peer")) {
        const QJsonObject peer = value.toObject();
        const double uid = peer.value(QStringLiteral("uid")).toDouble(-1);
        if (!peer.value(QStringLiteral("mute")).isBool() || uid < 1 || uid > 4294967295.0 || uid != std::floor(uid))
            return -ERR_INVALID_ARGUMENT;
        const bool muted = peer.value(QStringLiteral("mute")).toBool();
        RtcChannel *worker = m_channel;
        onCallbackThread([worker, uid, muted] { worker->media()->setPeerMuted(uid_t(uid), muted); }, false);
    } else if (key == QLatin1String("che.audio.start_file_as_playout")) {
        // Taken as given, as the service's engine takes it; a file that
        // cannot be played is said in the engine's log when it is tried.
        const QJsonObject playout = value.toObject();
        const QString path = playout.value(QStringLiteral("filePath")).toString();
        const bool loopback = playout.value(QStringLiteral("loopback")).toBool(false);
        const bool replace = playout.value(QStringLiteral("replace")).toBool(false);
        const int cycle = playout.value(QStringLiteral("cycle")).toInt(1);
        QByteArray microphone;
        QByteArray speaker;
        soundDevices(&microphone, &speaker);
        RtcChannel *worker = m_channel;
        RtcEngineLog *log = &m_log;
        onCallbackThread([worker, log, path, loopback, replace, cycle, speaker] {
            QString why;
            if (!worker->media()->startPlayout(path, loopback, replace, cycle, speaker, &why))
                log->write(QStringLiteral("file playout of %1 failed: %2").arg(path, why));
        }, false);
    } else if (key == QLatin1String("che.audio.stop_file_as_playout")) {
        RtcChannel *worker = m_channel;
        onCallbackThread([worker] { worker->media()->stopPlayout(); }, false);
    } else if (key == QLatin1String("che.audio.pause_file_as_playout")) {
        if (!value.isBool())
            return -ERR_INVALID_ARGUMENT;
        const bool paused = value.toBool();
        RtcChannel *worker = m_channel;
        onCallbackThread([worker, paused] { worker->media()->pausePlayout(paused); }, false);
    }
    {
        QMutexLocker lock(&m_mutex);
        m_parameters.insert(key, value);
        // A new screen capture starts after any earlier stop.
        if (key == QLatin1String("che.video.start_screen_capture"))
            m_parameters.remove(QStringLiteral("che.video.stop_screen_capture"));
    }
    static const QSet<QString> captureKeys { QStringLiteral("rtc.video.mute_me"), QStringLiteral("che.video.local.send"),
                                             QStringLiteral("che.video.start_screen_capture"),
                                             QStringLiteral("che.video.stop_screen_capture"), QStringLiteral("rtc.user_account") };
    if (captureKeys.contains(key))
        updateCapture();
    return 0;
}

QJsonValue RtcEngineImpl::parameter(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_parameters.value(key, QJsonValue(QJsonValue::Undefined));
}

void RtcEngineImpl::noteOptionText(const QString &key, const QByteArray &text)
{
    QMutexLocker lock(&m_mutex);
    m_optionTexts.insert(key, text);
}

QByteArray RtcEngineImpl::optionText(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_optionTexts.value(key);
}

int RtcEngineImpl::registerVideoRenderFactory(agora::media::IExternalVideoRenderFactory *factory)
{
    RtcVideoHub *video = m_video;
    onVideoThread([video, factory] { video->setFactory(factory); }, true);
    return 0;
}

bool RtcEngineImpl::runOnCallbackThread(const std::function<void(IRtcEngineEventHandler &)> &call)
{
    RtcChannel *worker = m_channel;
    onCallbackThread([worker, call] {
        if (IRtcEngineEventHandler *handler = worker->handler())
            call(*handler);
    }, false);
    return true;
}

bool RtcEngineImpl::deliverVideoFrame(uid_t uid, int width, int height, const QByteArray &argb, int rotation, bool mirrored)
{
    return deliverVideoFrame(uid, RtcVideoFrame(width, height, argb), rotation, mirrored);
}

bool RtcEngineImpl::deliverVideoFrame(uid_t uid, const RtcVideoFrame &frame, int rotation, bool mirrored)
{
    RtcVideoHub *video = m_video;
    onVideoThread([=] { video->deliverFrame(uid, frame, rotation, mirrored); }, false);
    return true;
}

void RtcEngineImpl::deliverRemoteFrame(uid_t uid, const RtcVideoFrame &frame)
{
    if (!m_remoteFrames->put(QByteArray::number(uid), frame))
        return;
    RtcVideoHub *video = m_video;
    const std::shared_ptr<RtcLatestFrames<RtcVideoFrame>> frames = m_remoteFrames;
    onVideoThread([video, frames] {
        for (const auto &waiting : frames->take())
            video->deliverFrame(waiting.first.toUInt(), waiting.second, 0, false);
    }, false);
}

bool RtcEngineImpl::setConnectionLostTimeout(int ms)
{
    RtcChannel *worker = m_channel;
    onCallbackThread([worker, ms] { worker->setConnectionLostTimeout(ms); }, false);
    return true;
}

bool RtcEngineImpl::hasRender(uid_t uid)
{
    bool has = false;
    RtcVideoHub *video = m_video;
    onVideoThread([video, uid, &has] { has = video->hasRender(uid); }, true);
    return has;
}

bool RtcEngineImpl::hasCameraTestView()
{
    bool has = false;
    RtcVideoHub *video = m_video;
    onVideoThread([video, &has] { has = video->hasTestView(); }, true);
    return has;
}

void RtcEngineImpl::setToneFrequency(int hz)
{
    QMutexLocker lock(&m_mutex);
    m_toneHz = hz;
}

IRtcEngine *createAgoraRtcEngine()
{
    return new RtcEngineImpl;
}
