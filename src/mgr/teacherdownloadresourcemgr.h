#ifndef TEACHERDOWNLOADRESOURCEMGR_H
#define TEACHERDOWNLOADRESOURCEMGR_H

#include "mgr/singletonmgrbase.h"
#include "utility/downloadresource.h"
#include "utility/downloadsequenceprogress.h"

#include <QPointer>
#include <QSet>
#include <QString>
#include <QVector>

class NetWorkDownloadReplyHolder;
class QTimer;

// Downloads the files of one lesson resource (a class, or a batch such as
// the day's resources) one after another into their folders, skipping the
// files already there, and reports progress in whole percent of files. A
// file that failed for a passing reason is tried again every 5000 ms until
// it arrives, the manager is aborted or it is given another resource; one
// refused for good (too large, no room on the disk, a refused address) is
// reported once and left out, and the resource then ends without success
// (signal_abort). One resource at a time: a new
// download aborts the running one. GUI thread only.
class DownloadResourceMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    static constexpr int kRetryIntervalMs = 5000;

    explicit DownloadResourceMgr(QObject *parent = nullptr);
    ~DownloadResourceMgr() override;

    static DownloadResourceMgr *instance();

    void init() override;

    // Replaces any download in progress.
    void download(const QString &resourceId, const QVector<DownloadFileInfo> &files);
    // Stops the running transfer and any pending retry; the manager is idle
    // afterwards (signal_abort when it was working on a resource).
    void abort();
    // Adopts a resource without starting a transfer.
    void updateResource(const QString &resourceId, const QVector<DownloadFileInfo> &files);
    // Percent of files present; fills downloaded with their addresses.
    int calculateDownloadProgress(const QString &resourceId, const QVector<DownloadFileInfo> &files,
                                  QSet<QString> &downloaded);
    // The resource being downloaded; empty when idle.
    QString getResourceId() const;

    // The same as getResourceId(); all files of the resource last given
    // (kept once it has finished).
    QString currentResourceId() const { return getResourceId(); }
    QVector<DownloadFileInfo> currentFiles() const;
    // Files still to fetch, the first being the one in transfer.
    QVector<DownloadFileInfo> pendingFiles() const { return m_pendingFiles; }
    bool isRetryPending() const;

signals:
    void signal_onSuccess(QString resourceId);
    void signal_onFailure(QString resourceId, int errorCode);
    void signal_downloadProgress(QString resourceId, double percent);
    void signal_abort(QString resourceId);

public slots:
    void slot_onSuccess(QString filePath);
    void slot_onFailure(int errorCode);
    void slot_downloadProgress(double percent, qlonglong bytesReceived, qlonglong bytesTotal);
    void slot_timer_emit_already_downloaded_progress();
    void slot_timer_emit_success();
    void slot_timer_retry_download_resource();

private:
    void handleAlreadyDownloadedFiles();
    void downloadImpl();
    void dropTransfer();
    void finishTransfer();

    QString m_resourceId;
    DownloadFileInfo m_currentFile;
    QVector<DownloadFileInfo> m_pendingFiles;
    QVector<DownloadFileInfo> m_allFiles;
    QPointer<NetWorkDownloadReplyHolder> m_transfer;
    DownloadSequenceProgress m_progress { "resourcedownload:" };
    // One retry at a time; stopped by abort() and by a new resource.
    QTimer *m_retryTimer;
    // Deferred reports belong to the resource they were armed for.
    quint64 m_generation = 0;
    // Files of this resource refused for good (too large, no room).
    int m_refusedFiles = 0;
};

#endif // TEACHERDOWNLOADRESOURCEMGR_H
