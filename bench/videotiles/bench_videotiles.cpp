// The video tiles of a lesson of one teacher and five students in one
// process: six streams of the synthetic camera (15 frames a second), each
// from a participant process of its own through a real Janus, each drawn in
// its tile's video view. Next to it, in the same run and taking turns
// round after round, one stream alone in one tile. Per configuration and
// tile: the frames that reached the tile's render ("delivered": decoded and
// handed over, whether shown or not) and the frames shown (a frame counts
// when the tile's part of the window, as it goes to the screen, holds a
// picture it did not hold before), each per second; this process's CPU per
// delivered frame and per shown frame; and the GUI thread's event latency
// while the streams play (a probe posted every 4 ms, timed from its post to
// its delivery).
//
// CPU is divided by the frames that arrived, not by the streams: a stream
// that delivers few frames costs little and would make six streams look
// cheap. A tile of six whose delivered rate is under half of what the
// stream alone delivered beside it is flagged as starved.
//
//   bench_videotiles [seconds per run, default 4] [rounds, default 3]

#include "benchvideoengine.h"
#include "framecounter.h"
#include "median.h"
#include "processcpu.h"
#include "rtcpeerprocess.h"

#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetvideoitemt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const int kStreams = 6;
const uint kFirstUid = 30001;
const char kChannel[] = "tiles";
// A tile of six delivering less than this share of the paired lone
// stream's frames is starved.
const double kStarvedShare = 0.5;
// How long the streams may take to start before a run is measured anyway.
const int kStartTimeoutMs = 30000;

// How long queued events wait on the GUI thread: a probe is posted every
// 4 ms and timed from its post to its delivery.
class LatencyProbe
{
public:
    LatencyProbe()
    {
        m_clock.start();
        m_timer.setInterval(4);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 posted = m_clock.nsecsElapsed();
            QMetaObject::invokeMethod(&m_timer, [this, posted] {
                if (m_recording)
                    m_samples.push_back(double(m_clock.nsecsElapsed() - posted) / 1e6);
            }, Qt::QueuedConnection);
        });
        m_timer.start();
    }
    void start()
    {
        m_samples.clear();
        m_recording = true;
    }
    // p50 and p99 in ms of the samples since start().
    std::pair<double, double> stop()
    {
        m_recording = false;
        if (m_samples.empty())
            return { 0, 0 };
        std::sort(m_samples.begin(), m_samples.end());
        const auto at = [this](double q) { return m_samples.at(std::min(m_samples.size() - 1, size_t(q * double(m_samples.size())))); };
        return { at(0.5), at(0.99) };
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<double> m_samples;
    bool m_recording = false;
};

struct Figures
{
    std::vector<double> fps;       // per tile, frames shown per second
    std::vector<double> delivered; // per tile, frames handed to its render per second
    double ownCpu = 0;             // % of one core
    double p50 = 0;
    double p99 = 0;
    qint64 startMs = 0;     // until every tile had its first frames
    bool allStarted = false;

    static double sum(const std::vector<double> &values)
    {
        double total = 0;
        for (double value : values)
            total += value;
        return total;
    }
    // ms of CPU per frame, 0 when no frame came (nothing to divide by).
    static double perFrame(double cpuPercent, double framesPerSecond)
    {
        return framesPerSecond > 0 ? cpuPercent * 10 / framesPerSecond : 0;
    }
    double cpuPerDelivered() const { return perFrame(ownCpu, sum(delivered)); }
    double cpuPerShown() const { return perFrame(ownCpu, sum(fps)); }
};

