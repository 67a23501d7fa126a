// The message layer on its own: what receiveMsg dispatches, drops, logs and
// records, and what a send puts on the transports and in the action log.
// No transport is connected here (the MQTT client has no library client).

#include "actionlogreader.h"
#include "messagecatcher.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "mgr/studentcurrentuser.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>
#include <vector>

namespace {

const QString kOwnUid = QStringLiteral("20001");
const QString kTeacherUid = QStringLiteral("30001");

QString freshUuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// An envelope written by hand, as another client or the back end would.
QString envelope(int type, const QString &sender, const QString &uuid, const QJsonObject &data = {},
                 const QJsonObject &extra = {})
{
    QJsonObject object{ { "version", 2 },      { "sequence", 5 }, { "type", type },
                        { "src", 0 },          { "sender", sender }, { "uuid", uuid },
                        { "video_local_play_capability", 0 }, { "data", data } };
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// One spy on every signal of the layer, to see which ones a text reached.
class AllSignals
{
public:
    explicit AllSignals(QObject *object)
    {
        const QMetaObject *meta = object->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() == QMetaMethod::Signal)
                m_spies.emplace_back(method.name(), std::make_unique<QSignalSpy>(object, method));
        }
    }

    // Names of the signals emitted, once per emission, in declaration order.
    QStringList emitted() const
    {
        QStringList names;
        for (const auto &entry : m_spies) {
            for (int i = 0; i < entry.second->count(); ++i)
                names << QString::fromLatin1(entry.first);
        }
        return names;
    }

    QList<QVariant> arguments(const char *name) const
    {
        for (const auto &entry : m_spies) {
            if (entry.first == name && !entry.second->isEmpty())
                return entry.second->first();
        }
        return {};
    }

private:
    std::vector<std::pair<QByteArray, std::unique_ptr<QSignalSpy>>> m_spies;
};

} // namespace

class TestSendAndReceiveMsg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void dispatchByType_data();
    void dispatchByType();
    void payloadAndSenderReachReceiver();
    void repeatsDroppedAfterFirstCopy();
    void ownMessageDroppedWithoutTrace();
    void emptyUuidNeverARepeat();
    void unparsableHeaderGoesNowhere();
    void envelopeWithoutTypeOrCapability();
    void capabilityBeforeTypedSignal();
    void textThenWarning();
    void codesWithoutSignalAreRecorded();
    void refreshAppLogsKind();
    void transportSlotsAllReachReceive();
    void sendGoesOnEveryTransport();
    void peerSendLogsAddressee();
    void serverSendWithoutClient();
    void signallingSendResults();
    void peerFormWithoutAddresseeSendsNothing_data();
    void peerFormWithoutAddresseeSendsNothing();
    void rememberedUuidsAreBounded();
    void overlongUuidIsDropped();
    void hugeMessageIsCutInTheLogs();
    void oversizedMessageIsDroppedUnparsed();
    void envelopeIsReadOnce_data();
    void envelopeIsReadOnce();

private:
    QTemporaryDir m_dir;
    ActionLogReader m_actions;
};

void TestSendAndReceiveMsg::initTestCase()
{
    StudentLoginDataEntity user;
    user.id = kOwnUid;
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
}

void TestSendAndReceiveMsg::init()
{
    QVERIFY(ActionLog::instance()->init(m_actions.use(m_dir.filePath(QStringLiteral("%1.action.log").arg(QTest::currentTestFunction())))));
}

