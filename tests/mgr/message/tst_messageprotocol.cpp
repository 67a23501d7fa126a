// The classroom message envelope and its payload records: how an envelope
// is built, the type names, the tolerant reading rules and the wire keys of
// every payload.

#include "messagecatcher.h"
#include "mgr/message/sendandreceivemsg.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <functional>

namespace {

QJsonObject parse(const QString &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", qUtf8Printable(text));
    return document.object();
}

QStringList sortedKeys(const QJsonObject &object)
{
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

// Builds an envelope for a filled record, reads it back as the receiver
// does and hands both the text and the payload object read back.
struct RoundTrip
{
    QString text;
    QJsonObject written;
    QJsonObject readBack;
};

using BuildTrip = std::function<RoundTrip()>;

template<typename T>
RoundTrip roundTrip(const T &record, IMMsgType type)
{
    RoundTrip result;
    result.text = SendAndReceiveMsg::instance()->buildMsgText(record, type, QStringLiteral("20001"));
    result.written = toJson(record);
    MessageEntity<T> entity;
    if (fromJson(result.text, entity))
        result.readBack = toJson(entity.data);
    return result;
}

DeviceItem device(const QString &id, const QString &name, int type)
{
    DeviceItem item;
    item.id = id;
    item.name = name;
    item.type = type;
    return item;
}

} // namespace

Q_DECLARE_METATYPE(BuildTrip)

class TestMessageProtocol : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: the sequence counter starts with the process.
    void firstEnvelopesCountFromZero();
    void envelopeHeader();
    void capabilityFollowsSetter();
    void typeNames_data();
    void typeNames();
    void tolerantHeaderReading_data();
    void tolerantHeaderReading();
    void vectorReading_data();
    void vectorReading();
    void unparsableTextLeavesRecord();
    void payloadWireKeys_data();
    void payloadWireKeys();
    void payloadRoundTripsNonAscii();
    void controlMessagesRead_data();
    void controlMessagesRead();
    void deviceAnswerReadsNestedLists();
};

void TestMessageProtocol::firstEnvelopesCountFromZero()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    TextMessage text;
    ChannelPresenceData presence;
    QCOMPARE(parse(layer->buildMsgText(text, IM_Text, QStringLiteral("1"))).value("sequence").toInt(), 0);
    QCOMPARE(parse(layer->buildMsgText(presence, IM_JoinChannel, QStringLiteral("1"))).value("sequence").toInt(), 1);
    QCOMPARE(parse(layer->buildMsgText(text, IM_Picture, QStringLiteral("1"))).value("sequence").toInt(), 2);
}

void TestMessageProtocol::envelopeHeader()
{
    DrawUnitData draw;
    draw.atPage = 3;
    draw.classid = QStringLiteral("10001");
    const QString text = SendAndReceiveMsg::instance()->buildMsgText(draw, IM_WBDraw, QStringLiteral("20001"));

    // Compact: no white space between tokens.
    QVERIFY(!text.contains(QLatin1Char(' ')));
    QVERIFY(!text.contains(QLatin1Char('\n')));

    const QJsonObject envelope = parse(text);
    QCOMPARE(sortedKeys(envelope), QStringList({ "data", "sender", "sequence", "src", "type", "uuid", "version",
                                                 "video_local_play_capability" }));
    QCOMPARE(envelope.value("version").toInt(), 2);
    QCOMPARE(envelope.value("type").toInt(), 300);
    QCOMPARE(envelope.value("src").toInt(), 1); // the student build
    QCOMPARE(envelope.value("sender").toString(), QStringLiteral("20001"));
    QCOMPARE(envelope.value("video_local_play_capability").toInt(), 1);
    QCOMPARE(envelope.value("data").toObject().value("atPage").toInt(), 3);
    QCOMPARE(envelope.value("data").toObject().value("classid").toString(), QStringLiteral("10001"));

    const QString uuid = envelope.value("uuid").toString();
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"))
                 .match(uuid)
                 .hasMatch(),
             qPrintable(uuid));
    const QString next = parse(SendAndReceiveMsg::instance()->buildMsgText(draw, IM_WBDraw, QStringLiteral("20001")))
                             .value("uuid")
                             .toString();
    QVERIFY(next != uuid);
}

