#include "agoraimsdk.h"

#include "mgr/singleton.h"

#include <QDebug>

AgoraIMSdk::AgoraIMSdk(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraIMSdk::~AgoraIMSdk() = default;

AgoraIMSdk *AgoraIMSdk::instance()
{
    return Singleton<AgoraIMSdk>::instance();
}

void AgoraIMSdk::init()
{
    qInfo("init");
}
