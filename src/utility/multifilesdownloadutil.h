#ifndef MULTIFILESDOWNLOADUTIL_H
#define MULTIFILESDOWNLOADUTIL_H

#include "utility/downloadresource.h"
#include "utility/downloadsequenceprogress.h"

#include <QObject>
#include <QPointer>
#include <QVector>

class NetWorkDownloadReplyHolder;

// Downloads a short list of files one after another (a video and its sound
// file) and stops at the first failure; a new download() starts over, and
// the files already there finish at once.
class MultiFilesDownloadUtil : public QObject
{
    Q_OBJECT

public:
    explicit MultiFilesDownloadUtil(QObject *parent);
    ~MultiFilesDownloadUtil() override;

    void download(const QVector<DownloadFileInfo> &files);

signals:
    void signal_onSuccess();
    void signal_onFailure(int errorCode);
    void signal_downloadProgress(double percent);

private slots:
    void slot_onSuccess(QString filePath);
    void slot_onFailure(int errorCode);
    void slot_downloadProgress(double percent, qlonglong bytesReceived, qlonglong bytesTotal);

private:
    void downloadImpl();
    void releaseTransfer();

    QVector<DownloadFileInfo> m_pendingFiles;
    QPointer<NetWorkDownloadReplyHolder> m_transfer;
    DownloadSequenceProgress m_progress { "" };
};

#endif // MULTIFILESDOWNLOADUTIL_H
