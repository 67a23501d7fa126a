#include "fuzztarget.h"

#include "classroomtestsupport.h"
#include "scripteddeviceprovider.h"

#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/message/videocontrolprotocol.h"
#include "platform/rtc/rtcstreampacket.h"
#include "platform/rtc/rtctesthooks.h"
#include "platform/rtc/rtcvideosource.h"
#include "platform/signalling/signalframe.h"
#include "rolepolicy.h"
#include "utility/webpage.h"
#include "widget/coursedialogs.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetwhiteboard.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QMessageBox>

using namespace ClassroomTestSupport;

namespace {

enum Transport {
    MqttMessage,        // rest: the "data" of the kind's message type
    MqttEnvelope,       // rest: a whole envelope
    SignallingChannel,  // rest: a whole envelope, in a channel text frame
    SignallingPeer,     // rest: a whole envelope, in a peer text frame
    SignallingFrame,    // rest: a whole frame
    DataStreamMessage,  // rest: a whole envelope, in a stream packet
    DataStreamPacket,   // rest: a whole stream packet
    JanusAnswer,        // rest: the answer to a request of a new session
    JanusEvents,        // rest: the answer to the long poll
    VideoPicture,       // rest: a picture
};

struct Kind
{
    Transport transport;
    int type; // the message type of MqttMessage
    const char *name;
    const char *group;
    const char *seed; // the data of a valid message, or the rest of a valid input
};

const Kind kKinds[] = {
    { MqttMessage, IM_Text, "Text", "classroom", R"({"nickname":"Tom","classid":"10001","content":"hello"})" },
    { MqttMessage, IM_Picture, "Picture", "classroom", R"({"nickname":"Tom","classid":"10001","type":"jpg","url":"http://127.0.0.1:1/a.jpg","md5":"0123456789abcdef0123456789abcdef","backurl":"","to":""})" },
    { MqttMessage, IM_ApplyForEnter, "ApplyForEnter", "classroom", "{}" },
    { MqttMessage, IM_InviteEnter, "InviteEnter", "classroom", "{}" },
    { MqttMessage, IM_EnterClass, "EnterClass", "classroom", R"({"classid":"10001","uid":"20002","nickname":"Ann","userType":1})" },
    { MqttMessage, IM_ExitClass, "ExitClass", "classroom", R"({"classid":"10001","uid":"20002","nickname":"Ann","userType":1})" },
    { MqttMessage, IM_SwitchClassAsk, "SwitchClassAsk", "classroom", "{}" },
    { MqttMessage, IM_SwitchClassConFirm, "SwitchClassConFirm", "classroom", "{}" },
    { MqttMessage, IM_PlayVoice, "PlayVoice", "classroom", "{}" },
    { MqttMessage, IM_VideoBigShow, "VideoBigShow", "classroom", "{}" },
    { MqttMessage, IM_JoinChannel, "JoinChannel", "classroom", R"({"classid":"10001","uid":"20002"})" },
    { MqttMessage, IM_LeaveChannel, "LeaveChannel", "classroom", R"({"classid":"10001","uid":"20002"})" },
    { MqttMessage, IM_UserJoin, "UserJoin", "classroom", R"({"classid":"10001","uid":"20002"})" },
    { MqttMessage, IM_RefreshDayList, "RefreshDayList", "classroom", "{}" },
    { MqttMessage, IM_WBDraw, "WBDraw", "classroom", R"({"objecttype":1,"atPage":1,"classid":"10001","mtlid":"m1","objectdetail":"{\"version\":1,\"element\":{\"page\":1,\"type\":1,\"size\":3,\"color\":4278190335,\"ptArray\":[65537,131074,196611]}}"})" },
    { MqttMessage, IM_WBPage, "WBPage", "classroom", R"({"classid":"10001","mtlid":"m1","prePage":1,"toPage":2})" },
    { MqttMessage, IM_WBErasure, "WBErasure", "classroom", R"({"classid":"10001","mtlid":"m1","toPage":1,"objectIds":[]})" },
    { MqttMessage, IM_WBText, "WBText", "classroom", R"({"classid":"10001","page":1,"color":4278190335,"fontName":"Noto Sans","fontSize":400,"rect":[65537,131074],"text":"two\nlines"})" },
    { MqttMessage, IM_ShareingDesktop, "ShareingDesktop", "classroom", R"({"classid":"10001","uid":"30001","isShare":1})" },
    { MqttMessage, IM_FunctionControl, "FunctionControl", "classroom", R"({"classid":"10001","uid":"20001","type":1,"value":1})" },
    { MqttMessage, IM_Encourage, "Encourage", "classroom", R"({"classid":"10001","uid":"20001","nickname":"Ann","type":1,"count":1})" },
    { MqttMessage, IM_HighlightPerson, "HighlightPerson", "classroom", R"({"classid":"10001","uid":"20002"})" },
    { MqttMessage, IM_Prize, "Prize", "classroom", R"({"classid":"10001","uid":"20001","type":1})" },
    { MqttMessage, IM_ClassMode, "ClassMode", "classroom", R"({"classid":"10001","mode":1})" },
    { MqttMessage, IM_VideoControl, "VideoControl", "classroom", R"({"classid":"10001","id":"v1","type":1,"video":"http://127.0.0.1:1/v.mp4","voice":"","name":"lesson","time":0})" },
    { MqttMessage, IM_SendSysMsg, "SendSysMsg", "classroom", R"({"uid":"20001","msg":"notice"})" },
    { MqttMessage, IM_RefreshApp, "RefreshApp", "classroom", R"({"uid":"20001","type":1})" },
    { MqttMessage, IM_RequestDeivceInfo, "RequestDeivceInfo", "classroom", R"({"uid":"20001"})" },
    { MqttMessage, IM_ResponseDeviceInfo, "ResponseDeviceInfo", "classroom", R"({"uid":"20001","classid":"10001"})" },
    { MqttMessage, IM_SwitchDevice, "SwitchDevice", "classroom", R"({"uid":"20001","classid":"10001","deviceType":3,"deviceId":"x","deviceName":"cam","alertMsg":""})" },
    { MqttMessage, IM_SetVideoProfile, "SetVideoProfile", "classroom", R"({"classid":"10001","uid":"20001","video_profile":40})" },
    { MqttMessage, IM_Helpdesk, "Helpdesk", "classroom", R"({"classid":"10001","uid":"20002","issues":[1]})" },
    { MqttEnvelope, 0, "mqtt envelope", "classroom", nullptr },
    { SignallingChannel, 0, "signalling channel text", "signalling", nullptr },
    { SignallingPeer, 0, "signalling peer text", "signalling", nullptr },
    { SignallingFrame, 0, "signalling frame", "signalling", nullptr },
    { DataStreamMessage, 0, "data stream message", "datastream", nullptr },
    { DataStreamPacket, 0, "data stream packet", "datastream", nullptr },
    { JanusAnswer, 0, "janus answer", "janus", R"({"janus":"success","data":{"id":1}})" },
    { JanusEvents, 0, "janus events", "janus", R"([{"janus":"event","sender":2,"plugindata":{"data":{"videoroom":"event","publishers":[{"id":"30001-a","display":"30001"}]}}},{"janus":"event","sender":3,"plugindata":{"data":{"videoroom":"attached"}},"jsep":{"type":"offer","sdp":"v=0\r\n"}},{"janus":"event","sender":2,"plugindata":{"data":{"videoroom":"event","unpublished":"30001-a"}}}])" },
    { VideoPicture, 0, "video picture", "picture", nullptr },
};
const int kKindCount = int(sizeof(kKinds) / sizeof(kKinds[0]));
const int kSenderCount = 6;

// The other role's participant and a classmate, then senders no client has.
QString sender(int index)
{
    const bool student = RolePolicy::current().isStudent();
    switch (index % kSenderCount) {
    case 0:
        return QString::fromLatin1(student ? kTeacherId : kStudentId);
    case 1:
        return QString::fromLatin1(kClassmateId);
    case 2:
        return QStringLiteral("#");
    case 3:
        return QString();
    case 4:
        return QStringLiteral("a/+");
    default:
        return QString(300, QLatin1Char('9'));
    }
}

QByteArray cameraPicture()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(40, 160, 90));
    picture.save(&buffer, "JPEG", 75);
    return bytes;
}

QByteArray textFrame(agora_sdk_win::SignalFrame::Kind kind, const QString &account, const QByteArray &message)
{
    agora_sdk_win::SignalFrame frame;
    frame.kind = kind;
    const std::string name = account.toStdString();
    frame.fields = { name, std::to_string(agora_sdk_win::accountUid(name)), "session-1", message.toStdString() };
    return QByteArray::fromStdString(frame.encode());
}

QByteArray streamPacket(const QByteArray &data, quint64 sequence)
{
    RtcStreamPacket packet;
    packet.streamId = 1;
    packet.session = 7;
    packet.sequence = sequence;
    packet.data = data;
    return packet.encode();
}

// The envelope of each message type, a valid input of the transports that
// carry whole envelopes.
QByteArray envelope(const Kind &kind, const QString &from, quint64 serial)
{
    return "{\"type\":" + QByteArray::number(kind.type) + ",\"sender\":\"" + from.toUtf8() + "\",\"uuid\":\"fuzz-"
        + QByteArray::number(serial) + "\",\"src\":0,\"data\":" + kind.seed + "}";
}

// A valid envelope of the other role's participant: a class control order.
QByteArray anEnvelope()
{
    for (const Kind &kind : kKinds) {
        if (kind.type == IM_FunctionControl)
            return envelope(kind, sender(0), 0);
    }
    return QByteArray();
}

} // namespace

