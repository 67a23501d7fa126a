#include "agoraaudiomgr.h"

#include "mgr/singleton.h"

AgoraAudioMgr::AgoraAudioMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraAudioMgr::~AgoraAudioMgr() = default;

AgoraAudioMgr *AgoraAudioMgr::instance()
{
    return Singleton<AgoraAudioMgr>::instance();
}
