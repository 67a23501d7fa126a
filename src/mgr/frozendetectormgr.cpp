#include "frozendetectormgr.h"

#include "mgr/singleton.h"

#include <QDebug>

FrozenDetectorMgr::FrozenDetectorMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

FrozenDetectorMgr::~FrozenDetectorMgr()
{
    if (m_running)
        end();
}

FrozenDetectorMgr *FrozenDetectorMgr::instance()
{
    return Singleton<FrozenDetectorMgr>::instance();
}

void FrozenDetectorMgr::init()
{
    qInfo("init");
    m_running = true;
}

void FrozenDetectorMgr::end()
{
    qInfo("end");
    m_running = false;
    qInfo("end gone");
}
