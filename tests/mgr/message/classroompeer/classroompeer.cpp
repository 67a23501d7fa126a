// One classroom participant in a process of its own, for tests. It signs in
// as the given uid and joins the class on every transport it has through
// the class page, which logs in again after a failed login or a lost
// connection (its durations run at --time-scale, 1 by default).
//
//   lessonry-classroom-peer-<role> --uid <uid> --class <classId>
//                                  [--time-scale <factor>]
//
// Commands, one per line on standard input:
//   send <type> <peerUid or -> <payload JSON>   send a classroom message
//   server <payload JSON>                      a help-desk report to the server
//   capability <value>                         setVideoLocalPlayCapability
//   stamp                                      a chat line whose content is the
//                                              wall-clock time of the send in µs
//   leave | logout | login | quit
// Events, one per line on standard output:
//   recv <signal> <sender> <payload JSON>      a typed signal of the message layer
//   capability <sender>                        signal_receiveVideoLocalCapability
//   joined <uid> | left <uid>                  presence
//   login ok | login failed <code> | lost <cause> | inchannel | logout ok
//   sent <type>

#include "biz/im/mqtt/mqttimsdk.h"
#include "buildconstants.h"
#include "mgr/appcontext.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "stdincommands.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "utility/durations.h"
#include "widget/classwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>

#include <QSet>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

void emitLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    fflush(stdout);
}

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
        emitLine(QStringLiteral("recv %1 %2 %3").arg(QString::fromLatin1(name), info.uid, compact(describe(payload))));
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

// One transport of the class: its login, channel join and leave, as the
// classroom drives them. inChannel() is called each time it has (again)
// joined the class.
class Transport : public QObject
{
public:
    std::function<void()> inChannel;

    virtual void login() = 0;
    virtual void leave() = 0;
    virtual void logout() = 0;
    virtual void close() = 0;
};

// MQTT as the class page drives it: login, joining after each login and
// logging in again after a failure or a lost connection are the page's.
class MqttTransport : public Transport
{
public:
    MqttTransport(const QString &classId, const QString &uid)
    {
        Singleton<AppContext>::instance()->setClassId(classId);
        MqttImSdk *mqtt = MqttImSdk::instance();
        mqtt->init(uid);
        connect(mqtt, &MqttImSdk::signal_loginSuccess, this, [this] {
            emitLine(QStringLiteral("login ok"));
            m_joined = 0;
        });
        connect(mqtt, &MqttImSdk::signal_loginFailure, this,
                [](int code, QString) { emitLine(QStringLiteral("login failed %1").arg(code)); });
        connect(mqtt, &MqttImSdk::signal_connectionLost, this, [](QString cause) { emitLine(QStringLiteral("lost %1").arg(cause)); });
        connect(mqtt, &MqttImSdk::signal_logoutSuccess, this, [] { emitLine(QStringLiteral("logout ok")); });
        connect(mqtt, &MqttImSdk::signal_joinChannelSuccess, this, [this] {
            if (++m_joined == 2 && inChannel)
                inChannel();
        });
        connect(mqtt, &MqttImSdk::signal_channelUserJoined, this, [](QString who) { emitLine("joined " + who); });
        connect(mqtt, &MqttImSdk::signal_channelUserLeaved, this, [](QString who) { emitLine("left " + who); });
    }

    void login() override
    {
        if (m_started) {
            MqttImSdk::instance()->login(Singleton<AppContext>::instance()->getClassId(),
                                         Singleton<GlobalCurrentUser>::instance()->getUid(), QString());
            return;
        }
        m_started = true;
        m_page.loginIM(QString());
    }
    void leave() override { MqttImSdk::instance()->leaveChannel(); }
    void logout() override { MqttImSdk::instance()->logout(); }
    void close() override { MqttImSdk::instance()->destory(); }

private:
    ClassWidget m_page;
    bool m_started = false;
    int m_joined = 0;
};

