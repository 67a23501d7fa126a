#ifndef LOGUPLOADMGR_H
#define LOGUPLOADMGR_H

#include "mgr/singletonmgrbase.h"

#include <QPointer>
#include <QStringList>

class EntityNetworkReplyHolder;

// After every login and every closed classroom: packs the log files not yet
// sent (daily logs, action logs, dumps, RTC log copies, all "velmo_*" in the
// log folder) into "di_<version>_<possible id>_<seconds>_<local time>.zip"
// and uploads it. Files sent in full are renamed to "<base>.uploaded.<suffix>"
// so they are not sent again; a file a logger still writes to is sent as a
// copy of its content and keeps its name. Zips of earlier runs are deleted
// when the next run starts.
class LogUploadMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit LogUploadMgr(QObject *parent = nullptr);
    ~LogUploadMgr() override;

    static LogUploadMgr *instance();

    // Connects to the signal bus once, however often it runs.
    void init() override;

    void startUploading();
    void deletePreviousUploadedZipFiles();
    QString generateUploadedFilePathName(const QString &filePath);
    void upload(const QString &zipFilePath);

    // "di_<version>_<possible id>_<seconds>_<local time>.zip".
    static QString zipFileName(qint64 secondsSinceEpoch);

public slots:
    void slot_on_login_ok();
    void slot_on_upload_ok();
    void slot_on_upload_failure();
    void slot_classroom_closed();

private:
    QPointer<EntityNetworkReplyHolder> m_reply;
    // Files of the pending upload that are renamed when it succeeds.
    QStringList m_files;
};

#endif // LOGUPLOADMGR_H
