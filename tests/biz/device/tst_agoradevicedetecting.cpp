#include "actionlogreader.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "scripteddeviceprovider.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/appdirs.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using RtcTestHooks::TestDevice;

namespace {

const QList<TestDevice> kSpeakers { { "spk-1", "Speakers" }, { "spk-2", "Headset" } };
const QList<TestDevice> kMicrophones { { "mic-1", "Built-in Mic" }, { "mic-2", "USB Mic" } };
const QList<TestDevice> kCameras { { "cam-1", "Front Camera" }, { "cam-2", "USB Camera" } };

QStringList names(const QVariantMap &collection)
{
    return collection.value(QStringLiteral("name")).toStringList();
}

} // namespace

// The device service against the engine's configurable device list.
class TestAgoraDeviceDetecting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void enumerationListsEveryKindInOrder();
    void noCameraGivesAnEmptyCollection();
    void savedChoiceIsWrittenWithItsKeys();
    void initDeviceAppliesTheSavedNames_data();
    void initDeviceAppliesTheSavedNames();
    void twoDevicesOfTheSavedNameTakeTheLater();
    void currentDevicesAreReadAndRecorded();
    void kindWithoutDevicesHasNoCurrentOne();
    void deviceListNeedsListsOfOneLength();
    void emptyIdIsRefused();
    void pluggedDeviceIsListedAfterTheReport();
    void machineDevicesThatComeAndGoAreListed();
    void manyRequestsWhileJobsRunEndWithTheLastPlug();
    void exitWhileTheJobsRunIsClean();

private:
    void enumerate();
    AgoraDeviceDetecting *m_service = nullptr;
    agora::rtc::IRtcEngine *m_engine = nullptr;
    ScopedTimeScale m_fast { 0.05 };
};

void TestAgoraDeviceDetecting::initTestCase()
{
    VideoSDK::instance()->initVideoEngine();
    m_engine = VideoSDK::instance()->getRtcEngine();
    QVERIFY(m_engine);
    m_service = Singleton<AgoraDeviceDetecting>::instance();
}

void TestAgoraDeviceDetecting::init()
{
    RtcTestHooks::setDevices(agora::rtc::AUDIO_PLAYOUT_DEVICE, kSpeakers);
    RtcTestHooks::setDevices(agora::rtc::AUDIO_RECORDING_DEVICE, kMicrophones);
    RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, kCameras);
    QFile::remove(getDeviceConfigFilePath());
    enumerate();
}

