// Lines per second written through LogMgr's message handler, next to plain
// appends of lines of the same length to a file, flushed per line as LogMgr
// does and buffered; all in one run, in a temporary data folder.
#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

const char kText[] = "slot_onSuccess_login response handled, uid:1234, class:4711";

double linesPerSecond(int lines, qint64 nsecs)
{
    return lines / (nsecs / 1e9);
}

double plainAppend(const QString &path, int lines, bool flushEachLine)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        const QByteArray line = QByteArray("\n1700000000000 20231115 06:53:20.123 - I - 140000000000000 - void Bench::run:42 - ")
            + kText + ' ' + QByteArray::number(i) + '\n';
        file.write(line);
        if (flushEachLine)
            file.flush();
    }
    file.close();
    return linesPerSecond(lines, timer.nsecsElapsed());
}

double throughLogMgr(int lines, int threads)
{
    QElapsedTimer timer;
    timer.start();
    QList<QThread *> workers;
    for (int t = 0; t < threads; ++t) {
        workers << QThread::create([lines, threads]() {
            for (int i = 0; i < lines / threads; ++i)
                qInfo("%s %d", kText, i);
        });
        workers.last()->start();
    }
    for (QThread *worker : workers) {
        worker->wait();
        delete worker;
    }
    return linesPerSecond(lines / threads * threads, timer.nsecsElapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? qMax(1000, atoi(argv[1])) : 200000;

    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    const double one = throughLogMgr(lines, 1);
    const double four = throughLogMgr(lines, 4);
    log->closeLogFile();
    ActionLog::instance()->close();

    const double flushed = plainAppend(home.filePath(QStringLiteral("plain-flushed.log")), lines, true);
    const double buffered = plainAppend(home.filePath(QStringLiteral("plain-buffered.log")), lines, false);

    std::printf("log throughput, %d lines each\n", lines);
    std::printf("%-36s %12.0f lines/s\n", "LogMgr, 1 thread", one);
    std::printf("%-36s %12.0f lines/s\n", "LogMgr, 4 threads", four);
    std::printf("%-36s %12.0f lines/s\n", "plain append, flushed per line", flushed);
    std::printf("%-36s %12.0f lines/s\n", "plain append, buffered", buffered);
    releaseSingletons();
    return 0;
}
