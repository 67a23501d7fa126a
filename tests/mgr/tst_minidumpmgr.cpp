#include "mgr/logmgr.h"
#include "mgr/minidumpmgr.h"
#include "mgr/singleton.h"
#include "platform/crash/crashdumpwriter.h"
#include "scopedtimescale.h"
#include "testutil.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/globalconstants.h"
#include "utility/lockwaitlimit.h"
#include "utility/possibleidutil.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

// velmo_<kind>_<version>_<id>_<seconds>_<local time>_<pid>_<tid>.dmp
QRegularExpression dumpNamePattern(const QString &kind, const QString &possibleId)
{
    return QRegularExpression(QStringLiteral("^velmo_%1_1\\.1\\.5\\.1_%2_(\\d+)_(\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d)_(\\d+)_(\\d+)\\.dmp$")
                                  .arg(kind, QRegularExpression::escape(possibleId)));
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList filesIn(const QString &dir, const QString &filter)
{
    return QDir(dir).entryList({ filter }, QDir::Files, QDir::Name);
}

void clearFolder(const QString &dir, const QString &filter = QStringLiteral("*"))
{
    QDir folder(dir);
    for (const QString &name : folder.entryList({ filter }, QDir::Files))
        folder.remove(name);
}

QString helperPath()
{
    return TestUtil::binDir() + QStringLiteral("/lessonry-crash-helper");
}

struct Frame
{
    int index = 0;
    QString module;
    quint64 relative = 0;
};

// The backtrace section of a dump.
QVector<Frame> backtraceOf(const QString &dump)
{
    QVector<Frame> frames;
    const QRegularExpression line(QStringLiteral("^  #(\\d+) 0x[0-9a-f]+ (/\\S+) \\+0x([0-9a-f]+)$"),
                                  QRegularExpression::MultilineOption);
    const int start = dump.indexOf(QLatin1String("\nbacktrace:\n"));
    const int end = dump.indexOf(QLatin1String("\nmodules:\n"));
    if (start < 0 || end < start)
        return frames;
    auto it = line.globalMatch(dump.mid(start, end - start));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        Frame frame;
        frame.index = match.captured(1).toInt();
        frame.module = match.captured(2);
        frame.relative = match.captured(3).toULongLong(nullptr, 16);
        frames.append(frame);
    }
    return frames;
}

// Function names of the frames that lie in module, as addr2line reads them
// (a return address is moved back into its call instruction).
QStringList symbolise(const QVector<Frame> &frames, const QString &module)
{
    QStringList arguments{ QStringLiteral("-f"), QStringLiteral("-e"), module };
    for (const Frame &frame : frames) {
        if (frame.module == module)
            arguments << QStringLiteral("0x") + QString::number(frame.relative - (frame.index > 0 ? 1 : 0), 16);
    }
    if (arguments.size() == 3)
        return {};
    QProcess addr2line;
    addr2line.start(QStringLiteral("addr2line"), arguments);
    if (!addr2line.waitForFinished(30000))
        return {};
    QStringList functions;
    const QStringList lines = QString::fromUtf8(addr2line.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); i += 2)
        functions << lines.at(i);
    return functions;
}

bool anyContains(const QStringList &texts, const QString &part)
{
    for (const QString &text : texts) {
        if (text.contains(part))
            return true;
    }
    return false;
}

struct HelperRun
{
    QString logDir;
    qint64 pid = 0;
    qint64 startSecs = 0;
    qint64 endSecs = 0;
    QProcess::ExitStatus status = QProcess::NormalExit;
    int exitCode = 0;
};

// The helper's log folder, emptied before each test.
QString s_helperLogDir;

HelperRun runHelper(const QStringList &arguments)
{
    HelperRun run;
    QProcess helper;
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    run.startSecs = QDateTime::currentSecsSinceEpoch();
    helper.start(helperPath(), arguments);
    if (!helper.waitForStarted(10000))
        return run;
    run.pid = helper.processId();
    helper.waitForFinished(60000);
    run.endSecs = QDateTime::currentSecsSinceEpoch();
    run.status = helper.exitStatus();
    run.exitCode = helper.exitCode();
    const QString out = QString::fromLocal8Bit(helper.readAllStandardOutput());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^logdir:(.*)$"),
                                                             QRegularExpression::MultilineOption)
                                              .match(out);
    run.logDir = match.captured(1).trimmed();
    s_helperLogDir = run.logDir;
    return run;
}

