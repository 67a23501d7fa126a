#include "enumeratedevicesthread.h"

#include "agoradevicedetecting.h"

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

// Each worker works for the device service that owns it: at exit the
// singleton's accessor is already empty while the service's destructor
// waits for a worker still running.
void EnumRateDevicesThread::run()
{
    if (auto *devices = qobject_cast<AgoraDeviceDetecting *>(parent()))
        devices->enumAllDevices();
}

void GetCurrentDevicesThread::run()
{
    if (auto *devices = qobject_cast<AgoraDeviceDetecting *>(parent()))
        devices->refreshCurrentDevices();
}
