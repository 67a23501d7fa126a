// The engine's device lists and plug/unplug reports: from a provider the
// test scripts, and from GStreamer's device monitor over a private
// PulseAudio server.

#include "pulseaudioserver.h"
#include "scripteddeviceprovider.h"

#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtcdevicelist.h"
#include "platform/rtc/rtcengine.h"
#include "platform/rtc/rtcgstdeviceprovider.h"
#include "platform/rtc/rtctesthooks.h"

#include <QMutex>
#include <QMutexLocker>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>

#include <gst/gst.h>

#include <memory>

using namespace agora;

namespace {

const char kAppId[] = "0123456789abcdef0123456789abcdef";
const int kPlayout = rtc::AUDIO_PLAYOUT_DEVICE;
const int kRecording = rtc::AUDIO_RECORDING_DEVICE;
const int kVideo = rtc::VIDEO_CAPTURE_DEVICE;
const int kActive = rtc::MEDIA_DEVICE_STATE_ACTIVE;
const int kUnplugged = rtc::MEDIA_DEVICE_STATE_UNPLUGGED;

// The engine's device-state callbacks, one line each:
// "audio|video <id> <kind> <state>".
class DeviceHandler : public rtc::IRtcEngineEventHandler
{
public:
    void onAudioDeviceStateChanged(const char *id, int kind, int state) override { note("audio", id, kind, state); }
    void onVideoDeviceStateChanged(const char *id, int kind, int state) override { note("video", id, kind, state); }

    QStringList events() const
    {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }

private:
    void note(const char *what, const char *id, int kind, int state)
    {
        QMutexLocker lock(&m_mutex);
        m_events.append(QStringLiteral("%1 %2 %3 %4").arg(QLatin1String(what), QString::fromUtf8(id)).arg(kind).arg(state));
    }

    mutable QMutex m_mutex;
    QStringList m_events;
};

RtcDevice device(const QByteArray &id, const QByteArray &name, const QByteArray &element = "fakesink",
                 const QList<QPair<QByteArray, QByteArray>> &properties = {})
{
    return RtcDevice { id, name, element, properties };
}

RtcDeviceEvent added(int kind, const RtcDevice &entry)
{
    return DeviceScript::added(kind, entry);
}

RtcDeviceEvent removed(int kind, const QByteArray &id)
{
    return DeviceScript::removed(kind, id);
}

QByteArrayList ids(int kind)
{
    QByteArrayList result;
    for (const RtcDevice &entry : RtcDeviceList::devices(kind))
        result.append(entry.id);
    return result;
}

// "id=name" of each entry of a collection the engine handed out.
QStringList entries(rtc::IDeviceCollection *collection)
{
    util::AutoPtr<rtc::IDeviceCollection> list(collection);
    QStringList result;
    char name[rtc::MAX_DEVICE_ID_LENGTH];
    char id[rtc::MAX_DEVICE_ID_LENGTH];
    for (int i = 0; list && i < list->getCount(); ++i) {
        if (list->getDevice(i, name, id) == 0)
            result.append(QString::fromUtf8(id) + QLatin1Char('=') + QString::fromUtf8(name));
    }
    return result;
}

// The lists as the engine's device managers give them.
QStringList managerList(rtc::IRtcEngine *engine, int kind)
{
    void *inter = nullptr;
    if (kind == kVideo) {
        engine->queryInterface(rtc::AGORA_IID_VIDEO_DEVICE_MANAGER, &inter);
        util::AutoPtr<rtc::IVideoDeviceManager> manager(static_cast<rtc::IVideoDeviceManager *>(inter));
        return entries(manager->enumerateVideoDevices());
    }
    engine->queryInterface(rtc::AGORA_IID_AUDIO_DEVICE_MANAGER, &inter);
    util::AutoPtr<rtc::IAudioDeviceManager> manager(static_cast<rtc::IAudioDeviceManager *>(inter));
    return entries(kind == kPlayout ? manager->enumeratePlaybackDevices() : manager->enumerateRecordingDevices());
}

QByteArray currentDevice(rtc::IRtcEngine *engine, int kind)
{
    void *inter = nullptr;
    char id[rtc::MAX_DEVICE_ID_LENGTH] = {};
    if (kind == kVideo) {
        engine->queryInterface(rtc::AGORA_IID_VIDEO_DEVICE_MANAGER, &inter);
        util::AutoPtr<rtc::IVideoDeviceManager> manager(static_cast<rtc::IVideoDeviceManager *>(inter));
        manager->getDevice(id);
    } else {
        engine->queryInterface(rtc::AGORA_IID_AUDIO_DEVICE_MANAGER, &inter);
        util::AutoPtr<rtc::IAudioDeviceManager> manager(static_cast<rtc::IAudioDeviceManager *>(inter));
        if (kind == kPlayout)
            manager->getPlaybackDevice(id);
        else
            manager->getRecordingDevice(id);
    }
    return QByteArray(id);
}

int setCurrentDevice(rtc::IRtcEngine *engine, int kind, const QByteArray &id)
{
    void *inter = nullptr;
    if (kind == kVideo) {
        engine->queryInterface(rtc::AGORA_IID_VIDEO_DEVICE_MANAGER, &inter);
        util::AutoPtr<rtc::IVideoDeviceManager> manager(static_cast<rtc::IVideoDeviceManager *>(inter));
        return manager->setDevice(id.constData());
    }
    engine->queryInterface(rtc::AGORA_IID_AUDIO_DEVICE_MANAGER, &inter);
    util::AutoPtr<rtc::IAudioDeviceManager> manager(static_cast<rtc::IAudioDeviceManager *>(inter));
    return kind == kPlayout ? manager->setPlaybackDevice(id.constData()) : manager->setRecordingDevice(id.constData());
}

QString stateLine(int kind, const QByteArray &id, int state)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QLatin1String(kind == kVideo ? "video" : "audio"), QString::fromUtf8(id))
        .arg(kind)
        .arg(state);
}

} // namespace

