#include "mosquittobroker.h"
#include "rtcpeerprocess.h"
#include "scopedtimescale.h"

#include "biz/av/agora/agoraaudiomgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videorender.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "widget/widgetvideo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <memory>

using EngineCall = std::function<void(agora::rtc::IRtcEngineEventHandler &)>;
Q_DECLARE_METATYPE(EngineCall)

namespace {

// Every log line, from any thread, as "<level> <message>".
QMutex g_logMutex;
QStringList g_log;
QtMessageHandler g_previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const char *const levels[] = { "D", "W", "C", "F", "I" };
    {
        QMutexLocker lock(&g_logMutex);
        g_log.append(QString::fromLatin1(levels[type]) + QLatin1Char(' ') + message);
    }
    if (type == QtFatalMsg && g_previousHandler)
        g_previousHandler(type, context, message);
}

QStringList logLines()
{
    QMutexLocker lock(&g_logMutex);
    return g_log;
}

bool logged(const QString &line)
{
    return logLines().contains(line);
}

int loggedStartingWith(const QString &prefix)
{
    int n = 0;
    for (const QString &line : logLines())
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

// VideoSDK with a look at who listens to its data stream.
class ProbedVideoSDK : public VideoSDK
{
public:
    int dataStreamReceivers() const { return receivers(SIGNAL(signal_receiveDataStreamMsg(QString, QString))); }
};

// Receives the device-state signal queued and reads the id only then, as
// the device windows do.
class DeviceStateReceiver : public QObject
{
    Q_OBJECT

public:
    QStringList ids;

public slots:
    void deviceStateChanged(const char *deviceId, int, int) { ids.append(QString::fromUtf8(deviceId ? deviceId : "(null)")); }
};

// The signals VideoSDK emits on the engine's threads, taken on the GUI
// thread as an application takes them (queued), one text each.
class EngineSignals : public QObject
{
public:
    explicit EngineSignals(VideoSDK *sdk)
    {
        connect(sdk, &VideoSDK::signal_joinVideoChannelSuccess, this,
                [this](QString channel, QString uid) { events.append(QStringLiteral("joined %1 %2").arg(channel, uid)); });
        connect(sdk, &VideoSDK::signal_networkStatusChanged, this,
                [this](bool connected) { events.append(QStringLiteral("network %1").arg(connected)); });
        connect(sdk, &VideoSDK::signal_UserJoined, this, [this](QString uid) { events.append(QStringLiteral("user-joined ") + uid); });
        connect(sdk, &VideoSDK::signal_UserOffline, this, [this](QString uid) { events.append(QStringLiteral("user-offline ") + uid); });
        connect(sdk, &VideoSDK::signal_receiveDataStreamMsg, this,
                [this](QString uid, QString text) { events.append(QStringLiteral("stream %1 %2").arg(uid, text)); });
        connect(sdk, &VideoSDK::signal_LeaveChannel, this, [this] { events.append(QStringLiteral("left")); });
        connect(sdk, &VideoSDK::signal_audioVolumeChange, this,
                [this](QString uid, int volume) { events.append(QStringLiteral("volume %1 %2").arg(uid).arg(volume)); });
        connect(sdk, &VideoSDK::signal_currentAudioVolume, this,
                [this](uint uid, uint total) { events.append(QStringLiteral("current %1 %2").arg(uid).arg(total)); });
    }

    int count(const QString &prefix) const
    {
        int n = 0;
        for (const QString &event : events)
            n += event.startsWith(prefix) ? 1 : 0;
        return n;
    }

    QStringList events;
};

} // namespace

class TestVideoSDK : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void withoutEngineEveryOperationFails();
    void initCreatesAndConfiguresTheEngine();
    void joinRefusesAnEmptyChannelAndJoinsAudioOnlyWithoutView();
    void classWithAnotherParticipant();
    void rejoinKeepsOneDataStreamConnection();
    void participantThatCrashesGoesOffline();
    void callbacksWriteTheirRecords_data();
    void callbacksWriteTheirRecords();
    void volumeReportsNameTheUserAndAreRecordedEverySeventeenth();
    void statisticsAreLoggedAtMostOnceAnInterval();
    void deviceIdOutlivesTheEngineBuffer();
    void muteAndProfile();
    void screenCapture();
    void screenCaptureOfAWidgetReadsItsPartOfTheWindow();
    void logFileIsRenewedAndCopiedForUpload();
    void destructionStopsTheEngineFirst();

private:
    QStringList records() const;
    QStringList recordsNamed(const QString &name) const;
    void login(const QString &uid);
    std::unique_ptr<ProbedVideoSDK> initialisedSdk();

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    QString m_actionLog;
};

void TestVideoSDK::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini")), QStringLiteral("http://127.0.0.1:1")));
    g_previousHandler = qInstallMessageHandler(captureMessage);
}

