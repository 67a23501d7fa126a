#include "downloadsequenceprogress.h"

#include <QDebug>

DownloadSequenceProgress::DownloadSequenceProgress(const char *logPrefix)
    : m_logPrefix(logPrefix)
{
}

void DownloadSequenceProgress::start(int fileCount, int percent)
{
    m_fileCount = fileCount;
    m_percent = percent;
    qInfo("%scnt:%d", m_logPrefix, m_fileCount);
}

void DownloadSequenceProgress::nextFile()
{
    m_currentFileCounted = false;
}

int DownloadSequenceProgress::update(double percent)
{
    qInfo("%sslot_downloadProgress, percent:%f", m_logPrefix, percent);
    if (m_fileCount == 0) {
        qCritical("%scnt is 0", m_logPrefix);
        return -1;
    }
    if (m_currentFileCounted)
        return -1;
    const int before = m_percent;
    const int share = int(1.0 / m_fileCount * percent);
    if (int(percent) == 100) {
        qInfo("%scurrent file download 100%%", m_logPrefix);
        m_percent += share;
        m_currentFileCounted = true;
    }
    qInfo("%sprogress:%d", m_logPrefix, before + share);
    return before + share;
}