class TestRtcDevices : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsComeFromTheProvider();
    void deviceOpensAsListed();
    void changesReachTheHandler_data();
    void changesReachTheHandler();
    void onlyRealChangesAreReported();
    void whatTheProviderSaysIsBounded_data();
    void whatTheProviderSaysIsBounded();
    void tooManyDevicesAreCut();
    void slowProviderDoesNotHoldTheCaller();
    void pulseAudioDevicesAreListed();
    void pulseAudioPlugAndUnplugAreReported();

private:
    // An engine on the scripted provider, its handler recording.
    void startEngine();

    std::shared_ptr<DeviceScript> m_script;
    std::unique_ptr<DeviceHandler> m_handler;
    rtc::IRtcEngine *m_engine = nullptr;
};

void TestRtcDevices::init()
{
    m_handler.reset(new DeviceHandler);
    m_script = std::make_shared<DeviceScript>();
    m_script->initial = {
        added(kPlayout, device("pulsesink:speakers", "Speakers", "pulsesink", { { "device", "speakers" } })),
        added(kRecording, device("pulsesrc:mic", "Microphone", "pulsesrc", { { "device", "mic" } })),
        added(kVideo, device("v4l2src:/dev/video0", "Camera", "v4l2src", { { "device", "/dev/video0" } })),
    };
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(m_script));
}

void TestRtcDevices::cleanup()
{
    if (m_engine)
        m_engine->release(true);
    m_engine = nullptr;
    RtcTestHooks::resetDevices();
    RtcTestHooks::setDeviceStartWaitMs(RtcDeviceList::kStartWaitMs);
    // Nothing of the machine's own in the next test.
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(std::make_shared<DeviceScript>()));
}

void TestRtcDevices::startEngine()
{
    m_engine = createAgoraRtcEngine();
    QCOMPARE(m_engine->initialize({ m_handler.get(), kAppId }), 0);
    // The provider has answered (or been given up on) once a list is read.
    RtcDeviceList::devices(kPlayout);
}