void TestAgoraDeviceDetecting::enumerate()
{
    QSignalSpy video(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    m_service->startEnumDevices();
    QTRY_VERIFY_WITH_TIMEOUT(video.count() > 0, 5000); // emitted on the enumeration thread
}

void TestAgoraDeviceDetecting::enumerationListsEveryKindInOrder()
{
    QStringList order;
    connect(m_service, &AgoraDeviceDetecting::signal_audioRecordCollection, this, [&] { order << "record"; });
    connect(m_service, &AgoraDeviceDetecting::signal_audioPlayoutCollection, this, [&] { order << "playout"; });
    connect(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection, this, [&] { order << "video"; });
    enumerate();
    disconnect(m_service, nullptr, this, nullptr);
    QCOMPARE(order, (QStringList { "record", "playout", "video" }));

    const QVariantMap cameras = m_service->getVideoDeviceCollection();
    QCOMPARE(names(cameras), (QStringList { "Front Camera", "USB Camera" }));
    QCOMPARE(cameras.value("guid").toStringList(), (QStringList { "cam-1", "cam-2" }));
    QCOMPARE(cameras.value("length").toInt(), 2);
    const QVector<DeviceItem> speakers = m_service->getPlayoutDeviceList();
    QCOMPARE(speakers.size(), 2);
    QCOMPARE(speakers.at(1).id, QStringLiteral("spk-2"));
    QCOMPARE(speakers.at(1).name, QStringLiteral("Headset"));
    QCOMPARE(speakers.at(1).type, 1);
    QCOMPARE(m_service->getRecordingDeviceList().at(0).type, 2);
    QCOMPARE(m_service->getVideoDeviceList().at(0).type, 3);
}

void TestAgoraDeviceDetecting::noCameraGivesAnEmptyCollection()
{
    RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, {});
    QSignalSpy video(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    m_service->startEnumDevices();
    QTRY_VERIFY_WITH_TIMEOUT(video.count() > 0, 5000); // emitted on the enumeration thread
    QVERIFY(video.first().first().toMap().isEmpty());
    QVERIFY(m_service->getVideoDeviceCollection().isEmpty());
}

void TestAgoraDeviceDetecting::savedChoiceIsWrittenWithItsKeys()
{
    m_service->writeDeviceConfig(AGORA_DEVICE_MICROPHONE, "USB Mic", "mic-2");
    m_service->writeDeviceConfig(AGORA_DEVICE_SPEAKER, "Headset", "spk-2");
    m_service->writeDeviceConfig(AGORA_DEVICE_CAMERA, "USB Camera", "cam-2");
    QVERIFY(getDeviceConfigFilePath().endsWith("/config/newDeviceConfig.ini"));
    QSettings file(getDeviceConfigFilePath(), QSettings::IniFormat);
    QCOMPARE(file.value("MyMic").toString(), QStringLiteral("USB Mic"));
    QCOMPARE(file.value("MyMicGuid").toString(), QStringLiteral("mic-2"));
    QCOMPARE(file.value("MySpk").toString(), QStringLiteral("Headset"));
    QCOMPARE(file.value("MySpkGuid").toString(), QStringLiteral("spk-2"));
    QCOMPARE(file.value("MyCam").toString(), QStringLiteral("USB Camera"));
    QCOMPARE(file.value("MyCamGuid").toString(), QStringLiteral("cam-2"));
    QCOMPARE(m_service->readDeviceNameConfig(AGORA_DEVICE_SPEAKER), QStringLiteral("Headset"));
}

void TestAgoraDeviceDetecting::initDeviceAppliesTheSavedNames_data()
{
    QTest::addColumn<QStringList>("saved"); // microphone, speaker, camera; empty: none saved
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("current"); // names read back

    QTest::newRow("nothing saved") << QStringList { "", "", "" } << -6
                                   << QStringList { "Built-in Mic", "Speakers", "Front Camera" };
    QTest::newRow("all saved and present") << QStringList { "USB Mic", "Headset", "USB Camera" } << 0
                                           << QStringList { "USB Mic", "Headset", "USB Camera" };
    QTest::newRow("saved camera gone") << QStringList { "USB Mic", "Headset", "Old Camera" } << -2
                                       << QStringList { "USB Mic", "Headset", "Front Camera" };
}

void TestAgoraDeviceDetecting::initDeviceAppliesTheSavedNames()
{
    QFETCH(QStringList, saved);
    QFETCH(int, result);
    QFETCH(QStringList, current);
    // A fresh engine state: the first devices in use.
    m_service->setRecordingDevice("mic-1");
    m_service->setPlayoutDevice("spk-1");
    m_service->setVideoDevice("cam-1");
    if (!saved.at(0).isEmpty())
        m_service->writeDeviceConfig(AGORA_DEVICE_MICROPHONE, saved.at(0), "x");
    if (!saved.at(1).isEmpty())
        m_service->writeDeviceConfig(AGORA_DEVICE_SPEAKER, saved.at(1), "x");
    if (!saved.at(2).isEmpty())
        m_service->writeDeviceConfig(AGORA_DEVICE_CAMERA, saved.at(2), "x");
    QCOMPARE(m_service->initDevice(), result);
    QTRY_COMPARE_WITH_TIMEOUT(QStringList({ m_service->getAgoraRecordingDeviceName(), m_service->getAgoraPlaybackDeviceName(),
                                            m_service->getAgoraVideoDeviceName() }),
                              current, 5000);
}

void TestAgoraDeviceDetecting::twoDevicesOfTheSavedNameTakeTheLater()
{
    RtcTestHooks::setDevices(agora::rtc::AUDIO_RECORDING_DEVICE, { { "mic-a", "Same Mic" }, { "mic-b", "Same Mic" } });
    enumerate();
    m_service->writeDeviceConfig(AGORA_DEVICE_MICROPHONE, "Same Mic", "mic-a");
    QCOMPARE(m_service->setDevice(AGORA_DEVICE_MICROPHONE, m_service->getRecordingDeviceCollection()), 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_service->getAgoraRecordingDeviceId(), QStringLiteral("mic-b"), 5000);
}

void TestAgoraDeviceDetecting::currentDevicesAreReadAndRecorded()
{
    QTemporaryDir dir;
    ActionLogReader actions;
    QVERIFY(ActionLog::instance()->init(actions.use(dir.filePath(QStringLiteral("actions.log")))));
    m_service->setPlayoutDevice("spk-2");
    m_service->setRecordingDevice("mic-2");
    m_service->setVideoDevice("cam-2");
    QTRY_COMPARE_WITH_TIMEOUT(QStringList({ m_service->getAgoraPlaybackDeviceName(), m_service->getAgoraRecordingDeviceName(),
                                            m_service->getAgoraVideoDeviceName() }),
                              (QStringList { "Headset", "USB Mic", "USB Camera" }), 5000);
    QCOMPARE(QStringList({ m_service->getAgoraPlaybackDeviceId(), m_service->getAgoraRecordingDeviceId(),
                           m_service->getAgoraVideoDeviceId() }),
             (QStringList { "spk-2", "mic-2", "cam-2" }));

    // Each kind is recorded under its own name.
    const struct
    {
        const char *record;
        const char *info;
    } kinds[] = {
        { "config_current_player", "{name:Headset, id:spk-2}" },
        { "config_current_mircrophone", "{name:USB Mic, id:mic-2}" },
        { "config_current_camera", "{name:USB Camera, id:cam-2}" },
    };
    for (const auto &kind : kinds) {
        const QVector<ActionLogReader::Record> records = actions.named(QLatin1String(kind.record));
        QVERIFY2(!records.isEmpty(), kind.record);
        QCOMPARE(records.last().info, QLatin1String(kind.info));
    }
    ActionLog::instance()->close();
}

void TestAgoraDeviceDetecting::kindWithoutDevicesHasNoCurrentOne()
{
    m_service->setVideoDevice("cam-1");
    QTRY_COMPARE_WITH_TIMEOUT(m_service->getAgoraVideoDeviceName(), QStringLiteral("Front Camera"), 5000);
    RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, {});
    enumerate();
    MessageCatcher catcher;
    m_service->setPlayoutDevice("spk-1");
    QTRY_VERIFY_WITH_TIMEOUT(catcher.contains(QStringLiteral("video Device is empty")), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_service->getAgoraVideoDeviceName(), QString(), 5000);
    QCOMPARE(m_service->getAgoraPlaybackDeviceName(), QStringLiteral("Speakers"));
}

