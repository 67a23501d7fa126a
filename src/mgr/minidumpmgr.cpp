#include "minidumpmgr.h"

#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "platform/crash/crashdumpwriter.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/durations.h"
#include "utility/globalconstants.h"
#include "utility/possibleidutil.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

MiniDumpMgr::MiniDumpMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

MiniDumpMgr::~MiniDumpMgr() = default;

MiniDumpMgr *MiniDumpMgr::instance()
{
    return Singleton<MiniDumpMgr>::instance();
}

void MiniDumpMgr::init()
{
    qWarning("MiniDumpMgr::init");
    prepareDumpNames();
    CrashDumpWriter::watchCurrentThread();
    if (!CrashDumpWriter::install(&MiniDumpMgr::zumixoUnhandledExceptionFilter))
        qCritical("not every crash handler could be installed");
}

QString MiniDumpMgr::dumpTypeText(DumpType type)
{
    return type == frozen ? QStringLiteral("frozen") : QStringLiteral("crash");
}

long MiniDumpMgr::zumixoUnhandledExceptionFilter(CrashSignalContext *context)
{
    // Signal context: only the crash writer's async-signal-safe path. The
    // RTC engine's log is not copied here, as that needs the engine and the
    // heap; the copy made when the last class closed is uploaded instead.
    // The message log's queued lines go first: they come before the crash
    // records in the log and reach the disk before the dump.
    LogMgr::writePendingForCrash();
    CrashDumpWriter::writeCrashDump(context);
    return 0;
}

void MiniDumpMgr::prepareDumpNames()
{
    CrashDumpWriter::setDumpFolder(QFile::encodeName(getLogDir()).constData());
    CrashDumpWriter::setVersion(g_clientVersion);
    CrashDumpWriter::setPossibleId(
        PossibleIdUtil::toFileNamePart(PossibleIdUtil::getPossibleId()).toUtf8().constData());
    CrashDumpWriter::refreshLocalTimeOffset();
    const QString messageLog = Singleton<LogMgr>::instance()->logFilePath();
    const QString actionLog = ActionLog::instance()->filePath();
    CrashDumpWriter::setLogFiles(QFile::encodeName(messageLog).constData(),
                                 QFile::encodeName(actionLog).constData());
}

QString MiniDumpMgr::dumpFileName(DumpType type, qint64 secondsSinceEpoch, qint64 pid, qint64 tid)
{
    const int localOffset = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).offsetFromUtc();
    char name[CrashDumpWriter::kMaxNamePart * 3];
    const std::size_t length = CrashDumpWriter::formatDumpName(
        name, sizeof(name), dumpTypeText(type).toLatin1().constData(), secondsSinceEpoch, localOffset,
        long(pid), long(tid));
    return QString::fromUtf8(name, int(length));
}

QString MiniDumpMgr::DumpMiniDump(CrashSignalContext *context, DumpType type)
{
    if (type == crash) {
        char path[CrashDumpWriter::kMaxPath * 2];
        const int error = CrashDumpWriter::writeCrashDump(context, path, sizeof(path));
        if (error) {
            qCritical("CreateFile failed.err:%d", error);
            return QString();
        }
        return QFile::decodeName(path);
    }

    // The prepared name parts and folder: reading the settings store or the
    // standard paths here could wait for the stuck GUI thread.
    const QString name = dumpFileName(type, QDateTime::currentMSecsSinceEpoch() / 1000,
                                      QCoreApplication::applicationPid(), CrashDumpWriter::currentThreadId());
    QString folder = QFile::decodeName(CrashDumpWriter::dumpFolder());
    if (folder.isEmpty())
        folder = getLogDir();
    const QString path = QFileInfo(QDir(folder), name).absoluteFilePath();

    // The dump first: the logs below may be unavailable while the GUI
    // thread is stuck holding one of their mutexes.
    const int error = CrashDumpWriter::writeFrozenDump(QFile::encodeName(path).constData(),
                                                       Durations::ms(kStackCaptureTimeoutMs));
    qInfo("dumpFilePath:%s", qUtf8Printable(path));
    if (error) {
        qCritical("CreateFile failed.err:%d", error);
        return QString();
    }
    Singleton<LogMgr>::instance()->flush();
    ActionLog::instance()->ErrorInfo(QStringLiteral("app_frozen"),
                                     QStringLiteral("{dumpFileName:%1}").arg(name));
    return path;
}
