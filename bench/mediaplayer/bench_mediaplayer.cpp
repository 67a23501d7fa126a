// A lesson video played by the student's video player, next to GStreamer's
// own gst-launch-1.0 playbin of the same file; the two take turns, round
// after round. The file: 10 s of 640x480 test picture at 25 frames a second
// with sound (made by the build). Both show the picture at its own size on
// an X server of the benchmark's own (Xvfb): ours in its window through the
// toolkit, gst-launch through ximagesink, in time with the clock; the sound
// goes to a fake sink on both sides. A frame of ours counts when the video
// widget shows a picture it did not show before (its part of the window's
// backing store is hashed after each paint), not per paint. CPU is that of
// the whole process over the play, GStreamer's threads and the hashing
// included; gst-launch's is its own, read when it ends. The X server's CPU over each
// play is shown beside.
//
//   bench_mediaplayer [rounds, default 3]

#include "framecounter.h"
#include "median.h"
#include "processcpu.h"
#include "xvfbdisplay.h"

#include "biz/course/classinfoentity.h"
#include "biz/login/studentlogindataentity.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "platform/player/avplayer.h"
#include "utility/appdirs.h"
#include "widget/studentvideoplayerwidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

const double kFileRate = 25;
const QSize kFrameSize(640, 480);
const char kFile[] = LESSONRY_TEST_MEDIA_DIR "/bench-640x480.mp4";
// Set in the copy of the benchmark that runs on the X server.
const char kServerPidVariable[] = "LESSONRY_BENCH_XVFB_PID";

struct Run
{
    double seconds = 0;
    int frames = 0;
    double cpuSeconds = 0;
    double serverCpuSeconds = 0;
    double fps() const { return seconds > 0 ? frames / seconds : 0; }
    double cpuPercent() const { return seconds > 0 ? 100 * cpuSeconds / seconds : 0; }
    double serverCpuPercent() const { return seconds > 0 ? 100 * serverCpuSeconds / seconds : 0; }
};

double serverCpuSeconds()
{
    return processCpuSeconds(qEnvironmentVariableIntValue(kServerPidVariable));
}

// Starts an X server and runs this benchmark again on it; returns its exit code.
int runOnOwnDisplay(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    XvfbDisplay display;
    if (!display.start()) {
        std::fprintf(stderr, "no X server (Xvfb)\n");
        return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("QT_GSTREAMER_PLAYBIN_AUDIOSINK"), QStringLiteral("fakesink"));
    environment.insert(QLatin1String(kServerPidVariable), QString::number(display.processId()));
    QProcess bench;
    bench.setProcessEnvironment(environment);
    bench.setProcessChannelMode(QProcess::ForwardedChannels);
    bench.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
    if (!bench.waitForStarted() || !bench.waitForFinished(-1))
        return 1;
    return bench.exitStatus() == QProcess::NormalExit ? bench.exitCode() : 1;
}

// The student's player on the downloaded copy, from its start to its end.
Run playOurs(const ClassInfoEntity &info, const VideoMaterial &video)
{
    auto *window = new StudentVideoPlayerWidget(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<StudentVideoPlayerWidget> guard(window);
    window->open(info, video);
    window->show();
    // The picture at its own size, as gst-launch's window shows it.
    QWidget *picture = window->videoWidget();
    window->resize(window->size() + kFrameSize - picture->size());
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "the window was not shown\n");
    QTest::qWait(200);
    if (picture->size() != kFrameSize)
        std::fprintf(stderr, "video widget %dx%d, not the frame's size\n", picture->width(), picture->height());
    FrameCounter counter(picture, FrameCounter::Picture::Shown);
    QElapsedTimer clock;
    const double cpuBefore = ownCpuSeconds();
    const double serverBefore = serverCpuSeconds();
    clock.start();
    window->onPlay();
    while (guard && clock.elapsed() < 60000)
        QTest::qWait(20);
    Run run;
    run.seconds = clock.elapsed() / 1000.0;
    run.cpuSeconds = ownCpuSeconds() - cpuBefore;
    run.serverCpuSeconds = serverCpuSeconds() - serverBefore;
    run.frames = counter.frames;
    if (counter.unreadable > 0)
        std::fprintf(stderr, "%d paints could not be read\n", counter.unreadable);
    if (guard)
        guard->close();
    QTest::qWait(100);
    return run;
}

