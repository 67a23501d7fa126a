// A 1:1 lesson's sound and video through a real Janus, each participant a
// helper process on our engine (both send the synthetic camera and a tone,
// both show the other's video; the student plays on a PulseAudio of the
// bench, whose sink it hears):
//  - mouth to ear: the teacher unmutes its 1000 Hz tone; the time until the
//    tone is heard at the student's sink, counted in the sink's own samples
//    from the unmute command on (the command's trip over the helper's
//    standard input, well under a millisecond, is in it);
//  - gaps: the teacher's tone heard for a while at the student's sink, in
//    10 ms pieces; a piece without the tone is a gap (a late packet the
//    jitter buffer gave up on, the sink running dry);
//  - CPU per client over a window, beside the floor: two bare gst-launch
//    pipelines sending the same media to each other over plain RTP/UDP
//    (same encoders and settings, no Janus, no encryption, no pictures
//    drawn), the two pairs taking turns;
//  - bits per second per camera, as the engine's stats report what it sent.
//
//   bench_rtcmedia [rounds, default 20] [CPU window s, default 10]

#include "janusserver.h"
#include "median.h"
#include "mosquittobroker.h"
#include "processcpu.h"
#include "pulseaudioserver.h"
#include "rtcpeerprocess.h"
#include "testutil.h"
#include "tonedetector.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <vector>

namespace {

const int kTone = 1000;

double share(const QVector<qint16> &samples)
{
    return ToneDetector::share(samples, PulseAudioServer::kRecordRate, kTone);
}

// Milliseconds from now (the caller just unmuted) until the tone is heard.
double timeToTone(PulseAudioServer &sound)
{
    const int window = PulseAudioServer::kRecordRate / 200; // 5 ms
    QVector<qint16> heard;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        heard += sound.heard(20);
        for (int start = 0; start + 2 * window <= heard.size(); start += window) {
            const QVector<qint16> part = heard.mid(start, 2 * window);
            if (share(part) > 0.3 && ToneDetector::peak(part) > 0.05)
                return start * 1000.0 / PulseAudioServer::kRecordRate;
        }
    }
    return -1;
}

bool waitForSilence(PulseAudioServer &sound)
{
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (ToneDetector::peak(sound.heard(100)) < 0.01)
            return true;
    }
    return false;
}

