#ifndef DOWNLOADUTIL_H
#define DOWNLOADUTIL_H

#include <QString>

class QObject;
class QWidget;
class NetWorkDownloadReplyHolder;
class NetworkImageReplyHolder;

// Entry points of the downloads, one per kind of file, each choosing its
// cache folder. The holders are children of parent; null when no request
// could be made.
class DownloadUtil
{
public:
    // A picture for widget's style sheet section. An address that does not
    // begin with "http" (any case) is a local file: shown at once, null
    // returned, nothing downloaded. It lives in the widget library, beside
    // NetworkImageReplyHolder: code below that layer cannot call it.
    static NetworkImageReplyHolder *downloadImage(QObject *parent, const QString &url,
                                                  QWidget *widget,
                                                  const QString &styleSheetSectionName,
                                                  bool flag, const QString &failureImage,
                                                  const QString &loadingImage);
    static NetWorkDownloadReplyHolder *downloadInstaller(QObject *parent, const QString &url);
    static NetWorkDownloadReplyHolder *downloadPdf(QObject *parent, const QString &url);
    // Into subPath below the resource folder, created when missing. A
    // subPath that leads outside the resource folder is refused (the
    // holder reports REQUEST_REFUSED_ERROR_CODE).
    static NetWorkDownloadReplyHolder *downloadResource(QObject *parent, const QString &url,
                                                        const QString &subPath);
    static NetWorkDownloadReplyHolder *downloadTeacherAudio(QObject *parent, const QString &url,
                                                            const QString &item);
    // Where the picture of url is or will be.
    static QString getImageFilePath(const QString &url);
};

#endif // DOWNLOADUTIL_H
