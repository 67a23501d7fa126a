// One classroom participant in a process of its own, for tests. It signs in
// as the given uid and joins the class on all three transports as the class
// page does: the signalling service (login, then the channel), MQTT (login,
// then the class topics) and the RTC channel with its data stream. The page
// logs in again after a failed login or a lost connection (its durations
// run at --time-scale, 1 by default).
//
//   lessonry-classroom-peer-<role> --uid <uid> --class <classId>
//                                  [--time-scale <factor>] [--log] [--chat]
//
// (--log: the message and action logs are kept in the data folder, as the
// client keeps them.) With --chat the page has its chat panel, driven by
// "chat <command>" lines (see chatdriver.h).
//
// Commands, one per line on standard input:
//   send <type> <peerUid or -> <payload JSON>   send a classroom message
//   server <payload JSON>                      a help-desk report to the server
//   capability <value>                         setVideoLocalPlayCapability
//   stamp                                      a chat line whose content is the
//                                              wall-clock time of the send in µs,
//                                              then "sent <that time>"
//   cut sig                                    the signalling network drops and
//                                              cannot come back (session ends)
//   fail sig <count>                           the next count signalling sends fail
//   hold sig logins | release sig logins       signalling logins wait unanswered
//                                              until released
//   leave                                      leave the class as the page does
//   video <on|off>                             send the synthetic camera or not
//   stall                                      the GUI thread's longest stall so far
//   memory                                     what the allocator holds
//   trim                                       hand the allocator's free pages back
//                                              (malloc_trim), then "memory"
//   quit
// Events, one per line on standard output:
//   recv <signal> <sender> <payload JSON>      a typed signal of the message layer
//   got stamp <sender> <µs>                    a stamp's typed signal, at its
//                                              wall-clock time (before its recv)
//   capability <sender>                        signal_receiveVideoLocalCapability
//   via <sig|rtc|mqtt> <sender> <type> <uuid>  a copy that arrived on a transport
//   repeat <uuid>                              a copy dropped as already received
//   send failed <code>                         a signalling send reported failed
//   sig|mqtt login ok | sig|mqtt login failed <code>
//   sig lost <code> | sig reconnecting <n> | sig reconnected | mqtt lost <cause>
//   sig|mqtt|rtc inchannel                     that transport is in the class (again)
//   rtc lost | rtc back                        the RTC connection's state
//   sig|mqtt|rtc joined <uid> | ... left <uid> presence on that transport
//   inchannel                                  all three are in (again)
//   sent <type> <uuid>                         the envelope just sent
//   stall <ms>                                 the longest time the GUI thread
//                                              handled nothing else
//   memory <rss> <in use> <free> <mapped>      kB: resident, the allocator's blocks
//                                              in use and free in its arenas, and
//                                              its blocks mapped on their own

#include "chatdriver.h"
#include "peercommandline.h"
#include "peercommandloop.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/agoramsgmgr.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "buildconstants.h"
#include "mgr/appcontext.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/logmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "platform/signalling/signaltesthooks.h"
#include "utility/durations.h"
#include "widget/classwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTimer>

#include <QHash>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <type_traits>
#include <vector>

#include <malloc.h>

