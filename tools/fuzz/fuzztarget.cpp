#include "fuzztarget.h"

#include "mgr/message/videocontrolprotocol.h"
#include "platform/rtc/rtcvideosource.h"
#include "widget/widgetwhiteboard.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kStudent = QStringLiteral("20001");
const QString kClassmate = QStringLiteral("20002");

struct Kind
{
    int type; // 0: a whole envelope, -1: a video picture
    const char *name;
    const char *seed; // the "data" of a valid message
};

const Kind kKinds[] = {
    { IM_Text, "Text", R"({"nickname":"Tom","classid":"10001","content":"hello"})" },
    { IM_Picture, "Picture", R"({"nickname":"Tom","classid":"10001","type":"jpg","url":"http://127.0.0.1:1/a.jpg","md5":"0123456789abcdef0123456789abcdef","backurl":"","to":""})" },
    { IM_ApplyForEnter, "ApplyForEnter", "{}" },
    { IM_InviteEnter, "InviteEnter", "{}" },
    { IM_EnterClass, "EnterClass", R"({"classid":"10001","uid":"20002","nickname":"Ann","userType":1})" },
    { IM_ExitClass, "ExitClass", R"({"classid":"10001","uid":"20002","nickname":"Ann","userType":1})" },
    { IM_SwitchClassAsk, "SwitchClassAsk", "{}" },
    { IM_SwitchClassConFirm, "SwitchClassConFirm", "{}" },
    { IM_PlayVoice, "PlayVoice", "{}" },
    { IM_VideoBigShow, "VideoBigShow", "{}" },
    { IM_JoinChannel, "JoinChannel", R"({"classid":"10001","uid":"20002"})" },
    { IM_LeaveChannel, "LeaveChannel", R"({"classid":"10001","uid":"20002"})" },
    { IM_UserJoin, "UserJoin", R"({"classid":"10001","uid":"20002"})" },
    { IM_RefreshDayList, "RefreshDayList", "{}" },
    { IM_WBDraw, "WBDraw", R"({"objecttype":1,"atPage":1,"classid":"10001","mtlid":"m1","objectdetail":"{\"version\":1,\"element\":{\"page\":1,\"type\":1,\"size\":3,\"color\":4278190335,\"ptArray\":[65537,131074,196611]}}"})" },
    { IM_WBPage, "WBPage", R"({"classid":"10001","mtlid":"m1","prePage":1,"toPage":2})" },
    { IM_WBErasure, "WBErasure", R"({"classid":"10001","mtlid":"m1","toPage":1,"objectIds":[]})" },
    { IM_WBText, "WBText", R"({"classid":"10001","page":1,"color":4278190335,"fontName":"Noto Sans","fontSize":400,"rect":[65537,131074],"text":"two\nlines"})" },
    { IM_ShareingDesktop, "ShareingDesktop", R"({"classid":"10001","uid":"30001","isShare":1})" },
    { IM_FunctionControl, "FunctionControl", R"({"classid":"10001","uid":"20002","type":1,"value":1})" },
    { IM_Encourage, "Encourage", R"({"classid":"10001","uid":"20002","nickname":"Ann","type":1,"count":1})" },
    { IM_HighlightPerson, "HighlightPerson", R"({"classid":"10001","uid":"20002"})" },
    { IM_Prize, "Prize", R"({"classid":"10001","uid":"20002","type":1})" },
    { IM_ClassMode, "ClassMode", R"({"classid":"10001","mode":1})" },
    { IM_VideoControl, "VideoControl", R"({"classid":"10001","id":"v1","type":1,"video":"http://127.0.0.1:1/v.mp4","voice":"","name":"lesson","time":0})" },
    { IM_SendSysMsg, "SendSysMsg", R"({"uid":"20001","msg":"notice"})" },
    { IM_RefreshApp, "RefreshApp", R"({"uid":"20001","type":1})" },
    { IM_RequestDeivceInfo, "RequestDeivceInfo", R"({"uid":"20001"})" },
    { IM_ResponseDeviceInfo, "ResponseDeviceInfo", R"({"uid":"20001","classid":"10001"})" },
    { IM_SwitchDevice, "SwitchDevice", R"({"uid":"20001","classid":"10001","deviceType":3,"deviceId":"x","deviceName":"cam","alertMsg":""})" },
    { IM_SetVideoProfile, "SetVideoProfile", R"({"classid":"10001","uid":"20001","video_profile":40})" },
    { IM_Helpdesk, "Helpdesk", R"({"classid":"10001","uid":"20002","issues":[1]})" },
    { 0, "envelope", R"({"type":300,"sender":"30001","uuid":"e1","src":0,"data":{}})" },
    { -1, "video picture", "" },
};
const int kKindCount = int(sizeof(kKinds) / sizeof(kKinds[0]));

// Senders: the teacher and a classmate, then ones no client has.
const QString kSenders[] = { kTeacher, kClassmate, QStringLiteral("#"), QString(), QStringLiteral("a/+"),
                             QString(300, QLatin1Char('9')) };

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

} // namespace

FuzzTarget::FuzzTarget()
    : board(std::make_unique<WidgetWhiteBoard>())
{
    for (const auto &entry : { std::make_pair(kTeacher, 2), std::make_pair(kStudent, 1), std::make_pair(kClassmate, 1) }) {
        UserInfo user;
        user.uid = entry.first;
        user.userType = entry.second;
        roster.addUser(user);
    }
    roster.setTeacherIdx(0);
    roster.setCurUserIdx(1);
    board->setClassInfo(&roster, QStringLiteral("10001"));
    board->setMaterialInfo(QStringLiteral("m1"), QString(), QString());
    board->resize(1190, 840);
    board->show();
    board->openPdf(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf"));

    // A library client that never connects: arrivals are handed in below.
    mqtt.init(QStringLiteral("fuzz"));
    QObject::connect(&mqtt, &MqttImSdk::signal_envelopeArrived, &layer, &SendAndReceiveMsg::slot_receiveMqttEnvelope);
    WidgetWhiteBoard *shown = board.get();
    QObject::connect(&layer, &SendAndReceiveMsg::signal_receiveDrawMsg, shown, &WidgetWhiteBoard::slot_receiveDrawMsg);
    QObject::connect(&layer, &SendAndReceiveMsg::signal_receiveWBTextMsg, shown, &WidgetWhiteBoard::slot_receiveWBTextMsg);
    QObject::connect(&layer, &SendAndReceiveMsg::signal_receiveErasureMsg, shown, &WidgetWhiteBoard::slot_receiveErasureMsg);
    QObject::connect(&layer, &SendAndReceiveMsg::signal_receiveTurnToPageMsg, shown,
                     &WidgetWhiteBoard::slot_receiveTurnToPageMsg);
    QObject::connect(&layer, &SendAndReceiveMsg::signal_receiveVideoControl, [](ImMsgInfo, ProtocolVideoControl protocol) {
        VideoControlProtocol::isAcceptable(protocol);
        VideoControlProtocol::toString(protocol);
    });
}

FuzzTarget::~FuzzTarget() = default;

int FuzzTarget::kindCount()
{
    return kKindCount;
}

QString FuzzTarget::kindName(int kind)
{
    return QString::fromLatin1(kKinds[kind % kKindCount].name);
}

QVector<QByteArray> FuzzTarget::seeds()
{
    QVector<QByteArray> inputs;
    for (int kind = 0; kind < kKindCount; ++kind) {
        QByteArray input(1, char(kind));
        input += kKinds[kind].type == -1 ? cameraPicture() : QByteArray(kKinds[kind].seed);
        inputs.append(input);
    }
    return inputs;
}

void FuzzTarget::run(const QByteArray &input)
{
    if (input.isEmpty())
        return;
    const int selector = quint8(input.at(0));
    const Kind &kind = kKinds[selector % kKindCount];
    const QString sender = kSenders[(selector / kKindCount) % int(sizeof(kSenders) / sizeof(kSenders[0]))];
    const QByteArray rest = input.mid(1);
    if (kind.type == -1) {
        RtcVideoSource::decode(rest);
    } else if (kind.type == 0) {
        emit mqtt.signalMessageArrived(QString::fromUtf8(rest));
    } else {
        receive(kind.type, sender, rest);
    }
    // What the board's threads send back, and a paint as the screen asks.
    QCoreApplication::processEvents();
    if (++serial % 16 == 0)
        board->repaint();
}

int FuzzTarget::boardUnits() const
{
    int units = 0;
    for (const QVector<DrawLayer *> &page : board->drawUnits())
        units += page.size();
    return units;
}

void FuzzTarget::receive(int type, const QString &sender, const QByteArray &data)
{
    // A fresh uuid each time: a repeat would be dropped before the payload.
    const QByteArray text = "{\"type\":" + QByteArray::number(type) + ",\"sender\":\"" + sender.toUtf8()
        + "\",\"uuid\":\"fuzz-" + QByteArray::number(serial) + "\",\"src\":0,\"data\":" + data + "}";
    emit mqtt.signalMessageArrived(QString::fromUtf8(text));
}
