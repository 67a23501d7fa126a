// Runs the client's start-up and a bare Qt program alternately and reports
// the time from process start to "ready" (the first window mapped and its
// first frame painted), median and best of the runs, in milliseconds, and
// the ratio of each client run to the bare run beside it; then where the
// client's time goes: the median time at which each step of its start-up
// was reached (the steps it reports with LESSONRY_STARTUP_TRACE set).
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

#include <QMap>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

double monotonicMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The steps of one run in the order reached, each with its time since the
// process was started, in milliseconds.
using Steps = QVector<QPair<QByteArray, double>>;

Steps stepsOf(const QByteArray &errors, double startMs)
{
    Steps steps;
    for (const QByteArray &line : errors.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 3 && fields.at(0) == "startup-trace")
            steps.append({fields.at(2), fields.at(1).toLongLong() / 1e3 - startMs});
    }
    return steps;
}

double runOnce(const QString &program, const QProcessEnvironment &environment, Steps *steps = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    const double startMs = monotonicMs();
    timer.start();
    process.start(program, QStringList());
    QByteArray output;
    while (!output.contains("ready") && process.waitForReadyRead(30000))
        output += process.readAllStandardOutput();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    process.waitForFinished(30000);
    if (steps)
        *steps = stepsOf(process.readAllStandardError(), startMs);
    return output.contains("ready") ? elapsed : -1.0;
}

// The median time of each step over the runs, in the order of the first.
void reportSteps(const QVector<Steps> &runs, const QVector<double> &ready)
{
    if (runs.isEmpty() || runs.first().isEmpty()) {
        std::printf("no start-up steps reported\n");
        return;
    }
    QMap<QByteArray, QVector<double>> times;
    for (const Steps &run : runs) {
        for (const auto &step : run)
            times[step.first] << step.second;
    }
    std::printf("student client's steps, median ms since the process started (and since the step before):\n");
    double previous = 0;
    for (const auto &step : runs.first()) {
        const double at = median(times.value(step.first));
        std::printf("  %-26s %8.1f   (+%.1f)\n", step.first.constData(), at, at - previous);
        previous = at;
    }
    const double end = median(ready);
    std::printf("  %-26s %8.1f   (+%.1f)\n", "first frame painted", end, end - previous);
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

void stopServer(QProcess &server)
{
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        server.waitForFinished(5000);
    }
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
    // Both sides get it; only the client reports its steps.
    environment.insert(QStringLiteral("LESSONRY_STARTUP_TRACE"), QStringLiteral("1"));
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
    QVector<Steps> steps;
    // One untimed run each, so both start with warm file caches.
    runOnce(binDir + QStringLiteral("/bench_startup_client"), environment);
    runOnce(binDir + QStringLiteral("/bench_startup_bare"), environment);
    for (int i = 0; i < runs; ++i) {
        Steps clientSteps;
        const double c = runOnce(binDir + QStringLiteral("/bench_startup_client"), environment, &clientSteps);
        const double b = runOnce(binDir + QStringLiteral("/bench_startup_bare"), environment);
        if (c < 0 || b < 0) {
            std::fprintf(stderr, "a program did not report ready\n");
            stopServer(xvfb);
            return 1;
        }
        client << c;
        steps << clientSteps;
        bare << b;
        ratios << c / b;
    }
    std::printf("start-up to the first window's first painted frame (%s)\n", qPrintable(platform));
    report("student client", client);
    report("bare Qt, one window", bare);
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-28s %8.2f   (paired runs: median %.2f, range %.2f-%.2f)\n", "client / bare (medians)",
                median(client) / median(bare), median(ratios), ratios.first(), ratios.last());
    reportSteps(steps, client);
    stopServer(xvfb);
    return 0;
}
