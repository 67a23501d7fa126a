// A program that crashes on purpose, for the crash dump tests: it starts
// the message and action logs and the crash handlers as the client does,
// prints its log folder, logs 2000 lines "before the crash <n>", then crashes in the way its first argument names.
//   lessonry-crash-helper <null-write|abort|exception|overflow|thread|no-folder|full-disk> [possible id]

#include "mgr/logmgr.h"
#include "mgr/minidumpmgr.h"
#include "mgr/singleton.h"
#include "platform/crash/crashdumpwriter.h"
#include "utility/appdirs.h"
#include "utility/possibleidutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

const int kLinesBeforeCrash = 2000;

// Kept out of line and named, so the tests can find them in the dump's stack.
__attribute__((noinline)) void crashByNullWrite()
{
    volatile int *nowhere = nullptr;
    *nowhere = 42;
    std::printf("still alive\n");
}

__attribute__((noinline)) void crashByAbort()
{
    std::abort();
}

__attribute__((noinline)) void throwUncaughtException()
{
    throw std::runtime_error("lesson plan missing");
}

// Each call keeps a page of stack busy until the stack runs out.
volatile int s_never = -1;
__attribute__((noinline)) int recurseWithoutEnd(int depth)
{
    volatile char page[4096];
    page[0] = char(depth);
    if (depth == s_never)
        return page[0];
    return recurseWithoutEnd(depth + 1) + page[0];
}

__attribute__((noinline)) void crashOnWorkerThread()
{
    crashByNullWrite();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <null-write|abort|exception|overflow|thread|no-folder|full-disk> [possible id]\n", argv[0]);
        return 2;
    }
    if (argc > 2)
        PossibleIdUtil::setPossibleId(QString::fromLocal8Bit(argv[2]));

    Singleton<LogMgr>::instance()->init();
    Singleton<MiniDumpMgr>::instance()->init();
    std::printf("logdir:%s\n", qPrintable(getLogDir()));
    std::fflush(stdout);

    // Lines logged right before the crash: the crash must not lose them.
    for (int i = 0; i < kLinesBeforeCrash; ++i)
        qInfo("before the crash %d", i);

    const char *mode = argv[1];
    if (!std::strcmp(mode, "null-write")) {
        crashByNullWrite();
    } else if (!std::strcmp(mode, "abort")) {
        crashByAbort();
    } else if (!std::strcmp(mode, "exception")) {
        throwUncaughtException();
    } else if (!std::strcmp(mode, "overflow")) {
        std::printf("%d\n", recurseWithoutEnd(0));
    } else if (!std::strcmp(mode, "thread")) {
        std::thread worker(&crashOnWorkerThread);
        worker.join();
    } else if (!std::strcmp(mode, "full-disk")) {
        // Every write of the dump fails, as on a full disk.
        CrashDumpWriter::failWritesForTests(true);
        crashByNullWrite();
    } else if (!std::strcmp(mode, "no-folder")) {
        // A dump folder that cannot be written into.
        CrashDumpWriter::setDumpFolder(QFile::encodeName(QDir(getLogDir()).filePath(QStringLiteral("missing/folder"))).constData());
        crashByNullWrite();
    } else {
        std::fprintf(stderr, "unknown mode: %s\n", mode);
        return 2;
    }
    return 0;
}
