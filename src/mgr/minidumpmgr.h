#ifndef MINIDUMPMGR_H
#define MINIDUMPMGR_H

#include "mgr/singletonmgrbase.h"

#include <QString>

struct CrashSignalContext;

// Crash and freeze dumps in the log folder. A crash is handled on the
// crashing thread by the platform's crash writer, in signal context; a
// freeze dump is written by the watchdog's thread while the GUI thread is
// stuck. Each dump is named
// "velmo_<kind>_<version>_<possible id>_<seconds>_<local time>_<pid>_<tid>.dmp"
// and leaves an "app_crash" or "app_frozen" record in the action log.
class MiniDumpMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    enum DumpType {
        crash = 0,
        frozen = 1,
    };

    // How long a freeze dump waits for the GUI thread to hand over its stack.
    static constexpr int kStackCaptureTimeoutMs = 1000;

    explicit MiniDumpMgr(QObject *parent = nullptr);
    ~MiniDumpMgr() override;

    static MiniDumpMgr *instance();

    // Prepares the dump names and installs the crash handlers; the calling
    // thread (the GUI thread) is the one a freeze dump shows.
    void init() override;

    // "crash" or "frozen".
    static QString dumpTypeText(DumpType type);

    // The crash filter: runs in signal context on the crashing thread and
    // writes the crash dump and its records without locks or allocation.
    static long zumixoUnhandledExceptionFilter(CrashSignalContext *context);

    // Writes one dump from normal context and returns its full path, or an
    // empty text when the file could not be created. For a freeze (no
    // context) the GUI thread's stack is captured; the logger's and the
    // action log's mutexes are taken only within the calling thread's
    // lock-wait limit, after the dump is on disk.
    static QString DumpMiniDump(CrashSignalContext *context, DumpType type);

    // Hands the dump folder, version, possible id and current log files to
    // the crash writer, which cannot look them up while handling a crash.
    static void prepareDumpNames();

    // The file name of a dump written now by thread tid of process pid.
    static QString dumpFileName(DumpType type, qint64 secondsSinceEpoch, qint64 pid, qint64 tid);
};

#endif // MINIDUMPMGR_H