FuzzTarget::FuzzTarget()
    : board(std::make_unique<WidgetWhiteBoard>())
{
    const bool student = RolePolicy::current().isStudent();
    if (student)
        signInStudent();
    else
        signInTeacher();
    // Nobody answers the classroom's questions: every box is closed
    // without a choice, nothing waits, no browser opens.
    const auto closeBox = [](const CourseDialogs::Box &box) {
        return box.textButtons.isEmpty() ? int(QMessageBox::No) : -1;
    };
    CourseDialogs::setBoxHandler(closeBox);
    CourseDialogs::setOpenHandler(closeBox);
    CourseDialogs::setModalHandler([](QWidget *) {});
    CourseDialogs::setExitHandler([](int) {});
    WebPage::setOpener([](const QUrl &) { return false; });

    for (const auto &entry : { std::make_pair(kTeacherId, 2), std::make_pair(kStudentId, 1),
                               std::make_pair(kClassmateId, 1) }) {
        UserInfo user;
        user.uid = QString::fromLatin1(entry.first);
        user.userType = entry.second;
        roster.addUser(user);
    }
    roster.setTeacherIdx(0);
    roster.setCurUserIdx(student ? 1 : 0);
    board->setClassInfo(&roster, QString::fromLatin1(kClassId));
    board->setMaterialInfo(QStringLiteral("m1"), QString(), QString());
    board->resize(1190, 840);
    board->show();
    board->openPdf(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf"));

    // No machine devices: a device list of none, there at once.
    RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(std::make_shared<DeviceScript>()));
    // As the program starts them; every address they reach is a dead one.
    AgoraIMSdk::instance()->init();
    VideoSDK::instance()->init();
    MqttImSdk::instance()->init(QString::fromLatin1(student ? kStudentId : kTeacherId));
    // The data stream reaches the message layer once a channel is joined.
    QObject::connect(VideoSDK::instance(), &VideoSDK::signal_receiveDataStreamMsg, SendAndReceiveMsg::instance(),
                     &SendAndReceiveMsg::slot_receiveDataStreamMsg, Qt::UniqueConnection);
    QObject::connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveVideoControl,
                     [](ImMsgInfo, ProtocolVideoControl protocol) {
                         VideoControlProtocol::isAcceptable(protocol);
                         VideoControlProtocol::toString(protocol);
                     });
    openClassroom();
}