QStringList floorPipeline(quint16 audioOut, quint16 videoOut, quint16 audioIn, quint16 videoIn, const QString &speaker)
{
    const QString send = QStringLiteral(
        "audiotestsrc is-live=true wave=sine freq=%1 volume=0.5 ! audioconvert ! audioresample ! audio/x-raw,rate=48000,channels=1 "
        "! opusenc bitrate=48000 frame-size=10 ! rtpopuspay pt=111 ! udpsink host=127.0.0.1 port=%2 "
        "videotestsrc is-live=true pattern=ball ! video/x-raw,width=640,height=480,framerate=15/1 ! videoconvert "
        "! vp8enc deadline=1 cpu-used=8 threads=1 end-usage=cbr target-bitrate=500000 ! rtpvp8pay pt=96 "
        "! udpsink host=127.0.0.1 port=%3 ").arg(kTone).arg(audioOut).arg(videoOut);
    const QString receive = QStringLiteral(
        "udpsrc port=%1 caps=application/x-rtp,media=audio,encoding-name=OPUS,clock-rate=48000,payload=111 "
        "! rtpjitterbuffer latency=20 ! rtpopusdepay ! opusdec ! audioconvert ! audioresample ! %3 "
        "udpsrc port=%2 caps=application/x-rtp,media=video,encoding-name=VP8,clock-rate=90000,payload=96 "
        "! rtpjitterbuffer latency=20 ! rtpvp8depay ! vp8dec ! videoconvert ! video/x-raw,format=BGRx ! fakesink sync=false async=false")
        .arg(audioIn).arg(videoIn)
        .arg(speaker.isEmpty() ? QStringLiteral("fakesink sync=true async=false")
                               : QStringLiteral("pulsesink device=%1 buffer-time=80000 latency-time=10000 async=false").arg(speaker));
    return (QStringLiteral("-q ") + send + receive).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// CPU of the two processes over seconds, % of one core each, summed.
double cpuOver(qint64 first, qint64 second, int seconds)
{
    const double before = processCpuSeconds(first) + processCpuSeconds(second);
    QElapsedTimer clock;
    clock.start();
    QDeadlineTimer until(seconds * 1000);
    while (!until.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return (processCpuSeconds(first) + processCpuSeconds(second) - before) * 100000.0 / double(clock.elapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 20;
    const int window = argc > 2 ? qMax(2, atoi(argv[2])) : 10;

    MosquittoBroker broker;
    JanusServer janus;
    PulseAudioServer sound;
    if (!broker.start() || !janus.start() || !sound.start() || !sound.startListening()) {
        std::fprintf(stderr, "no broker, Janus or PulseAudio\n");
        return 1;
    }
    RtcPeerProcess teacher(broker.port(), 30001);
    RtcPeerProcess student(broker.port(), 20001);
    teacher.setMedia(janus.url(), kTone);
    student.setMedia(janus.url(), 440, PulseAudioServer::nullSinkName());
    student.process().setProcessEnvironment(sound.clientEnvironment());
    if (!teacher.start() || !student.start())
        return 1;
    for (RtcPeerProcess *peer : { &teacher, &student }) {
        peer->command(QStringLiteral("video"));
        peer->command(QStringLiteral("bind %1").arg(peer == &teacher ? 20001 : 30001));
    }
    if (teacher.joinWithStream(QStringLiteral("bench")) <= 0 || student.joinWithStream(QStringLiteral("bench")) <= 0)
        return 1;
    student.command(QStringLiteral("mute 1")); // only the teacher's tone at the student's sink
    if (teacher.take(QStringLiteral("first-frame 20001"), 20000).isEmpty()) {
        std::fprintf(stderr, "no video reached the teacher\n");
        return 1;
    }

    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        teacher.command(QStringLiteral("mute 1"));
        if (!waitForSilence(sound))
            break;
        sound.forget();
        teacher.command(QStringLiteral("mute 0"));
        const double ms = timeToTone(sound);
        if (ms >= 0)
            latencies.push_back(ms);
    }
    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    std::printf("mouth to ear, teacher's tone unmuted to heard at the student's sink, %zu of %d rounds:\n", sorted.size(), rounds);
    if (!sorted.empty())
        std::printf("  p50 %.0f ms, p90 %.0f ms, min %.0f ms, max %.0f ms (goal: p50 <= 100 ms)\n", sorted[sorted.size() / 2],
                    sorted[sorted.size() * 9 / 10], sorted.front(), sorted.back());

    // Gaps in the tone, the teacher unmuted.
    const int listenMs = 10000;
    teacher.command(QStringLiteral("mute 0"));
    QDeadlineTimer settle(1000);
    while (!settle.hasExpired())
        sound.heard(50);
    const QVector<qint16> tone = sound.heard(listenMs);
    const int piece = PulseAudioServer::kRecordRate / 100;
    int pieces = 0;
    int gaps = 0;
    for (int start = 0; start + piece <= tone.size(); start += piece, ++pieces) {
        const QVector<qint16> part = tone.mid(start, piece);
        if (share(part) < 0.3 || ToneDetector::peak(part) < 0.05)
            ++gaps;
    }
    std::printf("gaps in the teacher's tone at the student's sink over %d ms: %d of %d pieces of 10 ms\n", listenMs, gaps, pieces);

    // CPU: ours and the floor, taking turns.
    student.command(QStringLiteral("mute 0"));
    std::vector<double> ours;
    std::vector<double> floors;
    for (int round = 0; round < 3; ++round) {
        ours.push_back(cpuOver(teacher.process().processId(), student.process().processId(), window) / 2);
        QProcess a;
        QProcess b;
        const quint16 ports[4] = { TestUtil::freeTcpPort(), TestUtil::freeTcpPort(), TestUtil::freeTcpPort(), TestUtil::freeTcpPort() };
        a.setProcessChannelMode(QProcess::ForwardedChannels);
        b.setProcessChannelMode(QProcess::ForwardedChannels);
        // The receiving sinks do not wait for the other side's first
        // packets to start (async=false): the senders run from the start.
        b.setProcessEnvironment(sound.clientEnvironment());
        a.start(QStringLiteral("gst-launch-1.0"), floorPipeline(ports[0], ports[1], ports[2], ports[3], QString()));
        b.start(QStringLiteral("gst-launch-1.0"), floorPipeline(ports[2], ports[3], ports[0], ports[1], PulseAudioServer::nullSinkName()));
        if (!a.waitForStarted() || !b.waitForStarted())
            return 1;
        // Settled like ours: past the start.
        QDeadlineTimer settle(2000);
        while (!settle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        floors.push_back(cpuOver(a.processId(), b.processId(), window) / 2);
        if (a.state() != QProcess::Running || b.state() != QProcess::Running)
            std::fprintf(stderr, "the gst-launch pair ended early: %d %d\n", a.exitCode(), b.exitCode());
        TestUtil::stopProcess(a);
        TestUtil::stopProcess(b);
    }
    std::printf("CPU per client (%% of one core, %d s windows, 3 rounds each, taking turns):\n", window);
    for (size_t i = 0; i < ours.size(); ++i)
        std::printf("  round %zu: ours %.1f %%, bare gst-launch pair %.1f %%, ratio %.2f\n", i + 1, ours[i], floors[i],
                    floors[i] > 0 ? ours[i] / floors[i] : 0.0);
    std::printf("  median ratio %.2f (goal <= 1.3)\n", median(std::vector<double> { ours[0] / floors[0], ours[1] / floors[1], ours[2] / floors[2] }));

    std::vector<double> video;
    std::vector<double> audio;
    // The newest reports: the camera has long been sending by then.
    QStringList reports = teacher.lines().filter(QRegularExpression(QStringLiteral("^stats ")));
    reports = reports.mid(qMax(0, reports.size() - 5));
    for (const QString &line : qAsConst(reports)) {
        audio.push_back(line.section(QStringLiteral("audio="), 1).section(QLatin1Char(' '), 0, 0).toDouble());
        video.push_back(line.section(QStringLiteral("video="), 1).section(QLatin1Char(' '), 0, 0).toDouble());
    }
    std::printf("sent per client (RTP, the engine's stats, median of %zu reports): camera %.0f kbit/s, sound %.0f kbit/s "
                "(goal: camera <= 875 kbit/s, a quarter of the JPEG stream's 3.5 Mbit/s)\n",
                video.size(), median(video), median(audio));
    teacher.finish();
    student.finish();
    return 0;
}
