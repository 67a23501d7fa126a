#ifndef RTCDEVICEPROVIDER_H
#define RTCDEVICEPROVIDER_H

#include "rtcbase.h"
#include "rtcdeviceentry.h"

#include <QList>

#include <functional>

// A device of a kind (MEDIA_DEVICE_TYPE) that came or went.
struct RtcDeviceEvent
{
    enum Type { Added, Removed };
    Type type;
    int kind;
    RtcDevice device; // of a removed one only the id counts
};

// Where the machine's devices come from: GStreamer's device monitor in the
// program (RtcGstDeviceProvider), a list and scripted events in tests. The
// engine's device list holds one provider for the process.
class LESSONRY_RTC_EXPORT RtcDeviceProvider
{
public:
    // Gets the changes of one burst together, on a thread of the
    // provider's; a device may be added again (it changed) or removed
    // without having been listed.
    using Listener = std::function<void(const QList<RtcDeviceEvent> &)>;

    virtual ~RtcDeviceProvider();

    // Starts watching and returns the devices present now (as additions);
    // changes after that go to listener until stop() returns. May take a
    // while (GStreamer's first load, the sound server's answer): it is
    // called off the GUI thread.
    virtual QList<RtcDeviceEvent> start(const Listener &listener) = 0;
    // Ends the watch; no listener call comes after it returns.
    virtual void stop() = 0;
};

#endif // RTCDEVICEPROVIDER_H
