// The video tiles of a lesson of one teacher and five students in one
// process: six streams of the synthetic camera (15 frames a second), each
// from a participant process of its own through a real Janus, each drawn in
// its tile's video view. Next to it, in the same run and taking turns
// round after round, one stream alone in one tile. Per configuration:
// frames shown per second in each tile (a frame counts when the tile's
// part of the window, as it goes to the screen, holds a picture it did not
// hold before), this process's CPU per stream, and
// the GUI thread's event latency while the streams play (a probe posted
// every 4 ms, timed from its post to its delivery). With six streams it
// also prints the frames that reached each tile's render ("reached"),
// decoded, whether shown or not: shown against reached is what the way
// from the render to the screen loses; reached against 15 what the
// senders, the relay and the decoding lose.
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
    std::vector<double> fps; // per tile shown
    std::vector<double> delivered; // per tile, frames handed to its render
    double ownCpu = 0;       // % of one core
    double p50 = 0;
    double p99 = 0;
};

Figures measure(const std::vector<std::unique_ptr<FrameCounter>> &counters,
                const std::vector<std::shared_ptr<std::atomic<int>>> &delivered, int tiles, int seconds, LatencyProbe &probe)
{
    // Settle first: joins, first frames and the switch are not measured.
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
    Figures f;
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

QString fpsText(const std::vector<double> &fps)
{
    QStringList parts;
    for (double value : fps)
        parts << QString::number(value, 'f', 1);
    return parts.join(QLatin1Char(' '));
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
    std::printf("%-6s %-14s %-34s %12s %14s %10s %10s\n", "round", "streams", "frames/s per tile", "CPU here",
                "CPU per stream", "p50 ms", "p99 ms");
    std::vector<double> cpuRatios;
    std::vector<double> fpsRatios;
    std::vector<double> p99s;
    std::vector<double> shownOfDelivered;
    for (int round = 1; round <= rounds; ++round) {
        setOthers(false);
        const Figures one = measure(counters, delivered, 1, seconds, probe);
        setOthers(true);
        const Figures six = measure(counters, delivered, kStreams, seconds, probe);
        std::printf("%-6d %-14s %-34s %10.1f %% %12.1f %% %10.2f %10.2f\n", round, "1 alone", qPrintable(fpsText(one.fps)),
                    one.ownCpu, one.ownCpu, one.p50, one.p99);
        std::printf("%-6d %-14s %-34s %10.1f %% %12.1f %% %10.2f %10.2f\n", round, "6 (a lesson)", qPrintable(fpsText(six.fps)),
                    six.ownCpu, six.ownCpu / kStreams, six.p50, six.p99);
        std::printf("%-6s %-14s %-34s\n", "", "  reached", qPrintable(fpsText(six.delivered)));
        for (size_t i = 0; i < six.fps.size(); ++i)
            shownOfDelivered.push_back(six.delivered.at(i) > 0 ? six.fps.at(i) / six.delivered.at(i) : 0);
        cpuRatios.push_back((six.ownCpu / kStreams) / one.ownCpu);
        fpsRatios.push_back(median(six.fps) / one.fps.front());
        p99s.push_back(six.p99);
    }
    std::sort(cpuRatios.begin(), cpuRatios.end());
    std::printf("CPU per stream, six / one alone, paired: median %.3f, range %.3f-%.3f (at most 1: grows at most linearly)\n",
                median(cpuRatios), cpuRatios.front(), cpuRatios.back());
    std::sort(fpsRatios.begin(), fpsRatios.end());
    std::printf("frames per tile, six (median tile) / one alone, paired: median %.3f, range %.3f-%.3f\n", median(fpsRatios),
                fpsRatios.front(), fpsRatios.back());
    std::sort(shownOfDelivered.begin(), shownOfDelivered.end());
    std::printf("six streams, frames shown / frames that reached the tile's render, per tile: median %.3f, range %.3f-%.3f\n",
                median(shownOfDelivered), shownOfDelivered.front(), shownOfDelivered.back());
    std::sort(p99s.begin(), p99s.end());
    std::printf("GUI thread event latency with six streams, p99 per round: %.2f-%.2f ms (goal under 16 ms)\n", p99s.front(),
                p99s.back());
    for (auto &sender : senders) {
        sender->command(QStringLiteral("quit"));
        sender->finish();
    }
    engine->leaveChannel();
    engine->release(true);
    return 0;
}
