// Runs the client's start-up and a bare Qt program alternately and reports
// the time from process start to "ready" (event loop running, first window
// shown), median and best of the runs, in milliseconds.
#include <QCoreApplication>
#include <QElapsedTimer>
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
    std::printf("%-28s median %8.1f ms   best %8.1f ms   (%d runs)\n", name, times.at(times.size() / 2),
                times.first(), int(times.size()));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 15;
    const QString binDir = QCoreApplication::applicationDirPath();

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QVector<double> client;
    QVector<double> bare;
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
    }
    std::printf("start-up to running event loop with the first window shown (offscreen)\n");
    report("student client", client);
    report("bare Qt, one window", bare);
    return 0;
}