void TestAgoraDeviceDetecting::deviceListNeedsListsOfOneLength()
{
    QVariantMap broken;
    broken.insert("name", QStringList { "a", "b" });
    broken.insert("guid", QStringList { "1" });
    QTest::ignoreMessage(QtCriticalMsg, "deviceName's count not equal deviceId's count!");
    QVERIFY(AgoraDeviceDetecting::getDeviceList(broken, 2).isEmpty());
}

void TestAgoraDeviceDetecting::emptyIdIsRefused()
{
    QCOMPARE(m_service->setPlayoutDevice(QString()), -1);
    QCOMPARE(m_service->setRecordingDevice(QString()), -1);
    QCOMPARE(m_service->setVideoDevice(QString()), -1);
}

void TestAgoraDeviceDetecting::pluggedDeviceIsListedAfterTheReport()
{
    QVERIFY(RtcTestHooks::plugDevice(m_engine, agora::rtc::VIDEO_CAPTURE_DEVICE, { "cam-3", "Document Camera" }));
    QTRY_VERIFY_WITH_TIMEOUT(names(m_service->getVideoDeviceCollection()).contains("Document Camera"), 5000);
    QVERIFY(RtcTestHooks::unplugDevice(m_engine, agora::rtc::VIDEO_CAPTURE_DEVICE, "cam-1"));
    QTRY_COMPARE_WITH_TIMEOUT(names(m_service->getVideoDeviceCollection()),
                              (QStringList { "USB Camera", "Document Camera" }), 5000);
    QVERIFY(RtcTestHooks::unplugDevice(m_engine, agora::rtc::AUDIO_RECORDING_DEVICE, "mic-1"));
    QTRY_COMPARE_WITH_TIMEOUT(names(m_service->getRecordingDeviceCollection()), QStringList { "USB Mic" }, 5000);
}