void TestVideoSDK::cleanupTestCase()
{
    qInstallMessageHandler(g_previousHandler);
}

void TestVideoSDK::init()
{
    m_actionLog = m_dir.filePath(QStringLiteral("%1.action.log").arg(QTest::currentTestFunction()));
    QVERIFY(ActionLog::instance()->init(m_actionLog));
    QMutexLocker lock(&g_logMutex);
    g_log.clear();
}

void TestVideoSDK::cleanup()
{
    ActionLog::instance()->close();
}

QStringList TestVideoSDK::records() const
{
    QFile file(m_actionLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList result;
    // "kind,1,version,time,name,info": kind, name and info are what count.
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result.append(line.section(QLatin1Char(','), 0, 0) + QLatin1Char(' ') + line.section(QLatin1Char(','), 4, 4)
                      + QLatin1Char(' ') + line.section(QLatin1Char(','), 5));
    return result;
}

QStringList TestVideoSDK::recordsNamed(const QString &name) const
{
    QStringList result;
    for (const QString &record : records()) {
        if (record.section(QLatin1Char(' '), 1, 1) == name)
            result.append(record);
    }
    return result;
}

void TestVideoSDK::login(const QString &uid)
{
    StudentLoginDataEntity user;
    user.id = uid;
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    SignalQueueMgr::instance()->signalOnLoginOk();
}

std::unique_ptr<ProbedVideoSDK> TestVideoSDK::initialisedSdk()
{
    auto sdk = std::make_unique<ProbedVideoSDK>();
    sdk->init();
    return sdk;
}

void TestVideoSDK::withoutEngineEveryOperationFails()
{
    ProbedVideoSDK sdk;
    int view = 0;
    QVERIFY(!sdk.getRtcEngine());
    QVERIFY(!sdk.getRtcEngineParameters());

    QVERIFY(!sdk.joinChannel(QStringLiteral("class-1"), &view, 20001, QString()));
    QVERIFY(logged(QStringLiteral("W videoRtcEngine is NULL!")));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_joinchannel")), QStringList { QStringLiteral("normal rtc_joinchannel {channelId:class-1}") });

    QVERIFY(!sdk.leaveChannel());
    QVERIFY(logged(QStringLiteral("C videoRtcEngine is null")));
    QCOMPARE(sdk.setVideoProfile(30), -1);
    QCOMPARE(sdk.videoProfile(), 40);
    QVERIFY(!sdk.setupLocalVideo(&view, 1));
    QVERIFY(!sdk.setupRemoteVideo(&view, 1));
    QVERIFY(!sdk.someoneJoinChannel(&view, 1));
    QVERIFY(!sdk.someoneLeaveChannel(1));
    QVERIFY(!sdk.createDataStream());
    QVERIFY(logged(QStringLiteral("C createDataStream error.")));
    QCOMPARE(sdk.sendStreamMessage(QStringLiteral("{}")), -1);

    // The mute operations still record what was asked, then the failure.
    QCOMPARE(sdk.muteLocalAudio(true), -7);
    QVERIFY(logged(QStringLiteral("C mute audio is failed, isMute:1  errCode:-7")));
    QCOMPARE(sdk.muteLocalVideo(false), -7);
    QVERIFY(logged(QStringLiteral("C mute video is failed, isMute:0  errCode:-7")));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_audio_muted")), QStringList { QStringLiteral("normal rtc_audio_muted flag:0") });
    QCOMPARE(recordsNamed(QStringLiteral("rtc_video_muted")), QStringList { QStringLiteral("normal rtc_video_muted flag:1") });

    QSignalSpy started(&sdk, &VideoSDK::signal_startScreenCapture);
    QSignalSpy stopped(&sdk, &VideoSDK::signal_stopScreenCapture);
    QCOMPARE(sdk.startScreenCapture(), -7);
    QCOMPARE(sdk.stopScreenCapture(), -7);
    QCOMPARE(started.count() + stopped.count(), 0);
    QCOMPARE(sdk.setAgoraLogFilePath(QStringLiteral("/tmp/x.log")), -7);
}

void TestVideoSDK::initCreatesAndConfiguresTheEngine()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
    QVERIFY(engine);
    QVERIFY(logged(QStringLiteral("I Agora Native SDK version:1.0.0, verionNum:1")));
    QVERIFY(logged(QStringLiteral("I initVideoEngine OK")));
    QVERIFY(Singleton<AgoraAudioMgr>::isCreated());
    QCOMPARE(RtcTestHooks::parameter(engine, QStringLiteral("che.audio.volume_indication")).toObject(),
             QJsonObject({ { QStringLiteral("interval"), 200 }, { QStringLiteral("smooth"), 1 } }));

    // A new engine log file in the log folder, named by day and millisecond.
    const QString path = sdk->agoraLogFilePath();
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(getLogDir()).absoluteFilePath());
    QVERIFY2(QRegularExpression(QStringLiteral("^agora_%1_\\d{13}\\.log$").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))))
                 .match(QFileInfo(path).fileName()).hasMatch(), qPrintable(path));
    QCOMPARE(RtcTestHooks::parameter(engine, QStringLiteral("rtc.log_file")).toString(), path);
    QVERIFY(QFile::exists(path));

    // A second start-up pass keeps the engine.
    sdk->initVideoEngine();
    QVERIFY(logged(QStringLiteral("I videoRtcEngine is already inited")));
    QCOMPARE(sdk->getRtcEngine(), engine);
}

