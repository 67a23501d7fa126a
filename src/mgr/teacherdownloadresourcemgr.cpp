#include "teacherdownloadresourcemgr.h"

#include "mgr/singleton.h"

#include <QDebug>

DownloadResourceMgr::DownloadResourceMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
    qRegisterMetaType<DownloadFileInfo>("DownloadFileInfo");
}

DownloadResourceMgr::~DownloadResourceMgr() = default;

DownloadResourceMgr *DownloadResourceMgr::instance()
{
    return Singleton<DownloadResourceMgr>::instance();
}

void DownloadResourceMgr::init()
{
    qInfo("DownloadResourceMgr init");
}

void DownloadResourceMgr::download(const QString &resourceId, const QVector<DownloadFileInfo> &files)
{
    QStringList urls;
    for (const DownloadFileInfo &file : files)
        urls << file.url;
    qInfo("resourcedownload:download resources, resourceId:%s, files:%s", qUtf8Printable(resourceId),
          qUtf8Printable(urls.join(QLatin1Char(','))));
    abort();
    m_resourceId = resourceId;
    m_files = files;
}

void DownloadResourceMgr::abort()
{
    qInfo("abort");
    if (m_resourceId.isEmpty())
        return;
    const QString resourceId = m_resourceId;
    qInfo("resourcedownload:abort download resourceid:%s", qUtf8Printable(resourceId));
    m_resourceId.clear();
    m_files.clear();
    emit signal_abort(resourceId);
}

QString DownloadResourceMgr::currentResourceId() const
{
    return m_resourceId;
}

QVector<DownloadFileInfo> DownloadResourceMgr::currentFiles() const
{
    return m_files;
}

void DownloadResourceMgr::updateResource(const QString &resourceId, const QVector<DownloadFileInfo> &files)
{
    m_resourceId = resourceId;
    m_files = files;
}

int DownloadResourceMgr::calculateDownloadProgress(const QString &, const QVector<DownloadFileInfo> &,
                                                   QSet<QString> &)
{
    return 0;
}

QString DownloadResourceMgr::getResourceId() const
{
    return m_resourceId;
}
