#ifndef CRASHDUMPWRITER_H
#define CRASHDUMPWRITER_H

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <pthread.h>

// The machine state handed to the crash filter: the signal, its details and
// the interrupted thread's context (a ucontext_t).
struct CrashSignalContext
{
    int signalNumber = 0;
    siginfo_t *info = nullptr;
    void *userContext = nullptr;
};

// Writes crash and freeze dumps as text files: the signal and fault address,
// the registers, the stack of the thread in question as module-relative
// addresses, and the loaded modules (see the README for the layout and how
// to turn the addresses into file and line).
//
// Everything that names a dump or a record is prepared ahead of time by the
// setters, which run in normal context; the crash path then only formats
// into fixed buffers and uses async-signal-safe system calls. It takes no
// lock and allocates nothing.
class CrashDumpWriter
{
public:
    // Called on the crashing thread in signal context; must be
    // async-signal-safe. Its result is ignored: the process ends afterwards.
    using CrashFilter = long (*)(CrashSignalContext *context);

    static constexpr std::size_t kMaxPath = 1024;
    static constexpr std::size_t kMaxNamePart = 256;

    // Prepared name parts and files; each copies its text. Empty texts (or
    // null) leave that part empty: no dump folder means no crash dump.
    static void setDumpFolder(const char *folder);
    // The prepared folder; valid until the next setter call.
    static const char *dumpFolder();
    static void setVersion(const char *version);
    static void setPossibleId(const char *possibleId);
    // The message log and the action log that crash records are appended to.
    static void setLogFiles(const char *messageLogPath, const char *actionLogPath);
    // Local time of the message log's clock minus UTC, in seconds.
    static void setLogClockOffset(long seconds);
    // Added to the clock of action records (server clock minus local clock).
    static void setActionTimeOffset(std::int64_t milliseconds);
    // Local time minus UTC, for the local time in dump names; taken from the
    // system now. Run again after the time zone or daylight saving changes.
    static void refreshLocalTimeOffset();
    static long localTimeOffset();

    // Installs the handlers of the fatal signals (on an alternate stack for
    // the calling thread), the uncaught-exception hook and the handler that
    // captures the watched thread's stack. The filter is called for a crash;
    // without one the crash dump is written directly. Safe to call again.
    static bool install(CrashFilter filter);
    // The calling thread becomes the one whose stack a freeze dump shows.
    static void watchCurrentThread();

    // Async-signal-safe: writes one crash dump for the context, appends the
    // crash records to the message and action logs. Writes the dump's full
    // path to pathOut (when given) and returns 0, or an errno value when
    // the dump could not be written whole. A dump is written under a
    // hidden name and gets its own only when complete: one that could not
    // be written leaves no file.
    static int writeCrashDump(const CrashSignalContext *context, char *pathOut = nullptr,
                              std::size_t pathSize = 0);

    // Normal context (the freeze watchdog's thread): captures the watched
    // thread's stack, waiting up to captureTimeoutMs for it, and writes a
    // "frozen" dump to path, whole or not at all. Returns 0 or an errno.
    static int writeFrozenDump(const char *path, int captureTimeoutMs);

    // "velmo_<kind>_<version>_<possible id>_<seconds>_<local time>_<pid>_<tid>.dmp"
    // with the local time as yyyy-MM-dd-hh-mm-ss at localOffsetSecs from UTC.
    // Returns the length written (without the terminating zero), or 0 when
    // out is too small.
    static std::size_t formatDumpName(char *out, std::size_t size, const char *kind,
                                      std::int64_t secondsSinceEpoch, long localOffsetSecs, long pid,
                                      long tid);

    // The kernel id of the calling thread.
    static long currentThreadId();

    // For tests: every later write of a dump fails as on a full disk (true)
    // or writes again (false).
    static void failWritesForTests(bool fail);
};

#endif // CRASHDUMPWRITER_H