Figures measure(const std::vector<std::unique_ptr<FrameCounter>> &counters,
                const std::vector<std::shared_ptr<std::atomic<int>>> &delivered, int tiles, int seconds, LatencyProbe &probe)
{
    // Settle first: joins, first frames and the switch are not measured.
    // Through Janus a stream takes a while to start (offer, ICE, DTLS, a key
    // frame), longer on a loaded machine: every tile's first frame is waited
    // for, then a moment more. A tile that gets none is measured as it is.
    std::vector<int> atStart;
    for (int i = 0; i < tiles; ++i)
        atStart.push_back(*delivered.at(size_t(i)));
    QElapsedTimer waited;
    waited.start();
    const auto allStarted = [&] {
        for (int i = 0; i < tiles; ++i) {
            if (*delivered.at(size_t(i)) <= atStart.at(size_t(i)) + 1)
                return false;
        }
        return true;
    };
    while (!allStarted() && waited.elapsed() < kStartTimeoutMs)
        QTest::qWait(50);
    Figures f;
    f.startMs = waited.elapsed();
    f.allStarted = allStarted();
    QTest::qWait(1500);
    std::vector<int> before;
    std::vector<int> deliveredBefore;
    for (int i = 0; i < tiles; ++i) {
        before.push_back(counters.at(size_t(i))->frames);
        deliveredBefore.push_back(*delivered.at(size_t(i)));
    }
    const double cpuBefore = ownCpuSeconds();
    probe.start();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(seconds * 1000);
    const double elapsed = double(clock.elapsed()) / 1000.0;
    for (int i = 0; i < tiles; ++i) {
        f.fps.push_back(double(counters.at(size_t(i))->frames - before.at(size_t(i))) / elapsed);
        f.delivered.push_back(double(*delivered.at(size_t(i)) - deliveredBefore.at(size_t(i))) / elapsed);
    }
    f.ownCpu = 100 * (ownCpuSeconds() - cpuBefore) / elapsed;
    const auto latency = probe.stop();
    f.p50 = latency.first;
    f.p99 = latency.second;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, atoi(argv[1])) : 4;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 3;

    static BenchJoinHandler handler;
    agora::rtc::IRtcEngine *engine = startBenchVideoEngine(&handler);
    if (!engine)
        return 1;

    // The tiles as a class page lays them out: the teacher's first.
    QWidget page;
    auto *grid = new QGridLayout(&page);
    std::vector<WidgetVideoItem *> tiles;
    std::vector<std::unique_ptr<FrameCounter>> counters;
    std::vector<std::shared_ptr<std::atomic<int>>> delivered;
    for (int i = 0; i < kStreams; ++i) {
        WidgetVideoItem *tile = i == 0 ? static_cast<WidgetVideoItem *>(new WidgetVideoItemT(&page))
                                       : static_cast<WidgetVideoItem *>(new WidgetVideoItemS(&page));
        tile->setFixedSize(256, 192);
        tile->setNickName(QStringLiteral("Participant %1").arg(i + 1));
        // In the channel with the camera on, as after the participant's join.
        tile->setStateFlag(true);
        tile->muteVideo(false);
        grid->addWidget(tile, i / 3, i % 3);
        tiles.push_back(tile);
        counters.push_back(std::make_unique<FrameCounter>(tile->getVideoWidget(), FrameCounter::Picture::Shown));
        delivered.push_back(benchRenderFactory().countFramesFor(tile->getVideoWidget()));
    }
    page.show();

    MosquittoBroker broker;
    JanusServer janus;
    if (!startBenchRelay(engine, broker, janus))
        return 1;
    std::vector<std::unique_ptr<RtcPeerProcess>> senders;
    for (int i = 0; i < kStreams; ++i) {
        auto sender = std::make_unique<RtcPeerProcess>(broker.port(), kFirstUid + uint(i));
        sender->setMedia(janus.url());
        if (!sender->start())
            return 1;
        sender->command(QStringLiteral("video"));
        sender->take(QStringLiteral("video-result"));
        senders.push_back(std::move(sender));
    }
    if (!joinBenchChannel(engine, handler, kChannel, 20001))
        return 1;
    for (int i = 0; i < kStreams; ++i)
        engine->setupRemoteVideo({ tiles.at(size_t(i))->getVideoWidget(), agora::rtc::RENDER_MODE_HIDDEN,
                                   kFirstUid + uint(i), nullptr });
    senders.front()->command(QStringLiteral("join ") + QLatin1String(kChannel));
    bool othersIn = false;
    const auto setOthers = [&](bool in) {
        if (othersIn == in)
            return;
        for (size_t i = 1; i < senders.size(); ++i)
            senders.at(i)->command(in ? QStringLiteral("join ") + QLatin1String(kChannel) : QStringLiteral("leave"));
        for (size_t i = 1; i < senders.size(); ++i)
            senders.at(i)->take(in ? QStringLiteral("joined") : QStringLiteral("left"));
        othersIn = in;
    };

    LatencyProbe probe;
    std::printf("tiles of 256x192, synthetic cameras at 15 frames per second from processes of their own, %d s per run\n",
                seconds);
    std::printf("per tile: delivered frames/s (reached the render) / shown frames/s; CPU of this process per delivered "
                "and per shown frame\n");
    std::printf("%-6s %-13s %-56s %9s %13s %11s %8s %8s\n", "round", "streams", "delivered/shown per tile", "CPU here",
                "ms/delivered", "ms/shown", "p50 ms", "p99 ms");
    std::vector<double> deliveredCostRatios;
    std::vector<double> shownCostRatios;
    std::vector<double> fpsRatios;
    std::vector<double> deliveredRatios;
    std::vector<double> p99s;
    std::vector<double> shownOfDelivered;
    int starvedTiles = 0;
    int starvedRounds = 0;
    int comparedRounds = 0;
    const auto tileText = [](const Figures &f) {
        QStringList parts;
        for (size_t i = 0; i < f.fps.size(); ++i)
            parts << QStringLiteral("%1/%2").arg(f.delivered.at(i), 0, 'f', 1).arg(f.fps.at(i), 0, 'f', 1);
        return parts.join(QLatin1Char(' '));
    };
    for (int round = 1; round <= rounds; ++round) {
        setOthers(false);
        const Figures one = measure(counters, delivered, 1, seconds, probe);
        setOthers(true);
        const Figures six = measure(counters, delivered, kStreams, seconds, probe);
        for (const Figures *f : { &one, &six }) {
            std::printf("%-6d %-13s %-56s %7.1f %% %13.2f %11.2f %8.2f %8.2f  (started in %.1f s%s)\n", round,
                        f == &one ? "1 alone" : "6 (a lesson)", qPrintable(tileText(*f)), f->ownCpu,
                        f->cpuPerDelivered(), f->cpuPerShown(), f->p50, f->p99, double(f->startMs) / 1000,
                        f->allStarted ? "" : ", NOT every stream");
        }
        if (one.delivered.front() <= 0) {
            // Nothing to compare with: the round says so and counts for nothing.
            std::printf("%-6s the stream alone delivered no frame: round not compared\n", "");
            continue;
        }
        QStringList starved;
        for (size_t i = 0; i < six.delivered.size(); ++i) {
            if (six.delivered.at(i) < kStarvedShare * one.delivered.front())
                starved << QString::number(i + 1);
        }
        if (!starved.isEmpty()) {
            std::printf("%-6s STARVED: tile %s delivered under %.0f %% of the %.1f frames/s the stream alone delivered\n", "",
                        qPrintable(starved.join(QStringLiteral(", "))), kStarvedShare * 100, one.delivered.front());
            starvedTiles += int(starved.size());
            ++starvedRounds;
        }
        ++comparedRounds;
        for (size_t i = 0; i < six.fps.size(); ++i)
            shownOfDelivered.push_back(six.delivered.at(i) > 0 ? six.fps.at(i) / six.delivered.at(i) : 0);
        if (one.cpuPerDelivered() > 0 && six.cpuPerDelivered() > 0)
            deliveredCostRatios.push_back(six.cpuPerDelivered() / one.cpuPerDelivered());
        if (one.cpuPerShown() > 0 && six.cpuPerShown() > 0)
            shownCostRatios.push_back(six.cpuPerShown() / one.cpuPerShown());
        if (one.fps.front() > 0)
            fpsRatios.push_back(median(six.fps) / one.fps.front());
        if (one.delivered.front() > 0)
            deliveredRatios.push_back(median(six.delivered) / one.delivered.front());
        p99s.push_back(six.p99);
    }
    const auto summary = [](const char *what, std::vector<double> values, const char *goal) {
        if (values.empty()) {
            std::printf("%s: no figures (no frame arrived)\n", what);
            return;
        }
        std::sort(values.begin(), values.end());
        std::printf("%s: median %.3f, range %.3f-%.3f%s\n", what, median(values), values.front(), values.back(),
                    goal);
    };
    summary("CPU per delivered frame, six / one alone, paired", deliveredCostRatios,
            " (at most 1: the cost grows at most linearly with the frames)");
    summary("CPU per shown frame, six / one alone, paired", shownCostRatios, "");
    summary("frames delivered per tile, six (median tile) / one alone, paired", deliveredRatios, "");
    summary("frames shown per tile, six (median tile) / one alone, paired", fpsRatios, "");
    summary("six streams, frames shown / frames delivered, per tile", shownOfDelivered, "");
    std::printf("starved tiles (delivered under %.0f %% of the stream alone): %d of %d, in %d of %d rounds compared%s\n",
                kStarvedShare * 100, starvedTiles, kStreams * comparedRounds, starvedRounds, comparedRounds,
                starvedTiles ? ": the cost per frame of those rounds is of fewer frames than were sent" : "");
    summary("GUI thread event latency with six streams, p99 per round (ms)", p99s, " (goal under 16 ms)");
    for (auto &sender : senders) {
        sender->command(QStringLiteral("quit"));
        sender->finish();
    }
    engine->leaveChannel();
    engine->release(true);
    return 0;
}
