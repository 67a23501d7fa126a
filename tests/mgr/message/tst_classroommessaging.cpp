// A teacher and students in separate processes, in one class on all three
// transports (signalling, RTC data stream, MQTT) over a real broker: every
// message type travels three times and arrives once as its typed signal on
// the other side, the two later copies dropped as repeats; own messages come
// back to nothing; presence and the will reach the others; a peer message
// reaches only its addressee on the transports that have a peer form; with
// one transport cut the others still carry the class; and the class carries
// on after the broker went away and came back.

#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "topicwatcher.h"

#include "mgr/message/sendandreceivemsg.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QUuid>
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

const QStringList kTransports = { QStringLiteral("sig"), QStringLiteral("rtc"), QStringLiteral("mqtt") };

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

int countRecv(const ClassroomPeerProcess &peer, const char *signal, const QString &sender, const QJsonObject &payload,
              int from = 0)
{
    const QStringList lines = peer.lines();
    int count = 0;
    for (int i = from; i < lines.size(); ++i)
        count += isRecv(lines.at(i), signal, sender, payload);
    return count;
}

int countLines(const ClassroomPeerProcess &peer, const std::function<bool(const QString &)> &match, int from = 0)
{
    const QStringList lines = peer.lines();
    int count = 0;
    for (int i = from; i < lines.size(); ++i)
        count += match(lines.at(i));
    return count;
}

// The transports that delivered a copy of the envelope uuid, one entry per copy.
QStringList copiesOf(const ClassroomPeerProcess &peer, const QString &uuid)
{
    QStringList transports;
    for (const QString &line : peer.lines()) {
        if (line.startsWith(QLatin1String("via ")) && line.section(QLatin1Char(' '), 4, 4) == uuid)
            transports << line.section(QLatin1Char(' '), 1, 1);
    }
    transports.sort();
    return transports;
}

int repeatsOf(const ClassroomPeerProcess &peer, const QString &uuid)
{
    return peer.lines().count(QStringLiteral("repeat ") + uuid);
}

// Waits until every transport named has delivered its copy of uuid. Each
// transport keeps one sender's order, so whatever that sender sent before
// on it has arrived too.
bool waitForCopies(ClassroomPeerProcess &peer, const QString &uuid, const QStringList &transports = kTransports)
{
    const bool complete = !uuid.isEmpty() && peer.waitForLine([&](const QString &) {
        const QStringList copies = copiesOf(peer, uuid);
        for (const QString &transport : transports) {
            if (!copies.contains(transport))
                return false;
        }
        return true;
    });
    if (!complete)
        qWarning("copies of %s: %s", qPrintable(uuid), qPrintable(copiesOf(peer, uuid).join(QLatin1Char(' '))));
    return complete;
}

// How many typed signals from sender came right after its capability signal.
int precededByCapability(const ClassroomPeerProcess &peer, const QString &sender, int from)
{
    const QStringList lines = peer.lines();
    int count = 0;
    for (int i = qMax(1, from); i < lines.size(); ++i) {
        if (lines.at(i).startsWith(QLatin1String("recv ")) && lines.at(i).section(QLatin1Char(' '), 2, 2) == sender)
            count += lines.at(i - 1) == QStringLiteral("capability ") + sender;
    }
    return count;
}

bool isRecvFrom(const QString &line, const QString &sender)
{
    return line.startsWith(QLatin1String("recv ")) && line.section(QLatin1Char(' '), 2, 2) == sender;
}

} // namespace

class TestClassroomMessaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void everyTypeFromTeacherArrivesOnce();
    void studentMessagesReachTeacher();
    void peerMessageReachesOnlyItsAddressee();
    void backEndControlMessages();
    void helpdeskReportGoesToTheServerOnly();
    void presenceAndWill();
    void oneTransportCutThenLeave();
    void brokerGoneAndBack();

private:
    // Sends one message and returns its envelope's uuid.
    QString send(ClassroomPeerProcess &from, int type, const QJsonObject &payload, const QString &peerUid = QString());
    QString sendText(ClassroomPeerProcess &from, const QString &content);

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    // One class for the cases that share their participants.
    const QString m_classId = QStringLiteral("c-shared");
    ClassroomPeerProcess m_teacher;
    ClassroomPeerProcess m_student;
    ClassroomPeerProcess m_classmate;
};

