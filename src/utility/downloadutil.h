#ifndef DOWNLOADUTIL_H
#define DOWNLOADUTIL_H

#include <QString>
#include <QtGlobal>

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
    // The largest picture downloadImage() accepts.
    static constexpr qint64 kMaxImageBytes = 20 * 1024 * 1024;
    // The longest a picture may take to arrive.
    static constexpr int kMaxImageDurationMs = 2 * 60 * 1000;
    // The picture folder ("download/image") in all: pictures come from
    // other participants, and the oldest go first beyond this.
    static constexpr qint64 kMaxImageFolderBytes = 200 * 1024 * 1024;

    // A picture for widget's style sheet section. Only http(s) addresses
    // are fetched. Any other address returns null without a download: a
    // file inside the download folder is shown at once, anything else
    // leaves the widget's default picture. It lives in the widget library,
    // beside NetworkImageReplyHolder: code below that layer cannot call it.
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
    // Removes what downloads killed mid-way left in the download folder;
    // the first call of the process does the work, later ones nothing.
    static void removeStaleTempFiles();
    // The longest address fetched or taken from another participant.
    static constexpr int kMaxAddressLength = 2048;
    // An http or https address with a host (scheme in any case) of at most
    // kMaxAddressLength characters, read tolerantly (a space or "|" in it
    // is encoded when fetched). The one check for every address the
    // client fetches or accepts from others, so both agree.
    static bool isWebAddress(const QString &url);
    // True for an existing file inside the client's download folder, links
    // resolved: the only local pictures shown from an address.
    static bool isDownloadedFile(const QString &path);
    // Deletes the least recently written files of folder (not below it,
    // and never a download still being written) until the rest take at
    // most maxBytes. Returns how many were deleted.
    static int trimFolder(const QString &folder, qint64 maxBytes);
    // trimFolder() of the picture folder to kMaxImageFolderBytes, on a
    // worker thread; a call while one runs is folded into it.
    static void trimImageFolderLater();
    // Where the picture of url is or will be.
    static QString getImageFilePath(const QString &url);
};

#endif // DOWNLOADUTIL_H
