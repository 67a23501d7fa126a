#include "logeventmgr.h"

#include "mgr/singleton.h"
#include "rolepolicy.h"
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
        .arg(RolePolicy::current().roleWord,
             QLatin1String(g_clientVersion));
}
