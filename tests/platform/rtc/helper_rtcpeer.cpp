// One participant of an RTC channel in a process of its own, for the
// engine's two-process tests. Commands come one per line on standard input;
// what the engine reports goes to standard output, one event per line.
//
//   join <channel>               -> join-result <rc>, later joined <channel> <uid>
//   stream                       -> stream-result <rc> <id>
//   send <id> <text>             -> send-result <rc>
//   sendmany <id> <count> <text> -> sends "<text><i>" for i in 0..count-1; sendmany-result <failures>
//   video                        -> video-result <rc>: sends the camera once joined
//   screen                       -> screen-result <rc>: sends the screen instead
//   screen-stop                  -> screen-stop-result <rc>: the camera again
//   camera <id>                  -> camera-result <rc>: captures that camera from now on
//   mutevideo <0|1>              -> mutevideo-result <rc>: stops (1) or resumes sending pictures
//   paint <#rrggbb>              -> painted, once a window of that colour covers the screen
//   bind <uid>                   -> bind-result <rc>: shows uid's video
//   frames <uid>                 -> frames <uid> <count> <width> <height>
//   mute <0|1>                   -> mute-result <rc>: our microphone
//   mutepeer <uid> <0|1>         -> mutepeer-result <rc>: silences uid here
//   playout <file> [loopback]    -> playout-result <rc>: played into the class
//   playout-pause <0|1>          -> playout-pause-result <rc>
//   playout-stop                 -> playout-stop-result <rc>
//   volumes <ms>                 -> volumes-result <rc>; then "volume <uid>=<level> ..." every ms (0 stops)
//   speaker <id>                 -> speaker-result <rc>: plays on that speaker from now on
//   pixels <uid> [row %]         -> pixels <uid> <#rrggbb>x7: the colour bars of uid's last picture
//                                   (seven points across, at 90% of its height unless given)
//   profile <n>                  -> profile-result <rc>: the video profile
//   leave                        -> leave-result <rc>, later left
//   quit                         -> releases the engine and ends with 0
//   exit                         -> ends with 0 without releasing the engine
//
// Events: stats tx=<kbit/s> audio=<kbit/s> video=<kbit/s> (every 2 s in a channel), first-frame <uid> <width> <height>, joined, rejoined, user-joined <uid>, user-offline <uid> <reason>,
// stream <uid> <id> <text>, stream-error <uid> <id> <code> <missed>,
// interrupted, lost, error <code> <text>, warning <code> <text>,
// user-mute-video <uid> <0|1>, left; "wrong-thread <callback>" when a
// callback comes on the main thread.
//
// Options: --port <relay port> --uid <uid> [--host <relay host>]
// [--app-id <id>] [--lost-timeout <ms>] [--janus <url>] [--tone <Hz>: the
// synthetic microphone with that tone] [--speaker <PulseAudio sink>]
// [--log <the engine's log file>] [--cameras: the machine's cameras are
// kBallCamera (GStreamer's test source: a ball on kBallBackground) and
// kMissingCamera (a V4L2 device that is not there), listed in that order]

#include "platform/rtc/mediaengine.h"
#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtcengine.h"
#include "platform/rtc/rtctesthooks.h"
#include "rtccameras.h"
#include "scripteddeviceprovider.h"

#include <QAtomicInt>
#include <QColor>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QAtomicInteger>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QSocketNotifier>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

QMutex g_outputMutex;
QAtomicInteger<int> g_reportVolumes;

