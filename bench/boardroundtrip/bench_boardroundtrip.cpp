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
#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Percentiles
{
    double p50 = 0;
    double p99 = 0;
};

Percentiles percentiles(std::vector<double> samples)
{
    Percentiles result;
    if (samples.empty())
        return result;
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double share) { return samples[std::min(samples.size() - 1, size_t(share * samples.size()))]; };
    result.p50 = at(0.5);
    result.p99 = at(0.99);
    return result;
}

void print(const char *what, const std::vector<double> &samples, const char *unit)
{
    const Percentiles p = percentiles(samples);
    std::printf("  %-40s p50 %8.3f %s   p99 %8.3f %s   (%zu)\n", what, p.p50, unit, p.p99, unit, samples.size());
}

// One command to from, then the "sent" line of from and the "painted"
// line of to; the difference in ms, or -1.
double hop(ClassroomPeerProcess &from, ClassroomPeerProcess &to, const QString &command, const QString &paintedPrefix)
{
    const int fromStart = from.lineCount();
    const int toStart = to.lineCount();
    from.command(command);
    QString sent;
    QString painted;
    const bool ok = from.waitForLine([&sent](const QString &line) {
        if (!line.startsWith(QLatin1String("sent ")))
            return false;
        sent = line;
        return true;
    }, 10000, fromStart) && to.waitForLine([&](const QString &line) {
        if (!line.startsWith(paintedPrefix))
            return false;
        painted = line;
        return true;
    }, 10000, toStart);
    if (!ok)
        return -1;
    return (painted.section(QLatin1Char(' '), 3, 3).toLongLong() - sent.section(QLatin1Char(' '), 1, 1).toLongLong()) / 1000.0;
}

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
    MosquittoBroker::Options options;
    options.tcpNoDelay = tcpNoDelay;
    MosquittoBroker broker(options);
    const QString ini = QDir(dataDir).filePath(QStringLiteral("servers.ini"));
    if (!broker.start() || !TestUtil::useServersIni(ini, { "http://127.0.0.1:9", {}, {}, {}, {}, {} })
        || !broker.useInServersIni(ini)) {
        std::printf("cannot start a broker\n");
        return false;
    }
    const QString bin = TestUtil::binDir();
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    ClassroomPeerProcess publisher;
    ClassroomPeerProcess subscriber;
    const QString port = QString::number(broker.port());
    if (!student.startProgram(QDir(bin).filePath("lessonry-board-peer-student"), { "--uid", "20001", "--class", "bench", "--log" })
        || !teacher.startProgram(QDir(bin).filePath("lessonry-board-peer-teacher"), { "--uid", "30001", "--class", "bench", "--log" })
        || !subscriber.startProgram(QDir(bin).filePath("bench_rawhoppeer"), { "--port", port, "--role", "sub" })
        || !publisher.startProgram(QDir(bin).filePath("bench_rawhoppeer"), { "--port", port, "--role", "pub" })) {
        std::printf("the peers did not start\n");
        return false;
    }
    std::vector<double> strokes;
    std::vector<double> raws;
    std::vector<double> differences;
    std::vector<double> ratios;
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
        differences.push_back(stroke - raw);
        ratios.push_back(raw > 0 ? stroke / raw : 0);
    }
    std::printf("%s (%zu rounds, ms)\n", title, strokes.size());
    print("stroke: pen released to the other board", strokes, "ms");
    print("raw hop: publish to arrival, QoS 1", raws, "ms");
    print("paired difference stroke - raw", differences, "ms");
    print("paired ratio stroke / raw", ratios, "x ");
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
