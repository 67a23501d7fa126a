#ifndef AGORADEVICEDETECTING_H
#define AGORADEVICEDETECTING_H

#include "mgr/singletonmgrbase.h"

// The audio and video devices: enumeration and the chosen devices.
class AgoraDeviceDetecting : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraDeviceDetecting(QObject *parent = nullptr);
    ~AgoraDeviceDetecting() override;

    static AgoraDeviceDetecting *instance();

    // Starts enumerating the devices unless an enumeration is running.
    void startEnumDevices();
    // Sets the saved devices; negative when a saved device could not be set.
    int initDevice();
    // Stops the device workers and releases the device managers.
    void uninitDevice();
};

#endif // AGORADEVICEDETECTING_H