namespace {

const auto emitLine = &PeerCommandLoop::writeLine;

// What the allocator holds: live blocks growing is something kept; free
// blocks growing beside a flat live figure is fragmentation.
QString memoryLine()
{
    QFile status(QStringLiteral("/proc/self/status"));
    qint64 residentKb = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                residentKb = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    const struct mallinfo2 info = mallinfo2();
    return QStringLiteral("memory %1 %2 %3 %4")
        .arg(residentKb)
        .arg(qint64(info.uordblks / 1024))
        .arg(qint64(info.fordblks / 1024))
        .arg(qint64(info.hblkhd / 1024));
}

// The uuid of the last envelope this participant sent, read from the
// message layer's send log line.
QString &lastSentUuid()
{
    static QString uuid;
    return uuid;
}

qint64 wallMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Set by --brief: no line per transport copy, a line per hundred texts
// received and every other payload cut to its first 200 characters, so
// that the peer's own reports cost its GUI thread next to nothing beside
// what it measures.
bool g_brief = false;

QString compact(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// Payloads that this system only receives have no writer of their own.
QJsonObject describe(const SendSysMsg &m)
{
    return { { "classid", m.classid }, { "uid", m.uid }, { "level", m.level }, { "content", m.content } };
}
QJsonObject describe(const RefreshApp &m)
{
    return { { "classid", m.classid }, { "type", m.type }, { "uid", m.uid }, { "alertMsg", m.alertMsg } };
}
QJsonObject describe(const RequestDeivceInfo &m)
{
    return { { "classid", m.classid }, { "uid", m.uid } };
}
QJsonObject describe(const SwitchDevice &m)
{
    return { { "uid", m.uid },           { "classid", m.classid },       { "deviceType", m.deviceType },
             { "deviceId", m.deviceId }, { "deviceName", m.deviceName }, { "alertMsg", m.alertMsg } };
}
QJsonObject describe(const SetVideoProfileMsg &m)
{
    return { { "classid", m.classid }, { "uid", m.uid }, { "video_profile", m.video_profile } };
}
template<typename T>
QJsonObject describe(const T &payload)
{
    return toJson(payload);
}

template<typename T>
void watch(void (SendAndReceiveMsg::*signal)(ImMsgInfo, T), const char *name)
{
    QObject::connect(SendAndReceiveMsg::instance(), signal, [name](ImMsgInfo info, T payload) {
        // Brief: one line per hundred texts ("recv texts <count>"), the
        // others cut short.
        if (g_brief && std::is_same<T, TextMessage>::value) {
            static int texts = 0;
            if (++texts % 100 == 0)
                emitLine(QStringLiteral("recv texts %1").arg(texts));
            return;
        }
        const QString described = compact(describe(payload));
        emitLine(QStringLiteral("recv %1 %2 %3").arg(QString::fromLatin1(name), info.uid,
                                                    g_brief ? described.left(200) : described));
    });
}

template<typename T>
void sendTyped(int type, const QString &peer, const QJsonObject &json, const QString &uid)
{
    T payload{};
    readJson(QJsonValue(json), payload);
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    if (peer == QLatin1String("-"))
        layer->sendMsg(payload, IMMsgType(type), uid);
    else
        layer->sendMsg(payload, IMMsgType(type), uid, peer);
}

// A copy of an envelope as one transport delivered it.
void reportCopy(const char *transport, const QString &text)
{
    if (g_brief)
        return;
    const QJsonObject envelope = QJsonDocument::fromJson(text.toUtf8()).object();
    emitLine(QStringLiteral("via %1 %2 %3 %4")
                 .arg(QString::fromLatin1(transport), envelope.value(QLatin1String("sender")).toString(),
                      QString::number(envelope.value(QLatin1String("type")).toInt()),
                      envelope.value(QLatin1String("uuid")).toString()));
}

class Peer : public QObject
{
public:
    Peer(const QString &classId, const QString &uid)
        : m_classId(classId)
        , m_uid(uid)
        , m_commands([] { MqttImSdk::instance()->destory(); })
    {
        addCommands();
        Singleton<AppContext>::instance()->setClassId(classId);
        MqttImSdk::instance()->init(uid);
        // Timed first, before any other handler of the signal runs.
        connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveTextMsg, this, [](ImMsgInfo info, TextMessage text) {
            if (text.nickname == QLatin1String("stamp"))
                emitLine(QStringLiteral("got stamp %1 %2").arg(info.uid).arg(wallMicros()));
        });
        watchSignals();
        watchSignalling();
        watchMqtt();
        watchRtc();

        // As the class page starts a class: the messaging logins, then the
        // RTC channel (audio only: no video widget here).
        m_page.loginIM(QStringLiteral("sig-key-") + classId);
        if (!VideoSDK::instance()->joinChannel(classId, nullptr, uid.toUInt(), QString()))
            emitLine(QStringLiteral("error rtc join refused"));
        // After the join, which connects the message layer: each copy is
        // handled there before it is reported here, as on the other two.
        connect(VideoSDK::instance(), &VideoSDK::signal_receiveDataStreamMsg, this,
                [](QString, QString text) { reportCopy("rtc", text); });
    }

    void enableChat()
    {
        m_chat = std::make_unique<ChatDriver>(&m_page, m_uid, m_classId, emitLine);
        m_commands.addWithArguments(QStringLiteral("chat"), [this](const QString &line) { m_chat->run(line); });
    }

private:
    // A transport is in the class, or out of it; "inchannel" each time the
    // last of the three comes in.
    void setIn(const char *transport, bool in)
    {
        const QString name = QString::fromLatin1(transport);
        if (m_in.value(name) == in)
            return;
        m_in.insert(name, in);
        if (!in)
            return;
        emitLine(name + QStringLiteral(" inchannel"));
        if (m_in.value(QStringLiteral("sig")) && m_in.value(QStringLiteral("mqtt")) && m_in.value(QStringLiteral("rtc")))
            emitLine(QStringLiteral("inchannel"));
    }

    void watchSignalling()
    {
        AgoraLoginMgr *login = AgoraLoginMgr::instance();
        connect(login, &AgoraLoginMgr::signal_onLoginSuccess, this, [] { emitLine(QStringLiteral("sig login ok")); });
        connect(login, &AgoraLoginMgr::signal_onLoginFailed, this, [this](int code) {
            emitLine(QStringLiteral("sig login failed %1").arg(code));
            setIn("sig", false);
        });
        connect(login, &AgoraLoginMgr::signal_onDisconnected, this, [this](int code) {
            emitLine(QStringLiteral("sig lost %1").arg(code));
            setIn("sig", false);
        });
        AgoraIMSdk *sdk = AgoraIMSdk::instance();
        connect(sdk, &AgoraIMSdk::signal_onReconnecting, this, [this](uint32_t retry) {
            emitLine(QStringLiteral("sig reconnecting %1").arg(retry));
            setIn("sig", false);
        });
        connect(sdk, &AgoraIMSdk::signal_onReconnected, this, [this] {
            emitLine(QStringLiteral("sig reconnected"));
            // The library keeps the session's channels through a reconnect.
            if (AgoraIMChannelMgr::instance()->isInChannel())
                setIn("sig", true);
        });
        AgoraIMChannelMgr *channel = AgoraIMChannelMgr::instance();
        connect(channel, &AgoraIMChannelMgr::signal_onChannelJoined, this, [this] { setIn("sig", true); });
        connect(channel, &AgoraIMChannelMgr::signal_onChannelUserJoined, this, [](QString who) { emitLine("sig joined " + who); });
        connect(channel, &AgoraIMChannelMgr::signal_onChannelUserLeaved, this, [](QString who) { emitLine("sig left " + who); });
        AgoraMsgMgr *messages = AgoraMsgMgr::instance();
        connect(messages, &AgoraMsgMgr::signal_onMessageChannelReceive, this,
                [](QString, QString, QString text) { reportCopy("sig", text); });
        connect(messages, &AgoraMsgMgr::signal_onMessagePeerReceive, this, [](QString, QString text) { reportCopy("sig", text); });
        connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_onMessageSendError, this,
                [](QString, int code) { emitLine(QStringLiteral("send failed %1").arg(code)); });
    }