void TestVideoSDK::joinRefusesAnEmptyChannelAndJoinsAudioOnlyWithoutView()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    EngineSignals engine(sdk.get());

    QVERIFY(!sdk->joinChannel(QString(), nullptr, 20001, QString()));
    QVERIFY(logged(QStringLiteral("W channel is empty!")));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_joinchannel")), QStringList { QStringLiteral("normal rtc_joinchannel {channelId:}") });
    // The engine was not asked: no stream was made for it.
    QVERIFY(!logged(QStringLiteral("C createDataStream error.")));

    QVERIFY(sdk->joinChannel(QStringLiteral("audio-only"), nullptr, 20001, QString()));
    QVERIFY(logged(QStringLiteral("W video widget is NULL, are you sure you only want to audio communication?")));
    QVERIFY(logged(QStringLiteral("I joinChannel OK")));
    QTRY_COMPARE_WITH_TIMEOUT(engine.events.value(0), QStringLiteral("joined audio-only 20001"), 10000);
    QVERIFY(!RtcTestHooks::hasVideoBinding(sdk->getRtcEngine(), 0));
}

void TestVideoSDK::classWithAnotherParticipant()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    EngineSignals engine(sdk.get());

    QObject view; // views are video widgets, so objects that announce themselves
    VideoRender::addView(&view);
    auto forget = qScopeGuard([&view] { VideoRender::removeView(&view); });
    QVERIFY(sdk->joinChannel(QStringLiteral("class-9"), &view, 20001, QStringLiteral("key-1")));
    QVERIFY(RtcTestHooks::hasVideoBinding(sdk->getRtcEngine(), 0));
    QVERIFY(logged(QStringLiteral("D channelKey: key-1")));
    QCOMPARE(RtcTestHooks::parameter(sdk->getRtcEngine(), QStringLiteral("che.video.setstream")).toObject(),
             QJsonObject({ { QStringLiteral("uid"), 100 }, { QStringLiteral("stream"), 0 } }));
    QTRY_COMPARE_WITH_TIMEOUT(engine.events, QStringList({ QStringLiteral("joined class-9 20001"), QStringLiteral("network 1") }), 10000);
    QCOMPARE(recordsNamed(QStringLiteral("rtc_joinchannel_success")),
             QStringList { QStringLiteral("normal rtc_joinchannel_success {channelId:class-9}") });

    RtcPeerProcess teacher(m_broker.port(), 30001, 0, AgoraIMSdk::getAppId());
    QVERIFY(teacher.start());
    const int teacherStream = teacher.joinWithStream(QStringLiteral("class-9"));
    QVERIFY(teacherStream > 0);
    QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("user-joined 30001")), 1, 10000);

    // From the other participant, once each.
    teacher.command(QStringLiteral("send %1 {\"type\":300}").arg(teacherStream));
    QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("stream ")), 1, 10000);
    QVERIFY(engine.events.contains(QStringLiteral("stream 30001 {\"type\":300}")));
    QVERIFY(logged(QStringLiteral("I onStreamMessage streamId:%1").arg(teacherStream)));

    // To the other participant, with its log line and record.
    QCOMPARE(sdk->sendStreamMessage(QStringLiteral("{\"type\":1}")), 0);
    QCOMPARE(teacher.take(QStringLiteral("stream ")), QStringLiteral("stream 20001 1 {\"type\":1}"));
    QVERIFY(logged(QStringLiteral("I sendStreamMessage error: errCode:0, streaId:1 sendMsg:{\"type\":1}")));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_message_send_success")),
             QStringList { QStringLiteral("normal rtc_message_send_success {dataStreamId:1}") });

    QVERIFY(sdk->leaveChannel());
    QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("left")), 1, 10000);
    QCOMPARE(loggedStartingWith(QStringLiteral("I onLeaveChannel duration ")), 1);
    QCOMPARE(recordsNamed(QStringLiteral("rtc_exitchannel")), QStringList { QStringLiteral("normal rtc_exitchannel {channelId:class-9}") });
    QCOMPARE(teacher.take(QStringLiteral("user-offline")), QStringLiteral("user-offline 20001 0"));

    // Out of the channel a send fails and says so.
    QCOMPARE(sdk->sendStreamMessage(QStringLiteral("late")), -3);
    QVERIFY(logged(QStringLiteral("C sendStreamMessage error: errCode:-3, streaId:1 sendMsg:late")));
    QCOMPARE(engine.count(QStringLiteral("stream ")), 1);
    QCOMPARE(engine.count(QStringLiteral("user-offline")), 0);
}