void TestRtcDevices::listsComeFromTheProvider()
{
    startEngine();
    QCOMPARE(managerList(m_engine, kPlayout),
             QStringList({ "pulsesink:speakers=Speakers", "lessonry-synthetic-speaker=Lessonry Test Speaker" }));
    QCOMPARE(managerList(m_engine, kRecording),
             QStringList({ "pulsesrc:mic=Microphone", "lessonry-synthetic-microphone=Lessonry Test Microphone" }));
    QCOMPARE(managerList(m_engine, kVideo),
             QStringList({ "v4l2src:/dev/video0=Camera", "lessonry-synthetic-camera=Lessonry Test Camera" }));
    // With nothing chosen the first device is in use.
    QCOMPARE(currentDevice(m_engine, kRecording), QByteArray("pulsesrc:mic"));
    QVERIFY(m_handler->events().isEmpty());
}

void TestRtcDevices::deviceOpensAsListed()
{
    m_script->initial.append(added(kRecording, device("audiotestsrc:880", "Tone", "audiotestsrc", { { "freq", "880" }, { "wave", "square" } })));
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(m_script));
    RtcDevice entry;
    QVERIFY(RtcDeviceList::find(kRecording, "audiotestsrc:880", &entry));
    QCOMPARE(entry.element, QByteArray("audiotestsrc"));

    GstElement *element = RtcDeviceList::createElement(kRecording, "audiotestsrc:880", "microphone");
    QVERIFY(element);
    gst_object_ref_sink(element);
    gdouble freq = 0;
    g_object_get(element, "freq", &freq, nullptr);
    QCOMPARE(freq, 880.0);
    gchar *name = gst_object_get_name(GST_OBJECT(element));
    QCOMPARE(QByteArray(name), QByteArray("microphone"));
    g_free(name);
    gst_object_unref(element);

    // The synthetic devices open too; an id nobody lists does not.
    GstElement *tone = RtcDeviceList::createElement(kRecording, RtcDeviceList::kSyntheticMicrophoneId);
    QVERIFY(tone);
    gst_object_ref_sink(tone);
    gst_object_unref(tone);
    QVERIFY(!RtcDeviceList::createElement(kRecording, "pulsesrc:gone"));
    QVERIFY(!RtcDeviceList::createElement(kPlayout, "pulsesrc:mic")); // a microphone is not a speaker
}

void TestRtcDevices::changesReachTheHandler_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("what"); // plug, unplug, unplug-current
    QTest::addColumn<QByteArray>("other"); // a second device of the kind

    const QByteArray speaker = "pulsesink:headset";
    const QByteArray microphone = "pulsesrc:headset-mic";
    const QByteArray camera = "v4l2src:/dev/video2";
    QTest::newRow("audio in plugged") << kRecording << "plug" << microphone;
    QTest::newRow("audio in unplugged") << kRecording << "unplug" << microphone;
    QTest::newRow("audio in, the current one unplugged") << kRecording << "unplug-current" << microphone;
    QTest::newRow("audio out plugged") << kPlayout << "plug" << speaker;
    QTest::newRow("audio out unplugged") << kPlayout << "unplug" << speaker;
    QTest::newRow("audio out, the current one unplugged") << kPlayout << "unplug-current" << speaker;
    QTest::newRow("video plugged") << kVideo << "plug" << camera;
    QTest::newRow("video unplugged") << kVideo << "unplug" << camera;
    QTest::newRow("video, the current one unplugged") << kVideo << "unplug-current" << camera;
}

