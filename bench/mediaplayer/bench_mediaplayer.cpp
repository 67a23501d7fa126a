// A lesson video played by the student's video player, next to GStreamer's
// own gst-launch-1.0 playbin of the same file; the two take turns, round
// after round. The file: 10 s of 640x480 test picture at 25 frames a second
// with sound (made by the build). A frame counts when the player's video
// widget shows a picture it did not show before (each paint's picture is
// hashed), not per paint. CPU is that of the whole process over the play,
// GStreamer's threads included; gst-launch's is its own, read when it ends.
// gst-launch shows nothing (fake sinks, in time with the clock): the
// difference is what our player costs beyond decoding in time.
//
//   bench_mediaplayer [rounds, default 3]

#include "framecounter.h"

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
const char kFile[] = LESSONRY_TEST_MEDIA_DIR "/bench-640x480.mp4";

struct Run
{
    double seconds = 0;
    int frames = 0;
    double cpuSeconds = 0;
    double fps() const { return seconds > 0 ? frames / seconds : 0; }
    double cpuPercent() const { return seconds > 0 ? 100 * cpuSeconds / seconds : 0; }
};

double childrenCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The student's player on the downloaded copy, from its start to its end.
Run playOurs(const ClassInfoEntity &info, const VideoMaterial &video)
{
    auto *window = new StudentVideoPlayerWidget(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<StudentVideoPlayerWidget> guard(window);
    window->resize(640, 480 + 1);
    window->open(info, video);
    window->show();
    FrameCounter counter(window->videoWidget());
    QElapsedTimer clock;
    const double cpuBefore = ownCpuSeconds();
    clock.start();
    window->onPlay();
    while (guard && clock.elapsed() < 60000)
        QTest::qWait(20);
    Run run;
    run.seconds = clock.elapsed() / 1000.0;
    run.cpuSeconds = ownCpuSeconds() - cpuBefore;
    run.frames = counter.frames;
    if (guard)
        guard->close();
    QTest::qWait(100);
    return run;
}

// gst-launch-1.0 playbin of the same file, to its end.
Run playGstreamer(int *dropped)
{
    QProcess gst;
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    gst.start(QStringLiteral("gst-launch-1.0"),
              { QStringLiteral("-v"), QStringLiteral("playbin"),
                QStringLiteral("uri=file://") + QString::fromLocal8Bit(kFile),
                QStringLiteral("video-sink=fpsdisplaysink video-sink=fakesink text-overlay=false sync=true "
                               "fps-update-interval=250"),
                QStringLiteral("audio-sink=fakesink sync=true") });
    gst.waitForFinished(120000);
    Run run;
    run.seconds = clock.elapsed() / 1000.0;
    run.cpuSeconds = childrenCpuSeconds() - cpuBefore;
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

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
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
    std::printf("%-6s %-34s %8s %9s %10s %10s\n", "round", "", "seconds", "frames/s", "of rate", "CPU");
    QVector<double> cpuRatios;
    QVector<double> rateShares;
    for (int round = 1; round <= rounds; ++round) {
        const Run ours = playOurs(info, video);
        int dropped = 0;
        const Run gst = playGstreamer(&dropped);
        std::printf("%-6d %-34s %8.2f %9.1f %9.2fx %8.1f %%\n", round, "student's player (shown)", ours.seconds,
                    ours.fps(), ours.fps() / kFileRate, ours.cpuPercent());
        std::printf("%-6d %-34s %8.2f %9s %10s %8.1f %%  (dropped %d)\n", round, "gst-launch-1.0 playbin (fake sinks)",
                    gst.seconds, "", "", gst.cpuPercent(), dropped);
        cpuRatios << (gst.cpuSeconds > 0 ? ours.cpuSeconds / gst.cpuSeconds : 0);
        rateShares << ours.fps() / kFileRate;
    }
    std::printf("frames shown / file rate: median %.3f; CPU over the play, ours / gst-launch: median %.2f (goal 1.2)\n",
                median(rateShares), median(cpuRatios));
    QFile::remove(copy);
    return 0;
}
