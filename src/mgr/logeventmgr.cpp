#include "logeventmgr.h"

#include "buildconstants.h"
#include "mgr/singleton.h"
#include "utility/globalconstants.h"

LogEventMgr::LogEventMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

LogEventMgr::~LogEventMgr() = default;

LogEventMgr *LogEventMgr::instance()
{
    return Singleton<LogEventMgr>::instance();
}

QString LogEventMgr::eventPath() const
{
    return QStringLiteral("win/%1/%2/event")
        .arg(getClientRole() == 1 ? QStringLiteral("student") : QStringLiteral("teacher"),
             QLatin1String(g_clientVersion));
}