void say(const QString &line)
{
    QMutexLocker lock(&g_outputMutex);
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class PeerHandler : public agora::rtc::IRtcEngineEventHandler
{
public:
    void onJoinChannelSuccess(const char *channel, agora::rtc::uid_t uid, int) override
    {
        check("joined");
        say(QStringLiteral("joined %1 %2").arg(QString::fromUtf8(channel)).arg(uid));
    }
    void onRejoinChannelSuccess(const char *channel, agora::rtc::uid_t uid, int) override
    {
        check("rejoined");
        say(QStringLiteral("rejoined %1 %2").arg(QString::fromUtf8(channel)).arg(uid));
    }
    void onError(int err, const char *msg) override
    {
        check("error");
        say(QStringLiteral("error %1 %2").arg(err).arg(QString::fromUtf8(msg ? msg : "")));
    }
    void onWarning(int warn, const char *msg) override
    {
        check("warning");
        say(QStringLiteral("warning %1 %2").arg(warn).arg(QString::fromUtf8(msg ? msg : "")));
    }
    void onUserMuteVideo(agora::rtc::uid_t uid, bool muted) override
    {
        check("user-mute-video");
        say(QStringLiteral("user-mute-video %1 %2").arg(uid).arg(muted ? 1 : 0));
    }
    void onLeaveChannel(const agora::rtc::RtcStats &) override
    {
        check("left");
        say(QStringLiteral("left"));
    }
    void onUserJoined(agora::rtc::uid_t uid, int) override
    {
        check("user-joined");
        say(QStringLiteral("user-joined %1").arg(uid));
    }
    void onUserOffline(agora::rtc::uid_t uid, agora::rtc::USER_OFFLINE_REASON_TYPE reason) override
    {
        check("user-offline");
        say(QStringLiteral("user-offline %1 %2").arg(uid).arg(int(reason)));
    }
    void onConnectionLost() override
    {
        check("lost");
        say(QStringLiteral("lost"));
    }
    void onConnectionInterrupted() override
    {
        check("interrupted");
        say(QStringLiteral("interrupted"));
    }
    void onStreamMessage(agora::rtc::uid_t uid, int streamId, const char *data, size_t length) override
    {
        check("stream");
        say(QStringLiteral("stream %1 %2 %3").arg(uid).arg(streamId).arg(QString::fromUtf8(data, int(length))));
    }
    void onFirstRemoteVideoDecoded(agora::rtc::uid_t uid, int width, int height, int) override
    {
        check("first-frame");
        say(QStringLiteral("first-frame %1 %2 %3").arg(uid).arg(width).arg(height));
    }
    void onAudioVolumeIndication(const agora::rtc::AudioVolumeInfo *speakers, unsigned int count, int) override
    {
        if (!g_reportVolumes.loadRelaxed())
            return;
        QStringList levels;
        for (unsigned int i = 0; i < count; ++i)
            levels << QStringLiteral("%1=%2").arg(speakers[i].uid).arg(speakers[i].volume);
        say(QStringLiteral("volume ") + levels.join(QLatin1Char(' ')));
    }
    void onRtcStats(const agora::rtc::RtcStats &stats) override
    {
        say(QStringLiteral("stats tx=%1 audio=%2 video=%3").arg(stats.txKBitRate).arg(stats.txAudioKBitRate).arg(stats.txVideoKBitRate));
    }
    void onStreamMessageError(agora::rtc::uid_t uid, int streamId, int code, int missed, int) override
    {
        check("stream-error");
        say(QStringLiteral("stream-error %1 %2 %3 %4").arg(uid).arg(streamId).arg(code).arg(missed));
    }

private:
    static void check(const char *callback)
    {
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            say(QStringLiteral("wrong-thread %1").arg(QLatin1String(callback)));
    }
};

// Counts the frames each bound uid's render receives.
struct FrameCount
{
    QMutex mutex;
    QHash<agora::rtc::uid_t, int> count;
    QHash<agora::rtc::uid_t, QPair<int, int>> size;
    QHash<agora::rtc::uid_t, QImage> last;
};
FrameCount g_frames;

class CountingRender : public agora::media::IExternalVideoRender
{
public:
    explicit CountingRender(agora::rtc::uid_t uid) : m_uid(uid) {}
    void release() override { delete this; }
    int initialize() override { return 0; }
    int deliverFrame(const agora::media::IVideoFrame &frame, int, bool) override
    {
        QMutexLocker lock(&g_frames.mutex);
        g_frames.count[m_uid] += 1;
        g_frames.size[m_uid] = qMakePair(frame.width(), frame.height());
        QImage image(frame.width(), frame.height(), QImage::Format_ARGB32);
        if (!image.isNull() && frame.convertFrame(agora::media::VIDEO_TYPE_ARGB, 0, image.bits()) == 0)
            g_frames.last[m_uid] = image;
        return 0;
    }

private:
    agora::rtc::uid_t m_uid;
};

// A view here is the uid it shows, stored in a small object of its own.
class CountingFactory : public agora::media::IExternalVideoRenderFactory
{
public:
    agora::media::IExternalVideoRender *createRenderInstance(const agora::media::ExternalVideoRenerContext &context) override
    {
        return context.view ? new CountingRender(*static_cast<agora::rtc::uid_t *>(context.view)) : nullptr;
    }
};

// A window of one colour over the whole screen, for the screen's capture.
class ColourWindow : public QRasterWindow
{
public:
    explicit ColourWindow(const QColor &colour) : m_colour(colour) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(QRect(QPoint(), size()), m_colour);
        if (!m_told) {
            m_told = true;
            say(QStringLiteral("painted"));
        }
    }

private:
    QColor m_colour;
    bool m_told = false;
};

