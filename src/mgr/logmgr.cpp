#include "logmgr.h"

#include "mgr/singleton.h"
#include "platform/filesearch.h"
#include "utility/actionlog.h"
#include "platform/crash/crashdumpwriter.h"
#include "utility/appdirs.h"
#include "utility/globalconstants.h"
#include "utility/lockwaitlimit.h"
#include "utility/possibleidutil.h"
#include "utility/timeutility.h"

#include <QAtomicPointer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QThread>

namespace {

// The object the installed handler writes to; null while none is live, so
// a message logged during shutdown never reaches a destroyed object.
QAtomicPointer<LogMgr> s_activeLog;

// Set while this thread is inside writeMessage: a message raised by the
// write itself must not try to take the file mutex again.
thread_local bool t_writing = false;

} // namespace

LogMgr::LogMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

LogMgr::~LogMgr()
{
    uninstallHandler();
    closeLogFile();
}

void LogMgr::init()
{
    QMutexLocker locker(&m_initMutex);
    openLogFiles();
    qSetMessagePattern(QStringLiteral(
        "[%{time yyyyMMdd h:mm:ss.zzz} - %{type} - %{function}:%{line} - %{threadid}  - %{message}"));
    s_activeLog.storeRelease(this);
    QtMessageHandler previous = qInstallMessageHandler(&LogMgr::messageHandler);
    // A later pass finds our own handler installed; keep the original one
    // so that it can be put back at the end.
    if (!m_handlerInstalled) {
        m_previousHandler = previous;
        m_handlerInstalled = true;
    }
}

void LogMgr::uninstallHandler()
{
    QMutexLocker locker(&m_initMutex);
    if (m_handlerInstalled) {
        qInstallMessageHandler(m_previousHandler);
        m_handlerInstalled = false;
        m_previousHandler = nullptr;
    }
    s_activeLog.testAndSetOrdered(this, nullptr);
}

void LogMgr::openLogFiles()
{
    const QString date = beiJingTime(QStringLiteral("yyyy-MM-dd"), QDateTime::currentMSecsSinceEpoch());
    const QString base = nextLogBaseName(date);
    const QString logDir = getLogDir();
    const QString path = QFileInfo(QDir(logDir), base + QStringLiteral(".log")).absoluteFilePath();
    {
        QMutexLocker locker(&m_fileMutex);
        m_logFilePath = path;
    }
    closeLogFile();
    openLogFile(path);

    const QString actionPath = QFileInfo(QDir(logDir), base + QStringLiteral(".action.log")).absoluteFilePath();
    ActionLog::instance()->close();
    ActionLog::instance()->init(actionPath);
    // A crash appends its records to the files open now.
    CrashDumpWriter::setLogFiles(QFile::encodeName(path).constData(), QFile::encodeName(actionPath).constData());
    CrashDumpWriter::setLogClockOffset(TimeUtility::kBeiJingOffsetSecs);
    CrashDumpWriter::refreshLocalTimeOffset();
}

void LogMgr::closeLogFile()
{
    QMutexLocker locker(&m_fileMutex);
    if (!m_logFile)
        return;
    if (m_logFile->isOpen()) {
        m_logFile->flush();
        m_logFile->close();
    }
    delete m_logFile;
    m_logFile = nullptr;
}

bool LogMgr::openLogFile(const QString &path)
{
    QMutexLocker locker(&m_fileMutex);
    if (m_logFile) {
        m_logFile->close();
        delete m_logFile;
    }
    m_logFile = new QFile(path);
    return m_logFile->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void LogMgr::flush()
{
    if (!LockWaitLimit::lock(m_fileMutex))
        return;
    if (m_logFile)
        m_logFile->flush();
    m_fileMutex.unlock();
}

QString LogMgr::logFilePath() const
{
    QMutexLocker locker(&m_fileMutex);
    return m_logFilePath;
}

void LogMgr::messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    LogMgr *log = s_activeLog.loadAcquire();
    if (log)
        log->writeMessage(type, context, message);
}

void LogMgr::writeMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (t_writing)
        return;
    t_writing = true;
    const QByteArray line = recordLine(QDateTime::currentMSecsSinceEpoch(), type,
                                       reinterpret_cast<quintptr>(QThread::currentThreadId()),
                                       context, message)
                                .toUtf8();
    // A thread with a lock-wait limit drops the line rather than wait
    // for a writer that is stuck.
    if (LockWaitLimit::lock(m_fileMutex)) {
        if (m_logFile && m_logFile->isOpen()) {
            // Each record is preceded by a line break: an empty line
            // separates records in the file.
            m_logFile->write("\n", 1);
            m_logFile->write(line);
            m_logFile->flush();
        }
        m_fileMutex.unlock();
    }
    t_writing = false;
}

QString LogMgr::recordLine(qint64 msecsSinceEpoch, QtMsgType type, quintptr threadId,
                           const QMessageLogContext &context, const QString &message)
{
    const QString function = context.function ? QString::fromUtf8(context.function) : QString();
    return QStringLiteral("%1 %2 - %3 - %4 - %5:%6 - %7\n")
        .arg(QString::number(msecsSinceEpoch),
             beiJingTime(QStringLiteral("yyyyMMdd hh:mm:ss.zzz"), msecsSinceEpoch),
             levelText(type), QString::number(threadId), shortFunctionName(function),
             QString::number(context.line), message);
}

QString LogMgr::beiJingTime(const QString &format, qint64 msecsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::OffsetFromUTC, TimeUtility::kBeiJingOffsetSecs).toString(format);
}

int LogMgr::sequenceOf(const QString &fileName)
{
    const QStringList parts = fileName.split(QLatin1Char('.'));
    if (parts.size() < 2)
        return -1;
    const bool isAction = fileName.contains(QLatin1String("action"));
    const int index = parts.size() - (isAction ? 3 : 2);
    if (index < 0)
        return -1;
    bool ok = false;
    const int sequence = parts.at(index).toInt(&ok, 10);
    return ok ? sequence : -1;
}

QString LogMgr::nextLogBaseName(const QString &date)
{
    const QFileInfoList files = findFilesByPattern(getLogDir() + QStringLiteral("/velmo_*%1*.log").arg(date));
    int next = 0;
    for (const QFileInfo &file : files) {
        const QString name = file.fileName();
        if (name.contains(QLatin1String("uploaded")))
            continue;
        const int sequence = sequenceOf(name);
        if (sequence >= next)
            next = sequence + 1;
    }
    return logBaseName(date, next);
}

QString LogMgr::logBaseName(const QString &date, int sequence)
{
    return QStringLiteral("velmo_%1_%2_%3.%4")
        .arg(QLatin1String(g_clientVersion),
             PossibleIdUtil::toFileNamePart(PossibleIdUtil::getPossibleId()), date,
             QString::number(sequence));
}

QString LogMgr::levelText(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("D");
    case QtWarningMsg:
        return QStringLiteral("W");
    case QtCriticalMsg:
        return QStringLiteral("E");
    case QtFatalMsg:
        return QStringLiteral("FATAL");
    case QtInfoMsg:
        return QStringLiteral("I");
    }
    return QStringLiteral("unknown");
}

QString LogMgr::shortFunctionName(const QString &signature)
{
    const int paren = signature.indexOf(QLatin1Char('('));
    return paren < 0 ? signature : signature.left(paren);
}