void TestMessageProtocol::capabilityFollowsSetter()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    TextMessage text;
    layer->setVideoLocalPlayCapability(0);
    QCOMPARE(parse(layer->buildMsgText(text, IM_Text, QStringLiteral("1"))).value("video_local_play_capability").toInt(), 0);
    layer->setVideoLocalPlayCapability(1);
    QCOMPARE(parse(layer->buildMsgText(text, IM_Text, QStringLiteral("1"))).value("video_local_play_capability").toInt(), 1);
}

void TestMessageProtocol::typeNames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    const QList<QPair<int, const char *>> table = {
        { 1, "Text" }, { 2, "Picture" }, { 101, "ApplyForEnter" }, { 102, "InviteEnter" }, { 103, "EnterClass" },
        { 104, "ExitClass" }, { 105, "SwitchClassAsk" }, { 106, "SwitchClassConFirm" }, { 108, "PlayVoice" },
        { 109, "VideoBigShow" }, { 111, "JoinChannel" }, { 112, "LeaveChannel" }, { 113, "UserJoin" },
        { 201, "RefreshDayList" }, { 300, "WBDraw" }, { 301, "WBPage" }, { 303, "WBErasure" }, { 304, "WBText" },
        { 401, "ShareingDesktop" }, { 402, "FunctionControl" }, { 403, "Encourage" }, { 404, "HighlightPerson" },
        { 405, "Prize" }, { 410, "ClassMode" }, { 501, "VideoControl" }, { 601, "SendSysMsg" }, { 602, "RefreshApp" },
        { 603, "RequestDeivceInfo" }, { 604, "ResponseDeviceInfo" }, { 605, "SwitchDevice" },
        { 606, "SetVideoProfile" }, { 610, "Helpdesk" },
        // Not in the table.
        { 0, "" }, { 107, "" }, { 302, "" }, { 999, "" }, { -1, "" },
    };
    for (const auto &row : table)
        QTest::newRow(qPrintable(QString::number(row.first))) << row.first << QString::fromLatin1(row.second);
}

void TestMessageProtocol::typeNames()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(SendAndReceiveMsg::getMsgTypeName(code), name);
}

void TestMessageProtocol::tolerantHeaderReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<int>("capability");

    QTest::newRow("type as text") << R"({"type":"300","sender":"7","video_local_play_capability":1})" << 300 << "7" << 1;
    QTest::newRow("sender as number") << R"({"type":1,"sender":12345})" << 1 << "12345" << 0;
    // Absent numbers are preset: no type, no capability claimed.
    QTest::newRow("empty object") << "{}" << 0 << "" << 0;
    QTest::newRow("top-level array") << "[1,2]" << 0 << "" << 0;
    QTest::newRow("type not a number") << R"({"type":"abc","video_local_play_capability":true})" << 0 << "" << 0;
    QTest::newRow("type fraction") << R"({"type":300.5})" << 0 << "" << 0;
}

void TestMessageProtocol::tolerantHeaderReading()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QFETCH(QString, sender);
    QFETCH(int, capability);
    BaseMessageEntity header;
    QVERIFY(fromJson(text, header));
    QCOMPARE(header.type, type);
    QCOMPARE(header.sender, sender);
    QCOMPARE(header.video_local_play_capability, capability);
}

void TestMessageProtocol::vectorReading_data()
{
    QTest::addColumn<QString>("data"); // the "data" object of a Prize envelope
    QTest::addColumn<QStringList>("sids");
    QTest::addColumn<int>("awardid");

    QTest::newRow("present") << R"({"sids":["1",2,"x"],"awardid":"4"})" << QStringList({ "1", "2", "x" }) << 4;
    QTest::newRow("empty array empties") << R"({"sids":[]})" << QStringList() << 9;
    QTest::newRow("absent keeps") << R"({"awardid":5})" << QStringList({ "old" }) << 5;
    QTest::newRow("not an array empties") << R"({"sids":"1,2"})" << QStringList() << 9;
}