FuzzTarget::~FuzzTarget()
{
    delete classroom.data();
}

void FuzzTarget::openClassroom()
{
    classroom = new WidgetClassRoom;
    classroom->startClass(classInfo());
}

int FuzzTarget::kindCount()
{
    return kKindCount;
}

QString FuzzTarget::kindName(int kind)
{
    return QString::fromLatin1(kKinds[kind % kKindCount].name);
}

QStringList FuzzTarget::groups()
{
    QStringList names;
    for (const Kind &kind : kKinds) {
        if (!names.contains(QLatin1String(kind.group)))
            names.append(QString::fromLatin1(kind.group));
    }
    return names;
}

QVector<int> FuzzTarget::groupKinds(const QString &group)
{
    QVector<int> kinds;
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (group == QLatin1String(kKinds[kind].group))
            kinds.append(kind);
    }
    return kinds;
}

QVector<QByteArray> FuzzTarget::seeds()
{
    QVector<QByteArray> inputs;
    for (int index = 0; index < kKindCount; ++index) {
        const Kind &kind = kKinds[index];
        const QByteArray selector(1, char(index));
        switch (kind.transport) {
        case VideoPicture:
            inputs.append(selector + cameraPicture());
            break;
        case SignallingFrame:
            inputs.append(selector + textFrame(agora_sdk_win::SignalFrame::ChannelText, sender(0), anEnvelope()));
            break;
        case DataStreamPacket:
            inputs.append(selector + streamPacket(anEnvelope(), 1));
            break;
        case MqttEnvelope:
            inputs.append(selector + anEnvelope());
            break;
        case SignallingChannel:
        case SignallingPeer:
        case DataStreamMessage:
            // Every message type on the transports of whole envelopes.
            for (const Kind &message : kKinds) {
                if (message.transport == MqttMessage)
                    inputs.append(selector + envelope(message, sender(0), quint64(inputs.size())));
            }
            break;
        default:
            inputs.append(selector + kind.seed);
            break;
        }
    }
    return inputs;
}