    void watchMqtt()
    {
        MqttImSdk *mqtt = MqttImSdk::instance();
        connect(mqtt, &MqttImSdk::signal_loginSuccess, this, [this] {
            emitLine(QStringLiteral("mqtt login ok"));
            m_mqttTopics = 0;
        });
        connect(mqtt, &MqttImSdk::signal_loginFailure, this, [this](int code, QString) {
            emitLine(QStringLiteral("mqtt login failed %1").arg(code));
            setIn("mqtt", false);
        });
        connect(mqtt, &MqttImSdk::signal_connectionLost, this, [this](QString cause) {
            emitLine(QStringLiteral("mqtt lost %1").arg(cause));
            setIn("mqtt", false);
        });
        connect(mqtt, &MqttImSdk::signal_joinChannelSuccess, this, [this] {
            // Both class topics: the own peer topic and the channel.
            if (++m_mqttTopics == 2)
                setIn("mqtt", true);
        });
        connect(mqtt, &MqttImSdk::signal_channelUserJoined, this, [](QString who) { emitLine("mqtt joined " + who); });
        connect(mqtt, &MqttImSdk::signal_channelUserLeaved, this, [](QString who) { emitLine("mqtt left " + who); });
        connect(mqtt, &MqttImSdk::signal_envelopeArrived, this,
                [](const ReceivedEnvelope &envelope) { reportCopy("mqtt", envelope.text()); });
    }

