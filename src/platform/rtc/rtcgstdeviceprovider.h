#ifndef RTCGSTDEVICEPROVIDER_H
#define RTCGSTDEVICEPROVIDER_H

#include "rtcdeviceprovider.h"

#include <QHash>
#include <QPair>

#include <thread>

typedef struct _GstBus GstBus;
typedef struct _GstDevice GstDevice;
typedef struct _GstDeviceMonitor GstDeviceMonitor;

// The machine's microphones, speakers and cameras from GStreamer's device
// monitor ("Audio/Source", "Audio/Sink", "Video/Source"): the sound
// server's sources and sinks (a sink's monitor too) and the cameras,
// whether or not they have a node under /dev. The monitor's messages are
// read on a thread of this provider's; a plugged device makes several in a
// row (a headset's speaker, then its microphone), so they are handed on
// together once none has come for settleMs.
class RtcGstDeviceProvider : public RtcDeviceProvider
{
public:
    static const int kDefaultSettleMs = 1000;

    explicit RtcGstDeviceProvider(int settleMs = kDefaultSettleMs);
    ~RtcGstDeviceProvider() override;

    QList<RtcDeviceEvent> start(const Listener &listener) override;
    void stop() override;

    // The entry of a device as the lists show it; false for a device of
    // no kind we list or one no element can open.
    static bool describe(GstDevice *device, int *kind, RtcDevice *entry);

private:
    void readMessages();
    // The event a monitor message stands for; false for none.
    bool eventsOf(void *message, QList<RtcDeviceEvent> *events);

    const int m_settleMs;
    Listener m_listener;
    GstDeviceMonitor *m_monitor = nullptr;
    GstBus *m_bus = nullptr;
    std::thread m_reader;
    // What each device object was listed as, for its removal (the reader
    // thread's own once it runs).
    QHash<GstDevice *, QPair<int, QByteArray>> m_listed;
};

#endif // RTCGSTDEVICEPROVIDER_H
