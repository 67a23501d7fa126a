#include "frozendetectormgr.h"

#include "mgr/singleton.h"

FrozenDetectorMgr::FrozenDetectorMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

FrozenDetectorMgr::~FrozenDetectorMgr() = default;

FrozenDetectorMgr *FrozenDetectorMgr::instance()
{
    return Singleton<FrozenDetectorMgr>::instance();
}

void FrozenDetectorMgr::init()
{
    m_detector.begin();
}

void FrozenDetectorMgr::end()
{
    if (m_detector.isStarted())
        m_detector.end();
}

bool FrozenDetectorMgr::isWatching() const
{
    return m_detector.isStarted();
}
