// A class of one teacher and six students on one machine through one
// Janus, each a helper process on our engine that sends the synthetic
// camera and a tone of its own and receives every other's sound and
// pictures (the teacher shows the six students, each student the
// teacher). CPU per client and Janus's over a window, beside the 1:1
// lesson of the same processes: five students leave before each 1:1
// window and join again before each class window, the two taking turns.
//
//   bench_rtcclass [CPU window s, default 10] [rounds, default 3]

#include "janusserver.h"
#include "median.h"
#include "mosquittobroker.h"
#include "processcpu.h"
#include "rtcpeerprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

const uint kTeacher = 30001;
const int kStudents = 6;
const char kChannel[] = "bench";

// The Janus this process started: found among its children by name (the
// fixture keeps its process to itself).
qint64 janusPid()
{
    const QByteArray parent = QByteArray::number(getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const int open = line.indexOf('(');
        const int close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (line.mid(open + 1, close - open - 1) == "janus" && rest.size() > 1 && rest.at(1) == parent)
            return entry.toLongLong();
    }
    return 0;
}

void pass(int ms)
{
    QDeadlineTimer until(ms);
    while (!until.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// % of one core each process used over the window.
std::vector<double> cpuOver(const std::vector<qint64> &pids, int seconds)
{
    std::vector<double> before;
    for (qint64 pid : pids)
        before.push_back(processCpuSeconds(pid));
    QElapsedTimer clock;
    clock.start();
    pass(seconds * 1000);
    std::vector<double> used;
    for (size_t i = 0; i < pids.size(); ++i)
        used.push_back((processCpuSeconds(pids[i]) - before[i]) * 100000.0 / double(clock.elapsed()));
    return used;
}

bool join(RtcPeerProcess &peer)
{
    peer.command(QStringLiteral("join %1").arg(QLatin1String(kChannel)));
    return !peer.take(QStringLiteral("joined "), 20000).isEmpty();
}

bool leave(RtcPeerProcess &peer)
{
    peer.command(QStringLiteral("leave"));
    return !peer.take(QStringLiteral("left"), 20000).isEmpty();
}

// Frames the teacher's render of uid has received so far.
int framesAtTeacher(RtcPeerProcess &teacher, uint uid)
{
    teacher.command(QStringLiteral("frames %1").arg(uid));
    return teacher.take(QStringLiteral("frames %1 ").arg(uid)).section(QLatin1Char(' '), 2, 2).toInt();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int window = argc > 1 ? qMax(2, atoi(argv[1])) : 10;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 3;

    MosquittoBroker broker;
    JanusServer janus;
    if (!broker.start() || !janus.start()) {
        std::fprintf(stderr, "no broker or no Janus\n");
        return 1;
    }
    const qint64 janusProcess = janusPid();
    if (janusProcess <= 0) {
        std::fprintf(stderr, "Janus's process was not found\n");
        return 1;
    }
    std::vector<std::unique_ptr<RtcPeerProcess>> peers;
    peers.push_back(std::make_unique<RtcPeerProcess>(broker.port(), kTeacher));
    peers.back()->setMedia(janus.url(), 300);
    for (int i = 0; i < kStudents; ++i) {
        peers.push_back(std::make_unique<RtcPeerProcess>(broker.port(), uint(20001 + i)));
        peers.back()->setMedia(janus.url(), 400 + 100 * i);
    }
    RtcPeerProcess &teacher = *peers.front();
    for (auto &peer : peers) {
        if (!peer->start())
            return 1;
        peer->command(QStringLiteral("video"));
        if (peer.get() == &teacher) {
            for (int i = 0; i < kStudents; ++i)
                peer->command(QStringLiteral("bind %1").arg(20001 + i));
        } else {
            peer->command(QStringLiteral("bind %1").arg(kTeacher));
        }
        if (!join(*peer)) {
            std::fprintf(stderr, "participant %u did not join\n", peer->uid());
            return 1;
        }
    }
    const int settleMs = 3000;
    pass(settleMs);

    std::vector<qint64> pids;
    for (auto &peer : peers)
        pids.push_back(peer->process().processId());
    pids.push_back(janusProcess);
    const size_t janusIndex = pids.size() - 1;

    std::printf("one teacher and %d students through one Janus, every client sending a 640x480 camera and a tone; "
                "CPU in %% of one core over %d s windows, taking turns with the 1:1 lesson:\n", kStudents, window);
    std::vector<double> teacherRatios;
    std::vector<double> studentRatios;
    std::vector<double> janusRatios;
    for (int round = 1; round <= rounds; ++round) {
        // 1:1: the teacher and the first student.
        for (int i = 2; i <= kStudents; ++i) {
            if (!leave(*peers[size_t(i)]))
                return 1;
        }
        pass(settleMs);
        const std::vector<double> pair = cpuOver(pids, window);
        for (int i = 2; i <= kStudents; ++i) {
            if (!join(*peers[size_t(i)]))
                return 1;
            // A view's binding ends when its participant leaves, as in the client.
            teacher.command(QStringLiteral("bind %1").arg(20000 + i));
        }
        pass(settleMs);
        std::vector<int> framesBefore;
        for (int i = 0; i < kStudents; ++i)
            framesBefore.push_back(framesAtTeacher(teacher, uint(20001 + i)));
        const std::vector<double> cls = cpuOver(pids, window);
        int fewest = 1 << 30;
        int most = 0;
        for (int i = 0; i < kStudents; ++i) {
            const int frames = framesAtTeacher(teacher, uint(20001 + i)) - framesBefore[size_t(i)];
            fewest = std::min(fewest, frames);
            most = std::max(most, frames);
        }
        std::vector<double> students(cls.begin() + 1, cls.begin() + 1 + kStudents);
        const double student = median(students);
        std::printf("round %d:\n", round);
        std::printf("  1:1       teacher %5.1f %%, student %5.1f %%, Janus %5.1f %%\n", pair[0], pair[1], pair[janusIndex]);
        std::printf("  1 + %d     teacher %5.1f %%, students %5.1f %% (median; %.1f-%.1f), Janus %5.1f %%; "
                    "the teacher got %.1f-%.1f frames/s of each student\n",
                    kStudents, cls[0], student, *std::min_element(students.begin(), students.end()),
                    *std::max_element(students.begin(), students.end()), cls[janusIndex], fewest / double(window), most / double(window));
        teacherRatios.push_back(cls[0] / pair[0]);
        studentRatios.push_back(student / pair[1]);
        janusRatios.push_back(pair[janusIndex] > 0 ? cls[janusIndex] / pair[janusIndex] : 0);
    }
    std::printf("class / 1:1, median of %d rounds: teacher %.2f, student %.2f, Janus %.2f\n", rounds, median(teacherRatios),
                median(studentRatios), median(janusRatios));
    int status = 0;
    for (auto &peer : peers) {
        peer->command(QStringLiteral("quit"));
        const int code = peer->finish();
        if (code != 0) {
            std::fprintf(stderr, "participant %u ended with status %d\n", peer->uid(), code);
            status = 1;
        }
    }
    return status;
}
