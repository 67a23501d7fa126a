#include "rtcenginelog.h"

#include <QDateTime>
#include <QMutexLocker>

bool RtcEngineLog::setPath(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    m_file.close();
    m_file.setFileName(path);
    return !path.isEmpty() && m_file.open(QIODevice::Append | QIODevice::Text);
}

QString RtcEngineLog::path() const
{
    QMutexLocker lock(&m_mutex);
    return m_file.fileName();
}

void RtcEngineLog::write(const QString &line)
{
    QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen())
        return;
    m_file.write(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz ")).toUtf8());
    m_file.write(line.toUtf8());
    m_file.write("\n");
    m_file.flush();
}