// Where the helper keeps its logs: the data folder of its own name.
void forgetPossibleId()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velmo"),
                       PossibleIdUtil::settingsApplicationName());
    settings.remove(QStringLiteral("PossibleIdUtil.possible.id"));
    settings.sync();
}

// Blocks the calling thread until released; kept out of line so a freeze
// dump can be checked for it.
std::atomic<bool> s_release{ false };
__attribute__((noinline)) void blockedInFrozenFunction()
{
    while (!s_release.load())
        usleep(1000);
    asm volatile("" ::: "memory");
}

} // namespace

class TestMiniDumpMgr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void dumpNameParts_data();
    void dumpNameParts();
    void dumpNameDoesNotFitBuffer();

    void crashLeavesOneNamedDumpAndRecord_data();
    void crashLeavesOneNamedDumpAndRecord();
    void crashDumpNamesLastLoginAfterRestart();
    void crashWithUnwritableFolderLeavesNoDumpNorRecord();

    void frozenDumpShowsGuiThreadStack();
    void frozenDumpSkipsHeldActionLogMutex();
    void frozenDumpInUnwritableFolder();
    void dumpOnFullDiskLeavesNoFile();
    void crashOnFullDiskLeavesNoFile();
};

void TestMiniDumpMgr::initTestCase()
{
    QVERIFY2(QFile::exists(helperPath()), qPrintable(helperPath()));
    forgetPossibleId();
    Singleton<LogMgr>::instance()->init();
    Singleton<MiniDumpMgr>::instance()->init();
}

void TestMiniDumpMgr::init()
{
    if (!s_helperLogDir.isEmpty())
        clearFolder(s_helperLogDir);
    forgetPossibleId();
    MiniDumpMgr::prepareDumpNames();
}

void TestMiniDumpMgr::dumpNameParts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("possibleId");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("expected");

    // The tests run in America/Sao_Paulo, three hours behind UTC.
    QTest::newRow("crash before any login") << int(MiniDumpMgr::crash) << QString() << qint64(1700000000)
                                            << "velmo_crash_1.1.5.1_unknown_1700000000_2023-11-14-19-13-20_321_654.dmp";
    QTest::newRow("freeze after a login") << int(MiniDumpMgr::frozen) << "20001" << qint64(1700000000)
                                          << "velmo_frozen_1.1.5.1_20001_1700000000_2023-11-14-19-13-20_321_654.dmp";
    QTest::newRow("id that could leave the folder") << int(MiniDumpMgr::crash) << "../x" << qint64(0)
                                                    << "velmo_crash_1.1.5.1_.._x_0_1969-12-31-21-00-00_321_654.dmp";
}

void TestMiniDumpMgr::dumpNameParts()
{
    QFETCH(int, type);
    QFETCH(QString, possibleId);
    QFETCH(qint64, seconds);
    QFETCH(QString, expected);
    if (!possibleId.isEmpty())
        PossibleIdUtil::setPossibleId(possibleId);
    QCOMPARE(MiniDumpMgr::dumpFileName(MiniDumpMgr::DumpType(type), seconds, 321, 654), expected);
}

void TestMiniDumpMgr::dumpNameDoesNotFitBuffer()
{
    char name[16];
    QCOMPARE(CrashDumpWriter::formatDumpName(name, sizeof(name), "crash", 1700000000, 0, 1, 1), std::size_t(0));
}

void TestMiniDumpMgr::crashLeavesOneNamedDumpAndRecord_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("onWorkerThread");

    QTest::newRow("null write") << "null-write" << int(SIGSEGV) << "crashByNullWrite" << false;
    QTest::newRow("abort") << "abort" << int(SIGABRT) << "crashByAbort" << false;
    QTest::newRow("uncaught exception") << "exception" << int(SIGABRT) << "throwUncaughtException" << false;
    QTest::newRow("stack overflow") << "overflow" << int(SIGSEGV) << "recurseWithoutEnd" << false;
    QTest::newRow("worker thread") << "thread" << int(SIGSEGV) << "crashOnWorkerThread" << true;
}