// The shared participants re-login after 1000 ms instead of 2000 ms: long
// enough that what is sent right after a cut finds the transport still out.
const double kSharedTimeScale = 0.5;

void TestClassroomMessaging::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    QVERIFY(m_student.start(ClassroomPeerProcess::Student, kStudent, m_classId, kSharedTimeScale));
    QVERIFY(m_teacher.start(ClassroomPeerProcess::Teacher, kTeacher, m_classId, kSharedTimeScale));
}

void TestClassroomMessaging::cleanupTestCase()
{
    QVERIFY(m_teacher.finish());
    QVERIFY(m_student.finish());
    QVERIFY(m_classmate.finish());
}

QString TestClassroomMessaging::send(ClassroomPeerProcess &from, int type, const QJsonObject &payload, const QString &peerUid)
{
    const int mark = from.lineCount();
    from.send(type, payload, peerUid);
    const QString prefix = QStringLiteral("sent %1 ").arg(type);
    if (!from.waitForLine([&](const QString &line) { return line.startsWith(prefix); }, 10000, mark))
        return QString();
    for (const QString &line : from.lines().mid(mark)) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QString();
}

QString TestClassroomMessaging::sendText(ClassroomPeerProcess &from, const QString &content)
{
    return send(from, 1, { { "nickname", "mark" }, { "classid", m_classId }, { "content", content } });
}

void TestClassroomMessaging::everyTypeFromTeacherArrivesOnce()
{
    const int mark = m_student.lineCount();
    const int teacherMark = m_teacher.lineCount();
    const QVector<Sample> samples = channelSamples(m_classId);
    QStringList uuids;
    for (const Sample &sample : samples)
        uuids << send(m_teacher, sample.type, sample.payload);
    // The peer forms the classroom sends to one student.
    const QJsonObject control{ { "classid", m_classId }, { "type", 2 }, { "uid", kStudent }, { "enabled", 1 } };
    const QJsonObject mode{ { "type", 0 }, { "classid", m_classId } };
    uuids << send(m_teacher, 402, control, kStudent) << send(m_teacher, 410, mode, kStudent);
    QCOMPARE(QSet<QString>(uuids.begin(), uuids.end()).size(), samples.size() + 2);

    for (const QString &uuid : uuids) {
        // Three copies, one per transport; the two later ones were repeats.
        QVERIFY(waitForCopies(m_student, uuid));
        QCOMPARE(copiesOf(m_student, uuid), QStringList({ "mqtt", "rtc", "sig" }));
        QCOMPARE(repeatsOf(m_student, uuid), 2);
    }
    for (const Sample &sample : samples)
        QVERIFY2(countRecv(m_student, sample.signal, kTeacher, sample.payload, mark) == 1,
                 qPrintable(recvLine(sample.signal, kTeacher, sample.payload)));
    QCOMPARE(countRecv(m_student, "signal_receiveFunctionControl", kTeacher, control, mark), 1);
    QCOMPARE(countRecv(m_student, "signal_receiveClassModelControl", kTeacher, mode, mark), 1);
    // Exactly these and nothing more, each once.
    QCOMPARE(countLines(m_student, [](const QString &line) { return isRecvFrom(line, kTeacher); }, mark), samples.size() + 2);
    // A capable sender's envelopes raise the capability signal first.
    QCOMPARE(precededByCapability(m_student, kTeacher, mark), samples.size() + 2);

    // The teacher's own messages, which the class topic carries back to it,
    // went to no signal.
    QCOMPARE(countLines(m_teacher, [](const QString &line) { return isRecvFrom(line, kTeacher); }, teacherMark), 0);
}