void TestMessageProtocol::vectorReading()
{
    QFETCH(QString, data);
    QFETCH(QStringList, sids);
    QFETCH(int, awardid);
    MessageEntity<PrizeModelAwardControl> entity;
    entity.data.sids = { QStringLiteral("old") };
    entity.data.awardid = 9;
    QVERIFY(fromJson(QStringLiteral(R"({"type":405,"data":%1})").arg(data), entity));
    QCOMPARE(QStringList(entity.data.sids.toList()), sids);
    QCOMPARE(entity.data.awardid, awardid);
}

void TestMessageProtocol::unparsableTextLeavesRecord()
{
    MessageCatcher log;
    BaseMessageEntity header;
    header.type = 42;
    header.sender = QStringLiteral("keep");
    QVERIFY(!fromJson(QStringLiteral(R"({"type":300,"sender":"7")"), header));
    QCOMPARE(header.type, 42);
    QCOMPARE(header.sender, QStringLiteral("keep"));
    QCOMPARE(log.count(QtCriticalMsg, QStringLiteral("parse json error:")), 1);
}

// Every payload that this system sends: its keys exactly, and a full round
// trip through the envelope (what is written is what is read back).
void TestMessageProtocol::payloadWireKeys_data()
{
    QTest::addColumn<BuildTrip>("build");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("Text") << BuildTrip([] {
        TextMessage r{ "Lily", "10001", "hello, world" };
        return roundTrip(r, IM_Text);
    }) << QStringList({ "classid", "content", "nickname" });
    QTest::newRow("Picture") << BuildTrip([] {
        ImageMessage r{ "Lily", "10001", "png", "http://a/b.png", "abc", "http://a/c.png", "30001" };
        return roundTrip(r, IM_Picture);
    }) << QStringList({ "backurl", "classid", "md5", "nickname", "to", "type", "url" });
    QTest::newRow("EnterClass") << BuildTrip([] {
        ProtocolEnterOrLeaveClass r{ "10001", "12", "1.1.5.1", 1 };
        return roundTrip(r, IM_EnterClass);
    }) << QStringList({ "classid", "clientVersion", "source", "video_local_play_capability" });
    QTest::newRow("ShareingDesktop") << BuildTrip([] {
        SharingDesktop r{ 1, 2, "10001", 1920, 1080 };
        return roundTrip(r, IM_ShareingDesktop);
    }) << QStringList({ "classid", "height", "status", "type", "width" });
    QTest::newRow("FunctionControl") << BuildTrip([] {
        FunctionControl r{ "10001", 3, "20001", 1 };
        return roundTrip(r, IM_FunctionControl);
    }) << QStringList({ "classid", "enabled", "type", "uid" });
    QTest::newRow("Encourage") << BuildTrip([] {
        EncourageMessage r{ "10001", 2, "20001", "star", "Lily", 5 };
        return roundTrip(r, IM_Encourage);
    }) << QStringList({ "animation", "classid", "name", "score", "type", "uid" });
    QTest::newRow("HighlightPerson") << BuildTrip([] {
        HighlightPerson r{ "10001", "20001", 1 };
        return roundTrip(r, IM_HighlightPerson);
    }) << QStringList({ "classid", "highlight", "uid" });
    QTest::newRow("Prize") << BuildTrip([] {
        PrizeModelAwardControl r{ "10001", "30001", { "20001", "20002" }, 4 };
        return roundTrip(r, IM_Prize);
    }) << QStringList({ "awardid", "classid", "sids", "tid" });
    QTest::newRow("ClassMode") << BuildTrip([] {
        ClassModelControl r{ 1, "10001" };
        return roundTrip(r, IM_ClassMode);
    }) << QStringList({ "classid", "type" });
    QTest::newRow("VideoControl") << BuildTrip([] {
        ProtocolVideoControl r{ 2, "10001", "m1", "v1", "http://a/v.mp4", "http://a/v.mp3", "Lesson 1" };
        return roundTrip(r, IM_VideoControl);
    }) << QStringList({ "classid", "mid", "name", "type", "video", "videoid", "voice" });
    QTest::newRow("ResponseDeviceInfo") << BuildTrip([] {
        ResponseDeviceInfo r;
        r.classid = "10001";
        r.uid = "20001";
        r.curSpeakerId = "s1";
        r.curMicrophoneId = "m1";
        r.curCameraId = "c1";
        r.speackers = { device("s1", "Speaker", 1) };
        r.microphones = { device("m1", "Mic", 2), device("m2", "Headset", 2) };
        r.cameras = { device("c1", "Camera", 3) };
        return roundTrip(r, IM_ResponseDeviceInfo);
    }) << QStringList({ "cameras", "classid", "curCameraId", "curMicrophoneId", "curSpeakerId", "microphones",
                        "speackers", "uid" });
    QTest::newRow("Helpdesk") << BuildTrip([] {
        HelpdeskTeacherEntiry r;
        r.classid = "10001";
        r.users = { HelpdeskUser{ "20001", 1 }, HelpdeskUser{ "30001", 2 } };
        r.issueTags = { 1, 3 };
        r.description = "no sound";
        r.descriptionImages = { "http://a/1.png" };
        return roundTrip(r, IM_Helpdesk);
    }) << QStringList({ "classid", "description", "descriptionImages", "issueTags", "users" });
    QTest::newRow("presence") << BuildTrip([] {
        ChannelPresenceData r{ "10001" };
        return roundTrip(r, IM_JoinChannel);
    }) << QStringList({ "classid" });
    QTest::newRow("WBDraw") << BuildTrip([] {
        DrawUnitData r{ 1, 2, "10001", "mtl", R"({"version":1})" };
        return roundTrip(r, IM_WBDraw);
    }) << QStringList({ "atPage", "classid", "mtlid", "objectdetail", "objecttype" });
    QTest::newRow("WBPage") << BuildTrip([] {
        TurnToPageData r{ "10001", "mtl", 0, 4 };
        return roundTrip(r, IM_WBPage);
    }) << QStringList({ "classid", "mtlid", "prePage", "toPage" });
    QTest::newRow("WBErasure") << BuildTrip([] {
        ErasureData r{ "10001", "mtl", 2, {} };
        return roundTrip(r, IM_WBErasure);
    }) << QStringList({ "classid", "mtlid", "rect", "toPage" });
    QTest::newRow("WBText") << BuildTrip([] {
        WBTextData r{ "10001", 1, 4294901760.0, { 65536 * 20 + 10, 65536 * 400 + 300 }, "Arial", 250, "Hi" };
        return roundTrip(r, IM_WBText);
    }) << QStringList({ "classid", "color", "fontName", "fontSize", "page", "rect", "text" });
}