void TestVideoSDK::rejoinKeepsOneDataStreamConnection()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    EngineSignals engine(sdk.get());
    const int listeners = sdk->dataStreamReceivers();

    for (int round = 0; round < 3; ++round) {
        QVERIFY(sdk->joinChannel(QStringLiteral("class-10"), nullptr, 20001, QString()));
        QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("joined")), round + 1, 10000);
        // The message layer listens once, however often the class is joined.
        QCOMPARE(sdk->dataStreamReceivers(), listeners + 1);
        if (round < 2) {
            QVERIFY(sdk->leaveChannel());
            QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("left")), round + 1, 10000);
        }
    }
    QCOMPARE(QObject::disconnect(sdk.get(), &VideoSDK::signal_receiveDataStreamMsg, SendAndReceiveMsg::instance(),
                                 &SendAndReceiveMsg::slot_receiveDataStreamMsg), true);
    QCOMPARE(sdk->dataStreamReceivers(), listeners);

    // A second join without a leave is refused by the engine and said.
    QVERIFY(!sdk->joinChannel(QStringLiteral("class-10"), nullptr, 20001, QString()));
    QVERIFY(logged(QStringLiteral("C joinChannel failed")));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_joinchannel_failure")),
             QStringList { QStringLiteral("error rtc_joinchannel_failure {channelId:class-10,code:-17}") });
}

void TestVideoSDK::participantThatCrashesGoesOffline()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    EngineSignals engine(sdk.get());
    QVERIFY(sdk->joinChannel(QStringLiteral("class-11"), nullptr, 20001, QString()));
    QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("joined")), 1, 10000);

    RtcPeerProcess teacher(m_broker.port(), 30001, 0, AgoraIMSdk::getAppId());
    QVERIFY(teacher.start());
    QVERIFY(teacher.joinWithStream(QStringLiteral("class-11")) > 0);
    QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("user-joined 30001")), 1, 10000);
    QVERIFY(logged(QStringLiteral("I <userJoinLeave> onUserJoined uid: 30001")));

    teacher.kill();
    QTRY_COMPARE_WITH_TIMEOUT(engine.count(QStringLiteral("user-offline 30001")), 1, 20000);
    QVERIFY(logged(QStringLiteral("I <userJoinLeave> onUserOffline uid: 30001 reason: 1")));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_member_offline")),
             QStringList { QStringLiteral("error rtc_member_offline {uid:30001, code:1}") });
}

