#include "enumeratedevicesthread.h"

#include "agoradevicedetecting.h"
#include "mgr/singleton.h"

#include <QDebug>

DevicesOperateThread *DevicesOperateThread::create(int kind, QObject *parent)
{
    if (kind == 0)
        return new EnumRateDevicesThread(parent);
    return new GetCurrentDevicesThread(parent);
}

EnumRateDevicesThread::~EnumRateDevicesThread()
{
    qInfo("~EnumRateDevicesThread....");
}

void EnumRateDevicesThread::run()
{
    Singleton<AgoraDeviceDetecting>::instance()->enumAllDevices();
}

void GetCurrentDevicesThread::run()
{
    Singleton<AgoraDeviceDetecting>::instance()->refreshCurrentDevices();
}
