// Measures the classroom message path:
//  - envelope encode (buildMsgText) and decode per second: read once
//    (ReceivedEnvelope and its payload, as a copy is read now) beside the
//    header and then the typed envelope parsed apart (as it was read
//    before, a third time on MQTT), and receiveMsg as a whole (the read,
//    the repeat check, the log line, the action record and the signal);
//  - one message from a teacher process (lessonry-classroom-peer-teacher,
//    "stamp": the wall-clock time of its send in the text) to
//    signal_receiveTextMsg in a student process, over a mosquitto broker
//    of its own, both with the message log on as in the client; beside it,
//    interleaved round by round, the broker's own hop between two plain
//    Paho processes at the same QoS with a payload of the same size
//    (bench_rawhoppeer), and the paired differences and ratios. Against a
//    broker with set_tcp_nodelay true (as the project configures its
//    brokers) and against mosquitto's default.

#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "peerhop.h"
#include "testutil.h"

#include "mgr/logmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

const int kCodecRounds = 20000;
const int kHops = 1000;
const int kWarmUp = 50;

qint64 nowMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

DrawUnitData sampleStroke()
{
    DrawUnitData draw;
    draw.objecttype = 1;
    draw.atPage = 3;
    draw.classid = QStringLiteral("10001");
    draw.mtlid = QStringLiteral("m-4711");
    QString points;
    for (int i = 0; i < 50; ++i)
        points += (i ? QStringLiteral(",") : QString()) + QString::number(65536 * (100 + i) + 200 + i);
    draw.objectdetail = QStringLiteral(R"({"element":{"color":4294901760,"page":3,"ptArray":[%1],"size":3,"type":1},"version":1})").arg(points);
    return draw;
}

void codecFigures()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    const DrawUnitData draw = sampleStroke();
    QElapsedTimer timer;

    timer.start();
    QString text;
    for (int i = 0; i < kCodecRounds; ++i)
        text = layer->buildMsgText(draw, IM_WBDraw, QStringLiteral("30001"));
    const double encode = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    timer.restart();
    for (int i = 0; i < kCodecRounds; ++i) {
        BaseMessageEntity header;
        MessageEntity<DrawUnitData> entity;
        fromJson(text, header);
        fromJson(text, entity);
    }
    const double decode = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    timer.restart();
    for (int i = 0; i < kCodecRounds; ++i) {
        ReceivedEnvelope envelope;
        DrawUnitData data;
        ReceivedEnvelope::read(text, envelope);
        envelope.payload(data);
    }
    const double readOnce = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    // Fresh uuids, so every text passes the repeat check.
    QStringList texts;
    for (int i = 0; i < kCodecRounds; ++i)
        texts << layer->buildMsgText(draw, IM_WBDraw, QStringLiteral("30001"));
    int received = 0;
    // The counter lives on this frame: the connection ends with it, or a
    // later stroke would write into whatever frame is there then.
    QObject scope;
    QObject::connect(layer, &SendAndReceiveMsg::signal_receiveDrawMsg, &scope, [&received] { ++received; });
    timer.restart();
    for (const QString &t : qAsConst(texts))
        layer->receiveMsg(t);
    const double receive = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    std::printf("envelope of a 50-point stroke: %d bytes\n", int(text.toUtf8().size()));
    std::printf("%-44s %10.0f /s\n", "encode (buildMsgText)", encode);
    std::printf("%-44s %10.0f /s\n", "decode, read once (ReceivedEnvelope)", readOnce);
    std::printf("%-44s %10.0f /s\n", "decode, header and typed envelope apart", decode);
    std::printf("%-44s %10.0f /s  (%d signals)\n", "receiveMsg, whole", receive, received);
}

// --- one message between two processes, beside a raw hop ---------------

// The last event lines of a participant, to tell where a message stopped.
void printTail(const char *who, const ClassroomPeerProcess &peer)
{
    const QStringList lines = peer.lines();
    for (int i = qMax(0, lines.size() - 12); i < lines.size(); ++i)
        std::printf("  %s: %s\n", who, qPrintable(lines.at(i)));
}

bool wireRun(const char *title, bool tcpNoDelay, const QString &dataDir, int payloadBytes)
{
    const std::unique_ptr<MosquittoBroker> broker = PeerHop::startBroker(tcpNoDelay, dataDir);
    if (!broker)
        return false;
    const QString bin = TestUtil::binDir();
    const QString port = QString::number(broker->port());
    const QString classId = QStringLiteral("bench");
    ClassroomPeerProcess student;
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess subscriber;
    ClassroomPeerProcess publisher;
    const QStringList raw = { QStringLiteral("--port"), port, QStringLiteral("--size"), QString::number(payloadBytes),
                              QStringLiteral("--role") };
    if (!student.startProgram(QDir(bin).filePath(QStringLiteral("lessonry-classroom-peer-student")),
                              { QStringLiteral("--uid"), QStringLiteral("20001"), QStringLiteral("--class"), classId, QStringLiteral("--log") })
        || !teacher.startProgram(QDir(bin).filePath(QStringLiteral("lessonry-classroom-peer-teacher")),
                                 { QStringLiteral("--uid"), QStringLiteral("30001"), QStringLiteral("--class"), classId, QStringLiteral("--log") })
        || !subscriber.startProgram(QDir(bin).filePath(QStringLiteral("bench_rawhoppeer")), raw + QStringList{ QStringLiteral("sub") })
        || !publisher.startProgram(QDir(bin).filePath(QStringLiteral("bench_rawhoppeer")), raw + QStringList{ QStringLiteral("pub") })) {
        std::printf("the peers did not start\n");
        return false;
    }
    std::vector<double> ours;
    std::vector<double> raws;
    for (int i = 0; i < kHops + kWarmUp; ++i) {
        const double message = PeerHop::hop(teacher, student, QStringLiteral("stamp"), QStringLiteral("got stamp "));
        const double hop = PeerHop::hop(publisher, subscriber, QStringLiteral("pub"), QStringLiteral("painted raw "));
        if (message < 0 || hop < 0) {
            std::printf("round %d: the %s did not arrive\n", i, message < 0 ? "message" : "raw hop");
            printTail("teacher", teacher);
            printTail("student", student);
            return false;
        }
        if (i < kWarmUp)
            continue;
        ours.push_back(message);
        raws.push_back(hop);
    }
    std::printf("%s (%zu rounds, ms)\n", title, ours.size());
    PeerHop::printPaired("sendMsg -> signal_receiveTextMsg", ours, "raw Paho publish -> arrival, QoS 1", raws);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    Singleton<LogMgr>::instance()->init();

    std::printf("== envelope encode and decode (%d rounds)\n", kCodecRounds);
    codecFigures();

    const int payloadBytes = SendAndReceiveMsg::instance()
                                 ->buildMsgText(TextMessage{ QStringLiteral("stamp"), QStringLiteral("10001"),
                                                             QString::number(nowMicros()) },
                                                IM_Text, QStringLiteral("30001"))
                                 .toUtf8()
                                 .size();
    std::printf("\n== one message between two processes, %d times, one at a time, taken in turn with a raw hop of %d bytes\n",
                kHops, payloadBytes);
    if (!wireRun("broker with set_tcp_nodelay true", true, home.path(), payloadBytes))
        return 1;
    std::printf("\n");
    if (!wireRun("broker with mosquitto's default (Nagle on)", false, home.path(), payloadBytes))
        return 1;
    return 0;
}
