#include "logcapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex g_mutex;
QStringList g_lines;

void capture(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    static const char letters[] = { 'D', 'W', 'C', 'F', 'I' };
    const char letter = type >= 0 && type < int(sizeof(letters)) ? letters[type] : '?';
    QMutexLocker locker(&g_mutex);
    g_lines.append(QString(QLatin1Char(letter)) + QLatin1Char(' ') + message);
}

} // namespace

LogCapture::LogCapture()
{
    clear();
    m_previous = qInstallMessageHandler(capture);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList LogCapture::lines() const
{
    QMutexLocker locker(&g_mutex);
    return g_lines;
}

QStringList LogCapture::matching(const QString &part) const
{
    return lines().filter(part);
}

void LogCapture::clear()
{
    QMutexLocker locker(&g_mutex);
    g_lines.clear();
}