void TestClassroomMessaging::studentMessagesReachTeacher()
{
    // The student's earlier messages (its answers in the cases before) may
    // still be on their way, each with the capability it had then: a marker
    // behind them on every transport brings them in before the count starts.
    const QJsonObject marker{ { "objecttype", 1 }, { "atPage", 1 }, { "classid", m_classId }, { "mtlid", "marker" }, { "objectdetail", "{}" } };
    QVERIFY(waitForCopies(m_teacher, send(m_student, 300, marker)));
    const int mark = m_teacher.lineCount();
    const int capabilityMark = m_teacher.linesStartingWith(QStringLiteral("capability ") + kStudent).size();
    m_student.command(QStringLiteral("capability 0"));
    const QJsonObject draw{ { "objecttype", 1 }, { "atPage", 1 }, { "classid", m_classId }, { "mtlid", "m" }, { "objectdetail", "{}" } };
    const QJsonObject answer{ { "classid", m_classId }, { "uid", kStudent }, { "curSpeakerId", "s1" }, { "curMicrophoneId", "m1" },
                              { "curCameraId", "" }, { "speackers", QJsonArray({ device("s1", "Speakers", 1) }) },
                              { "microphones", QJsonArray({ device("m1", "Mic", 2), device("m2", "Headset", 2) }) },
                              { "cameras", QJsonArray() } };
    const QString drawUuid = send(m_student, 300, draw);
    const QString answerUuid = send(m_student, 604, answer, kTeacher);
    QVERIFY(waitForCopies(m_teacher, drawUuid));
    QVERIFY(waitForCopies(m_teacher, answerUuid));
    QCOMPARE(repeatsOf(m_teacher, drawUuid), 2);
    QCOMPARE(repeatsOf(m_teacher, answerUuid), 2);
    QCOMPARE(countRecv(m_teacher, "signal_receiveDrawMsg", kStudent, draw, mark), 1);
    QCOMPARE(countRecv(m_teacher, "signal_receiveResponseDeviceInfo", kStudent, answer, mark), 1);
    // Capability off: no capability signal for these.
    QCOMPARE(m_teacher.linesStartingWith(QStringLiteral("capability ") + kStudent).size(), capabilityMark);
    m_student.command(QStringLiteral("capability 1"));
}

void TestClassroomMessaging::peerMessageReachesOnlyItsAddressee()
{
    QVERIFY(m_classmate.start(ClassroomPeerProcess::Student, kClassmate, m_classId, kSharedTimeScale));
    const int mark = m_classmate.lineCount();

    const QJsonObject control{ { "classid", m_classId }, { "type", 1 }, { "uid", kStudent }, { "enabled", 0 } };
    const QString uuid = send(m_teacher, 402, control, kStudent);
    // The same road to the classmate, sent after: once this is in, the
    // student's copy would have been in before it.
    const QJsonObject own{ { "classid", m_classId }, { "type", 1 }, { "uid", kClassmate }, { "enabled", 1 } };
    const QString ownUuid = send(m_teacher, 402, own, kClassmate);
    QVERIFY(waitForCopies(m_student, uuid));
    QVERIFY(waitForCopies(m_classmate, ownUuid));
    QCOMPARE(countRecv(m_student, "signal_receiveFunctionControl", kTeacher, control), 1);
    QCOMPARE(countRecv(m_classmate, "signal_receiveFunctionControl", kTeacher, own, mark), 1);
    // Signalling and MQTT address one peer; the data stream has no
    // addressee, so its copy reaches every member of the RTC channel, whose
    // classroom reads the payload's uid.
    QCOMPARE(copiesOf(m_classmate, uuid), QStringList({ "rtc" }));
    QCOMPARE(countRecv(m_classmate, "signal_receiveFunctionControl", kTeacher, control, mark), 1);
    // The student's data-stream copy of the classmate's message travels on
    // its own connection and may still be on its way.
    QTRY_VERIFY_WITH_TIMEOUT(m_student.linesStartingWith(QStringLiteral("via ")).filter(ownUuid).size() == 1, 10000);
    QCOMPARE(m_student.linesStartingWith(QStringLiteral("via ")).filter(ownUuid),
             m_student.linesStartingWith(QStringLiteral("via rtc")).filter(ownUuid));
}

void TestClassroomMessaging::backEndControlMessages()
{
    const int mark = m_student.lineCount();
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
        QVERIFY2(m_student.waitForLine([&](const QString &line) { return isRecv(line, order.signal, QStringLiteral("console"), order.read); },
                                       10000, mark),
                 qPrintable(recvLine(order.signal, QStringLiteral("console"), order.read)));
}