void TestVideoSDK::callbacksWriteTheirRecords_data()
{
    using Call = EngineCall;
    QTest::addColumn<Call>("call");
    QTest::addColumn<QStringList>("expectedRecords");
    QTest::addColumn<QString>("expectedLog"); // empty: no log line at all
    QTest::addColumn<QString>("expectedSignal"); // "name(arguments)", empty: none

    QTest::newRow("audio quality below 3") << Call([](auto &h) { h.onAudioQuality(7, 2, 10, 1); }) << QStringList() << QString() << QString();
    QTest::newRow("audio quality 3") << Call([](auto &h) { h.onAudioQuality(7, 3, 10, 1); })
                                     << QStringList { "normal rtc_audio_quality {uid:7,quality:3,delay:10,lost:1}" } << QString() << QString();
    QTest::newRow("network quality good") << Call([](auto &h) { h.onNetworkQuality(1, 1, 1); }) << QStringList() << QString() << QString();
    QTest::newRow("network quality poor") << Call([](auto &h) { h.onNetworkQuality(1, 1, 2); })
                                          << QStringList { "normal rtc_network_quality {uid:1,txQuality:1,rxQuality:2}" }
                                          << "I onNetworkQuality::uid:1, txQuality:1, rxQuality:2" << QString();
    QTest::newRow("first local frame") << Call([](auto &h) { h.onFirstLocalVideoFrame(640, 480, 5); })
                                       << QStringList { "normal rtc_video_local_video_first {width:640,height:480,elapsed:5}" } << QString() << QString();
    QTest::newRow("first remote frame") << Call([](auto &h) { h.onFirstRemoteVideoDecoded(9, 320, 240, 7); })
                                        << QStringList { "normal rtc_video_remote_video_decode_first {uid:9,width:320,height:240,elapsed:7}" }
                                        << QString() << QString();
    QTest::newRow("api call") << Call([](auto &h) { h.onApiCallExecuted("setParameters", 0); })
                              << QStringList { "normal rtc_api_call_execute {code:0, apiName:setParameters}" }
                              << "I onApiCallExecuted api:setParameters, error:0" << QString();
    QTest::newRow("camera ready") << Call([](auto &h) { h.onCameraReady(); }) << QStringList { "normal rtc_camera_ready {}" } << QString() << QString();
    QTest::newRow("connection lost") << Call([](auto &h) { h.onConnectionLost(); }) << QStringList { "error rtc_video_connect_losted {}" }
                                     << "C onConnectionLost" << QString();
    QTest::newRow("connection interrupted") << Call([](auto &h) { h.onConnectionInterrupted(); })
                                            << QStringList { "error rtc_video_connect_interrupted {}" } << "C ConnectionInterrupted"
                                            << "networkStatusChanged(false)";
    QTest::newRow("rejoined") << Call([](auto &h) { h.onRejoinChannelSuccess("class-12", 5, 0); })
                              << QStringList { "normal rtc_rejoinchannel {uid:5,channel:class-12}" }
                              << "I onRejoinChannelSuccess channel: class-12 uid: 5" << "networkStatusChanged(true)";
    QTest::newRow("warning without text") << Call([](auto &h) { h.onWarning(8, nullptr); }) << QStringList() << QString() << QString();
    QTest::newRow("warning") << Call([](auto &h) { h.onWarning(8, "slow"); }) << QStringList { "normal rtc_occur_warning {code:8}" }
                             << "W agora onWarning:warn:8, msg:slow" << QString();
    QTest::newRow("error") << Call([](auto &h) { h.onError(3, "bad"); }) << QStringList { "error rtc_occur_error {code:3}" }
                           << "C err:3 msg: bad" << "Error(3,bad)";
    QTest::newRow("error without text") << Call([](auto &h) { h.onError(3, nullptr); }) << QStringList { "error rtc_occur_error {code:3}" }
                                        << "C err:3 msg: " << "Error(3,)";
    QTest::newRow("stream message error") << Call([](auto &h) { h.onStreamMessageError(9, 1, 11, 2, 0); })
                                          << QStringList { "error rtc_message_send_failure {code:11}" }
                                          << "C onStreamMessageError, uid:9 streamId:1 code:11 missed:2 cached:0" << QString();
    QTest::newRow("channel key") << Call([](auto &h) { h.onRequestChannelKey(); }) << QStringList() << "C onRequestChannelKey"
                                 << "RequestChannelKey()";
    QTest::newRow("user mutes video") << Call([](auto &h) { h.onUserMuteVideo(9, true); }) << QStringList()
                                      << "I onUserMuteVideo, uid:9, muted:1" << "UserMuteVideo(9,true)";
    QTest::newRow("recording status") << Call([](auto &h) { h.onRefreshRecordingServiceStatus(1); }) << QStringList()
                                      << "I onRefreshRecordingServiceStatus status:1" << QString();
}

void TestVideoSDK::callbacksWriteTheirRecords()
{
    using Call = EngineCall;
    QFETCH(Call, call);
    QFETCH(QStringList, expectedRecords);
    QFETCH(QString, expectedLog);
    QFETCH(QString, expectedSignal);

    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    QStringList signalsSeen;
    connect(sdk.get(), &VideoSDK::signal_networkStatusChanged, this,
            [&](bool connected) { signalsSeen.append(QStringLiteral("networkStatusChanged(%1)").arg(connected ? "true" : "false")); });
    connect(sdk.get(), &VideoSDK::signal_Error, this,
            [&](QString code, QString message) { signalsSeen.append(QStringLiteral("Error(%1,%2)").arg(code, message)); });
    connect(sdk.get(), &VideoSDK::signal_onReuqestChannelKey, this, [&] { signalsSeen.append(QStringLiteral("RequestChannelKey()")); });
    connect(sdk.get(), &VideoSDK::signal_UserMuteVideo, this,
            [&](QString uid, bool muted) { signalsSeen.append(QStringLiteral("UserMuteVideo(%1,%2)").arg(uid, muted ? "true" : "false")); });
    const int linesBefore = logLines().size();
    const int recordsBefore = records().size();

    QVERIFY(RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), call));
    // A marker after it shows the callback has run.
    bool done = false;
    RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [&done](auto &) { done = true; });
    QTRY_VERIFY(done);
    QCoreApplication::processEvents();

    const QStringList newRecords = records().mid(recordsBefore);
    QStringList expectedWithoutErrorLines = expectedRecords;
    QCOMPARE(newRecords, expectedWithoutErrorLines);
    QStringList newLines = logLines().mid(linesBefore);
    // Error records also write their own critical line.
    newLines.erase(std::remove_if(newLines.begin(), newLines.end(),
                                  [](const QString &line) { return line.startsWith(QLatin1String("C actionError")); }),
                   newLines.end());
    QCOMPARE(newLines, expectedLog.isEmpty() ? QStringList() : QStringList { expectedLog });
    QTRY_COMPARE(signalsSeen, expectedSignal.isEmpty() ? QStringList() : QStringList { expectedSignal });
}

