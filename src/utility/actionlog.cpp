#include "actionlog.h"

#include "platform/crash/crashdumpwriter.h"
#include "utility/globalconstants.h"
#include "utility/lockwaitlimit.h"
#include "utility/stringutility.h"

#include <QAtomicPointer>
#include <QDateTime>
#include <QFile>
#include <QMutexLocker>

namespace {

QAtomicPointer<ActionLog> s_instance;

} // namespace

ActionLog *ActionLog::instance()
{
    ActionLog *log = s_instance.loadAcquire();
    if (!log) {
        QMutexLocker locker(&g_actionLogMutex);
        log = s_instance.loadAcquire();
        if (!log) {
            log = new ActionLog();
            s_instance.storeRelease(log);
        }
    }
    return log;
}

bool ActionLog::init(const QString &path)
{
    QMutexLocker locker(&g_actionLogMutex);
    if (m_file) {
        // A second init without close(): do not leak the earlier file.
        m_file->close();
        delete m_file;
    }
    m_file = new QFile(path);
    m_bytes.store(m_file->size());
    CrashDumpWriter::setActionTimeOffset(0);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        qCritical("Create ActionLog file error.");
        return false;
    }
    m_timeOffset = 0;
    return true;
}

void ActionLog::close()
{
    QMutexLocker locker(&g_actionLogMutex);
    if (!m_file)
        return;
    if (m_file->isOpen()) {
        m_file->flush();
        m_file->close();
    }
    delete m_file;
    m_file = nullptr;
}

void ActionLog::NormalInfo(const QString &actionName, const QString &actionInfo)
{
    write(Normal, actionName, actionInfo);
}

void ActionLog::ClickInfo(const QString &actionName, const QString &actionInfo)
{
    write(Click, actionName, actionInfo);
}

void ActionLog::ImInfo(const QString &actionName, const QString &actionInfo)
{
    write(Im, actionName, actionInfo);
}

void ActionLog::ErrorInfo(const QString &actionName, const QString &actionInfo)
{
    // Logged before the action-log mutex is taken, so the two log mutexes
    // are never held together.
    qCritical("actionError -> actionName:%s, actionInfo:%s",
              actionName.toUtf8().constData(), StringUtility::cutForLog(actionInfo).toUtf8().constData());
    write(Error, actionName, actionInfo);
}

void ActionLog::setTimeOffset(qint64 milliseconds)
{
    QMutexLocker locker(&g_actionLogMutex);
    m_timeOffset = milliseconds;
    CrashDumpWriter::setActionTimeOffset(milliseconds);
}

QString ActionLog::filePath() const
{
    QMutexLocker locker(&g_actionLogMutex);
    return m_file ? m_file->fileName() : QString();
}

qint64 ActionLog::timeOffset() const
{
    QMutexLocker locker(&g_actionLogMutex);
    return m_timeOffset;
}

QString ActionLog::kindText(int kind)
{
    switch (kind) {
    case Error:
        return QStringLiteral("error");
    case Normal:
        return QStringLiteral("normal");
    case Click:
        return QStringLiteral("click");
    case Im:
        return QStringLiteral("im");
    default:
        return QString();
    }
}

QString ActionLog::recordLine(int kind, qint64 msecsSinceEpoch,
                              const QString &actionName, const QString &actionInfo)
{
    // One record is one line of bounded length, whatever a received text
    // holds: a line break inside becomes a space (white space to a JSON
    // text as well), and a long text is cut with a marker.
    QString info = StringUtility::cutForLog(actionInfo, StringUtility::kMaxLogRecordChars);
    info.replace(QLatin1Char('\n'), QLatin1Char(' '));
    info.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return kindText(kind) + QLatin1String(",1,") + QLatin1String(g_clientVersion) + QLatin1Char(',')
        + QString::number(msecsSinceEpoch) + QLatin1Char(',') + actionName + QLatin1Char(',')
        + info;
}

void ActionLog::write(int kind, const QString &actionName, const QString &actionInfo)
{
    // A thread with a lock-wait limit drops the record rather than wait.
    if (!LockWaitLimit::lock(g_actionLogMutex))
        return;
    if (m_file && m_file->isOpen()) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch() + m_timeOffset;
        // Each record starts with a line break, so the last one has none after it.
        const QByteArray record = recordLine(kind, now, actionName, actionInfo).toLocal8Bit();
        m_file->write("\n");
        m_file->write(record);
        m_file->flush();
        m_bytes.fetch_add(record.size() + 1);
    }
    g_actionLogMutex.unlock();
}
