// Glass to glass, one 640x480 camera: the sender's synthetic camera (a
// participant process on our engine, LESSONRY_FRAME_STAMPS=1) draws each
// frame's number and the moment it drew it into the picture; the picture
// goes as VP8 through a real Janus to this process, whose video widget
// shows it; the stamp is read off the widget's picture after its paint.
// Beside it the floor: the same stamped frames through a bare gst-launch
// pair over plain RTP (same encoder and jitter buffer settings), read as
// they leave the decoder. The two take turns, round after round; both
// clocks are the machine's monotonic clock.
//
//   bench_glasstoglass [seconds per run, default 5] [rounds, default 3]

#include "barevideopair.h"
#include "benchvideoengine.h"
#include "median.h"
#include "rtcpeerprocess.h"
#include "stampwatcher.h"

#include "platform/rtc/rtcvideosource.h"
#include "widget/widgetvideo.h"

#include <QApplication>
#include <QProcessEnvironment>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Percentiles
{
    double p50 = 0;
    double p99 = 0;
    size_t count = 0;
};

Percentiles percentiles(std::vector<double> values)
{
    Percentiles p;
    p.count = values.size();
    if (values.empty())
        return p;
    std::sort(values.begin(), values.end());
    p.p50 = values[values.size() / 2];
    p.p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
    return p;
}

void print(const char *name, const Percentiles &p)
{
    std::printf("  %-46s p50 %4.0f ms, p99 %4.0f ms (%zu frames)\n", name, p.p50, p.p99, p.count);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 3;

    static BenchJoinHandler handler;
    agora::rtc::IRtcEngine *engine = startBenchVideoEngine(&handler);
    if (!engine)
        return 1;
    WidgetVideo widget;
    widget.resize(RtcVideoSource::kFrameWidth, RtcVideoSource::kFrameHeight);
    widget.show();
    StampWatcher watcher(&widget);

    MosquittoBroker broker;
    JanusServer janus;
    if (!startBenchRelay(engine, broker, janus))
        return 1;
    RtcPeerProcess sender(broker.port(), 30001);
    sender.setMedia(janus.url());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LESSONRY_FRAME_STAMPS"), QStringLiteral("1"));
    sender.process().setProcessEnvironment(environment);
    if (!sender.start())
        return 1;
    sender.command(QStringLiteral("video"));
    sender.take(QStringLiteral("video-result"));
    sender.command(QStringLiteral("join bench"));
    if (!joinBenchChannel(engine, handler, "bench", 20001))
        return 1;
    engine->setupRemoteVideo({ &widget, agora::rtc::RENDER_MODE_HIDDEN, 30001, nullptr });
    QElapsedTimer waited;
    waited.start();
    while (watcher.take().empty() && waited.elapsed() < 20000)
        QTest::qWait(100);
    if (waited.elapsed() >= 20000) {
        std::fprintf(stderr, "no stamped frame was shown (%d paints without a stamp)\n", watcher.unreadable());
        return 1;
    }

    std::printf("glass to glass, one 640x480 camera at %d frames per second, %d s per run, taking turns:\n",
                RtcVideoSource::kFramesPerSecond, seconds);
    std::vector<double> ours;
    std::vector<double> floor;
    bool clean = true;
    for (int round = 1; round <= rounds; ++round) {
        // Settled first: the switch is not measured.
        QTest::qWait(1000);
        watcher.take();
        QTest::qWait(seconds * 1000);
        const std::vector<double> oursNow = watcher.take();
        BareVideoPair bare;
        if (!bare.start())
            return 1;
        QTest::qWait(1000);
        bare.take();
        QTest::qWait(seconds * 1000);
        const std::vector<double> floorNow = bare.take();
        clean = bare.stop() && clean;
        std::printf("round %d:\n", round);
        print("ours, drawn there to shown here through Janus", percentiles(oursNow));
        print("bare gst-launch pair, drawn to decoded", percentiles(floorNow));
        ours.insert(ours.end(), oursNow.begin(), oursNow.end());
        floor.insert(floor.end(), floorNow.begin(), floorNow.end());
    }
    const Percentiles all = percentiles(ours);
    const Percentiles bare = percentiles(floor);
    std::printf("all rounds:\n");
    print("ours", all);
    print("bare gst-launch pair", bare);
    std::printf("  ratio of the p50s %.2f; goal: ours p50 <= 150 ms\n", bare.p50 > 0 ? all.p50 / bare.p50 : 0.0);
    if (watcher.unreadable() > 0)
        std::printf("  (%d paints showed no readable stamp)\n", watcher.unreadable());
    sender.command(QStringLiteral("quit"));
    const int senderStatus = sender.finish();
    engine->leaveChannel();
    engine->release(true);
    if (senderStatus != 0)
        std::fprintf(stderr, "the sender ended with status %d\n", senderStatus);
    return clean && senderStatus == 0 ? 0 : 1;
}
