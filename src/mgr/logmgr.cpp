#include "logmgr.h"

#include "mgr/singleton.h"
#include "platform/filesearch.h"
#include "utility/actionlog.h"
#include "platform/crash/crashdumpwriter.h"
#include "utility/appdirs.h"
#include "utility/foldertrim.h"
#include "utility/globalconstants.h"
#include "utility/possibleidutil.h"
#include "utility/stringutility.h"
#include "utility/timeutility.h"

#include <QAtomicPointer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QThread>

#include <charconv>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The object the installed handler writes to; null while none is live, so
// a message logged during shutdown never reaches a destroyed object.
QAtomicPointer<LogMgr> s_activeLog;

// Set while this thread is inside writeMessage: a message raised by the
// write itself must not try to take the file mutex again.
thread_local bool t_writing = false;

// Set once this thread's line buffer is gone: a message logged later by
// the thread's own ending (a static or thread-local object destroyed at
// exit) builds its line in a buffer of its own instead of a freed one.
thread_local bool t_lineBufferGone = false;

struct LineBuffer
{
    ~LineBuffer() { t_lineBufferGone = true; }
    QByteArray bytes;
};

// Appends text to out as UTF-8. Log messages are almost always ASCII: those
// are copied straight into out, without a converted copy of their own.
void appendUtf8(QByteArray &out, const QString &text)
{
    const int start = out.size();
    const int length = text.size();
    out.resize(start + length);
    char *to = out.data() + start;
    const QChar *from = text.constData();
    for (int i = 0; i < length; ++i) {
        const ushort unit = from[i].unicode();
        if (unit >= 0x80) {
            // Everything before i was ASCII: the encoder takes the rest.
            out.resize(start + i);
            out += QStringView(text).mid(i).toUtf8();
            return;
        }
        to[i] = char(unit);
    }
}

// A record, UTF-8 of its bounded text and its head, always fits the queue.
static_assert(LogWriteQueue::kCapacity > 3 * StringUtility::kMaxLogRecordChars + 1024,
              "a log record must fit the write queue");

// Lines still queued when the program ends without releasing the log (a
// plain exit, a test's end) are written on the way out.
struct FlushAtExit
{
    ~FlushAtExit()
    {
        if (LogMgr *log = s_activeLog.loadAcquire())
            log->flush();
    }
};

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
    static FlushAtExit flushAtExit;
    Q_UNUSED(flushAtExit)
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
    // Room is left for the pair just opened to grow to their bound.
    trimLogFolder(logDir, kMaxLogFolderBytes - 2 * kMaxLogFileBytes, { path, actionPath });
    // A crash appends its records to the files open now.
    CrashDumpWriter::setLogFiles(QFile::encodeName(path).constData(), QFile::encodeName(actionPath).constData());
    CrashDumpWriter::setLogClockOffset(TimeUtility::kBeiJingOffsetSecs);
    CrashDumpWriter::refreshLocalTimeOffset();
}

void LogMgr::closeLogFile()
{
    QMutexLocker locker(&m_fileMutex);
    const int fd = m_queue.setFile(-1);
    if (fd >= 0)
        ::close(fd);
}

bool LogMgr::openLogFile(const QString &path)
{
    QMutexLocker locker(&m_fileMutex);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    struct stat status;
    const qint64 size = fd >= 0 && ::fstat(fd, &status) == 0 ? qint64(status.st_size) : 0;
    m_nextFileAsked = false;
    const int previous = m_queue.setFile(fd, size);
    if (previous >= 0)
        ::close(previous);
    return fd >= 0;
}

int LogMgr::trimLogFolder(const QString &folder, qint64 maxBytes, const QStringList &keep)
{
    return FolderTrim::trim(folder, maxBytes, [&keep](const QFileInfo &file) {
        return keep.contains(file.absoluteFilePath());
    });
}

void LogMgr::flush()
{
    m_queue.flush();
}

void LogMgr::writePendingForCrash()
{
    if (LogMgr *log = s_activeLog.loadAcquire())
        log->m_queue.writePendingNow();
}