void TestRtcDevices::changesReachTheHandler()
{
    QFETCH(int, kind);
    QFETCH(QString, what);
    QFETCH(QByteArray, other);

    const QByteArray first = RtcDeviceList::devices(kind).first().id;
    const QByteArray synthetic = RtcDeviceList::devices(kind).last().id;
    startEngine();
    if (what == QLatin1String("plug")) {
        QVERIFY(m_script->send({ added(kind, device(other, "Headset")) }));
        QTRY_COMPARE(m_handler->events(), QStringList { stateLine(kind, other, kActive) });
        QCOMPARE(ids(kind), QByteArrayList({ first, other, synthetic }));
        QVERIFY(managerList(m_engine, kind).contains(QString::fromUtf8(other) + "=Headset"));
        return;
    }
    QVERIFY(m_script->send({ added(kind, device(other, "Headset")) }));
    QTRY_COMPARE(m_handler->events().size(), 1);
    const QByteArray gone = what == QLatin1String("unplug") ? first : other;
    const QByteArray stays = what == QLatin1String("unplug") ? other : first;
    QCOMPARE(setCurrentDevice(m_engine, kind, other), 0);
    QCOMPARE(currentDevice(m_engine, kind), other);

    QVERIFY(m_script->send({ removed(kind, gone) }));
    QTRY_COMPARE(m_handler->events().size(), 2);
    QCOMPARE(m_handler->events().last(), stateLine(kind, gone, kUnplugged));
    QCOMPARE(ids(kind), QByteArrayList({ stays, synthetic }));
    // A device in use that went leaves the first one in use.
    QCOMPARE(currentDevice(m_engine, kind), stays);
    // Nor can it be chosen any more.
    QVERIFY(setCurrentDevice(m_engine, kind, gone) < 0);
}

void TestRtcDevices::onlyRealChangesAreReported()
{
    startEngine();
    const RtcDevice speakers = RtcDeviceList::devices(kPlayout).first();
    // Told again unchanged, gone and back in one burst, or never listed:
    // nothing to report.
    QVERIFY(m_script->send({ added(kPlayout, speakers) }));
    QVERIFY(m_script->send({ removed(kPlayout, speakers.id), added(kPlayout, speakers) }));
    QVERIFY(m_script->send({ removed(kRecording, "pulsesrc:never-listed") }));
    QVERIFY(m_script->send({ added(kVideo, device("v4l2src:/dev/video4", "Brief")), removed(kVideo, "v4l2src:/dev/video4") }));
    // A device that changed (here its name) is told as active again.
    RtcDevice renamed = speakers;
    renamed.name = "Speakers (HDMI)";
    QVERIFY(m_script->send({ added(kPlayout, renamed) }));
    QTRY_COMPARE(m_handler->events(), QStringList { stateLine(kPlayout, speakers.id, kActive) });
    QCOMPARE(RtcDeviceList::nameOf(kPlayout, speakers.id), QByteArray("Speakers (HDMI)"));
    // A kind a test replaced is not reported from the provider.
    RtcTestHooks::setDevices(kVideo, { { "test-camera", "Test Camera" } });
    QVERIFY(m_script->send({ added(kVideo, device("v4l2src:/dev/video6", "Hidden")) }));
    QVERIFY(m_script->send({ added(kRecording, device("pulsesrc:usb", "USB")) }));
    QTRY_COMPARE(m_handler->events().size(), 2);
    QCOMPARE(m_handler->events().last(), stateLine(kRecording, "pulsesrc:usb", kActive));
    QCOMPARE(ids(kVideo), QByteArrayList { "test-camera" });
}

void TestRtcDevices::whatTheProviderSaysIsBounded_data()
{
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QByteArray>("shownName");

    const QByteArray longest(rtc::MAX_DEVICE_ID_LENGTH - 1, 'i');
    // 300 two-byte characters: cut at 255 of them (510 bytes), not inside one.
    QByteArray wide;
    for (int i = 0; i < 300; ++i)
        wide += "\xc3\xa9";
    QTest::newRow("plain") << QByteArray("pulsesrc:a") << QByteArray("Mic") << true << QByteArray("Mic");
    QTest::newRow("longest id") << longest << QByteArray("Mic") << true << QByteArray("Mic");
    QTest::newRow("id too long") << longest + 'i' << QByteArray("Mic") << false << QByteArray();
    QTest::newRow("empty id") << QByteArray() << QByteArray("Mic") << false << QByteArray();
    QTest::newRow("long name cut at a character") << QByteArray("pulsesrc:b") << wide << true << wide.left(510);
    QTest::newRow("line breaks and controls") << QByteArray("pulsesrc:c") << QByteArray("Mic\nrecord:\x01x\t1")
                                              << true << QByteArray("Mic record: x 1");
    QTest::newRow("no name") << QByteArray("pulsesrc:d") << QByteArray("  ") << true
                             << QByteArray("Microphone (pulsesrc:d)");
    QTest::newRow("not UTF-8") << QByteArray("pulsesrc:e") << QByteArray("Mic \xff") << true
                               << QByteArray("Mic \xef\xbf\xbd");
}