void TestClassroomMessaging::helpdeskReportGoesToTheServerOnly()
{
    TopicWatcher server;
    QVERIFY(server.start(m_broker.port(), QStringLiteral("tp/velmo/signal/server")));
    const QJsonObject report{ { "classid", m_classId },
                              { "users", QJsonArray({ QJsonObject{ { "uid", kStudent }, { "userType", 1 } } }) },
                              { "issueTags", QJsonArray({ 2, 5 }) },
                              { "description", "no sound" },
                              { "descriptionImages", QJsonArray({ "http://x/1.png" }) } };
    const int mark = m_student.lineCount();
    m_student.command(QStringLiteral("server ") + QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)));
    QVERIFY(m_student.waitForLine([](const QString &line) { return line.startsWith(QLatin1String("sent 610 ")); }, 10000, mark));
    const QString uuid = m_student.linesStartingWith(QStringLiteral("sent 610 ")).last().section(QLatin1Char(' '), 2);
    QVERIFY(server.waitFor([&](const TopicWatcher::Message &m) {
        const QJsonObject envelope = QJsonDocument::fromJson(m.payload.toUtf8()).object();
        return envelope.value("type").toInt() == 610 && envelope.value("sender").toString() == kStudent
            && envelope.value("data").toObject() == report;
    }));
    // Sent after it on the same MQTT connection: the report would be in first.
    QVERIFY(waitForCopies(m_teacher, sendText(m_student, QStringLiteral("after the report"))));
    QVERIFY(copiesOf(m_teacher, uuid).isEmpty());
    QVERIFY(m_teacher.linesStartingWith(QStringLiteral("recv signal_receiveHelpdeskTeacherMsg")).isEmpty());
}

