// Runs the client's start-up and a bare Qt program alternately and reports
// the time from process start to "ready" (the first window mapped and its
// first frame painted), median and best of the runs, in milliseconds, and
// the ratio of each client run to the bare run beside it.
//   bench_startup [runs] [offscreen|xcb]
// "xcb" starts a private Xvfb display for the runs, with -noreset: an X
// server resets itself when its last client leaves, and the next program
// to connect would wait for that, whichever of the two it is.
#include "median.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double runOnce(const QString &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, QStringList());
    QByteArray output;
    while (!output.contains("ready") && process.waitForReadyRead(30000))
        output += process.readAllStandardOutput();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    process.waitForFinished(30000);
    return output.contains("ready") ? elapsed : -1.0;
}

void report(const char *name, QVector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %8.1f ms   best %8.1f ms   (%d runs)\n", name, median(times),
                times.first(), int(times.size()));
}

// Starts Xvfb on a free display; returns ":<number>", empty on failure.
QString startXvfb(QProcess &server)
{
    server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                          QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                          QStringLiteral("tcp"), QStringLiteral("-noreset")});
    QByteArray number;
    while (!number.contains('\n') && server.waitForReadyRead(10000))
        number += server.readAllStandardOutput();
    number = number.trimmed();
    return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 15;
    const QString platform = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("offscreen");
    const QString binDir = QCoreApplication::applicationDirPath();

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/cache"));
    // A desktop session's runtime folder is in memory (/run/user/<uid>);
    // /dev/shm is the nearest thing here.
    QTemporaryDir runtime(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/lessonry-bench-XXXXXX")
                                                                     : home.filePath(QStringLiteral("runtime-XXXXXX")));
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    QProcess xvfb;
    if (platform == QLatin1String("xcb")) {
        const QString display = startXvfb(xvfb);
        if (display.isEmpty()) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return 1;
        }
        environment.insert(QStringLiteral("DISPLAY"), display);
    }

    QVector<double> client;
    QVector<double> bare;
    QVector<double> ratios;
    // One untimed run each, so both start with warm file caches.
    runOnce(binDir + QStringLiteral("/bench_startup_client"), environment);
    runOnce(binDir + QStringLiteral("/bench_startup_bare"), environment);
    for (int i = 0; i < runs; ++i) {
        const double c = runOnce(binDir + QStringLiteral("/bench_startup_client"), environment);
        const double b = runOnce(binDir + QStringLiteral("/bench_startup_bare"), environment);
        if (c < 0 || b < 0) {
            std::fprintf(stderr, "a program did not report ready\n");
            return 1;
        }
        client << c;
        bare << b;
        ratios << c / b;
    }
    std::printf("start-up to the first window's first painted frame (%s)\n", qPrintable(platform));
    report("student client", client);
    report("bare Qt, one window", bare);
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-28s %8.2f   (paired runs: median %.2f, range %.2f-%.2f)\n", "client / bare (medians)",
                median(client) / median(bare), median(ratios), ratios.first(), ratios.last());
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }
    return 0;
}
