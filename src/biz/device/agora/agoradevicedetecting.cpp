#include "agoradevicedetecting.h"

#include "mgr/singleton.h"

#include <QDebug>

AgoraDeviceDetecting::AgoraDeviceDetecting(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraDeviceDetecting::~AgoraDeviceDetecting()
{
    uninitDevice();
}

AgoraDeviceDetecting *AgoraDeviceDetecting::instance()
{
    return Singleton<AgoraDeviceDetecting>::instance();
}

void AgoraDeviceDetecting::startEnumDevices()
{
    qInfo("startEnumDevices");
}

int AgoraDeviceDetecting::initDevice()
{
    qInfo("AgoraDeviceDetecting initDevice finish.");
    return 0;
}

void AgoraDeviceDetecting::uninitDevice()
{
    qInfo("uninitDevice");
}
