#include "loguploadmgr.h"

#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"

#include <QDebug>

LogUploadMgr::LogUploadMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

LogUploadMgr::~LogUploadMgr() = default;

LogUploadMgr *LogUploadMgr::instance()
{
    return Singleton<LogUploadMgr>::instance();
}

void LogUploadMgr::init()
{
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_on_login_ok, this, &LogUploadMgr::slot_onLoginOk,
            Qt::UniqueConnection);
    connect(bus, &SignalQueueMgr::signal_classroom_close, this, &LogUploadMgr::slot_onClassroomClose,
            Qt::UniqueConnection);
}

void LogUploadMgr::slot_onLoginOk()
{
    qInfo("log upload after login");
}

void LogUploadMgr::slot_onClassroomClose()
{
    qInfo("log upload after class");
}
