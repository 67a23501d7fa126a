#ifndef TEACHERDOWNLOADRESOURCEMGR_H
#define TEACHERDOWNLOADRESOURCEMGR_H

#include "mgr/singletonmgrbase.h"
#include "utility/downloadresource.h"

#include <QSet>
#include <QString>
#include <QVector>

// Downloads the files of one lesson resource at a time.
class DownloadResourceMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit DownloadResourceMgr(QObject *parent = nullptr);
    ~DownloadResourceMgr() override;

    static DownloadResourceMgr *instance();

    void init() override;

    // Replaces any download in progress.
    void download(const QString &resourceId, const QVector<DownloadFileInfo> &files);
    void abort();
    // Adopts a resource without starting a transfer.
    void updateResource(const QString &resourceId, const QVector<DownloadFileInfo> &files);
    // Percent of files present; fills downloaded with their addresses.
    int calculateDownloadProgress(const QString &resourceId, const QVector<DownloadFileInfo> &files,
                                  QSet<QString> &downloaded);
    // The resource being downloaded; empty when idle.
    QString getResourceId() const;

    // The resource being downloaded; empty when none.
    QString currentResourceId() const;
    QVector<DownloadFileInfo> currentFiles() const;

signals:
    void signal_onSuccess(QString resourceId);
    void signal_onFailure(QString resourceId, int errorCode);
    void signal_downloadProgress(QString resourceId, double percent);
    void signal_abort(QString resourceId);

private:
    QString m_resourceId;
    QVector<DownloadFileInfo> m_files;
};

#endif // TEACHERDOWNLOADRESOURCEMGR_H
