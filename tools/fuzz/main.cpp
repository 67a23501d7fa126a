// lessonry-fuzz with a random mutator (the g++ build):
//
//   lessonry-fuzz [--runs N] [--seed S] [--max-length L] [--corpus DIR]
//   lessonry-fuzz FILE...
//   lessonry-fuzz --write-seeds DIR
//
// The first form changes the built-in inputs (one valid input of every
// kind; with --corpus also the files of DIR) at random for N runs (100000),
// printing what it did every 10000 runs; the seed (the time when not given)
// is printed first, so a run can be repeated. The input being run when the
// program crashes is written to crash-<seed>-<run> in the current folder.
// The second form runs each file once: a crash file, again. The third
// writes the built-in inputs into DIR, a corpus to start libFuzzer from.

#include "fuzzmutator.h"
#include "fuzztarget.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The input being run and where it goes on a crash, kept where a signal
// handler can write them without allocating.
char g_crashName[64];
QByteArray g_current;

void writeCrashInput(int signalNumber)
{
    const int file = ::open(g_crashName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        const ssize_t written = ::write(file, g_current.constData(), size_t(g_current.size()));
        Q_UNUSED(written)
        ::close(file);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

int runFiles(FuzzTarget &target, const QStringList &files)
{
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
            return 1;
        }
        const QByteArray input = file.readAll();
        std::printf("%s: %s, %d bytes\n", qPrintable(name),
                    input.isEmpty() ? "empty" : qPrintable(FuzzTarget::kindName(quint8(input.at(0)))), int(input.size()));
        target.run(input);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Every dropped input says why: far too many lines for a run.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false\n*.critical=false"));

    QStringList args = app.arguments().mid(1);
    qint64 runs = 100000;
    quint32 seed = quint32(QDateTime::currentMSecsSinceEpoch());
    int maxLength = 512 * 1024;
    QVector<QByteArray> inputs = FuzzTarget::seeds();
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        const QString value = args.isEmpty() ? QString() : args.takeFirst();
        if (option == QLatin1String("--runs")) {
            runs = value.toLongLong();
        } else if (option == QLatin1String("--seed")) {
            seed = value.toUInt();
        } else if (option == QLatin1String("--max-length")) {
            maxLength = qMax(2, value.toInt());
        } else if (option == QLatin1String("--write-seeds")) {
            QDir().mkpath(value);
            for (int i = 0; i < inputs.size(); ++i) {
                QFile file(QDir(value).filePath(QStringLiteral("seed-%1").arg(i, 2, 10, QLatin1Char('0'))));
                if (!file.open(QIODevice::WriteOnly) || file.write(inputs.at(i)) != inputs.at(i).size())
                    return 1;
            }
            return 0;
        } else if (option == QLatin1String("--corpus")) {
            const QDir dir(value);
            for (const QString &name : dir.entryList(QDir::Files)) {
                QFile file(dir.filePath(name));
                if (file.open(QIODevice::ReadOnly))
                    inputs.append(file.readAll().left(maxLength));
            }
        } else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(option));
            return 2;
        }
    }

    FuzzTarget target;
    if (!args.isEmpty())
        return runFiles(target, args);

    std::printf("seed %u, %lld runs, inputs of at most %d bytes, %d inputs to start from\n", seed, runs, maxLength,
                int(inputs.size()));
    std::fflush(stdout);
    for (int signalNumber : { SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL })
        std::signal(signalNumber, writeCrashInput);
    FuzzMutator mutator(seed, maxLength);
    QVector<qint64> perKind(FuzzTarget::kindCount());
    QElapsedTimer clock;
    clock.start();
    for (qint64 run = 1; run <= runs; ++run) {
        const QByteArray &start = inputs.at(int(run % inputs.size()));
        g_current = run % 16 == 0 ? start : mutator.mutate(start, inputs);
        std::snprintf(g_crashName, sizeof(g_crashName), "crash-%u-%lld", seed, run);
        if (!g_current.isEmpty())
            ++perKind[quint8(g_current.at(0)) % FuzzTarget::kindCount()];
        target.run(g_current);
        if (run % 10000 == 0 || run == runs) {
            std::printf("%lld runs, %.0f a second\n", run, run / (clock.nsecsElapsed() / 1e9));
            std::fflush(stdout);
        }
    }
    for (int kind = 0; kind < FuzzTarget::kindCount(); ++kind)
        std::printf("  %-20s %lld\n", qPrintable(FuzzTarget::kindName(kind)), perKind.at(kind));
    std::printf("units on the board at the end: %d\nno crash\n", target.boardUnits());
    return 0;
}