void TestMessageProtocol::payloadWireKeys()
{
    QFETCH(BuildTrip, build);
    QFETCH(QStringList, keys);
    const RoundTrip trip = build();
    const QJsonObject data = parse(trip.text).value("data").toObject();
    QCOMPARE(sortedKeys(data), keys);
    QCOMPARE(trip.readBack, trip.written);
    QCOMPARE(data, trip.written);
}

void TestMessageProtocol::payloadRoundTripsNonAscii()
{
    TextMessage text{ QStringLiteral("莉莉"), QStringLiteral("10001"), QStringLiteral("你好 👋 \"quoted\", \\ end") };
    const RoundTrip trip = roundTrip(text, IM_Text);
    QCOMPARE(trip.readBack.value("content").toString(), text.content);
    QCOMPARE(trip.readBack.value("nickname").toString(), text.nickname);
}

void TestMessageProtocol::controlMessagesRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // the record, written back as "field=value;..."

    QTest::newRow("SendSysMsg") << R"({"type":601,"data":{"classid":"10001","uid":20001,"level":"2","content":"note"}})"
                                << "classid=10001;uid=20001;level=2;content=note";
    QTest::newRow("RefreshApp kind 1") << R"({"type":602,"data":{"classid":"1","type":1,"uid":"2","alertMsg":"a"}})"
                                       << "classid=1;type=1;uid=2;alertMsg=a";
    QTest::newRow("RequestDeivceInfo") << R"({"type":603,"data":{"classid":"1","uid":"2"}})" << "classid=1;uid=2";
    QTest::newRow("SwitchDevice type as text")
        << R"({"type":605,"data":{"uid":"2","classid":"1","deviceType":"2","deviceId":"d","deviceName":"n","alertMsg":"m"}})"
        << "uid=2;classid=1;deviceType=2;deviceId=d;deviceName=n;alertMsg=m";
    QTest::newRow("SetVideoProfile") << R"({"type":606,"data":{"classid":"1","uid":"2","video_profile":43}})"
                                     << "classid=1;uid=2;video_profile=43";
    // Absent numbers never read as left-over memory.
    QTest::newRow("SetVideoProfile without profile") << R"({"type":606,"data":{"uid":"2"}})" << "classid=;uid=2;video_profile=-1";
    QTest::newRow("SwitchDevice without data") << R"({"type":605})" << "uid=;classid=;deviceType=0;deviceId=;deviceName=;alertMsg=";
    QTest::newRow("SendSysMsg without level") << R"({"type":601,"data":{}})" << "classid=;uid=;level=0;content=";
    QTest::newRow("RefreshApp without type") << R"({"type":602,"data":{"uid":"2"}})" << "classid=;type=0;uid=2;alertMsg=";
}