void TestSendAndReceiveMsg::dispatchByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("expected");

    const auto row = [](int type, QStringList names) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(type).arg(SendAndReceiveMsg::getMsgTypeName(type))))
            << type << names;
    };
    row(1, { "signal_receiveTextMsg", "signal_receiveMessageWarn" });
    row(2, { "signal_receiveImageMsg", "signal_receiveMessageWarn" });
    row(103, { "signal_receiveEnterClass" });
    row(104, { "signal_receiveExitClass" });
    row(300, { "signal_receiveDrawMsg" });
    row(301, { "signal_receiveTurnToPageMsg" });
    row(303, { "signal_receiveErasureMsg" });
    row(304, { "signal_receiveWBTextMsg" });
    row(401, { "signal_receiveSharingDesktopMsg" });
    row(402, { "signal_receiveFunctionControl" });
    row(403, { "signal_receiveEncourageMsg" });
    row(404, { "signal_receiveHighlightPerson" });
    row(405, { "signal_receiveAwardControl" });
    row(410, { "signal_receiveClassModelControl" });
    row(501, { "signal_receiveVideoControl" });
    row(601, { "signal_receiveSendSysMsg" });
    row(602, { "signal_receiveRefreshApp" });
    row(603, { "signal_receiveRequestDeivceInfo" });
    row(604, { "signal_receiveResponseDeviceInfo" });
    row(605, { "signal_receiveSwitchDevice" });
    row(606, { "signal_receiveSetVideoProfileMsg" });
    row(610, { "signal_receiveHelpdeskTeacherMsg" });
    for (int silent : { 101, 102, 105, 106, 108, 109, 111, 112, 113, 201, 0, 107, 999 })
        row(silent, {});
}

void TestSendAndReceiveMsg::dispatchByType()
{
    QFETCH(int, type);
    QFETCH(QStringList, expected);
    AllSignals spies(SendAndReceiveMsg::instance());
    SendAndReceiveMsg::instance()->receiveMsg(envelope(type, kTeacherUid, freshUuid(), { { "classid", "10001" } }));
    QCOMPARE(spies.emitted(), expected);
}

void TestSendAndReceiveMsg::payloadAndSenderReachReceiver()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    QSignalSpy spy(layer, &SendAndReceiveMsg::signal_receiveSetVideoProfileMsg);
    layer->receiveMsg(envelope(606, kTeacherUid, freshUuid(), { { "uid", kOwnUid }, { "video_profile", "43" } }));
    QCOMPARE(spy.count(), 1);
    const ImMsgInfo info = spy.first().at(0).value<ImMsgInfo>();
    const SetVideoProfileMsg profile = spy.first().at(1).value<SetVideoProfileMsg>();
    QCOMPARE(info.channel, QString());
    QCOMPARE(info.uid, kTeacherUid);
    QCOMPARE(profile.uid, kOwnUid);
    QCOMPARE(profile.video_profile, 43);

    // A profile order without the profile reaches the receiver as "none".
    layer->receiveMsg(envelope(606, kTeacherUid, freshUuid(), { { "uid", kOwnUid } }));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(1).value<SetVideoProfileMsg>().video_profile, -1);
}

void TestSendAndReceiveMsg::repeatsDroppedAfterFirstCopy()
{
    MessageCatcher log;
    AllSignals spies(SendAndReceiveMsg::instance());
    const QString uuid = freshUuid();
    const QString text = envelope(300, kTeacherUid, uuid);
    // The same envelope from the three transports.
    SendAndReceiveMsg::instance()->slot_onMessageChannelReceive(QStringLiteral("10001"), kTeacherUid, text);
    SendAndReceiveMsg::instance()->slot_receiveDataStreamMsg(kTeacherUid, text);
    SendAndReceiveMsg::instance()->slot_receiveMqttMsg(text);
    QCOMPARE(spies.emitted(), QStringList({ "signal_receiveDrawMsg" }));
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("already received msg. uuid:") + uuid), 2);
    QCOMPARE(m_actions.named(QStringLiteral("im_receive_WBDraw")).size(), 1);
}

