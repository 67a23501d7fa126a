#include "utility/downloadutil.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "utility/appdirs.h"

#include <QDir>

namespace {

// True when path is folder or lies below it (after resolving "." and "..").
bool isInside(const QString &path, const QString &folder)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanPath = QDir::cleanPath(path);
    return cleanPath == cleanFolder || cleanPath.startsWith(cleanFolder + QLatin1Char('/'));
}

} // namespace

NetWorkDownloadReplyHolder *DownloadUtil::downloadInstaller(QObject *parent, const QString &url)
{
    qInfo("downloadInstaller url:%s", qUtf8Printable(url));
    return Singleton<HttpMgr>::instance()->download(parent, url, getDownloadInstallerDir());
}

NetWorkDownloadReplyHolder *DownloadUtil::downloadPdf(QObject *parent, const QString &url)
{
    qInfo("downloadPdf url:%s", qUtf8Printable(url));
    return Singleton<HttpMgr>::instance()->download(parent, url, getResourceDownloadPath());
}

NetWorkDownloadReplyHolder *DownloadUtil::downloadResource(QObject *parent, const QString &url,
                                                           const QString &subPath)
{
    qInfo("downloadResource url:%s path:%s", qUtf8Printable(url), qUtf8Printable(subPath));
    const QString resourceDir = getDownloadResourceDir();
    const QString folder = getAbsoluteFilePath(resourceDir, subPath);
    // The sub-path comes from the server: it must not lead elsewhere.
    if (!isInside(folder, resourceDir)) {
        qCritical("downloadResource refused: path:%s leaves the resource folder",
                  qUtf8Printable(subPath));
        return NetWorkDownloadReplyHolder::createRefused(parent, url, folder,
                                                         REQUEST_REFUSED_ERROR_CODE);
    }
    makePathIfMissing(folder);
    return Singleton<HttpMgr>::instance()->download(parent, url, folder);
}

NetWorkDownloadReplyHolder *DownloadUtil::downloadTeacherAudio(QObject *parent,
                                                               const QString &url,
                                                               const QString &item)
{
    qInfo("downloadTeacherAudio url:%s", qUtf8Printable(url));
    return Singleton<HttpMgr>::instance()->download(parent, url, getDownloadResourceDir(item));
}

QString DownloadUtil::getImageFilePath(const QString &url)
{
    return NetWorkDownloadReplyHolder::getFilePath(url, getDownloadImageDir());
}