void TestRtcDevices::whatTheProviderSaysIsBounded()
{
    QFETCH(QByteArray, id);
    QFETCH(QByteArray, name);
    QFETCH(bool, listed);
    QFETCH(QByteArray, shownName);

    startEngine();
    QVERIFY(m_script->send({ added(kRecording, device(id, name)), added(kRecording, device("pulsesrc:marker", "Marker")) }));
    QTRY_VERIFY(m_handler->events().contains(stateLine(kRecording, "pulsesrc:marker", kActive)));
    QCOMPARE(RtcDeviceList::contains(kRecording, id), listed);
    QCOMPARE(m_handler->events().size(), listed ? 2 : 1);
    if (!listed)
        return;
    QCOMPARE(RtcDeviceList::nameOf(kRecording, id), shownName);
    // The engine hands out the whole id and name.
    QVERIFY(managerList(m_engine, kRecording).contains(QString::fromUtf8(id + '=' + shownName)));
}

void TestRtcDevices::tooManyDevicesAreCut()
{
    startEngine();
    QList<RtcDeviceEvent> flood;
    for (int i = 0; i < RtcDeviceList::kMaxDevicesPerKind + 10; ++i)
        flood.append(added(kPlayout, device("pulsesink:" + QByteArray::number(i), "Sink")));
    QVERIFY(m_script->send(flood));
    // The one already listed and the first that fit; the synthetic one
    // after them.
    QTRY_COMPARE(m_handler->events().size(), RtcDeviceList::kMaxDevicesPerKind - 1);
    const QByteArrayList listed = ids(kPlayout);
    QCOMPARE(listed.size(), RtcDeviceList::kMaxDevicesPerKind + 1);
    QCOMPARE(listed.at(RtcDeviceList::kMaxDevicesPerKind - 1), QByteArray("pulsesink:254"));
    QCOMPARE(listed.last(), QByteArray(RtcDeviceList::kSyntheticSpeakerId));
}

void TestRtcDevices::slowProviderDoesNotHoldTheCaller()
{
    // A sound server that does not answer: the lists wait for it only so
    // long, and what it lists later is told as plugged in.
    QSemaphore gate;
    // Let go however the test ends, or the provider's start never returns.
    const auto letGo = qScopeGuard([&gate] { gate.release(); });
    auto slow = std::make_shared<DeviceScript>();
    slow->initial = m_script->initial;
    slow->gate = &gate;
    RtcTestHooks::setDeviceStartWaitMs(50);
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(slow));
    startEngine();
    QCOMPARE(ids(kRecording), QByteArrayList { RtcDeviceList::kSyntheticMicrophoneId });
    QVERIFY(m_handler->events().isEmpty());
    gate.release();
    QTRY_COMPARE(m_handler->events().size(), 3);
    QVERIFY(m_handler->events().contains(stateLine(kRecording, "pulsesrc:mic", kActive)));
    QCOMPARE(ids(kRecording), QByteArrayList({ "pulsesrc:mic", RtcDeviceList::kSyntheticMicrophoneId }));
}