void TestAgoraDeviceDetecting::machineDevicesThatComeAndGoAreListed()
{
    // The machine's microphones as the device monitor reports them: each
    // change reaches the engine's device-state callback, and the service
    // lists the microphones again.
    RtcTestHooks::resetDevices();
    auto machine = std::make_shared<DeviceScript>();
    const int kind = agora::rtc::AUDIO_RECORDING_DEVICE;
    machine->initial = { DeviceScript::added(kind, { "pulsesrc:mic", "Built-in Mic", "pulsesrc", { { "device", "mic" } } }) };
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(machine));
    enumerate();
    QCOMPARE(names(m_service->getRecordingDeviceCollection()), QStringList({ "Built-in Mic", "Lessonry Test Microphone" }));

    QSignalSpy reports(VideoSDK::instance(), &VideoSDK::signal_AudioDeviceStateChanged);
    QVERIFY(machine->send({ DeviceScript::added(kind, { "pulsesrc:usb", "USB Headset", "pulsesrc", { { "device", "usb" } } }) }));
    QTRY_COMPARE_WITH_TIMEOUT(names(m_service->getRecordingDeviceCollection()),
                              QStringList({ "Built-in Mic", "USB Headset", "Lessonry Test Microphone" }), 5000);
    QVERIFY(machine->send({ DeviceScript::removed(kind, "pulsesrc:mic") }));
    QTRY_COMPARE_WITH_TIMEOUT(names(m_service->getRecordingDeviceCollection()),
                              QStringList({ "USB Headset", "Lessonry Test Microphone" }), 5000);
    QCOMPARE(reports.count(), 2);
    QCOMPARE(reports.at(1).at(1).toInt(), kind);
    QCOMPARE(reports.at(1).at(2).toInt(), int(agora::rtc::MEDIA_DEVICE_STATE_UNPLUGGED));
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>());
}

void TestAgoraDeviceDetecting::manyRequestsWhileJobsRunEndWithTheLastPlug()
{
    // Requests pile up while both jobs run; the last plug must still be
    // listed once everything has settled.
    for (int i = 0; i < 40; ++i) {
        RtcTestHooks::plugDevice(m_engine, agora::rtc::AUDIO_PLAYOUT_DEVICE,
                                 { QByteArray("plug-") + QByteArray::number(i), QByteArray("Plug ") + QByteArray::number(i) });
        m_service->startEnumDevices();
        m_service->initDevice();
        if (i % 5 == 0)
            QCoreApplication::processEvents();
    }
    QTRY_VERIFY_WITH_TIMEOUT(names(m_service->getPlayoutDeviceCollection()).contains("Plug 39"), 10000);
}

void TestAgoraDeviceDetecting::exitWhileTheJobsRunIsClean()
{
    // Another process ends while both jobs run (the current-device job is
    // still in its pause) and leaves this object to process exit: the jobs
    // must be over before the toolkit's globals go, or the exit crashes.
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(LESSONRY_BIN_DIR "/helper_devicejobsatexit"), {});
    QVERIFY(helper.waitForStarted());
    const bool ended = helper.waitForFinished(60000);
    if (!ended) {
        helper.kill();
        helper.waitForFinished();
    }
    QVERIFY2(ended, "the exit hung");
    QVERIFY(helper.readAllStandardOutput().contains("started"));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
}

QTEST_MAIN(TestAgoraDeviceDetecting)
#include "tst_agoradevicedetecting.moc"
