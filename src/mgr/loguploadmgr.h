#ifndef LOGUPLOADMGR_H
#define LOGUPLOADMGR_H

#include "mgr/singletonmgrbase.h"

// Uploads the finished log files after login and after class.
class LogUploadMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit LogUploadMgr(QObject *parent = nullptr);
    ~LogUploadMgr() override;

    static LogUploadMgr *instance();

    // Connects to the signal bus once, however often it runs.
    void init() override;

private slots:
    void slot_onLoginOk();
    void slot_onClassroomClose();
};

#endif // LOGUPLOADMGR_H