QString option(const QStringList &arguments, const QString &name, const QString &fallback = QString())
{
    const int index = arguments.indexOf(name);
    return index >= 0 && index + 1 < arguments.size() ? arguments.at(index + 1) : fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    // Pictures (the synthetic camera's text, the screen) need a GUI
    // application; no window is shown.
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString host = option(arguments, QStringLiteral("--host"), QStringLiteral("127.0.0.1"));
    const int port = option(arguments, QStringLiteral("--port")).toInt();
    const agora::rtc::uid_t uid = option(arguments, QStringLiteral("--uid")).toUInt();
    const int lostTimeout = option(arguments, QStringLiteral("--lost-timeout"), QStringLiteral("0")).toInt();
    const QByteArray appId = option(arguments, QStringLiteral("--app-id"), QStringLiteral("0123456789abcdef0123456789abcdef")).toLatin1();
    const QString janus = option(arguments, QStringLiteral("--janus"));
    const int tone = option(arguments, QStringLiteral("--tone"), QStringLiteral("0")).toInt();
    const QByteArray speaker = option(arguments, QStringLiteral("--speaker")).toUtf8();
    if (arguments.contains(QStringLiteral("--cameras"))) {
        auto script = std::make_shared<DeviceScript>();
        for (const RtcDevice &camera : RtcCameras::scripted())
            script->initial << DeviceScript::added(agora::rtc::VIDEO_CAPTURE_DEVICE, camera);
        RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(script));
    } else {
        // The synthetic camera only: a machine's own camera is no test's.
        RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, { { "lessonry-synthetic-camera", "Lessonry Test Camera" } });
    }
    // The sound devices of the test: the tone as the microphone, the
    // test's own PulseAudio sink as the only speaker.
    if (tone > 0)
        RtcTestHooks::setDevices(agora::rtc::AUDIO_RECORDING_DEVICE, { { "lessonry-synthetic-microphone", "Tone" } });
    if (!speaker.isEmpty())
        RtcTestHooks::setDevices(agora::rtc::AUDIO_PLAYOUT_DEVICE,
                                 { { speaker, speaker }, { "lessonry-synthetic-speaker", "Silent" } });

    // Outlives the engine even when the engine is left to the library to
    // stop at exit.
    static PeerHandler handler;
    agora::rtc::IRtcEngine *engine = createAgoraRtcEngine();
    const agora::rtc::RtcEngineContext context { &handler, appId.constData() };
    if (engine->initialize(context) != 0) {
        say(QStringLiteral("initialize failed"));
        return 2;
    }
    {
        void *inter = nullptr;
        engine->queryInterface(agora::rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &inter);
        agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters(static_cast<agora::rtc::IRtcEngineParameter *>(inter));
        const QByteArray relay = QStringLiteral("{\"host\":\"%1\",\"port\":%2}").arg(host).arg(port).toUtf8();
        parameters->setObject("rtc.relay_server", relay.constData());
        const QByteArray logFile = option(arguments, QStringLiteral("--log")).toUtf8();
        if (!logFile.isEmpty())
            parameters->setString("rtc.log_file", logFile.constData());
        if (!janus.isEmpty()) {
            const QByteArray media = QStringLiteral("{\"url\":\"%1\"}").arg(janus).toUtf8();
            parameters->setObject("rtc.media_server", media.constData());
        }
    }
    if (tone > 0)
        RtcTestHooks::setToneFrequency(engine, tone);
    if (lostTimeout > 0)
        RtcTestHooks::setConnectionLostTimeout(engine, lostTimeout);
    static CountingFactory factory;
    {
        void *inter = nullptr;
        engine->queryInterface(agora::rtc::AGORA_IID_MEDIA_ENGINE, &inter);
        agora::util::AutoPtr<agora::media::IMediaEngine> media(static_cast<agora::media::IMediaEngine *>(inter));
        media->registerVideoRenderFactory(&factory);
    }
    static QHash<agora::rtc::uid_t, agora::rtc::uid_t *> views;
    std::unique_ptr<ColourWindow> colourWindow;
    const auto setParameters = [&engine](const QByteArray &json) {
        void *inter = nullptr;
        engine->queryInterface(agora::rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &inter);
        agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters(static_cast<agora::rtc::IRtcEngineParameter *>(inter));
        return parameters->setParameters(json.constData());
    };

    QByteArray pending;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            // The test has gone: leave as a participant would.
            notifier.setEnabled(false);
            engine->release(true);
            engine = nullptr;
            app.exit(0);
            return;
        }
        pending.append(buffer, int(n));
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            const QString command = line.section(QLatin1Char(' '), 0, 0);
            if (command == QLatin1String("join")) {
                const QByteArray channel = line.section(QLatin1Char(' '), 1).toUtf8();
                say(QStringLiteral("join-result %1").arg(engine->joinChannel(nullptr, channel.constData(), nullptr, uid)));
            } else if (command == QLatin1String("stream")) {
                int id = 0;
                const int rc = engine->createDataStream(&id, true, true);
                say(QStringLiteral("stream-result %1 %2").arg(rc).arg(id));
            } else if (command == QLatin1String("send")) {
                const int id = line.section(QLatin1Char(' '), 1, 1).toInt();
                const QByteArray text = line.section(QLatin1Char(' '), 2).toUtf8();
                say(QStringLiteral("send-result %1").arg(engine->sendStreamMessage(id, text.constData(), size_t(text.size()))));
            } else if (command == QLatin1String("sendmany")) {
                const int id = line.section(QLatin1Char(' '), 1, 1).toInt();
                const int count = line.section(QLatin1Char(' '), 2, 2).toInt();
                const QString prefix = line.section(QLatin1Char(' '), 3);
                int failures = 0;
                for (int i = 0; i < count; ++i) {
                    const QByteArray text = (prefix + QString::number(i)).toUtf8();
                    if (engine->sendStreamMessage(id, text.constData(), size_t(text.size())) != 0)
                        ++failures;
                }
                say(QStringLiteral("sendmany-result %1").arg(failures));
            } else if (command == QLatin1String("video")) {
                const int rc = engine->enableVideo();
                say(QStringLiteral("video-result %1").arg(rc ? rc : engine->startPreview()));
            } else if (command == QLatin1String("screen")) {
                void *inter = nullptr;
                engine->queryInterface(agora::rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &inter);
                agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters(static_cast<agora::rtc::IRtcEngineParameter *>(inter));
                say(QStringLiteral("screen-result %1").arg(parameters->setObject("che.video.start_screen_capture", "{\"id\":0,\"captureFreq\":30}")));
            } else if (command == QLatin1String("screen-stop")) {
                say(QStringLiteral("screen-stop-result %1").arg(setParameters("{\"che.video.stop_screen_capture\":true}")));
            } else if (command == QLatin1String("mutevideo")) {
                // As the classroom mutes its camera.
                const bool mute = line.section(QLatin1Char(' '), 1, 1) == QLatin1String("1");
                const QByteArray json = QStringLiteral("{\"rtc.video.mute_me\":%1,\"che.video.local.send\":%2}")
                                            .arg(mute ? "true" : "false", mute ? "false" : "true").toUtf8();
                say(QStringLiteral("mutevideo-result %1").arg(setParameters(json)));
            } else if (command == QLatin1String("camera")) {
                void *inter = nullptr;
                engine->queryInterface(agora::rtc::AGORA_IID_VIDEO_DEVICE_MANAGER, &inter);
                agora::util::AutoPtr<agora::rtc::IVideoDeviceManager> devices(static_cast<agora::rtc::IVideoDeviceManager *>(inter));
                char id[agora::rtc::MAX_DEVICE_ID_LENGTH] = {};
                qstrncpy(id, line.section(QLatin1Char(' '), 1, 1).toUtf8().constData(), sizeof id);
                say(QStringLiteral("camera-result %1").arg(devices->setDevice(id)));
            } else if (command == QLatin1String("profile")) {
                say(QStringLiteral("profile-result %1").arg(engine->setVideoProfile(line.section(QLatin1Char(' '), 1, 1).toInt(), false)));
            } else if (command == QLatin1String("paint")) {
                colourWindow.reset(new ColourWindow(QColor(line.section(QLatin1Char(' '), 1, 1))));
                colourWindow->setGeometry(QGuiApplication::primaryScreen()->geometry());
                colourWindow->show();
            } else if (command == QLatin1String("bind")) {
                const agora::rtc::uid_t remote = line.section(QLatin1Char(' '), 1, 1).toUInt();
                if (!views.contains(remote))
                    views.insert(remote, new agora::rtc::uid_t(remote));
                const agora::rtc::VideoCanvas canvas { views.value(remote), agora::rtc::RENDER_MODE_HIDDEN, remote, nullptr };
                say(QStringLiteral("bind-result %1").arg(engine->setupRemoteVideo(canvas)));
            } else if (command == QLatin1String("frames")) {
                const agora::rtc::uid_t remote = line.section(QLatin1Char(' '), 1, 1).toUInt();
                QMutexLocker lock(&g_frames.mutex);
                const QPair<int, int> size = g_frames.size.value(remote);
                say(QStringLiteral("frames %1 %2 %3 %4").arg(remote).arg(g_frames.count.value(remote)).arg(size.first).arg(size.second));
            } else if (command == QLatin1String("mute") || command == QLatin1String("mutepeer")
                       || command == QLatin1String("playout") || command == QLatin1String("playout-pause")
                       || command == QLatin1String("playout-stop") || command == QLatin1String("volumes")) {
                void *inter = nullptr;
                engine->queryInterface(agora::rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &inter);
                agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> parameters(static_cast<agora::rtc::IRtcEngineParameter *>(inter));
                const QString first = line.section(QLatin1Char(' '), 1, 1);
                int rc = 0;
                if (command == QLatin1String("mute")) {
                    const QByteArray json = QStringLiteral("{\"rtc.audio.mute_me\":%1,\"che.audio.mute_me\":%1}")
                                                .arg(first == QLatin1String("1") ? "true" : "false").toUtf8();
                    rc = parameters->setParameters(json.constData());
                } else if (command == QLatin1String("mutepeer")) {
                    const QByteArray json = QStringLiteral("{\"uid\":%1,\"mute\":%2}").arg(first)
                        .arg(line.section(QLatin1Char(' '), 2, 2) == QLatin1String("1") ? "true" : "false").toUtf8();
                    rc = parameters->setObject("rtc.audio.mute_peer", json.constData());
                } else if (command == QLatin1String("playout")) {
                    const bool loopback = line.section(QLatin1Char(' '), 2, 2) == QLatin1String("loopback");
                    const QByteArray json = QStringLiteral("{\"filePath\":\"%1\",\"loopback\":%2,\"replace\":false,\"cycle\":1}")
                        .arg(first).arg(loopback ? "true" : "false").toUtf8();
                    rc = parameters->setObject("che.audio.start_file_as_playout", json.constData());
                } else if (command == QLatin1String("playout-pause")) {
                    rc = parameters->setBool("che.audio.pause_file_as_playout", first == QLatin1String("1"));
                } else if (command == QLatin1String("playout-stop")) {
                    rc = parameters->setBool("che.audio.stop_file_as_playout", true);
                } else {
                    g_reportVolumes.storeRelaxed(first.toInt() > 0 ? 1 : 0);
                    const QByteArray json = QStringLiteral("{\"interval\":%1,\"smooth\":1}").arg(first.toInt()).toUtf8();
                    rc = parameters->setObject("che.audio.volume_indication", json.constData());
                }
                say(QStringLiteral("%1-result %2").arg(command).arg(rc));
            } else if (command == QLatin1String("speaker")) {
                void *inter = nullptr;
                engine->queryInterface(agora::rtc::AGORA_IID_AUDIO_DEVICE_MANAGER, &inter);
                agora::util::AutoPtr<agora::rtc::IAudioDeviceManager> devices(static_cast<agora::rtc::IAudioDeviceManager *>(inter));
                char id[agora::rtc::MAX_DEVICE_ID_LENGTH] = {};
                qstrncpy(id, line.section(QLatin1Char(' '), 1, 1).toUtf8().constData(), sizeof id);
                say(QStringLiteral("speaker-result %1").arg(devices->setPlaybackDevice(id)));
            } else if (command == QLatin1String("pixels")) {
                const agora::rtc::uid_t remote = line.section(QLatin1Char(' '), 1, 1).toUInt();
                QImage image;
                {
                    QMutexLocker lock(&g_frames.mutex);
                    image = g_frames.last.value(remote);
                }
                // The synthetic camera's seven colour bars, sampled in the
                // middle of each, low in the picture.
                const int row = qBound(0, line.section(QLatin1Char(' '), 2, 2).isEmpty()
                                              ? 90 : line.section(QLatin1Char(' '), 2, 2).toInt(), 99);
                QStringList colours;
                for (int i = 0; i < 7 && !image.isNull(); ++i) {
                    const int x = image.width() * (2 * i + 1) / 14;
                    colours << QColor(image.pixel(x, image.height() * row / 100)).name();
                }
                say(QStringLiteral("pixels %1 %2").arg(remote).arg(colours.join(QLatin1Char(' '))));
            } else if (command == QLatin1String("leave")) {
                say(QStringLiteral("leave-result %1").arg(engine->leaveChannel()));
            } else if (command == QLatin1String("quit")) {
                engine->release(true);
                engine = nullptr;
                app.exit(0);
                return;
            } else if (command == QLatin1String("exit")) {
                app.exit(0);
                return;
            }
        }
    });
    say(QStringLiteral("ready"));
    const int code = app.exec();
    // An engine still running here is stopped by the library at exit.
    return code;
}
