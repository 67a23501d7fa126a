// lessonry-fuzz with a random mutator (the g++ build):
//
//   lessonry-fuzz [--runs N] [--seed S] [--max-length L] [--corpus DIR] [--group G]
//   lessonry-fuzz FILE...
//   lessonry-fuzz --write-seeds DIR
//
// The first form changes the built-in inputs (valid inputs of every kind;
// with --corpus also the files of DIR) at random for N runs (100000),
// printing what it did every 10000 runs; the seed (the time when not given)
// is printed first, so a run can be repeated. --group keeps the inputs to
// the kinds of one receiver group (FuzzTarget::groups()). The input being
// run when the program crashes (a signal, or a sanitizer's report) is
// written to crash-<seed>-<run> in the current folder, one that hangs a
// receiver to hang-<seed>-<run>; the name is printed and the exit status
// is not 0. The second form runs each file once: a crash file, again. The
// third writes the built-in inputs into DIR, a corpus to start libFuzzer
// from.

#include "fuzzmutator.h"
#include "fuzztarget.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#include <sanitizer/common_interface_defs.h>
#define LESSONRY_FUZZ_SANITIZED 1
#endif

namespace {

// The input being run and where it goes on a crash, kept where a signal
// handler can write them without allocating.
char g_crashName[4096];
// The current folder, so the name printed can be found from anywhere.
QByteArray g_folder;
QByteArray g_current;

void writeLine(const char *text)
{
    const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
    Q_UNUSED(written)
}

// Async-signal-safe: open, write and close only.
void saveCurrentInput()
{
    const int file = ::open(g_crashName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        const ssize_t written = ::write(file, g_current.constData(), size_t(g_current.size()));
        Q_UNUSED(written)
        ::close(file);
    }
    writeLine("lessonry-fuzz: the input is in ");
    writeLine(g_crashName);
    writeLine("\n");
}

void writeCrashInput(int signalNumber)
{
    saveCurrentInput();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

#ifdef LESSONRY_FUZZ_SANITIZED
// A sanitizer's report ends the process without a signal.
void sanitizerDeath()
{
    saveCurrentInput();
}
#endif

// The first byte's kind moved into group, its sender kept.
QByteArray intoGroup(QByteArray input, const QVector<int> &group)
{
    if (group.isEmpty() || input.isEmpty())
        return input;
    const int selector = quint8(input.at(0));
    const int count = FuzzTarget::kindCount();
    if (group.contains(selector % count))
        return input;
    const int kind = group.at((selector % count) % group.size());
    const int sender = (selector / count) % (256 / count);
    input[0] = char(kind + count * sender);
    return input;
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
        std::fflush(stdout);
        if (!target.run(input)) {
            std::fprintf(stderr, "lessonry-fuzz: %s hangs a receiver\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}

// Runs changed inputs; 0, or 1 when a receiver hung (a crash does not
// come back).
int fuzz(FuzzTarget &target, const QVector<QByteArray> &inputs, const QVector<int> &group, quint32 seed, qint64 runs,
         int maxLength)
{
    std::printf("seed %u, %lld runs, inputs of at most %d bytes, %d inputs to start from\n", seed, runs, maxLength,
                int(inputs.size()));
    std::fflush(stdout);
    for (int signalNumber : { SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL })
        std::signal(signalNumber, writeCrashInput);
#ifdef LESSONRY_FUZZ_SANITIZED
    __sanitizer_set_death_callback(sanitizerDeath);
#endif
    g_folder = QFile::encodeName(QDir::currentPath());
    FuzzMutator mutator(seed, maxLength);
    QVector<qint64> perKind(FuzzTarget::kindCount());
    QElapsedTimer clock;
    clock.start();
    for (qint64 run = 1; run <= runs; ++run) {
        const QByteArray &start = inputs.at(int(run % inputs.size()));
        g_current = intoGroup(run % 16 == 0 ? start : mutator.mutate(start, inputs), group);
        std::snprintf(g_crashName, sizeof(g_crashName), "%s/crash-%u-%lld", g_folder.constData(), seed, run);
        if (!g_current.isEmpty())
            ++perKind[quint8(g_current.at(0)) % FuzzTarget::kindCount()];
        if (!target.run(g_current)) {
            std::snprintf(g_crashName, sizeof(g_crashName), "%s/hang-%u-%lld", g_folder.constData(), seed, run);
            saveCurrentInput();
            std::fprintf(stderr, "lessonry-fuzz: a receiver hangs on run %lld\n", run);
            return 1;
        }
        if (run % 10000 == 0 || run == runs) {
            std::printf("%lld runs, %.0f a second\n", run, run / (clock.nsecsElapsed() / 1e9));
            std::fflush(stdout);
        }
    }
    for (int kind = 0; kind < FuzzTarget::kindCount(); ++kind) {
        if (perKind.at(kind) > 0)
            std::printf("  %-24s %lld\n", qPrintable(FuzzTarget::kindName(kind)), perKind.at(kind));
    }
    std::printf("units on the board at the end: %d\nno crash\n", target.boardUnits());
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
    QVector<int> group;
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
                QFile file(QDir(value).filePath(QStringLiteral("seed-%1").arg(i, 3, 10, QLatin1Char('0'))));
                if (!file.open(QIODevice::WriteOnly) || file.write(inputs.at(i)) != inputs.at(i).size())
                    return 1;
            }
            return 0;
        } else if (option == QLatin1String("--group")) {
            group = FuzzTarget::groupKinds(value);
            if (group.isEmpty()) {
                std::fprintf(stderr, "unknown group %s (%s)\n", qPrintable(value),
                             qPrintable(FuzzTarget::groups().join(QLatin1String(", "))));
                return 2;
            }
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

    if (!group.isEmpty()) {
        QVector<QByteArray> kept;
        for (const QByteArray &input : inputs) {
            if (!input.isEmpty() && group.contains(quint8(input.at(0)) % FuzzTarget::kindCount()))
                kept.append(input);
        }
        inputs = kept;
    }
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "no input to start from\n");
        return 2;
    }

    int status = 0;
    {
        FuzzTarget target;
        status = args.isEmpty() ? fuzz(target, inputs, group, seed, runs, maxLength) : runFiles(target, args);
    }
    // What the inputs built is gone, checked on the way. The program's own
    // services (the engines' threads, the transports' clients) take many
    // seconds to end and are no receiver: the client's tests end them.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}
