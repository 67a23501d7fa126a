// A teacher and students in separate processes, in one class over a real
// broker: every message type arrives once as its typed signal on the other
// side, own messages come back to nothing, presence and the will reach the
// others, a peer message reaches only its addressee, and the class carries
// on after the broker went away and came back.

#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "testutil.h"
#include "topicwatcher.h"

#include "mgr/message/sendandreceivemsg.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kStudent = QStringLiteral("20001");
const QString kClassmate = QStringLiteral("20002");

struct Sample
{
    int type;
    const char *signal;
    QJsonObject payload; // every key of the record, so it comes back whole
};

QJsonObject device(const char *id, const char *name, int type)
{
    return { { "deviceId", id }, { "deviceName", name }, { "deviceType", type } };
}

// One filled payload of every type a participant sends, channel form.
QVector<Sample> channelSamples(const QString &classId)
{
    return {
        { 1, "signal_receiveTextMsg", { { "nickname", "Ms. Green" }, { "classid", classId }, { "content", "hello, 你好 \"all\"" } } },
        { 2, "signal_receiveImageMsg", { { "nickname", "Ms. Green" }, { "classid", classId }, { "type", "png" }, { "url", "http://x/a.png" },
                                         { "md5", "0f" }, { "backurl", "http://x/b.png" }, { "to", "" } } },
        { 103, "signal_receiveEnterClass", { { "classid", classId }, { "source", "13" }, { "clientVersion", "1.1.5.1" }, { "video_local_play_capability", 1 } } },
        { 104, "signal_receiveExitClass", { { "classid", classId }, { "source", "13" }, { "clientVersion", "1.1.5.1" }, { "video_local_play_capability", 0 } } },
        { 300, "signal_receiveDrawMsg", { { "objecttype", 1 }, { "atPage", 2 }, { "classid", classId }, { "mtlid", "m1" },
                                          { "objectdetail", R"({"element":{"page":2,"ptArray":[65537]},"version":1})" } } },
        { 301, "signal_receiveTurnToPageMsg", { { "classid", classId }, { "mtlid", "m1" }, { "prePage", 0 }, { "toPage", 3 } } },
        { 303, "signal_receiveErasureMsg", { { "classid", classId }, { "mtlid", "m1" }, { "toPage", 3 }, { "rect", QJsonArray() } } },
        { 304, "signal_receiveWBTextMsg", { { "classid", classId }, { "page", 1 }, { "color", 4294901760.0 }, { "rect", QJsonArray({ 1310730, 26214700 }) },
                                            { "fontName", "Noto Sans" }, { "fontSize", 250 }, { "text", "x + y" } } },
        { 401, "signal_receiveSharingDesktopMsg", { { "type", 1 }, { "status", 1 }, { "classid", classId }, { "width", 1920 }, { "height", 1080 } } },
        { 403, "signal_receiveEncourageMsg", { { "classid", classId }, { "type", 1 }, { "uid", kStudent }, { "animation", "star" }, { "name", "Lily" }, { "score", 3 } } },
        { 404, "signal_receiveHighlightPerson", { { "classid", classId }, { "uid", kStudent }, { "highlight", 1 } } },
        { 405, "signal_receiveAwardControl", { { "classid", classId }, { "tid", kTeacher }, { "sids", QJsonArray({ kStudent, kClassmate }) }, { "awardid", 2 } } },
        { 410, "signal_receiveClassModelControl", { { "type", 1 }, { "classid", classId } } },
        { 501, "signal_receiveVideoControl", { { "type", 1 }, { "classid", classId }, { "mid", "m2" }, { "videoid", "v1" }, { "video", "http://x/v.mp4" },
                                               { "voice", "http://x/v.mp3" }, { "name", "Lesson" } } },
    };
}

QString recvLine(const char *signal, const QString &sender, const QJsonObject &payload)
{
    return QStringLiteral("recv %1 %2 %3").arg(QString::fromLatin1(signal), sender,
                                               QString::fromUtf8(QJsonDocument(payload).toJson(QJsonDocument::Compact)));
}