void TestVideoSDK::volumeReportsNameTheUserAndAreRecordedEverySeventeenth()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    login(QStringLiteral("20001"));
    EngineSignals engine(sdk.get());

    // Nothing for an empty report.
    RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [](auto &h) { h.onAudioVolumeIndication(nullptr, 2, 5); });
    RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [](auto &h) {
        const agora::rtc::AudioVolumeInfo none[1] = { { 0, 0 } };
        h.onAudioVolumeIndication(none, 0, 5);
    });
    for (int i = 0; i < 34; ++i) {
        RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [](auto &h) {
            const agora::rtc::AudioVolumeInfo speakers[2] = { { 0, 40 }, { 30001, 10 } };
            h.onAudioVolumeIndication(speakers, 2, 50);
        });
    }
    QTRY_COMPARE(engine.count(QStringLiteral("current")), 34);
    QCOMPARE(engine.count(QStringLiteral("volume")), 68);
    // 0 is the local user: named by the uid copied at login.
    QCOMPARE(engine.events.mid(0, 3), QStringList({ QStringLiteral("volume 20001 40"), QStringLiteral("volume 30001 10"),
                                                    QStringLiteral("current 0 50") }));
    // The 17th and the 34th are recorded.
    QCOMPARE(recordsNamed(QStringLiteral("rtc_audio_volume_indication_speakers")),
             QStringList({ QStringLiteral("normal rtc_audio_volume_indication_speakers {count:2, volume:50}"),
                           QStringLiteral("normal rtc_audio_volume_indication_speakers {count:2, volume:50}") }));
    QCOMPARE(loggedStartingWith(QStringLiteral("I onAudioVolumeIndication volume:0 40 50")), 2);
}

void TestVideoSDK::statisticsAreLoggedAtMostOnceAnInterval()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    const auto report = [&] {
        RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [](auto &h) {
            agora::rtc::RtcStats stats;
            stats.duration = 12;
            stats.txKBitRate = 3;
            h.onRtcStats(stats);
        });
    };
    // Both reports have run once a marker queued after them has.
    const auto drain = [&] {
        bool done = false;
        RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [&done](auto &) { done = true; });
        QTRY_VERIFY(done);
    };
    report();
    report();
    drain();
    QCOMPARE(loggedStartingWith(QStringLiteral("I onRtcStats duration 12 ")), 1);
    QVERIFY(logLines().filter(QStringLiteral("onRtcStats duration 12 ")).first().endsWith(QLatin1String(" rxKBitRate 0 txKBitRate 3")));

    // With the interval at a ten-thousandth (1 ms) the next report after it logs.
    ScopedTimeScale fast(0.0001);
    QTRY_VERIFY([&] {
        report();
        drain();
        return loggedStartingWith(QStringLiteral("I onRtcStats duration 12 ")) >= 2;
    }());
}

void TestVideoSDK::deviceIdOutlivesTheEngineBuffer()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    DeviceStateReceiver receiver;
    connect(sdk.get(), &VideoSDK::signal_AudioDeviceStateChanged, &receiver, &DeviceStateReceiver::deviceStateChanged);
    connect(sdk.get(), &VideoSDK::signal_VideoDeviceStateChanged, &receiver, &DeviceStateReceiver::deviceStateChanged);

    // The engine's buffer is overwritten and freed before the GUI thread
    // takes the signal.
    RtcTestHooks::runOnCallbackThread(sdk->getRtcEngine(), [](auto &h) {
        QByteArray microphone("mic-usb-1");
        QByteArray camera("cam-0");
        h.onAudioDeviceStateChanged(microphone.data(), 2, 1);
        h.onVideoDeviceStateChanged(camera.data(), 3, 2);
        h.onAudioDeviceStateChanged(nullptr, 2, 1);
        microphone.fill('#');
        camera.fill('#');
    });
    QTRY_COMPARE(receiver.ids, QStringList({ QStringLiteral("mic-usb-1"), QStringLiteral("cam-0"), QStringLiteral("(null)") }));
    QCOMPARE(recordsNamed(QStringLiteral("audio_device_state_changed")),
             QStringList({ QStringLiteral("normal audio_device_state_changed {deviceId:mic-usb-1}"),
                           QStringLiteral("normal audio_device_state_changed {deviceId:}") }));
    QCOMPARE(recordsNamed(QStringLiteral("video_device_state_changed")),
             QStringList { QStringLiteral("normal video_device_state_changed {deviceId:cam-0}") });
}