void TestMiniDumpMgr::crashLeavesOneNamedDumpAndRecord()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);
    QFETCH(QString, function);
    QFETCH(bool, onWorkerThread);

    const HelperRun run = runHelper({ mode });
    QVERIFY(!run.logDir.isEmpty());
    // The process still ends by the signal, as it would have without us.
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.exitCode, signal);

    const QStringList dumps = filesIn(run.logDir, QStringLiteral("*.dmp"));
    QCOMPARE(dumps.size(), 1);
    const QString name = dumps.first();
    const QRegularExpressionMatch match = dumpNamePattern(QStringLiteral("crash"), QStringLiteral("unknown")).match(name);
    QVERIFY2(match.hasMatch(), qPrintable(name));
    const qint64 seconds = match.captured(1).toLongLong();
    QVERIFY(seconds >= run.startSecs && seconds <= run.endSecs);
    QCOMPARE(match.captured(2), QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss")));
    QCOMPARE(match.captured(3).toLongLong(), run.pid);
    // The main thread's id is the process id; a worker's is not.
    QCOMPARE(match.captured(4).toLongLong() != run.pid, onWorkerThread);

    const QString dump = readAll(QDir(run.logDir).filePath(name));
    QVERIFY(dump.startsWith(QLatin1String("Lessonry dump 1\nkind: crash\nversion: 1.1.5.1\n")));
    QVERIFY(dump.contains(QStringLiteral("\nsignal: %1 ").arg(signal)));
    QVERIFY(dump.contains(QLatin1String("\nfault address: 0x")));
    QVERIFY(dump.contains(QLatin1String("\nregisters:\n")));
    QVERIFY(dump.contains(QLatin1String("\nmodules:\n")));
    QVERIFY(dump.endsWith(QLatin1String("\nend\n")));
    if (mode == QLatin1String("exception")) {
        QVERIFY(dump.contains(QLatin1String("\nexception: St13runtime_error\n")));
        QVERIFY(dump.contains(QLatin1String("\nwhat: lesson plan missing\n")));
    }
    const QStringList functions = symbolise(backtraceOf(dump), helperPath());
    QVERIFY2(anyContains(functions, function), qPrintable(functions.join(QLatin1Char(' '))));

    const QStringList actionLogs = filesIn(run.logDir, QStringLiteral("*.action.log"));
    QCOMPARE(actionLogs.size(), 1);
    const QString actions = readAll(QDir(run.logDir).filePath(actionLogs.first()));
    const QRegularExpression record(QStringLiteral("\nerror,1,1\\.1\\.5\\.1,(\\d+),app_crash,\\{dumpFileName:%1\\}")
                                        .arg(QRegularExpression::escape(name)));
    QVERIFY2(record.match(actions).hasMatch(), qPrintable(actions));
    QCOMPARE(actions.count(QLatin1String("app_crash")), 1);

    const QStringList logs = filesIn(run.logDir, QStringLiteral("velmo_*.0.log"));
    QCOMPARE(logs.size(), 1);
    const QString log = readAll(QDir(run.logDir).filePath(logs.first()));
    QVERIFY(log.contains(QLatin1String(" - E - ")));
    QVERIFY(log.contains(QLatin1String("program crashes!!zumixoUnhandledExceptionFilter")));
    QVERIFY(log.contains(QLatin1String("dumpFilePath:") + QDir(run.logDir).filePath(name)));
    // Every line the helper logged before crashing is there, once, in
    // order, before the crash's own records.
    int at = 0;
    for (int i = 0; i < 2000; ++i) {
        const QString line = QStringLiteral(" - before the crash %1\n").arg(i);
        const int found = log.indexOf(line, at);
        QVERIFY2(found >= at, qPrintable(line));
        at = found + line.size();
    }
    QCOMPARE(log.count(QLatin1String(" - before the crash ")), 2000);
    QVERIFY(log.indexOf(QLatin1String("program crashes!!")) > at);
    // The record's copy in the message log is whole, closing brace included.
    QVERIFY2(log.contains(QLatin1String("actionName:app_crash, actionInfo:{dumpFileName:") + name + QLatin1String("}\n")),
             qPrintable(log));
    clearFolder(run.logDir);
}