// Received payloads compare as JSON, whatever the key order.
bool isRecv(const QString &line, const char *signal, const QString &sender, const QJsonObject &payload)
{
    const QString prefix = QStringLiteral("recv %1 %2 ").arg(QString::fromLatin1(signal), sender);
    return line.startsWith(prefix) && QJsonDocument::fromJson(line.mid(prefix.size()).toUtf8()).object() == payload;
}

int countRecv(const ClassroomPeerProcess &peer, const char *signal, const QString &sender, const QJsonObject &payload)
{
    int count = 0;
    for (const QString &line : peer.lines())
        count += isRecv(line, signal, sender, payload);
    return count;
}

// How many typed signals from sender came right after its capability signal.
int precededByCapability(const ClassroomPeerProcess &peer, const QString &sender)
{
    const QStringList lines = peer.lines();
    int count = 0;
    for (int i = 1; i < lines.size(); ++i) {
        if (lines.at(i).startsWith(QLatin1String("recv ")) && lines.at(i).section(QLatin1Char(' '), 2, 2) == sender)
            count += lines.at(i - 1) == QStringLiteral("capability ") + sender;
    }
    return count;
}

} // namespace

class TestClassroomMessaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void everyTypeFromTeacherArrivesOnce();
    void studentMessagesReachTeacher();
    void peerMessageReachesOnlyItsAddressee();
    void backEndControlMessages();
    void helpdeskReportGoesToTheServerOnly();
    void presenceAndWill();
    void brokerGoneAndBack();

private:
    // A final channel message; once it is in, everything sent before it is.
    void sync(ClassroomPeerProcess &from, const QString &fromUid, const QVector<ClassroomPeerProcess *> &to);

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    QString m_classId;
    int m_syncs = 0;
};

void TestClassroomMessaging::initTestCase()
{
    QVERIFY(m_broker.start());
    const QString ini = m_dir.filePath(QStringLiteral("servers.ini"));
    QVERIFY(TestUtil::useServersIni(ini, { QStringLiteral("http://127.0.0.1:9"), {}, {}, {}, {}, {} }));
    QVERIFY(m_broker.useInServersIni(ini));
}

void TestClassroomMessaging::init()
{
    m_classId = QStringLiteral("c-%1").arg(QString::fromLatin1(QTest::currentTestFunction()));
    QVERIFY(m_broker.isRunning() || m_broker.start());
}

void TestClassroomMessaging::sync(ClassroomPeerProcess &from, const QString &fromUid, const QVector<ClassroomPeerProcess *> &to)
{
    const QJsonObject marker{ { "nickname", "sync" }, { "classid", m_classId }, { "content", QString::number(++m_syncs) } };
    from.send(1, marker);
    for (ClassroomPeerProcess *peer : to)
        QVERIFY(peer->waitForLine([&](const QString &line) { return isRecv(line, "signal_receiveTextMsg", fromUid, marker); }));
}

void TestClassroomMessaging::everyTypeFromTeacherArrivesOnce()
{
    ClassroomPeerProcess student;
    ClassroomPeerProcess teacher;
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId));
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId));

    const QVector<Sample> samples = channelSamples(m_classId);
    for (const Sample &sample : samples)
        teacher.send(sample.type, sample.payload);
    // The peer forms the classroom sends to one student.
    const QJsonObject control{ { "classid", m_classId }, { "type", 2 }, { "uid", kStudent }, { "enabled", 1 } };
    const QJsonObject mode{ { "type", 0 }, { "classid", m_classId } };
    teacher.send(402, control, kStudent);
    teacher.send(410, mode, kStudent);
    sync(teacher, kTeacher, { &student });

    for (const Sample &sample : samples)
        QVERIFY2(countRecv(student, sample.signal, kTeacher, sample.payload) == 1,
                 qPrintable(recvLine(sample.signal, kTeacher, sample.payload)));
    QCOMPARE(countRecv(student, "signal_receiveFunctionControl", kTeacher, control), 1);
    QCOMPARE(countRecv(student, "signal_receiveClassModelControl", kTeacher, mode), 1);
    // Exactly these and nothing more, each once.
    QCOMPARE(student.linesStartingWith(QStringLiteral("recv ")).size(), samples.size() + 3);
    // A capable sender's envelopes raise the capability signal first.
    QCOMPARE(precededByCapability(student, kTeacher), samples.size() + 3);
    // The teacher's own messages came back to no signal.
    QVERIFY(teacher.linesStartingWith(QStringLiteral("recv ")).isEmpty());
}