class Peer : public QObject
{
public:
    Peer(const QString &classId, const QString &uid)
        : m_uid(uid)
        , m_commands([this](const QString &line) { run(line); }, [this] { quit(); })
    {
        // The transports this participant joins a class on.
        m_transports.emplace_back(new MqttTransport(classId, uid));

        watchSignals();
        for (const auto &transport : m_transports) {
            // "inchannel" once every transport is in, and again after any
            // of them joined anew.
            transport->inChannel = [this, t = transport.get()] {
                m_inChannel.insert(t);
                if (m_inChannel.size() == int(m_transports.size()))
                    emitLine(QStringLiteral("inchannel"));
            };
            transport->login();
        }
    }

private:
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

    void run(const QString &line)
    {
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        if (command == QLatin1String("send")) {
            const int type = line.section(QLatin1Char(' '), 1, 1).toInt();
            const QString peer = line.section(QLatin1Char(' '), 2, 2);
            const QJsonObject json = QJsonDocument::fromJson(line.section(QLatin1Char(' '), 3).toUtf8()).object();
            send(type, peer, json);
            emitLine(QStringLiteral("sent %1").arg(type));
        } else if (command == QLatin1String("server")) {
            HelpdeskTeacherEntiry report;
            readJson(QJsonDocument::fromJson(line.section(QLatin1Char(' '), 1).toUtf8()).object(), report);
            SendAndReceiveMsg::instance()->sendToMqttServer(report, IM_Helpdesk, m_uid);
            emitLine(QStringLiteral("sent %1").arg(int(IM_Helpdesk)));
        } else if (command == QLatin1String("stamp")) {
            TextMessage text;
            text.nickname = QStringLiteral("stamp");
            text.content = QString::number(std::chrono::duration_cast<std::chrono::microseconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count());
            SendAndReceiveMsg::instance()->sendMsg(text, IM_Text, m_uid);
        } else if (command == QLatin1String("capability")) {
            SendAndReceiveMsg::instance()->setVideoLocalPlayCapability(line.section(QLatin1Char(' '), 1, 1).toInt());
        } else if (command == QLatin1String("leave")) {
            for (const auto &transport : m_transports)
                transport->leave();
        } else if (command == QLatin1String("logout")) {
            for (const auto &transport : m_transports)
                transport->logout();
        } else if (command == QLatin1String("login")) {
            for (const auto &transport : m_transports)
                transport->login();
        } else if (command == QLatin1String("quit")) {
            quit();
        } else {
            emitLine(QStringLiteral("error unknown command: ") + line);
        }
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

    void quit()
    {
        for (const auto &transport : m_transports)
            transport->close();
        QApplication::quit();
    }

    QString m_uid;
    std::vector<std::unique_ptr<Transport>> m_transports;
    QSet<Transport *> m_inChannel;
    // The test ended when its input closes: leave as a closing client would.
    StdinCommands m_commands;
};

// Only problems reach standard error; standard output carries the events.
void quietLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
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
    QCommandLineParser parser;
    const QCommandLineOption uidOption(QStringLiteral("uid"), QStringLiteral("Own uid."), QStringLiteral("uid"));
    const QCommandLineOption classOption(QStringLiteral("class"), QStringLiteral("Class id."), QStringLiteral("id"));
    const QCommandLineOption scaleOption(QStringLiteral("time-scale"), QStringLiteral("Factor for the client's own durations."),
                                         QStringLiteral("factor"), QStringLiteral("1"));
    parser.addOptions({ uidOption, classOption, scaleOption });
    parser.process(app);
    const QString uid = parser.value(uidOption);
    if (uid.isEmpty() || parser.value(classOption).isEmpty()) {
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
    SendAndReceiveMsg::instance();
    Durations::setScaleForTests(parser.value(scaleOption).toDouble());
    Peer peer(parser.value(classOption), uid);
    const int code = app.exec();
    releaseSingletons();
    return code;
}