void TestSendAndReceiveMsg::ownMessageDroppedWithoutTrace()
{
    MessageCatcher log;
    AllSignals spies(SendAndReceiveMsg::instance());
    const QString uuid = freshUuid();
    SendAndReceiveMsg::instance()->receiveMsg(envelope(300, kOwnUid, uuid));
    QVERIFY(spies.emitted().isEmpty());
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("The msg that received is from current user.")), 1);
    QVERIFY(m_actions.records().isEmpty());

    // Its uuid was not remembered: another sender's envelope with it counts.
    SendAndReceiveMsg::instance()->receiveMsg(envelope(300, kTeacherUid, uuid));
    QCOMPARE(spies.emitted(), QStringList({ "signal_receiveDrawMsg" }));
}

void TestSendAndReceiveMsg::emptyUuidNeverARepeat()
{
    AllSignals spies(SendAndReceiveMsg::instance());
    SendAndReceiveMsg::instance()->receiveMsg(envelope(404, kTeacherUid, QString()));
    SendAndReceiveMsg::instance()->receiveMsg(envelope(404, kTeacherUid, QString()));
    QCOMPARE(spies.emitted(), QStringList({ "signal_receiveHighlightPerson", "signal_receiveHighlightPerson" }));
}

void TestSendAndReceiveMsg::unparsableHeaderGoesNowhere()
{
    MessageCatcher log;
    AllSignals spies(SendAndReceiveMsg::instance());
    const QString uuid = freshUuid();
    const QString broken = QStringLiteral(R"({"type":300,"sender":"30001","uuid":"%1","video_local_play_capability":1)").arg(uuid);
    SendAndReceiveMsg::instance()->receiveMsg(broken);
    SendAndReceiveMsg::instance()->receiveMsg(QStringLiteral("not json at all"));
    QVERIFY(spies.emitted().isEmpty());
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("parse json error:")), 2);
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("receiveMsg msgType:")));
    QVERIFY(m_actions.records().isEmpty());

    // Nothing of it was remembered either.
    SendAndReceiveMsg::instance()->receiveMsg(envelope(300, kTeacherUid, uuid));
    QCOMPARE(spies.emitted(), QStringList({ "signal_receiveDrawMsg" }));
}

void TestSendAndReceiveMsg::envelopeWithoutTypeOrCapability()
{
    AllSignals spies(SendAndReceiveMsg::instance());
    const QString text = QStringLiteral(R"({"sender":"30001","uuid":"%1","data":{}})").arg(freshUuid());
    SendAndReceiveMsg::instance()->receiveMsg(text);
    QVERIFY(spies.emitted().isEmpty());
    const auto records = m_actions.named(QStringLiteral("im_receive_"));
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().info, text);
}

void TestSendAndReceiveMsg::capabilityBeforeTypedSignal()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    QStringList order;
    const auto c1 = connect(layer, &SendAndReceiveMsg::signal_receiveVideoLocalCapability, this,
                            [&order](ImMsgInfo info) { order << QStringLiteral("capability:") + info.uid; });
    const auto c2 = connect(layer, &SendAndReceiveMsg::signal_receiveDrawMsg, this,
                            [&order](ImMsgInfo, DrawUnitData) { order << QStringLiteral("draw"); });
    // "version" and "src" play no part on receipt.
    layer->receiveMsg(envelope(300, kTeacherUid, freshUuid(), {},
                               { { "video_local_play_capability", 1 }, { "version", 1 }, { "src", -1 } }));
    // Capability given as text counts too; 2 does not.
    layer->receiveMsg(envelope(111, kTeacherUid, freshUuid(), {}, { { "video_local_play_capability", "1" } }));
    layer->receiveMsg(envelope(300, kTeacherUid, freshUuid(), {}, { { "video_local_play_capability", 2 } }));
    disconnect(c1);
    disconnect(c2);
    QCOMPARE(order, QStringList({ "capability:30001", "draw", "capability:30001", "draw" }));
}