void TestClassroomMessaging::studentMessagesReachTeacher()
{
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId));
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId));

    student.command(QStringLiteral("capability 0"));
    const QJsonObject draw{ { "objecttype", 1 }, { "atPage", 1 }, { "classid", m_classId }, { "mtlid", "m" }, { "objectdetail", "{}" } };
    const QJsonObject answer{ { "classid", m_classId }, { "uid", kStudent }, { "curSpeakerId", "s1" }, { "curMicrophoneId", "m1" },
                              { "curCameraId", "" }, { "speackers", QJsonArray({ device("s1", "Speakers", 1) }) },
                              { "microphones", QJsonArray({ device("m1", "Mic", 2), device("m2", "Headset", 2) }) },
                              { "cameras", QJsonArray() } };
    student.send(300, draw);
    student.send(604, answer, kTeacher);
    sync(student, kStudent, { &teacher });
    QCOMPARE(countRecv(teacher, "signal_receiveDrawMsg", kStudent, draw), 1);
    QCOMPARE(countRecv(teacher, "signal_receiveResponseDeviceInfo", kStudent, answer), 1);
    // Only the student's JoinChannel, built before it turned capability off.
    QCOMPARE(teacher.linesStartingWith(QStringLiteral("capability ") + kStudent).size(), 1);
    QVERIFY(student.linesStartingWith(QStringLiteral("recv ")).isEmpty());
}

void TestClassroomMessaging::peerMessageReachesOnlyItsAddressee()
{
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    ClassroomPeerProcess classmate;
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId));
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId));
    QVERIFY(classmate.start(ClassroomPeerProcess::Student, kClassmate, m_classId));

    const QJsonObject control{ { "classid", m_classId }, { "type", 1 }, { "uid", kStudent }, { "enabled", 0 } };
    teacher.send(402, control, kStudent);
    sync(teacher, kTeacher, { &student, &classmate });
    QCOMPARE(countRecv(student, "signal_receiveFunctionControl", kTeacher, control), 1);
    QVERIFY(classmate.linesStartingWith(QStringLiteral("recv signal_receiveFunctionControl")).isEmpty());
}

void TestClassroomMessaging::backEndControlMessages()
{
    ClassroomPeerProcess student;
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId));
    const QString topic = QStringLiteral("tp/velmo/signal/channel/%1/message").arg(m_classId);
    struct Order
    {
        int type;
        const char *signal;
        QJsonObject sent;
        QJsonObject read;
    };
    const QVector<Order> orders = {
        { 601, "signal_receiveSendSysMsg", { { "classid", m_classId }, { "uid", kStudent }, { "level", 2 }, { "content", "note" } },
          { { "classid", m_classId }, { "uid", kStudent }, { "level", 2 }, { "content", "note" } } },
        { 602, "signal_receiveRefreshApp", { { "classid", m_classId }, { "type", "3" }, { "uid", kStudent }, { "alertMsg", "restart" } },
          { { "classid", m_classId }, { "type", 3 }, { "uid", kStudent }, { "alertMsg", "restart" } } },
        { 603, "signal_receiveRequestDeivceInfo", { { "classid", m_classId }, { "uid", 20001 } },
          { { "classid", m_classId }, { "uid", kStudent } } },
        { 605, "signal_receiveSwitchDevice", { { "uid", kStudent }, { "deviceType", "2" }, { "deviceId", "m2" } },
          { { "uid", kStudent }, { "classid", "" }, { "deviceType", 2 }, { "deviceId", "m2" }, { "deviceName", "" }, { "alertMsg", "" } } },
        { 606, "signal_receiveSetVideoProfileMsg", { { "uid", kStudent } },
          { { "classid", "" }, { "uid", kStudent }, { "video_profile", -1 } } },
    };
    int sequence = 0;
    for (const Order &order : orders) {
        const QJsonObject envelope{ { "version", 2 }, { "sequence", sequence++ }, { "type", order.type }, { "src", 2 },
                                    { "sender", "console" }, { "uuid", QUuid::createUuid().toString(QUuid::WithoutBraces) },
                                    { "data", order.sent } };
        QVERIFY(TopicWatcher::publish(m_broker.port(), topic, QString::fromUtf8(QJsonDocument(envelope).toJson(QJsonDocument::Compact))));
    }
    for (const Order &order : orders)
        QVERIFY2(student.waitForLine([&](const QString &line) { return isRecv(line, order.signal, QStringLiteral("console"), order.read); }),
                 qPrintable(recvLine(order.signal, QStringLiteral("console"), order.read)));
}