void TestRtcDevices::pulseAudioDevicesAreListed()
{
    PulseAudioServer server;
    QVERIFY(server.start());
    server.useForThisProcess();
    RtcTestHooks::useDeviceProvider(nullptr);

    const QByteArray sink = "pulsesink:" + PulseAudioServer::nullSinkName().toUtf8();
    const QByteArray monitor = "pulsesrc:" + PulseAudioServer::nullSourceName().toUtf8();
    QVERIFY2(RtcDeviceList::contains(kPlayout, sink), ids(kPlayout).join(' ').constData());
    QCOMPARE(RtcDeviceList::nameOf(kPlayout, sink), PulseAudioServer::nullSinkDescription().toUtf8());
    QVERIFY2(RtcDeviceList::contains(kRecording, monitor), ids(kRecording).join(' ').constData());
    QCOMPARE(RtcDeviceList::nameOf(kRecording, monitor), "Monitor of " + PulseAudioServer::nullSinkDescription().toUtf8());
    RtcDevice entry;
    QVERIFY(RtcDeviceList::find(kPlayout, sink, &entry));
    QCOMPARE(entry.element, QByteArray("pulsesink"));
    QCOMPARE(entry.properties, (QList<QPair<QByteArray, QByteArray>> { { "device", "lessonry_null" } }));
    // The monitor's source is a microphone only.
    QVERIFY(!RtcDeviceList::contains(kPlayout, monitor));

    // The element opens exactly that device.
    GstElement *element = RtcDeviceList::createElement(kRecording, monitor);
    QVERIFY(element);
    gst_object_ref_sink(element);
    gchar *deviceName = nullptr;
    g_object_get(element, "device", &deviceName, nullptr);
    QCOMPARE(QByteArray(deviceName), PulseAudioServer::nullSourceName().toUtf8());
    g_free(deviceName);
    gst_object_unref(element);

    // The engine's own sound test and level meter find the same device
    // through Qt Multimedia.
    QCOMPARE(RtcDeviceList::machineAudioDevice(QAudio::AudioOutput, sink).deviceName(),
             PulseAudioServer::nullSinkName());
    QCOMPARE(RtcDeviceList::machineAudioDevice(QAudio::AudioInput, monitor).deviceName(),
             PulseAudioServer::nullSourceName());
    QVERIFY(RtcDeviceList::machineAudioDevice(QAudio::AudioOutput, RtcDeviceList::kSyntheticSpeakerId).isNull());

    qunsetenv("PULSE_SERVER");
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(std::make_shared<DeviceScript>()));
    QVERIFY(server.stop());
}

void TestRtcDevices::pulseAudioPlugAndUnplugAreReported()
{
    PulseAudioServer server;
    QVERIFY(server.start());
    server.useForThisProcess();
    RtcTestHooks::useDeviceProvider(std::make_unique<RtcGstDeviceProvider>(50));
    startEngine();
    QVERIFY(RtcDeviceList::contains(kPlayout, "pulsesink:lessonry_null"));

    const int module = server.loadNullSink(QStringLiteral("headset"), QStringLiteral("USB Headset"));
    QVERIFY(module >= 0);
    const QStringList plugged { stateLine(kPlayout, "pulsesink:headset", kActive),
                                stateLine(kRecording, "pulsesrc:headset.monitor", kActive) };
    QTRY_COMPARE_WITH_TIMEOUT(m_handler->events().size(), 2, 20000);
    for (const QString &line : plugged)
        QVERIFY2(m_handler->events().contains(line), qPrintable(m_handler->events().join(", ")));
    QCOMPARE(RtcDeviceList::nameOf(kPlayout, "pulsesink:headset"), QByteArray("USB Headset"));
    QCOMPARE(setCurrentDevice(m_engine, kPlayout, "pulsesink:headset"), 0);

    QVERIFY(server.unloadModule(module));
    QTRY_COMPARE_WITH_TIMEOUT(m_handler->events().size(), 4, 20000);
    QVERIFY(m_handler->events().contains(stateLine(kPlayout, "pulsesink:headset", kUnplugged)));
    QVERIFY(m_handler->events().contains(stateLine(kRecording, "pulsesrc:headset.monitor", kUnplugged)));
    QCOMPARE(currentDevice(m_engine, kPlayout), QByteArray("pulsesink:lessonry_null"));

    m_engine->release(true);
    m_engine = nullptr;
    qunsetenv("PULSE_SERVER");
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(std::make_shared<DeviceScript>()));
    QVERIFY(server.stop());
}

QTEST_GUILESS_MAIN(TestRtcDevices)
#include "tst_rtcdevices.moc"
