// Lines per second written through LogMgr's message handler, next to plain
// appends of lines of the same length to a file, flushed per line (one
// write per line, each on disk when the call returns) and buffered; all in one run, in a
// temporary data folder. Through qInfo() the toolkit first formats the
// message; the "handler" row calls the handler with the message made, the
// part that is LogMgr's own; the "empty handler" row is the toolkit's part
// alone. Every one-thread side runs on a worker thread of its own, the
// same kind of thread, so no side gains or loses by being the main thread;
// each round runs them all in turn (every other round the plain appends
// first), and the ratios are taken per round. LogMgr's lines are written
// by its own thread in batches; its ring holds at most a megabyte, so a
// caller that outruns the disk waits for room.
// Arguments: lines per round, rounds.
#include "median.h"

#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <functional>
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

// The handler's own part: the message text already made, as the toolkit
// hands it over after formatting qInfo()'s arguments.
double throughHandler(int lines)
{
    const QMessageLogContext context("bench_log.cpp", 42, "void Bench::run(int)", "default");
    const QString text = QString::fromLatin1(kText) + QStringLiteral(" 123456");
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i)
        LogMgr::messageHandler(QtInfoMsg, context, text);
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

void ignoreMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
}

// The toolkit's own part of qInfo(): formatting the arguments into a
// message and handing it to a handler that does nothing with it.
double throughEmptyHandler(int lines)
{
    const QtMessageHandler previous = qInstallMessageHandler(&ignoreMessage);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i)
        qInfo("%s %d", kText, i);
    const double result = linesPerSecond(lines, timer.nsecsElapsed());
    qInstallMessageHandler(previous);
    return result;
}

// Runs work on a fresh worker thread and returns what it returned.
double onWorker(const std::function<double()> &work)
{
    double result = 0;
    QThread *worker = QThread::create([&result, &work] { result = work(); });
    worker->start();
    worker->wait();
    delete worker;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? qMax(1000, atoi(argv[1])) : 200000;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 5;

    // The four ways take turns, round after round, so that a busy moment
    // of the machine does not fall on one of them only; medians are shown.
    LogMgr *log = Singleton<LogMgr>::instance();
    QList<double> one, four, handler, formatting, flushed, buffered, oneRatio, handlerRatio;
    for (int round = 0; round < rounds; ++round) {
        const auto throughLog = [&] {
            log->init();
            one << throughLogMgr(lines, 1);
            four << throughLogMgr(lines, 4);
            handler << onWorker([lines] { return throughHandler(lines); });
            formatting << onWorker([lines] { return throughEmptyHandler(lines); });
            // Closing waits for the lines still queued; their writing is
            // not in the figures above, as a caller does not wait for it.
            log->closeLogFile();
        };
        const QString flushedPath = home.filePath(QStringLiteral("plain-flushed-%1.log").arg(round));
        const QString bufferedPath = home.filePath(QStringLiteral("plain-buffered-%1.log").arg(round));
        const auto plain = [&] {
            flushed << onWorker([&] { return plainAppend(flushedPath, lines, true); });
            buffered << onWorker([&] { return plainAppend(bufferedPath, lines, false); });
        };
        // Every other round starts with the plain appends.
        if (round % 2 == 0) {
            throughLog();
            plain();
        } else {
            plain();
            throughLog();
        }
        oneRatio << one.last() / flushed.last();
        handlerRatio << handler.last() / flushed.last();
    }
    ActionLog::instance()->close();

    std::printf("log throughput, %d lines each, median of %d rounds\n", lines, rounds);
    std::printf("%-36s %12.0f lines/s\n", "LogMgr, 1 thread", median(one));
    std::printf("%-36s %12.0f lines/s\n", "LogMgr, 4 threads", median(four));
    std::printf("%-36s %12.0f lines/s\n", "LogMgr handler, message made", median(handler));
    std::printf("%-36s %12.0f lines/s\n", "qInfo into an empty handler", median(formatting));
    std::printf("%-36s %12.0f lines/s\n", "plain append, flushed per line", median(flushed));
    std::printf("%-36s %12.0f lines/s\n", "plain append, buffered", median(buffered));
    std::sort(oneRatio.begin(), oneRatio.end());
    std::sort(handlerRatio.begin(), handlerRatio.end());
    std::printf("%-36s %12.2f   (range %.2f-%.2f)\n", "LogMgr 1 thread / flushed, paired", median(oneRatio),
                oneRatio.first(), oneRatio.last());
    std::printf("%-36s %12.2f   (range %.2f-%.2f)\n", "LogMgr handler / flushed, paired", median(handlerRatio),
                handlerRatio.first(), handlerRatio.last());
    // A handler that cost exactly a flushed append, behind the toolkit's
    // formatting: the most qInfo could reach writing each line itself.
    std::printf("%-36s %12.2f\n", "ceiling, a write per line / flushed", median(formatting) / (median(formatting) + median(flushed)));
    releaseSingletons();
    return 0;
}
