#include "utility/downloadutil.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "utility/appdirs.h"
#include "utility/foldertrim.h"

#include <QDir>
#include <QFileInfo>
#include <QThreadPool>
#include <QUrl>

#include <atomic>

namespace {

// True when path is folder or lies below it (after resolving "." and "..").
bool isInside(const QString &path, const QString &folder)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanPath = QDir::cleanPath(path);
    return cleanPath == cleanFolder || cleanPath.startsWith(cleanFolder + QLatin1Char('/'));
}

} // namespace

bool DownloadUtil::isWebAddress(const QString &url)
{
    if (url.size() > kMaxAddressLength)
        return false;
    const QUrl parsed(url);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() && !parsed.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool DownloadUtil::isDownloadedFile(const QString &path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    const QString cache = QFileInfo(getAbsoluteFilePath(getAppDataDir(), QStringLiteral("download"))).canonicalFilePath();
    return !file.isEmpty() && !cache.isEmpty() && QFileInfo(file).isFile() && isInside(file, cache);
}

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

void DownloadUtil::removeStaleTempFiles()
{
    // Once per process: a later pass of the restart loop may already have
    // downloads of its own under way.
    static bool done = false;
    if (done)
        return;
    done = true;
    NetWorkDownloadReplyHolder::removeStaleTempFiles(getAbsoluteFilePath(getAppDataDir(), QStringLiteral("download")));
}

QString DownloadUtil::getImageFilePath(const QString &url)
{
    return NetWorkDownloadReplyHolder::getFilePath(url, getDownloadImageDir());
}

int DownloadUtil::trimFolder(const QString &folder, qint64 maxBytes)
{
    return FolderTrim::trim(folder, maxBytes, [](const QFileInfo &file) {
        return NetWorkDownloadReplyHolder::isTempFileName(file.fileName());
    });
}

void DownloadUtil::trimImageFolderLater()
{
    // One pass at a time; a pass asked for meanwhile runs once more after it.
    static std::atomic<int> wanted{ 0 };
    if (wanted.fetch_add(1) > 0)
        return;
    const QString folder = getDownloadImageDir();
    QThreadPool::globalInstance()->start([folder] {
        do {
            wanted.store(1);
            trimFolder(folder, kMaxImageFolderBytes);
        } while (wanted.fetch_sub(1) > 1);
    });
}