void TestSendAndReceiveMsg::textThenWarning()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    QStringList order;
    const auto c1 = connect(layer, &SendAndReceiveMsg::signal_receiveTextMsg, this,
                            [&order](ImMsgInfo, TextMessage text) { order << text.content; });
    const auto c2 = connect(layer, &SendAndReceiveMsg::signal_receiveMessageWarn, this,
                            [&order] { order << QStringLiteral("warn"); });
    layer->receiveMsg(envelope(1, kTeacherUid, freshUuid(), { { "content", "hello" } }));
    disconnect(c1);
    disconnect(c2);
    QCOMPARE(order, QStringList({ "hello", "warn" }));
}

void TestSendAndReceiveMsg::codesWithoutSignalAreRecorded()
{
    MessageCatcher log;
    const QString leave = envelope(112, kTeacherUid, freshUuid(), { { "classid", "10001" } });
    const QString unknown = envelope(999, kTeacherUid, freshUuid());
    SendAndReceiveMsg::instance()->receiveMsg(leave);
    SendAndReceiveMsg::instance()->receiveMsg(unknown);
    QCOMPARE(m_actions.named(QStringLiteral("im_receive_LeaveChannel")).size(), 1);
    QCOMPARE(m_actions.named(QStringLiteral("im_receive_LeaveChannel")).first().info, leave);
    QCOMPARE(m_actions.named(QStringLiteral("im_receive_")).size(), 1);
    QCOMPARE(m_actions.named(QStringLiteral("im_receive_")).first().kind, QStringLiteral("im"));
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("receiveMsg msgType:LeaveChannel\n json:") + leave), 1);

    // Both uuids are remembered.
    SendAndReceiveMsg::instance()->receiveMsg(leave);
    SendAndReceiveMsg::instance()->receiveMsg(unknown);
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("already received msg.")), 2);
}

void TestSendAndReceiveMsg::refreshAppLogsKind()
{
    MessageCatcher log;
    QSignalSpy spy(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveRefreshApp);
    SendAndReceiveMsg::instance()->receiveMsg(envelope(602, kTeacherUid, freshUuid(), { { "type", 1 }, { "uid", "1" } }));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(1).value<RefreshApp>().type, 1);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("<AppRestart> msgtype:602 RefreshType:1")), 1);
}

void TestSendAndReceiveMsg::transportSlotsAllReachReceive()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    QSignalSpy spy(layer, &SendAndReceiveMsg::signal_receiveHighlightPerson);
    layer->slot_onMessageChannelReceive(QStringLiteral("10001"), kTeacherUid, envelope(404, kTeacherUid, freshUuid()));
    layer->slot_onMessagePeerReceive(kTeacherUid, envelope(404, kTeacherUid, freshUuid()));
    layer->slot_receiveDataStreamMsg(kTeacherUid, envelope(404, kTeacherUid, freshUuid()));
    layer->slot_receiveMqttMsg(envelope(404, kTeacherUid, freshUuid()));
    QCOMPARE(spy.count(), 4);
}

void TestSendAndReceiveMsg::sendGoesOnEveryTransport()
{
    MessageCatcher log;
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    QSignalSpy refused(layer, &SendAndReceiveMsg::signal_onTransportSendError);
    TurnToPageData page{ QStringLiteral("10001"), QStringLiteral("m"), 0, 2 };
    const QString first = layer->sendMsg(page, IM_WBPage, kOwnUid);
    const QString second = layer->sendMsg(page, IM_WBPage, kOwnUid);
    // Not in a signalling channel: no message id, the other copies still go.
    QCOMPARE(first, QString());
    QCOMPARE(second, QString());
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("Send data stream msg.")), 2);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("Send mqtt msg.")), 2);
    // Without a library client the MQTT copy is refused, never crashes.
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("<SendMqttMsg> MQTTAsync_sendMessage error.")), 2);

    const auto records = m_actions.named(QStringLiteral("im_send_WBPage"));
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(0).kind, QStringLiteral("im"));
    const QJsonObject a = QJsonDocument::fromJson(records.at(0).info.toUtf8()).object();
    const QJsonObject b = QJsonDocument::fromJson(records.at(1).info.toUtf8()).object();
    QCOMPARE(a.value("data").toObject().value("toPage").toInt(), 2);
    QCOMPARE(b.value("sequence").toInt(), a.value("sequence").toInt() + 1);
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("send IM msg, msgId:, msg:") + records.at(0).info + QLatin1Char(' ')));

    // Nothing is connected: every transport reports its refusal the same
    // way, naming the envelope, and the data stream's is recorded too.
    QStringList transports;
    for (const QList<QVariant> &arguments : refused) {
        transports << arguments.at(0).toString();
        QVERIFY(arguments.at(2).toInt() != 0);
    }
    QCOMPARE(transports, QStringList({ "signalling", "datastream", "mqtt", "signalling", "datastream", "mqtt" }));
    QCOMPARE(refused.at(0).at(1).toString(), a.value("uuid").toString());
    QCOMPARE(refused.at(5).at(1).toString(), b.value("uuid").toString());
    QCOMPARE(m_actions.named(QStringLiteral("rtc_message_send_failure")).size(), 2);
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("send msg failed, transport:")), 6);
}