void LogMgr::holdWriterForTests(bool hold)
{
    m_queue.holdWriterForTests(hold);
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
    // The line is built in a buffer each thread keeps, then queued for the
    // log's writer thread.
    QByteArray ownLine;
    QByteArray *kept = &ownLine;
    if (!t_lineBufferGone) {
        thread_local LineBuffer buffer;
        kept = &buffer.bytes;
    }
    QByteArray &line = *kept;
    if (line.capacity() < 512)
        line.reserve(512);
    line.resize(0);
    line += '\n'; // each record is preceded by a line break: an empty line separates records
    appendRecord(line, QDateTime::currentMSecsSinceEpoch(), type,
                 reinterpret_cast<quintptr>(QThread::currentThreadId()), context, message);
    // A thread with a lock-wait limit drops the line rather than wait
    // for a queue that is stuck.
    const qint64 fileBytes = m_queue.append(line.constData(), line.size());
    bool askForNextFile = false;
    if (fileBytes > 0) {
        const bool full = fileBytes > kMaxLogFileBytes || ActionLog::instance()->fileBytes() > kMaxLogFileBytes;
        askForNextFile = full && !m_nextFileAsked.exchange(true);
    }
    // The program ends right after a fatal message.
    if (type == QtFatalMsg)
        m_queue.flush();
    // Opened on the object's own thread: a full log from any thread goes on
    // in a new file, and the folder stays within its bound.
    if (askForNextFile)
        QMetaObject::invokeMethod(this, [this] { openLogFiles(); }, Qt::QueuedConnection);
    t_writing = false;
}

QString LogMgr::recordLine(qint64 msecsSinceEpoch, QtMsgType type, quintptr threadId,
                           const QMessageLogContext &context, const QString &message)
{
    QByteArray line;
    appendRecord(line, msecsSinceEpoch, type, threadId, context, message);
    return QString::fromUtf8(line);
}

void LogMgr::appendRecord(QByteArray &line, qint64 msecsSinceEpoch, QtMsgType type, quintptr threadId,
                          const QMessageLogContext &context, const QString &message)
{
    // The date-time text changes once a second: each thread keeps the text
    // of the last second it wrote and adds the milliseconds itself.
    thread_local qint64 cachedSecond = std::numeric_limits<qint64>::min();
    thread_local char cachedSecondText[32];
    thread_local int cachedSecondLength = 0;
    const qint64 second = msecsSinceEpoch >= 0 ? msecsSinceEpoch / 1000 : (msecsSinceEpoch - 999) / 1000;
    const int millis = int(msecsSinceEpoch - second * 1000);
    if (second != cachedSecond) {
        const QByteArray text = beiJingTime(QStringLiteral("yyyyMMdd hh:mm:ss"), second * 1000).toLatin1();
        cachedSecondLength = int(qMin<qsizetype>(text.size(), sizeof cachedSecondText));
        std::memcpy(cachedSecondText, text.constData(), size_t(cachedSecondLength));
        cachedSecond = second;
    }

    // Everything before the function name fits in a small buffer.
    char head[128];
    char *p = head;
    char *const end = head + sizeof head;
    p = std::to_chars(p, end, msecsSinceEpoch).ptr;
    *p++ = ' ';
    std::memcpy(p, cachedSecondText, size_t(cachedSecondLength));
    p += cachedSecondLength;
    *p++ = '.';
    *p++ = char('0' + millis / 100);
    *p++ = char('0' + millis / 10 % 10);
    *p++ = char('0' + millis % 10);
    const char *level = levelBytes(type);
    const size_t levelLength = std::strlen(level);
    std::memcpy(p, " - ", 3);
    p += 3;
    std::memcpy(p, level, levelLength);
    p += levelLength;
    std::memcpy(p, " - ", 3);
    p += 3;
    p = std::to_chars(p, end, quint64(threadId)).ptr;
    std::memcpy(p, " - ", 3);
    p += 3;
    line.append(head, int(p - head));

    if (const char *function = context.function) {
        const char *paren = std::strchr(function, '(');
        line.append(function, paren ? int(paren - function) : int(std::strlen(function)));
    }

    p = head;
    *p++ = ':';
    p = std::to_chars(p, end, context.line).ptr;
    std::memcpy(p, " - ", 3);
    p += 3;
    line.append(head, int(p - head));
    // A record carries at most a bounded part of a text from outside.
    if (message.size() <= StringUtility::kMaxLogRecordChars)
        appendUtf8(line, message);
    else
        appendUtf8(line, StringUtility::cutForLog(message, StringUtility::kMaxLogRecordChars));
    line += '\n';
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
    return QString::fromLatin1(levelBytes(type));
}

const char *LogMgr::levelBytes(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "D";
    case QtWarningMsg:
        return "W";
    case QtCriticalMsg:
        return "E";
    case QtFatalMsg:
        return "FATAL";
    case QtInfoMsg:
        return "I";
    }
    return "unknown";
}

QString LogMgr::shortFunctionName(const QString &signature)
{
    const int paren = signature.indexOf(QLatin1Char('('));
    return paren < 0 ? signature : signature.left(paren);
}