    void watchRtc()
    {
        // The engine signals on its own threads; these reach the GUI thread
        // queued, as the message layer's own connection does.
        VideoSDK *video = VideoSDK::instance();
        connect(video, &VideoSDK::signal_joinVideoChannelSuccess, this, [this] { setIn("rtc", true); });
        connect(video, &VideoSDK::signal_networkStatusChanged, this, [this](bool connected) {
            if (!connected) {
                emitLine(QStringLiteral("rtc lost"));
                setIn("rtc", false);
            } else if (m_in.contains(QStringLiteral("rtc")) && !m_in.value(QStringLiteral("rtc"))) {
                emitLine(QStringLiteral("rtc back"));
                setIn("rtc", true);
            }
        });
        connect(video, &VideoSDK::signal_UserJoined, this, [](QString who) { emitLine("rtc joined " + who); });
        connect(video, &VideoSDK::signal_UserOffline, this, [](QString who) { emitLine("rtc left " + who); });
    }

    void watchSignals()
    {
        watch(&SendAndReceiveMsg::signal_receiveTextMsg, "signal_receiveTextMsg");
        watch(&SendAndReceiveMsg::signal_receiveImageMsg, "signal_receiveImageMsg");
        watch(&SendAndReceiveMsg::signal_receiveDrawMsg, "signal_receiveDrawMsg");
        watch(&SendAndReceiveMsg::signal_receiveWBTextMsg, "signal_receiveWBTextMsg");
        watch(&SendAndReceiveMsg::signal_receiveErasureMsg, "signal_receiveErasureMsg");
        watch(&SendAndReceiveMsg::signal_receiveTurnToPageMsg, "signal_receiveTurnToPageMsg");
        watch(&SendAndReceiveMsg::signal_receiveSharingDesktopMsg, "signal_receiveSharingDesktopMsg");
        watch(&SendAndReceiveMsg::signal_receiveFunctionControl, "signal_receiveFunctionControl");
        watch(&SendAndReceiveMsg::signal_receiveEncourageMsg, "signal_receiveEncourageMsg");
        watch(&SendAndReceiveMsg::signal_receiveHighlightPerson, "signal_receiveHighlightPerson");
        watch(&SendAndReceiveMsg::signal_receiveVideoControl, "signal_receiveVideoControl");
        watch(&SendAndReceiveMsg::signal_receiveEnterClass, "signal_receiveEnterClass");
        watch(&SendAndReceiveMsg::signal_receiveExitClass, "signal_receiveExitClass");
        watch(&SendAndReceiveMsg::signal_receiveAwardControl, "signal_receiveAwardControl");
        watch(&SendAndReceiveMsg::signal_receiveClassModelControl, "signal_receiveClassModelControl");
        watch(&SendAndReceiveMsg::signal_receiveSendSysMsg, "signal_receiveSendSysMsg");
        watch(&SendAndReceiveMsg::signal_receiveRefreshApp, "signal_receiveRefreshApp");
        watch(&SendAndReceiveMsg::signal_receiveRequestDeivceInfo, "signal_receiveRequestDeivceInfo");
        watch(&SendAndReceiveMsg::signal_receiveResponseDeviceInfo, "signal_receiveResponseDeviceInfo");
        watch(&SendAndReceiveMsg::signal_receiveSwitchDevice, "signal_receiveSwitchDevice");
        watch(&SendAndReceiveMsg::signal_receiveSetVideoProfileMsg, "signal_receiveSetVideoProfileMsg");
        watch(&SendAndReceiveMsg::signal_receiveHelpdeskTeacherMsg, "signal_receiveHelpdeskTeacherMsg");
        connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveVideoLocalCapability, this,
                [](ImMsgInfo info) { emitLine("capability " + info.uid); });
    }

    void addCommands()
    {
        const QChar space = QLatin1Char(' ');
        m_commands.addWithArguments(QStringLiteral("send"), [this, space](const QString &arguments) {
            const int type = arguments.section(space, 0, 0).toInt();
            const QString peer = arguments.section(space, 1, 1);
            const QJsonObject json = QJsonDocument::fromJson(arguments.section(space, 2).toUtf8()).object();
            send(type, peer, json);
            emitLine(QStringLiteral("sent %1 %2").arg(type).arg(lastSentUuid()));
        });
        m_commands.addWithArguments(QStringLiteral("server"), [this](const QString &json) {
            HelpdeskTeacherEntiry report;
            readJson(QJsonDocument::fromJson(json.toUtf8()).object(), report);
            SendAndReceiveMsg::instance()->sendToMqttServer(report, IM_Helpdesk, m_uid);
            emitLine(QStringLiteral("sent %1 %2").arg(int(IM_Helpdesk)).arg(lastSentUuid()));
        });
        m_commands.add(QStringLiteral("stamp"), [this] {
            TextMessage text;
            text.nickname = QStringLiteral("stamp");
            text.content = QString::number(wallMicros());
            SendAndReceiveMsg::instance()->sendMsg(text, IM_Text, m_uid);
            emitLine(QStringLiteral("sent ") + text.content);
        });
        m_commands.addWithArguments(QStringLiteral("capability"), [space](const QString &value) {
            SendAndReceiveMsg::instance()->setVideoLocalPlayCapability(value.section(space, 0, 0).toInt());
        });
        for (const bool hold : { true, false }) {
            m_commands.add(hold ? QStringLiteral("hold sig logins") : QStringLiteral("release sig logins"), [hold] {
                agora_sdk_win::SignalTestHooks::holdLogins(AgoraIMSdk::instance()->getAgoraAPI(), hold);
            });
        }
        m_commands.add(QStringLiteral("cut sig"), [] {
            agora_sdk_win::SignalTestHooks::loseConnection(AgoraIMSdk::instance()->getAgoraAPI(), false);
        });
        m_commands.addWithArguments(QStringLiteral("fail sig"), [space](const QString &count) {
            agora_sdk_win::SignalTestHooks::failNextSends(AgoraIMSdk::instance()->getAgoraAPI(), 1, count.section(space, 0, 0).toInt());
        });
        m_commands.add(QStringLiteral("leave"), [this] { m_page.destoryMode(); });
        m_commands.addWithArguments(QStringLiteral("video"), [space](const QString &state) {
            VideoSDK::instance()->muteLocalVideo(state.section(space, 0, 0) != QLatin1String("on"));
        });
        // "stall <longest ms> <p99 ms> <ticks>" since the start or the last reset.
        m_commands.add(QStringLiteral("stall"), [this] {
            emitLine(QStringLiteral("stall %1 %2 %3").arg(m_stalls.longestMs()).arg(m_stalls.p99Ms()).arg(m_stalls.ticks()));
        });
        m_commands.add(QStringLiteral("stall reset"), [this] {
            m_stalls.reset();
            emitLine(QStringLiteral("stall reset"));
        });
        // "flood <count> <length>": count chat texts of length characters
        // sent at once, each also its own marker ("flood <n> ...").
        m_commands.addWithArguments(QStringLiteral("flood"), [this, space](const QString &arguments) {
            const int count = arguments.section(space, 0, 0).toInt();
            const int length = qMax(1, arguments.section(space, 1, 1).toInt());
            TextMessage text;
            text.nickname = QStringLiteral("flood");
            text.classid = m_classId;
            for (int i = 0; i < count; ++i) {
                const QString head = QStringLiteral("flood %1 ").arg(i);
                text.content = head + QString(qMax(0, length - head.size()), QLatin1Char('x'));
                SendAndReceiveMsg::instance()->sendMsg(text, IM_Text, m_uid);
            }
            emitLine(QStringLiteral("flooded %1").arg(count));
        });
        m_commands.add(QStringLiteral("memory"), [] { emitLine(memoryLine()); });
        m_commands.add(QStringLiteral("trim"), [] {
            malloc_trim(0);
            emitLine(memoryLine());
        });
    }

    void send(int type, const QString &peer, const QJsonObject &json)
    {
        switch (type) {
        case IM_Text: sendTyped<TextMessage>(type, peer, json, m_uid); break;
        case IM_Picture: sendTyped<ImageMessage>(type, peer, json, m_uid); break;
        case IM_EnterClass:
        case IM_ExitClass: sendTyped<ProtocolEnterOrLeaveClass>(type, peer, json, m_uid); break;
        case IM_WBDraw: sendTyped<DrawUnitData>(type, peer, json, m_uid); break;
        case IM_WBPage: sendTyped<TurnToPageData>(type, peer, json, m_uid); break;
        case IM_WBErasure: sendTyped<ErasureData>(type, peer, json, m_uid); break;
        case IM_WBText: sendTyped<WBTextData>(type, peer, json, m_uid); break;
        case IM_ShareingDesktop: sendTyped<SharingDesktop>(type, peer, json, m_uid); break;
        case IM_FunctionControl: sendTyped<FunctionControl>(type, peer, json, m_uid); break;
        case IM_Encourage: sendTyped<EncourageMessage>(type, peer, json, m_uid); break;
        case IM_HighlightPerson: sendTyped<HighlightPerson>(type, peer, json, m_uid); break;
        case IM_Prize: sendTyped<PrizeModelAwardControl>(type, peer, json, m_uid); break;
        case IM_ClassMode: sendTyped<ClassModelControl>(type, peer, json, m_uid); break;
        case IM_VideoControl: sendTyped<ProtocolVideoControl>(type, peer, json, m_uid); break;
        case IM_ResponseDeviceInfo: sendTyped<ResponseDeviceInfo>(type, peer, json, m_uid); break;
        default: emitLine(QStringLiteral("error no payload for type %1").arg(type)); break;
        }
    }

    // How late a short repeating timer fires: the longest time the GUI
    // thread was busy with something else.
    class StallWatch
    {
    public:
        StallWatch()
        {
            m_timer.setInterval(kTickMs);
            QObject::connect(&m_timer, &QTimer::timeout, [this] {
                const qint64 late = qMax<qint64>(0, m_clock.restart() - kTickMs);
                m_longestMs = qMax(m_longestMs, late);
                m_late.push_back(late);
            });
            m_clock.start();
            m_timer.start();
        }
        qint64 longestMs() const { return m_longestMs; }
        qint64 p99Ms() const
        {
            if (m_late.empty())
                return 0;
            std::vector<qint64> sorted = m_late;
            std::sort(sorted.begin(), sorted.end());
            return sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)];
        }
        int ticks() const { return int(m_late.size()); }
        void reset()
        {
            m_longestMs = 0;
            m_late.clear();
            m_clock.restart();
        }

    private:
        static constexpr int kTickMs = 10;
        QTimer m_timer;
        QElapsedTimer m_clock;
        qint64 m_longestMs = 0;
        std::vector<qint64> m_late;
    };

    QString m_classId;
    QString m_uid;
    StallWatch m_stalls;
    ClassWidget m_page;
    QHash<QString, bool> m_in;
    int m_mqttTopics = 0;
    // The test ended when its input closes: leave as a closing client would.
    PeerCommandLoop m_commands;
    std::unique_ptr<ChatDriver> m_chat;
};