bool FuzzTarget::run(const QByteArray &input)
{
    if (input.isEmpty())
        return true;
    if (classroom.isNull())
        openClassroom();
    const int selector = quint8(input.at(0));
    const Kind &kind = kKinds[selector % kKindCount];
    const int senderIndex = selector / kKindCount;
    const QString from = sender(senderIndex);
    const QByteArray rest = input.mid(1);
    ++serial;
    bool handled = true;
    switch (kind.transport) {
    case MqttMessage:
        // A fresh uuid each time: a repeat would be dropped before the payload.
        receiveMqtt("{\"type\":" + QByteArray::number(kind.type) + ",\"sender\":\"" + from.toUtf8() + "\",\"uuid\":\"fuzz-"
                    + QByteArray::number(serial) + "\",\"src\":0,\"data\":" + rest + "}");
        break;
    case MqttEnvelope:
        receiveMqtt(rest);
        break;
    case SignallingChannel:
        receiveSignalling(textFrame(agora_sdk_win::SignalFrame::ChannelText, from, rest));
        break;
    case SignallingPeer:
        receiveSignalling(textFrame(agora_sdk_win::SignalFrame::PeerText, from, rest));
        break;
    case SignallingFrame:
        receiveSignalling(rest);
        break;
    case DataStreamMessage:
        receiveDataStream(from, streamPacket(rest, serial));
        break;
    case DataStreamPacket:
        receiveDataStream(from, rest);
        break;
    case JanusAnswer:
        handled = janus.answer(senderIndex % 3, rest);
        break;
    case JanusEvents:
        handled = janus.events(rest);
        break;
    case VideoPicture:
        RtcVideoSource::decode(rest);
        break;
    }
    // What the receivers' threads send back, and a paint as the screen asks.
    QCoreApplication::processEvents();
    if (serial % 16 == 0) {
        board->repaint();
        if (classroom)
            classroom->repaint();
    }
    return handled;
}

int FuzzTarget::boardUnits() const
{
    int units = 0;
    for (const QVector<DrawLayer *> &page : board->drawUnits())
        units += page.size();
    return units;
}

void FuzzTarget::receiveMqtt(const QByteArray &text)
{
    // What the MQTT client's arrival callback hands to the GUI thread.
    emit MqttImSdk::instance()->signalMessageArrived(QString::fromUtf8(text));
}

void FuzzTarget::receiveSignalling(const QByteArray &bytes)
{
    // What the signalling layer does with a frame off the broker: decoded,
    // then the callback of its kind (a member's account is the topic's).
    using agora_sdk_win::SignalFrame;
    SignalFrame frame;
    if (!SignalFrame::decode(bytes.constData(), size_t(bytes.size()), &frame))
        return;
    const std::string account = frame.field(0);
    const std::string message = frame.field(3);
    const std::string channel = kClassId;
    const uint32_t uid = agora_sdk_win::accountUid(account);
    AgoraIMSdk *callback = AgoraIMSdk::instance();
    switch (frame.kind) {
    case SignalFrame::ChannelText:
        callback->onMessageChannelReceive(channel.c_str(), channel.size(), account.c_str(), account.size(), uid,
                                          message.c_str(), message.size());
        break;
    case SignalFrame::PeerText:
        callback->onMessageInstantReceive(account.c_str(), account.size(), uid, message.c_str(), message.size());
        break;
    case SignalFrame::Present:
        if (agora_sdk_win::SignalTopics::isTopicLevel(account))
            callback->onChannelUserJoined(account.c_str(), account.size(), uid);
        break;
    case SignalFrame::Gone:
        if (agora_sdk_win::SignalTopics::isTopicLevel(account))
            callback->onChannelUserLeaved(account.c_str(), account.size(), uid);
        break;
    case SignalFrame::Login:
        break;
    }
}

void FuzzTarget::receiveDataStream(const QString &from, const QByteArray &bytes)
{
    // What the engine does with a packet on a sender's stream topic: the
    // uid from the topic, the packet decoded, its data to the handler.
    bool ok = false;
    const uint uid = from.toUInt(&ok);
    RtcStreamPacket packet;
    if (!ok || uid == 0 || !RtcStreamPacket::decode(bytes, &packet))
        return;
    VideoSDK::instance()->onStreamMessage(uid, packet.streamId, packet.data.constData(), size_t(packet.data.size()));
}
