#include "agoraloginmgr.h"

#include "mgr/singleton.h"

AgoraLoginMgr::AgoraLoginMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraLoginMgr::~AgoraLoginMgr() = default;

AgoraLoginMgr *AgoraLoginMgr::instance()
{
    return Singleton<AgoraLoginMgr>::instance();
}