// The envelope text at the end of the message layer's send log line.
void rememberSent(const QString &line)
{
    static const QString markers[] = { QStringLiteral(", msg:"), QStringLiteral("content:") };
    for (const QString &marker : markers) {
        const int at = line.indexOf(QLatin1Char('{'), line.indexOf(marker));
        if (line.indexOf(marker) >= 0 && at >= 0) {
            const QJsonObject envelope = QJsonDocument::fromJson(line.mid(at).trimmed().toUtf8()).object();
            lastSentUuid() = envelope.value(QLatin1String("uuid")).toString();
            return;
        }
    }
}

// Only problems reach standard error; standard output carries the events,
// among them the message layer's word that a copy was a repeat.
void quietLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    static const QString repeat = QStringLiteral("already received msg. uuid:");
    if (type == QtInfoMsg && (message.startsWith(QLatin1String("send IM ")) || message.startsWith(QLatin1String("have sent mqtt msg.")))) {
        rememberSent(message);
        return;
    }
    if (type == QtWarningMsg && message.startsWith(repeat)) {
        emitLine(QStringLiteral("repeat ") + message.mid(repeat.size()));
        return;
    }
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "peer: %s\n", qUtf8Printable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    // The class page is a widget: no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const QCommandLineOption scaleOption(QStringLiteral("time-scale"), QStringLiteral("Factor for the client's own durations."),
                                         QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption chatOption(QStringLiteral("chat"), QStringLiteral("Show the chat panel on the page."));
    const QCommandLineOption briefOption(QStringLiteral("brief"),
                                         QStringLiteral("Report no transport copies, and received payloads cut short."));
    PeerCommandLine arguments({ scaleOption, chatOption, briefOption });
    arguments.process(app);
    g_brief = arguments.parser().isSet(briefOption);
    if (arguments.keepsLogs())
        Singleton<LogMgr>::instance()->init();
    const QString uid = arguments.uid();
    if (uid.isEmpty() || arguments.classId().isEmpty()) {
        fprintf(stderr, "usage: %s --uid <uid> --class <classId>\n", argv[0]);
        return 2;
    }

    if (getClientRole() == 1) {
        StudentLoginDataEntity user;
        user.id = uid;
        Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    } else {
        TeacherLoginDataEntity user;
        user.id = uid;
        Singleton<TeacherCurrentUser>::instance()->setUserInfo(user);
    }
    // As start-up does: the signalling library and the RTC engine first.
    AgoraIMSdk::instance()->init();
    VideoSDK::instance()->init();
    // Audio only: no camera pictures on the relay beside the messages.
    VideoSDK::instance()->muteLocalVideo(true);
    SendAndReceiveMsg::instance();
    Durations::setScaleForTests(arguments.parser().value(scaleOption).toDouble());
    int code = 0;
    {
        // The page goes before the singletons it uses.
        Peer peer(arguments.classId(), uid);
        if (arguments.parser().isSet(chatOption))
            peer.enableChat();
        code = app.exec();
    }
    releaseSingletons();
    return code;
}