void TestClassroomMessaging::helpdeskReportGoesToTheServerOnly()
{
    TopicWatcher server;
    QVERIFY(server.start(m_broker.port(), QStringLiteral("tp/velmo/signal/server")));
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId));
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId));

    const QJsonObject report{ { "classid", m_classId },
                              { "users", QJsonArray({ QJsonObject{ { "uid", kStudent }, { "userType", 1 } } }) },
                              { "issueTags", QJsonArray({ 2, 5 }) },
                              { "description", "no sound" },
                              { "descriptionImages", QJsonArray({ "http://x/1.png" }) } };
    student.command(QStringLiteral("server ") + QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)));
    QVERIFY(server.waitFor([&](const TopicWatcher::Message &m) {
        const QJsonObject envelope = QJsonDocument::fromJson(m.payload.toUtf8()).object();
        return envelope.value("type").toInt() == 610 && envelope.value("sender").toString() == kStudent
            && envelope.value("data").toObject() == report;
    }));
    sync(student, kStudent, { &teacher });
    QVERIFY(teacher.linesStartingWith(QStringLiteral("recv signal_receiveHelpdeskTeacherMsg")).isEmpty());
}

void TestClassroomMessaging::presenceAndWill()
{
    ClassroomPeerProcess student;
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess classmate;
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId));
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId));
    // The one present answers the newcomer; the newcomer learns of it.
    QVERIFY(student.waitForLine(QStringLiteral("joined ") + kTeacher));
    QVERIFY(teacher.waitForLine(QStringLiteral("joined ") + kStudent));
    QVERIFY(classmate.start(ClassroomPeerProcess::Student, kClassmate, m_classId));
    QVERIFY(classmate.waitForLine(QStringLiteral("joined ") + kStudent));
    QVERIFY(classmate.waitForLine(QStringLiteral("joined ") + kTeacher));

    // Killed without a goodbye: the broker tells the others.
    student.kill();
    QVERIFY(teacher.waitForLine(QStringLiteral("left ") + kStudent));
    QVERIFY(classmate.waitForLine(QStringLiteral("left ") + kStudent));

    // Leaving the class says so itself.
    teacher.command(QStringLiteral("leave"));
    QVERIFY(classmate.waitForLine(QStringLiteral("left ") + kTeacher));
}

void TestClassroomMessaging::brokerGoneAndBack()
{
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    // The 2000 ms re-login pause in 200 ms.
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId, 0.1));
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, m_classId, 0.1));
    const int teacherMark = teacher.lineCount();
    const int studentMark = student.lineCount();

    m_broker.stop();
    const auto lost = [](const QString &line) { return line.startsWith(QLatin1String("lost")); };
    QVERIFY(teacher.waitForLine(lost, 10000, teacherMark));
    QVERIFY(student.waitForLine(lost, 10000, studentMark));
    // Logins keep failing while the broker is away.
    const auto failed = [](const QString &line) { return line.startsWith(QLatin1String("login failed")); };
    QVERIFY(student.waitForLine(failed, 10000, studentMark));

    QVERIFY(m_broker.start());
    QVERIFY(teacher.waitForLine(QStringLiteral("inchannel"), 15000, teacherMark));
    QVERIFY(student.waitForLine(QStringLiteral("inchannel"), 15000, studentMark));
    const QJsonObject page{ { "classid", m_classId }, { "mtlid", "m" }, { "prePage", 0 }, { "toPage", 7 } };
    teacher.send(301, page);
    QVERIFY(student.waitForLine([&](const QString &line) { return isRecv(line, "signal_receiveTurnToPageMsg", kTeacher, page); }));
}

QTEST_GUILESS_MAIN(TestClassroomMessaging)
#include "tst_classroommessaging.moc"