void TestSendAndReceiveMsg::peerSendLogsAddressee()
{
    MessageCatcher log;
    FunctionControl control{ QStringLiteral("10001"), 1, QStringLiteral("20002"), 0 };
    SendAndReceiveMsg::instance()->sendMsg(control, IM_FunctionControl, kTeacherUid, QStringLiteral("20002"));
    const auto records = m_actions.named(QStringLiteral("im_send_FunctionControl"));
    QCOMPARE(records.size(), 1);
    // The message id is the signalling library's own.
    const QString line = QStringLiteral("send IM Peer msg, dstUid:20002, msgId:");
    const QString message = QStringLiteral(", msg:") + records.first().info;
    bool logged = false;
    for (const QString &text : log.lines())
        logged = logged || (text.contains(line) && text.contains(message));
    QVERIFY(logged);
}

void TestSendAndReceiveMsg::serverSendWithoutClient()
{
    MessageCatcher log;
    HelpdeskTeacherEntiry report;
    report.classid = QStringLiteral("10001");
    QCOMPARE(SendAndReceiveMsg::instance()->sendToMqttServer(report, IM_Helpdesk, kOwnUid), -1);
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("send topic:tp/velmo/signal/server msg:")));
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("have sent mqtt msg. content:")));
    QCOMPARE(m_actions.named(QStringLiteral("im_send_Helpdesk")).size(), 1);
}

void TestSendAndReceiveMsg::signallingSendResults()
{
    MessageCatcher log;
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    QSignalSpy failed(layer, &SendAndReceiveMsg::signal_onMessageSendError);
    layer->slot_onMessageSendError(QStringLiteral("{m1}"), 7);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().at(0).toString(), QStringLiteral("{m1}"));
    QCOMPARE(failed.first().at(1).toInt(), 7);
    // Not pending: the description holds empty texts.
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("send msg failed,msg:id:, peerId:, content:, timestamp:0")));
    const auto failure = m_actions.named(QStringLiteral("sig_message_send_failure"));
    QCOMPARE(failure.size(), 1);
    QCOMPARE(failure.first().kind, QStringLiteral("error"));
    QCOMPARE(failure.first().info, QStringLiteral("{code:7, msgId:{m1}}"));

    layer->slot_onMessageSendSuccess(QStringLiteral("{m2}"));
    const auto success = m_actions.named(QStringLiteral("sig_message_send_success"));
    QCOMPARE(success.size(), 1);
    QCOMPARE(success.first().kind, QStringLiteral("normal"));
    QCOMPARE(success.first().info, QStringLiteral("{msgId:{m2}}"));

    layer->slot_mqtt_sendMsgFailure(12, -3, QStringLiteral("gone"));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("send msg error, token:12 errCode:-3, errMsg:gone")));
}

void TestSendAndReceiveMsg::peerFormWithoutAddresseeSendsNothing_data()
{
    QTest::addColumn<QString>("peer");
    QTest::newRow("null") << QString();
    QTest::newRow("empty") << QString(QLatin1String(""));
}