void TestClassroomMessaging::oneTransportCutThenLeave()
{
    const auto receivedOnceWithout = [this](const QString &uuid, const QString &missing) {
        QStringList others = kTransports;
        others.removeOne(missing);
        QVERIFY(waitForCopies(m_student, uuid, others));
        QVERIFY(!copiesOf(m_student, uuid).contains(missing));
        QCOMPARE(repeatsOf(m_student, uuid), 1);
    };

    // The teacher's next signalling send fails: the other two still carry it.
    int mark = m_student.lineCount();
    m_teacher.command(QStringLiteral("fail sig 1"));
    const QString failedUuid = sendText(m_teacher, QStringLiteral("not over signalling"));
    QVERIFY(m_teacher.waitForLine(QStringLiteral("send failed 1")));
    receivedOnceWithout(failedUuid, QStringLiteral("sig"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(countLines(m_student, [](const QString &line) { return line.startsWith(QLatin1String("recv signal_receiveTextMsg")); }, mark), 1);

    // The student's signalling network drops for good: the session ends and
    // the class page logs in again 1000 ms later (2000 ms at full time).
    // That login is held until the messages below have been seen, so they
    // surely go while signalling is out, however slow the machine.
    mark = m_student.lineCount();
    const int teacherMark = m_teacher.lineCount();
    m_student.command(QStringLiteral("hold sig logins"));
    m_student.command(QStringLiteral("cut sig"));
    QVERIFY(m_student.waitForLine([](const QString &line) { return line.startsWith(QLatin1String("sig lost ")); }, 10000, mark));
    const int lostAt = m_student.lineCount();
    const QJsonObject page{ { "classid", m_classId }, { "mtlid", "m1" }, { "prePage", 3 }, { "toPage", 4 } };
    const QString pageUuid = send(m_teacher, 301, page);
    const QString textUuid = sendText(m_teacher, QStringLiteral("while signalling is out"));
    receivedOnceWithout(pageUuid, QStringLiteral("sig"));
    receivedOnceWithout(textUuid, QStringLiteral("sig"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(countRecv(m_student, "signal_receiveTurnToPageMsg", kTeacher, page, mark), 1);
    // They came while it was out.
    QCOMPARE(countLines(m_student, [](const QString &line) { return line == QLatin1String("sig inchannel"); }, lostAt), 0);

    // The others see the student leave the signalling channel for now.
    QVERIFY(m_teacher.waitForLine(QStringLiteral("sig left ") + kStudent, 10000, teacherMark));

    // Back in through the page's re-login: all three carry messages again.
    m_student.command(QStringLiteral("release sig logins"));
    QVERIFY(m_student.waitForLine(QStringLiteral("sig login ok"), 10000, lostAt));
    QVERIFY(m_teacher.waitForLine(QStringLiteral("sig joined ") + kStudent, 10000, teacherMark));
    QVERIFY(m_student.waitForLine(QStringLiteral("inchannel"), 10000, lostAt));
    const QString againUuid = sendText(m_teacher, QStringLiteral("signalling is back"));
    QVERIFY(waitForCopies(m_student, againUuid));
    QCOMPARE(repeatsOf(m_student, againUuid), 2);

    // Leaving the class says so itself, on every transport.
    mark = m_student.lineCount();
    m_teacher.command(QStringLiteral("leave"));
    for (const QString &transport : kTransports)
        QVERIFY2(m_student.waitForLine(transport + QStringLiteral(" left ") + kTeacher, 10000, mark), qPrintable(transport));
}

void TestClassroomMessaging::presenceAndWill()
{
    // Everyone learnt of everyone else on every transport.
    for (const QString &transport : kTransports) {
        const QString joined = transport + QStringLiteral(" joined ");
        QVERIFY2(m_teacher.waitForLine(joined + kStudent), qPrintable(transport));
        QVERIFY2(m_teacher.waitForLine(joined + kClassmate), qPrintable(transport));
        QVERIFY2(m_student.waitForLine(joined + kTeacher), qPrintable(transport));
        QVERIFY2(m_student.waitForLine(joined + kClassmate), qPrintable(transport));
        QVERIFY2(m_classmate.waitForLine(joined + kTeacher), qPrintable(transport));
        QVERIFY2(m_classmate.waitForLine(joined + kStudent), qPrintable(transport));
    }

    // Killed without a goodbye: the broker tells the others.
    const int teacherMark = m_teacher.lineCount();
    const int studentMark = m_student.lineCount();
    m_classmate.kill();
    for (const QString &transport : kTransports) {
        const QString left = transport + QStringLiteral(" left ") + kClassmate;
        QVERIFY2(m_teacher.waitForLine(left, 10000, teacherMark), qPrintable(transport));
        QVERIFY2(m_student.waitForLine(left, 10000, studentMark), qPrintable(transport));
    }
}

void TestClassroomMessaging::brokerGoneAndBack()
{
    // The shared participants are done; two fresh ones in a class of their own.
    QVERIFY(m_teacher.finish());
    QVERIFY(m_student.finish());
    const QString classId = QStringLiteral("c-broker");
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    // The 2000 ms re-login pause in 200 ms.
    QVERIFY(teacher.start(ClassroomPeerProcess::Teacher, kTeacher, classId, 0.1));
    QVERIFY(student.start(ClassroomPeerProcess::Student, kStudent, classId, 0.1));
    const int teacherMark = teacher.lineCount();
    const int studentMark = student.lineCount();

    m_broker.stop();
    const auto starts = [](const char *prefix) {
        return [prefix](const QString &line) { return line.startsWith(QLatin1String(prefix)); };
    };
    // Each transport reports the loss.
    for (ClassroomPeerProcess *peer : { &teacher, &student }) {
        const int mark = peer == &teacher ? teacherMark : studentMark;
        QVERIFY(peer->waitForLine(starts("mqtt lost"), 10000, mark));
        QVERIFY(peer->waitForLine(starts("sig reconnecting"), 10000, mark));
        QVERIFY(peer->waitForLine(QStringLiteral("rtc lost"), 10000, mark));
    }
    // MQTT logins keep failing while the broker is away.
    QVERIFY(student.waitForLine(starts("mqtt login failed"), 10000, studentMark));

    QVERIFY(m_broker.start());
    for (ClassroomPeerProcess *peer : { &teacher, &student }) {
        const int mark = peer == &teacher ? teacherMark : studentMark;
        QVERIFY(peer->waitForLine(QStringLiteral("inchannel"), 20000, mark));
        QVERIFY(peer->waitForLine(QStringLiteral("sig reconnected"), 1, mark));
        QVERIFY(peer->waitForLine(QStringLiteral("rtc back"), 1, mark));
    }
    const QJsonObject page{ { "classid", classId }, { "mtlid", "m" }, { "prePage", 0 }, { "toPage", 7 } };
    const QString uuid = send(teacher, 301, page);
    QVERIFY(waitForCopies(student, uuid));
    QCOMPARE(repeatsOf(student, uuid), 2);
    QCOMPARE(countRecv(student, "signal_receiveTurnToPageMsg", kTeacher, page, studentMark), 1);
    QVERIFY(teacher.finish());
    QVERIFY(student.finish());
}

QTEST_GUILESS_MAIN(TestClassroomMessaging)
#include "tst_classroommessaging.moc"
