// A real stroke from one client to another over a real broker, beside the
// broker's own hop measured the same way, interleaved round by round:
//  - stroke: the teacher's board peer process draws a 50-point stroke
//    (pen released: "sent") and the student's board peer process has
//    handled it ("got": the board holds the stroke and has asked for a
//    repaint; the paint itself is the render benchmarks' part); the
//    message goes as the client sends it (the three transports, QoS 1),
//    both peers with the message log on as in the client;
//  - raw hop: one plain Paho client process publishes a message of the
//    same size at QoS 1 ("sent") and another receives it ("painted");
//    both set TCP_NODELAY as the client does.
// Each round measures one of each; the paired differences and ratios are
// printed beside the percentiles. The whole runs twice: against a broker
// with set_tcp_nodelay true (as the project configures its brokers) and
// against mosquitto's default.
#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "peerhop.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using PeerHop::hop;

namespace {

// A stroke across the page, a little lower each round: the press, 48
// moves and the release make 50 points, one message on the wire (the
// board sends at most 50 points a message).
QString strokeCommand(int round)
{
    QStringList points;
    const int y = 1000 + (round % 80) * 100;
    for (int i = 0; i < 49; ++i)
        points << QStringLiteral("%1,%2").arg(1000 + i * 150).arg(y + (i % 2) * 40);
    return QStringLiteral("stroke ") + points.join(QLatin1Char(' '));
}

bool run(const char *title, bool tcpNoDelay, int rounds, const QString &dataDir)
{
    const std::unique_ptr<MosquittoBroker> broker = PeerHop::startBroker(tcpNoDelay, dataDir);
    if (!broker)
        return false;
    const QString bin = TestUtil::binDir();
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    ClassroomPeerProcess publisher;
    ClassroomPeerProcess subscriber;
    const QString port = QString::number(broker->port());
    if (!student.startProgram(QDir(bin).filePath("lessonry-board-peer-student"), { "--uid", "20001", "--class", "bench", "--log" })
        || !teacher.startProgram(QDir(bin).filePath("lessonry-board-peer-teacher"), { "--uid", "30001", "--class", "bench", "--log" })
        || !subscriber.startProgram(QDir(bin).filePath("bench_rawhoppeer"), { "--port", port, "--role", "sub" })
        || !publisher.startProgram(QDir(bin).filePath("bench_rawhoppeer"), { "--port", port, "--role", "pub" })) {
        std::printf("the peers did not start\n");
        return false;
    }
    std::vector<double> strokes;
    std::vector<double> raws;
    for (int i = 0; i < rounds + 20; ++i) {
        const double stroke = hop(teacher, student, strokeCommand(i), QStringLiteral("got draw "));
        const double raw = hop(publisher, subscriber, QStringLiteral("pub"), QStringLiteral("painted raw "));
        if (stroke < 0 || raw < 0) {
            std::printf("round %d: the %s did not arrive\n", i, stroke < 0 ? "stroke" : "raw hop");
            const QStringList tail = (stroke < 0 ? student : subscriber).lines();
            for (const QString &line : tail.mid(qMax(0, tail.size() - 5)))
                std::printf("  %s\n", qPrintable(line.left(200)));
            break;
        }
        // Now and then a clean page, so the boards stay light.
        if (i % 50 == 49)
            teacher.command(QStringLiteral("erase"));
        if (i < 20) // warm-up
            continue;
        strokes.push_back(stroke);
        raws.push_back(raw);
    }
    std::printf("%s (%zu rounds, ms)\n", title, strokes.size());
    PeerHop::printPaired("stroke: pen released to the other board", strokes, "raw hop: publish to arrival, QoS 1", raws);
    for (ClassroomPeerProcess *peer : { &teacher, &student })
        peer->command(QStringLiteral("quit"));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    // The peers keep their logs here, as the client keeps its own.
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(20, atoi(argv[1])) : 300;
    std::printf("%d rounds of a 50-point stroke and a raw hop, taken in turn, over mosquitto on 127.0.0.1\n\n", rounds);
    if (!run("broker with set_tcp_nodelay true", true, rounds, home.path()))
        return 1;
    std::printf("\n");
    if (!run("broker with mosquitto's default (Nagle on)", false, rounds, home.path()))
        return 1;
    return 0;
}