// The peer form without an addressee would reach the whole class (the
// channel form is the null peer inside): refused before any transport.
void TestSendAndReceiveMsg::peerFormWithoutAddresseeSendsNothing()
{
    QFETCH(QString, peer);
    MessageCatcher log;
    FunctionControl control{ QStringLiteral("10001"), 1, QStringLiteral("20002"), 0 };
    QCOMPARE(SendAndReceiveMsg::instance()->sendMsg(control, IM_FunctionControl, kTeacherUid, peer), QString());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("send IM Peer msg refused: no addressee, type:FunctionControl")));
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("Send data stream msg.")));
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("Send mqtt msg.")));
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("send IM")));
    QCOMPARE(m_actions.named(QStringLiteral("im_send_FunctionControl")).size(), 0);
    QCOMPARE(m_actions.named(QStringLiteral("im_send_refused")).size(), 1);
}

// The uuids kept to drop later copies are bounded: the oldest goes first.
void TestSendAndReceiveMsg::rememberedUuidsAreBounded()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    // 20000 log lines and records are not the point here.
    ActionLog::instance()->close();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QSignalSpy spy(layer, &SendAndReceiveMsg::signal_receiveHighlightPerson);
    const QString first = freshUuid();
    const QString second = freshUuid();
    layer->receiveMsg(envelope(404, kTeacherUid, first));
    layer->receiveMsg(envelope(404, kTeacherUid, second));
    for (int i = 2; i < SendAndReceiveMsg::kRememberedUuids; ++i)
        layer->receiveMsg(envelope(404, kTeacherUid, freshUuid()));
    QCOMPARE(spy.count(), SendAndReceiveMsg::kRememberedUuids);
    // All remembered so far; one more makes the first forgotten.
    layer->receiveMsg(envelope(404, kTeacherUid, first));
    QCOMPARE(spy.count(), SendAndReceiveMsg::kRememberedUuids);
    layer->receiveMsg(envelope(404, kTeacherUid, freshUuid()));
    QCOMPARE(spy.count(), SendAndReceiveMsg::kRememberedUuids + 1);
    layer->receiveMsg(envelope(404, kTeacherUid, second));
    QCOMPARE(spy.count(), SendAndReceiveMsg::kRememberedUuids + 1); // still known
    layer->receiveMsg(envelope(404, kTeacherUid, first));
    qInstallMessageHandler(previous);
    QCOMPARE(spy.count(), SendAndReceiveMsg::kRememberedUuids + 2); // forgotten
}

void TestSendAndReceiveMsg::overlongUuidIsDropped()
{
    MessageCatcher log;
    AllSignals spies(SendAndReceiveMsg::instance());
    SendAndReceiveMsg::instance()->receiveMsg(envelope(404, kTeacherUid, QString(100000, QLatin1Char('u'))));
    QVERIFY(spies.emitted().isEmpty());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("drop msg: its uuid has 100000 characters")));
    QVERIFY(m_actions.records().isEmpty());
}

// A large message from another participant (and a large text that is no
// envelope) adds a bounded record to each log, cut with a marker.
void TestSendAndReceiveMsg::hugeMessageIsCutInTheLogs()
{
    MessageCatcher log;
    // As large as a message may be.
    const QString content(SendAndReceiveMsg::kMaxMessageChars - 1000, QLatin1Char('x'));
    const QString text = envelope(1, kTeacherUid, freshUuid(), { { "content", content } });
    QVERIFY(text.size() <= SendAndReceiveMsg::kMaxMessageChars);
    QSignalSpy spy(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveTextMsg);
    SendAndReceiveMsg::instance()->receiveMsg(text);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(1).value<TextMessage>().content, content); // the receiver gets it whole

    const auto records = m_actions.named(QStringLiteral("im_receive_Text"));
    QCOMPARE(records.size(), 1);
    QVERIFY(records.first().info.size() < 20000);
    QVERIFY(records.first().info.startsWith(text.left(1000)));
    QVERIFY(records.first().info.endsWith(QStringLiteral("...[cut: %1 chars in all]").arg(text.size())));
    for (const QString &line : log.lines())
        QVERIFY(line.size() < 20000);

    // The parse-error path: an unreadable text is cut in its log line.
    SendAndReceiveMsg::instance()->receiveMsg(QStringLiteral("{") + content);
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("parse json error:")));
    for (const QString &line : log.lines())
        QVERIFY(line.size() < 20000);
}