// gst-launch-1.0 playbin of the same file, to its end.
Run playGstreamer(int *dropped)
{
    QProcess gst;
    const double cpuBefore = rusageCpuSeconds(RUSAGE_CHILDREN);
    const double serverBefore = serverCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    gst.start(QStringLiteral("gst-launch-1.0"),
              { QStringLiteral("-v"), QStringLiteral("playbin"),
                QStringLiteral("uri=file://") + QString::fromLocal8Bit(kFile),
                QStringLiteral("video-sink=fpsdisplaysink video-sink=ximagesink text-overlay=false sync=true "
                               "fps-update-interval=250"),
                QStringLiteral("audio-sink=fakesink") });
    gst.waitForFinished(120000);
    Run run;
    run.seconds = clock.elapsed() / 1000.0;
    run.cpuSeconds = rusageCpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    run.serverCpuSeconds = serverCpuSeconds() - serverBefore;
    const QString output = QString::fromLocal8Bit(gst.readAllStandardOutput());
    const QRegularExpression counts(QStringLiteral("rendered: (\\d+), dropped: (\\d+)"));
    auto it = counts.globalMatch(output);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        run.frames = match.captured(1).toInt();
        *dropped = match.captured(2).toInt();
    }
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet(kServerPidVariable))
        return runOnOwnDisplay(argc, argv);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    if (QProcess::execute(QStringLiteral("gst-launch-1.0"), { QStringLiteral("--version") }) != 0) {
        std::fprintf(stderr, "gst-launch-1.0 is missing (gstreamer1.0-tools)\n");
        return 1;
    }
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);

    // The student's downloaded copy of the class's video.
    VideoMaterial video;
    video.id = QStringLiteral("bench");
    video.video = QStringLiteral("https://media.example/bench-640x480.mp4");
    video.name = QStringLiteral("bench");
    const QString copy = NetWorkDownloadReplyHolder::getFilePath(video.video, getDownloadResourceDir());
    QFile::remove(copy);
    if (!QFile::copy(QString::fromLocal8Bit(kFile), copy)) {
        std::fprintf(stderr, "cannot copy %s\n", kFile);
        return 1;
    }
    ClassInfoEntity info;
    info.class_id = QStringLiteral("bench");
    info.material.mid = QStringLiteral("bench");
    info.material.videos.append(video);

    std::printf("10 s of 640x480 at %.0f frames a second, played to its end\n", kFileRate);
    std::printf("%-6s %-34s %8s %9s %10s %10s %12s\n", "round", "", "seconds", "frames/s", "of rate", "CPU",
                "X server");
    QVector<double> cpuRatios;
    QVector<double> rateShares;
    for (int round = 1; round <= rounds; ++round) {
        const Run ours = playOurs(info, video);
        int dropped = 0;
        const Run gst = playGstreamer(&dropped);
        std::printf("%-6d %-34s %8.2f %9.1f %9.2fx %8.1f %% %10.1f %%\n", round, "student's player (shown)",
                    ours.seconds, ours.fps(), ours.fps() / kFileRate, ours.cpuPercent(), ours.serverCpuPercent());
        std::printf("%-6d %-34s %8.2f %9.1f %9.2fx %8.1f %% %10.1f %%  (dropped %d)\n", round,
                    "gst-launch-1.0 playbin (ximagesink)", gst.seconds, gst.fps(), gst.fps() / kFileRate,
                    gst.cpuPercent(), gst.serverCpuPercent(), dropped);
        cpuRatios << (gst.cpuSeconds > 0 ? ours.cpuSeconds / gst.cpuSeconds : 0);
        rateShares << ours.fps() / kFileRate;
    }
    std::printf("frames shown / file rate: median %.3f; CPU over the play, ours / gst-launch: median %.2f (goal 1.2)\n",
                median(rateShares), median(cpuRatios));
    QFile::remove(copy);
    return 0;
}