void TestVideoSDK::muteAndProfile()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
    const auto parameter = [engine](const char *key) { return RtcTestHooks::parameter(engine, QString::fromLatin1(key)); };

    QCOMPARE(sdk->muteLocalAudio(false), 0);
    QCOMPARE(parameter("rtc.audio.mute_me"), QJsonValue(false));
    QCOMPARE(parameter("che.audio.mute_me"), QJsonValue(false));
    // Held off (the observer), it stays muted whatever is asked.
    sdk->setMicrophoneHeldOff(true);
    QCOMPARE(sdk->muteLocalAudio(false), 0);
    QCOMPARE(parameter("rtc.audio.mute_me"), QJsonValue(true));
    QCOMPARE(parameter("che.audio.mute_me"), QJsonValue(true));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_audio_muted")),
             QStringList({ QStringLiteral("normal rtc_audio_muted flag:1"), QStringLiteral("normal rtc_audio_muted flag:0") }));

    QCOMPARE(sdk->muteLocalVideo(true), 0);
    QCOMPARE(parameter("rtc.video.mute_me"), QJsonValue(true));
    QCOMPARE(parameter("che.video.local.send"), QJsonValue(false));
    QCOMPARE(recordsNamed(QStringLiteral("rtc_video_muted")), QStringList { QStringLiteral("normal rtc_video_muted flag:0") });

    QCOMPARE(sdk->setVideoProfile(-1), -1);
    QCOMPARE(sdk->videoProfile(), 40);
    QCOMPARE(sdk->setVideoProfile(33), 0);
    QCOMPARE(sdk->videoProfile(), 33);
    QVERIFY(logged(QStringLiteral("I enter setVideoProfile, profile:33")));
    QVERIFY(logged(QStringLiteral("I ret:0")));
}

void TestVideoSDK::screenCapture()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
    QSignalSpy started(sdk.get(), &VideoSDK::signal_startScreenCapture);
    QSignalSpy stopped(sdk.get(), &VideoSDK::signal_stopScreenCapture);

    QCOMPARE(sdk->startScreenCapture(), 0);
    QCOMPARE(RtcTestHooks::parameter(engine, QStringLiteral("che.video.start_screen_capture")).toObject(),
             QJsonObject({ { QStringLiteral("id"), 0 }, { QStringLiteral("captureFreq"), 30 } }));
    QCOMPARE(started.takeFirst().first().toSize(), QGuiApplication::primaryScreen()->virtualSize());

    QWindow window;
    window.resize(320, 200);
    const agora::rtc::Rect rect { 10, 20, 110, 220 };
    QCOMPARE(sdk->startScreenCapture(&window, &rect), 0);
    const QJsonObject capture = RtcTestHooks::parameter(engine, QStringLiteral("che.video.start_screen_capture")).toObject();
    QCOMPARE(capture.value(QStringLiteral("id")).toDouble(), double(uint(window.winId())));
    QCOMPARE(capture.value(QStringLiteral("top")).toInt(), 10);
    QCOMPARE(capture.value(QStringLiteral("right")).toInt(), 220);
    QCOMPARE(started.takeFirst().first().toSize(), QSize(200, 100));
    QCOMPARE(sdk->startScreenCapture(&window, nullptr), 0);
    QCOMPARE(started.takeFirst().first().toSize(), QSize(320, 200));

    QCOMPARE(sdk->stopScreenCapture(), 0);
    QCOMPARE(RtcTestHooks::parameter(engine, QStringLiteral("che.video.stop_screen_capture")), QJsonValue(true));
    QCOMPARE(stopped.count(), 1);
}