// A text longer than a message may be is not even parsed: nothing is
// emitted, one short log line says why, and no action record is written.
void TestSendAndReceiveMsg::oversizedMessageIsDroppedUnparsed()
{
    MessageCatcher log;
    AllSignals spies(SendAndReceiveMsg::instance());
    const QString content(SendAndReceiveMsg::kMaxMessageChars, QLatin1Char('x'));
    const QString text = envelope(1, kTeacherUid, freshUuid(), { { "content", content } });
    SendAndReceiveMsg::instance()->receiveMsg(text);
    QVERIFY(spies.emitted().isEmpty());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("drop msg: it has %1 characters").arg(text.size())));
    QVERIFY(!log.has(QtCriticalMsg, QStringLiteral("parse json error:")));
    QVERIFY(m_actions.records().isEmpty());
    // Ten megabytes of a stroke, as a hostile participant sent them.
    SendAndReceiveMsg::instance()->receiveMsg(QString(10 * 1024 * 1024, QLatin1Char('{')));
    QVERIFY(spies.emitted().isEmpty());
    QVERIFY(!log.has(QtCriticalMsg, QStringLiteral("parse json error:")));
}

// A copy is read once where it arrives; what the reading says decides
// whether it goes on, and the layer takes the payload from the envelope as
// read, not from its text.
void TestSendAndReceiveMsg::envelopeIsReadOnce_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("reading");
    const QString teachers = envelope(1, kTeacherUid, freshUuid(), { { "content", "hello" } });
    QTest::newRow("another's") << teachers << int(ReceivedEnvelope::Read);
    QTest::newRow("own") << envelope(1, kOwnUid, freshUuid()) << int(ReceivedEnvelope::Own);
    QTest::newRow("no JSON") << QStringLiteral("plain text") << int(ReceivedEnvelope::Unreadable);
    QTest::newRow("too long") << QString(SendAndReceiveMsg::kMaxMessageChars + 1, QLatin1Char('{'))
                              << int(ReceivedEnvelope::TooLong);
}

void TestSendAndReceiveMsg::envelopeIsReadOnce()
{
    QFETCH(QString, text);
    QFETCH(int, reading);
    MessageCatcher log;
    ReceivedEnvelope read;
    QCOMPARE(int(ReceivedEnvelope::read(text, read)), reading);
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("parse json error:")), reading == ReceivedEnvelope::Unreadable);
    if (reading != ReceivedEnvelope::Read) {
        QVERIFY(read.text().isEmpty());
        return;
    }
    QCOMPARE(read.text(), text);
    QCOMPARE(read.header().sender, kTeacherUid);
    QSignalSpy texts(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveTextMsg);
    SendAndReceiveMsg::instance()->receiveEnvelope(read);
    QCOMPARE(texts.count(), 1);
    QCOMPARE(texts.first().at(0).value<ImMsgInfo>().uid, kTeacherUid);
    QCOMPARE(texts.first().at(1).value<TextMessage>().content, QStringLiteral("hello"));
    // Read and handed on once: a later copy of it is a repeat.
    SendAndReceiveMsg::instance()->receiveEnvelope(read);
    QCOMPARE(texts.count(), 1);
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("parse json error:")), 0);
}

QTEST_GUILESS_MAIN(TestSendAndReceiveMsg)
#include "tst_sendandreceivemsg.moc"