void TestMessageProtocol::controlMessagesRead()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const int type = parse(text).value("type").toInt();
    QString actual;
    switch (type) {
    case IM_SendSysMsg: {
        MessageEntity<SendSysMsg> e;
        QVERIFY(fromJson(text, e));
        actual = QStringLiteral("classid=%1;uid=%2;level=%3;content=%4").arg(e.data.classid, e.data.uid).arg(e.data.level).arg(e.data.content);
        break;
    }
    case IM_RefreshApp: {
        MessageEntity<RefreshApp> e;
        QVERIFY(fromJson(text, e));
        actual = QStringLiteral("classid=%1;type=%2;uid=%3;alertMsg=%4").arg(e.data.classid).arg(e.data.type).arg(e.data.uid, e.data.alertMsg);
        break;
    }
    case IM_RequestDeivceInfo: {
        MessageEntity<RequestDeivceInfo> e;
        QVERIFY(fromJson(text, e));
        actual = QStringLiteral("classid=%1;uid=%2").arg(e.data.classid, e.data.uid);
        break;
    }
    case IM_SwitchDevice: {
        MessageEntity<SwitchDevice> e;
        QVERIFY(fromJson(text, e));
        actual = QStringLiteral("uid=%1;classid=%2;deviceType=%3;deviceId=%4;deviceName=%5;alertMsg=%6")
                     .arg(e.data.uid, e.data.classid)
                     .arg(e.data.deviceType)
                     .arg(e.data.deviceId, e.data.deviceName, e.data.alertMsg);
        break;
    }
    case IM_SetVideoProfile: {
        MessageEntity<SetVideoProfileMsg> e;
        QVERIFY(fromJson(text, e));
        actual = QStringLiteral("classid=%1;uid=%2;video_profile=%3").arg(e.data.classid, e.data.uid).arg(e.data.video_profile);
        break;
    }
    default:
        QFAIL("no such control message");
    }
    QCOMPARE(actual, expected);
}

void TestMessageProtocol::deviceAnswerReadsNestedLists()
{
    const QString text = QStringLiteral(
        R"({"type":604,"data":{"uid":"2","speackers":[{"deviceId":"s1","deviceName":"Speaker","deviceType":"1"}],)"
        R"("microphones":[{"deviceId":7,"deviceName":"Mic"},{}],"cameras":{}}})");
    MessageEntity<ResponseDeviceInfo> entity;
    entity.data.cameras = { device("old", "Old", 3) };
    QVERIFY(fromJson(text, entity));
    QCOMPARE(entity.data.speackers.size(), 1);
    QCOMPARE(entity.data.speackers.at(0).id, QStringLiteral("s1"));
    QCOMPARE(entity.data.speackers.at(0).type, 1);
    QCOMPARE(entity.data.microphones.size(), 2);
    QCOMPARE(entity.data.microphones.at(0).id, QStringLiteral("7"));
    QCOMPARE(entity.data.microphones.at(0).type, 0);
    QCOMPARE(entity.data.microphones.at(1).name, QString());
    QVERIFY(entity.data.cameras.isEmpty()); // present but not an array
}

QTEST_GUILESS_MAIN(TestMessageProtocol)
#include "tst_messageprotocol.moc"