void TestMiniDumpMgr::crashDumpNamesLastLoginAfterRestart()
{
    // The first run signs in as 20001 and crashes; the next run starts
    // without a login and still names its dump after that user.
    const HelperRun first = runHelper({ QStringLiteral("null-write"), QStringLiteral("20001") });
    QCOMPARE(first.status, QProcess::CrashExit);
    QStringList dumps = filesIn(first.logDir, QStringLiteral("*.dmp"));
    QCOMPARE(dumps.size(), 1);
    QVERIFY(dumpNamePattern(QStringLiteral("crash"), QStringLiteral("20001")).match(dumps.first()).hasMatch());
    clearFolder(first.logDir);

    const HelperRun second = runHelper({ QStringLiteral("abort") });
    dumps = filesIn(second.logDir, QStringLiteral("*.dmp"));
    QCOMPARE(dumps.size(), 1);
    QVERIFY2(dumpNamePattern(QStringLiteral("crash"), QStringLiteral("20001")).match(dumps.first()).hasMatch(),
             qPrintable(dumps.first()));
    clearFolder(second.logDir);
}

void TestMiniDumpMgr::crashWithUnwritableFolderLeavesNoDumpNorRecord()
{
    const HelperRun run = runHelper({ QStringLiteral("no-folder") });
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.exitCode, int(SIGSEGV));
    QVERIFY(filesIn(run.logDir, QStringLiteral("*.dmp")).isEmpty());
    const QStringList actionLogs = filesIn(run.logDir, QStringLiteral("*.action.log"));
    QCOMPARE(actionLogs.size(), 1);
    QVERIFY(!readAll(QDir(run.logDir).filePath(actionLogs.first())).contains(QLatin1String("app_crash")));
    const QStringList logs = filesIn(run.logDir, QStringLiteral("velmo_*.0.log"));
    QCOMPARE(logs.size(), 1);
    QVERIFY(readAll(QDir(run.logDir).filePath(logs.first())).contains(QStringLiteral("CreateFile failed.err:%1").arg(ENOENT)));
    clearFolder(run.logDir);
}

void TestMiniDumpMgr::frozenDumpShowsGuiThreadStack()
{
    // The logs stay: this process has them open.
    clearFolder(getLogDir(), QStringLiteral("*.dmp"));
    PossibleIdUtil::setPossibleId(QStringLiteral("30001"));
    // This thread is the watched one (MiniDumpMgr::init ran on it); a
    // second thread writes the dump while this one is stuck.
    s_release = false;
    // A starved machine may not run the stuck thread within the client's
    // second: the stack is waited for longer here, not shorter.
    ScopedTimeScale patient(20);
    QString path;
    long writerTid = 0;
    std::thread watchdog([&] {
        LockWaitLimit::setForCurrentThread(500);
        writerTid = CrashDumpWriter::currentThreadId();
        path = MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen);
        s_release = true;
    });
    blockedInFrozenFunction();
    watchdog.join();

    QVERIFY(!path.isEmpty());
    const QString name = QFileInfo(path).fileName();
    const QRegularExpressionMatch match = dumpNamePattern(QStringLiteral("frozen"), QStringLiteral("30001")).match(name);
    QVERIFY2(match.hasMatch(), qPrintable(name));
    QCOMPARE(match.captured(3).toLongLong(), qint64(getpid()));
    QCOMPARE(match.captured(4).toLongLong(), qint64(writerTid));

    const QString dump = readAll(path);
    QVERIFY(dump.contains(QLatin1String("\nkind: frozen\n")));
    QVERIFY(dump.contains(QLatin1String("\nsignal: none\n")));
    QVERIFY(dump.contains(QStringLiteral("\nthread: %1\n").arg(getpid())));
    QVERIFY(!dump.contains(QLatin1String("\nnote: ")));
    const QStringList functions = symbolise(backtraceOf(dump), QCoreApplication::applicationFilePath());
    QVERIFY2(anyContains(functions, QStringLiteral("blockedInFrozenFunction")), qPrintable(functions.join(QLatin1Char(' '))));

    const QString actions = readAll(ActionLog::instance()->filePath());
    QVERIFY2(actions.contains(QStringLiteral(",app_frozen,{dumpFileName:%1}").arg(name)), qPrintable(actions));
}

