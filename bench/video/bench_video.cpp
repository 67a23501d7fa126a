// Frames per second and CPU of one 640x480 video stream: the synthetic
// camera of a participant in another process, carried as VP8 through a real Janus
// and drawn in this process's video widget, next to the same camera drawn
// locally without transport; the two take turns, round after round. A
// frame counts when the widget shows a picture it did not show before
// (each paint's picture is hashed), not per paint, so repaints of one
// frame count once. The hashing costs both sides alike.
//
//   bench_video [seconds per run, default 3] [rounds, default 3]

#include "benchvideoengine.h"
#include "framecounter.h"
#include "processcpu.h"
#include "rtcpeerprocess.h"

#include "widget/widgetvideo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

struct Figures
{
    double fps = 0;
    double paintsPerSecond = 0;
    double ownCpu = 0;  // % of one core
    double peerCpu = 0; // % of one core
};

Figures measure(FrameCounter &counter, int seconds, qint64 peerPid)
{
    // Settle first: the first frames and the switch are not measured.
    QTest::qWait(1000);
    const int framesBefore = counter.frames;
    const int paintsBefore = counter.paints;
    const double ownBefore = ownCpuSeconds();
    const double peerBefore = peerPid ? processCpuSeconds(peerPid) : 0;
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(seconds * 1000);
    const double elapsed = clock.elapsed() / 1000.0;
    Figures f;
    f.fps = (counter.frames - framesBefore) / elapsed;
    f.paintsPerSecond = (counter.paints - paintsBefore) / elapsed;
    f.ownCpu = 100 * (ownCpuSeconds() - ownBefore) / elapsed;
    f.peerCpu = peerPid ? 100 * (processCpuSeconds(peerPid) - peerBefore) / elapsed : 0;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 3;

    static BenchJoinHandler handler;
    agora::rtc::IRtcEngine *engine = startBenchVideoEngine(&handler);
    if (!engine)
        return 1;

    WidgetVideo widget;
    widget.resize(640, 480);
    widget.show();
    FrameCounter counter(&widget, FrameCounter::Picture::Rendered);

    // The same camera in another process, through Janus.
    MosquittoBroker broker;
    JanusServer janus;
    if (!startBenchRelay(engine, broker, janus))
        return 1;
    RtcPeerProcess sender(broker.port(), 30001);
    sender.setMedia(janus.url());
    if (!sender.start())
        return 1;
    sender.command(QStringLiteral("video"));
    sender.take(QStringLiteral("video-result"));
    sender.command(QStringLiteral("join bench"));
    if (!joinBenchChannel(engine, handler, "bench", 20001))
        return 1;

    std::printf("one 640x480 stream, synthetic camera at its 15 frames per second, %d s per run\n", seconds);
    std::printf("%-6s %-44s %10s %10s %12s %14s\n", "round", "", "frames/s", "paints/s", "CPU here", "CPU sender");
    QVector<double> ratios;
    for (int round = 1; round <= rounds; ++round) {
        // Local: the synthetic camera into the widget, no transport.
        engine->setupRemoteVideo({ nullptr, agora::rtc::RENDER_MODE_HIDDEN, 30001, nullptr });
        engine->setupLocalVideo({ &widget, agora::rtc::RENDER_MODE_HIDDEN, 0, nullptr });
        engine->startPreview();
        const Figures local = measure(counter, seconds, 0);
        engine->stopPreview();
        engine->setupLocalVideo({ nullptr, agora::rtc::RENDER_MODE_HIDDEN, 0, nullptr });
        // Remote: the other process's camera into the same widget.
        engine->setupRemoteVideo({ &widget, agora::rtc::RENDER_MODE_HIDDEN, 30001, nullptr });
        const Figures remote = measure(counter, seconds, sender.process().processId());
        std::printf("%-6d %-44s %10.1f %10.1f %10.1f %% %14s\n", round, "drawn locally, no transport", local.fps,
                    local.paintsPerSecond, local.ownCpu, "");
        std::printf("%-6d %-44s %10.1f %10.1f %10.1f %% %12.1f %%\n", round,
                    "from another process through Janus (VP8)", remote.fps, remote.paintsPerSecond, remote.ownCpu,
                    remote.peerCpu);
        ratios << remote.fps / local.fps;
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("frames shown, through Janus / local, paired: median %.3f, range %.3f-%.3f\n",
                ratios.at(ratios.size() / 2), ratios.first(), ratios.last());
    sender.command(QStringLiteral("quit"));
    sender.finish();
    engine->leaveChannel();
    engine->release(true);
    return 0;
}