void TestVideoSDK::screenCaptureOfAWidgetReadsItsPartOfTheWindow()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
    QSignalSpy started(sdk.get(), &VideoSDK::signal_startScreenCapture);

    // A red window with a green player inside it, away from its corner.
    QWidget window;
    window.setGeometry(0, 0, 400, 300);
    window.setStyleSheet(QStringLiteral("background: red"));
    QWidget player(&window);
    player.setGeometry(30, 40, 200, 100);
    player.setStyleSheet(QStringLiteral("background: #00ff00"));
    player.setAttribute(Qt::WA_StyledBackground);
    window.setAttribute(Qt::WA_StyledBackground);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto capture = [engine] {
        return RtcTestHooks::parameter(engine, QStringLiteral("che.video.start_screen_capture")).toObject();
    };
    auto area = [](int top, int left, int bottom, int right) {
        return QJsonObject({ { QStringLiteral("top"), top }, { QStringLiteral("left"), left },
                             { QStringLiteral("bottom"), bottom }, { QStringLiteral("right"), right } });
    };
    auto areaOf = [](QJsonObject object) {
        object.remove(QStringLiteral("id"));
        object.remove(QStringLiteral("captureFreq"));
        return object;
    };
    const double windowId = double(uint(window.winId()));

    // The player is read as its part of the window, all of it or a part.
    QCOMPARE(sdk->startScreenCapture(&player, nullptr), 0);
    QCOMPARE(capture().value(QStringLiteral("id")).toDouble(), windowId);
    QCOMPARE(areaOf(capture()), area(40, 30, 140, 230));
    QCOMPARE(started.takeFirst().first().toSize(), QSize(200, 100));
    const agora::rtc::Rect part { 10, 20, 60, 120 };
    QCOMPARE(sdk->startScreenCapture(&player, &part), 0);
    QCOMPARE(capture().value(QStringLiteral("id")).toDouble(), windowId);
    QCOMPARE(areaOf(capture()), area(50, 50, 100, 150));
    QCOMPARE(started.takeFirst().first().toSize(), QSize(100, 50));
    // A widget that is a window is read whole; anything else is refused.
    QCOMPARE(sdk->startScreenCapture(&window, nullptr), 0);
    QCOMPARE(capture(), QJsonObject({ { QStringLiteral("id"), windowId }, { QStringLiteral("captureFreq"), 30 } }));
    QCOMPARE(started.takeFirst().first().toSize(), QSize(400, 300));
    QObject notAWindow;
    QCOMPARE(sdk->startScreenCapture(&notAWindow, nullptr), -agora::rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(started.count(), 0);

    // What the engine captures is the player's picture.
    WidgetVideo view;
    view.resize(160, 90);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(sdk->setupLocalVideo(&view, 0));
    QCOMPARE(engine->startPreview(), 0);
    QCOMPARE(sdk->startScreenCapture(&player, nullptr), 0);
    QTRY_COMPARE(view.grab().toImage().pixelColor(80, 45), QColor(0, 255, 0));
    QCOMPARE(engine->stopPreview(), 0);
    QVERIFY(sdk->setupLocalVideo(nullptr, 0));
}

void TestVideoSDK::logFileIsRenewedAndCopiedForUpload()
{
    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    const QString first = sdk->agoraLogFilePath();
    const qint64 startedAt = QDateTime::currentMSecsSinceEpoch();
    QTRY_VERIFY(QDateTime::currentMSecsSinceEpoch() > startedAt);
    QCOMPARE(sdk->setAgoraLogFilePath(), 0);
    const QString second = sdk->agoraLogFilePath();
    QVERIFY(first != second);
    QCOMPARE(RtcTestHooks::parameter(sdk->getRtcEngine(), QStringLiteral("rtc.log_file")).toString(), second);

    const QString copy = QDir(getLogDir()).filePath(QStringLiteral("velmo_") + QFileInfo(second).fileName());
    sdk->renameAgoraLogFileForUploading();
    QVERIFY(logged(QStringLiteral("I agoraLogFilePath:%1, newLogFilePath:%2").arg(second, copy)));
    QVERIFY(logged(QStringLiteral("I rename ret:1")));
    QVERIFY(QFile::exists(copy));
    QVERIFY(QFile::exists(second));
    // An existing copy is not overwritten.
    sdk->renameAgoraLogFileForUploading();
    QVERIFY(logged(QStringLiteral("I rename ret:0")));
}

void TestVideoSDK::destructionStopsTheEngineFirst()
{
    RtcPeerProcess teacher(m_broker.port(), 30001, 0, AgoraIMSdk::getAppId());
    QVERIFY(teacher.start());
    const int teacherStream = teacher.joinWithStream(QStringLiteral("class-13"));
    QVERIFY(teacherStream > 0);

    std::unique_ptr<ProbedVideoSDK> sdk = initialisedSdk();
    auto engine = std::make_unique<EngineSignals>(sdk.get());
    QVERIFY(sdk->joinChannel(QStringLiteral("class-13"), nullptr, 20001, QString()));
    QVERIFY(!teacher.take(QStringLiteral("user-joined 20001")).isEmpty());
    teacher.command(QStringLiteral("sendmany %1 500 busy-").arg(teacherStream));
    QTRY_VERIFY_WITH_TIMEOUT(engine->count(QStringLiteral("stream ")) > 0, 10000);

    // Gone while messages keep coming: the engine stops first, leaves the
    // channel and calls nothing on the dying object.
    sdk.reset();
    QCOMPARE(teacher.take(QStringLiteral("user-offline")), QStringLiteral("user-offline 20001 0"));
    QCOMPARE(teacher.take(QStringLiteral("sendmany-result")), QStringLiteral("sendmany-result 0"));
}

QTEST_MAIN(TestVideoSDK)
#include "tst_videosdk.moc"