void TestMiniDumpMgr::frozenDumpSkipsHeldActionLogMutex()
{
    clearFolder(getLogDir(), QStringLiteral("*.dmp"));
    // The GUI thread is stuck while it holds the action log's mutex: the
    // dump is still written, at once, and only the record is skipped.
    g_actionLogMutex.lock();
    s_release = false;
    QString path;
    qint64 elapsed = 0;
    std::thread watchdog([&] {
        LockWaitLimit::setForCurrentThread(200);
        QElapsedTimer timer;
        timer.start();
        path = MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen);
        elapsed = timer.elapsed();
        s_release = true;
    });
    blockedInFrozenFunction();
    watchdog.join();
    g_actionLogMutex.unlock();

    QVERIFY(!path.isEmpty());
    QVERIFY(QFile::exists(path));
    QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
    QVERIFY(!readAll(ActionLog::instance()->filePath()).contains(QFileInfo(path).fileName()));
}

void TestMiniDumpMgr::frozenDumpInUnwritableFolder()
{
    // The log folder is a plain file: no dump, no record, an empty result.
    const QString logDir = getLogDir();
    QVERIFY(QDir(logDir).removeRecursively());
    {
        QFile blocker(logDir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    std::thread watchdog([] {
        LockWaitLimit::setForCurrentThread(200);
        QVERIFY(MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen).isEmpty());
    });
    watchdog.join();
    QVERIFY(QFile::remove(logDir));
    QVERIFY(QDir().mkpath(logDir));
}

// A dump whose writes fail (a full disk) leaves no file at all, neither
// under its own name nor the hidden one it was written under: an empty or
// cut dump would be uploaded as if it told something.
void TestMiniDumpMgr::dumpOnFullDiskLeavesNoFile()
{
    const QString logDir = getLogDir();
    CrashDumpWriter::failWritesForTests(true);
    std::thread watchdog([] {
        LockWaitLimit::setForCurrentThread(200);
        QVERIFY(MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen).isEmpty());
    });
    watchdog.join();
    CrashDumpWriter::failWritesForTests(false);
    const QStringList left = QDir(logDir).entryList({ QStringLiteral("*.dmp*") }, QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));

    // Written again once the disk takes it: whole, under its own name only.
    std::thread again([] {
        LockWaitLimit::setForCurrentThread(200);
        QVERIFY(!MiniDumpMgr::DumpMiniDump(nullptr, MiniDumpMgr::frozen).isEmpty());
    });
    again.join();
    const QStringList written = QDir(logDir).entryList({ QStringLiteral("*.dmp*") }, QDir::Files | QDir::Hidden);
    QCOMPARE(written.size(), 1);
    QVERIFY(written.first().startsWith(QLatin1String("velmo_frozen_")));
    QVERIFY(written.first().endsWith(QLatin1String(".dmp")));
    QVERIFY(readAll(QDir(logDir).filePath(written.first())).endsWith(QLatin1String("\nend\n")));
    QVERIFY(QFile::remove(QDir(logDir).filePath(written.first())));
}

void TestMiniDumpMgr::crashOnFullDiskLeavesNoFile()
{
    const HelperRun run = runHelper({ QStringLiteral("full-disk") });
    QVERIFY(!run.logDir.isEmpty());
    QCOMPARE(run.status, QProcess::CrashExit);
    QCOMPARE(run.exitCode, int(SIGSEGV));
    const QStringList left = QDir(run.logDir).entryList({ QStringLiteral("*.dmp*") }, QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    const QStringList logs = filesIn(run.logDir, QStringLiteral("velmo_*.0.log"));
    QCOMPARE(logs.size(), 1);
    QVERIFY(readAll(QDir(run.logDir).filePath(logs.first())).contains(QStringLiteral("CreateFile failed.err:%1").arg(ENOSPC)));
    clearFolder(run.logDir);
}

QTEST_GUILESS_MAIN(TestMiniDumpMgr)
#include "tst_minidumpmgr.moc"
