#ifndef SCRIPTEDDEVICEPROVIDER_H
#define SCRIPTEDDEVICEPROVIDER_H

#include "platform/rtc/rtcdeviceprovider.h"

#include <QList>
#include <QMutex>

#include <memory>

class QSemaphore;

// The machine's devices as a test scripts them, in place of GStreamer's
// device monitor: hand the provider to RtcTestHooks::useDeviceProvider,
// keep the script, and send it bursts of devices that came and went.
//
//     auto script = std::make_shared<DeviceScript>();
//     script->initial = { DeviceScript::added(kind, { "pulsesrc:mic", "Mic", "pulsesrc", {} }) };
//     RtcTestHooks::useDeviceProvider(std::make_unique<ScriptedDeviceProvider>(script));
//     ...
//     script->send({ DeviceScript::removed(kind, "pulsesrc:mic") });
struct DeviceScript
{
    // The devices present when the provider starts.
    QList<RtcDeviceEvent> initial;
    // When set, start() waits for it: a provider that takes its time.
    QSemaphore *gate = nullptr;

    // Hands a burst on from a thread of the provider's, as GStreamer's
    // monitor does, and returns once the device list has taken it; false
    // while the provider is not started.
    bool send(const QList<RtcDeviceEvent> &events);

    static RtcDeviceEvent added(int kind, const RtcDevice &device);
    static RtcDeviceEvent removed(int kind, const QByteArray &id);

    QMutex mutex;
    RtcDeviceProvider::Listener listener; // while started
};

class ScriptedDeviceProvider : public RtcDeviceProvider
{
public:
    explicit ScriptedDeviceProvider(std::shared_ptr<DeviceScript> script = std::make_shared<DeviceScript>());

    QList<RtcDeviceEvent> start(const Listener &listener) override;
    void stop() override;

private:
    std::shared_ptr<DeviceScript> m_script;
};

#endif // SCRIPTEDDEVICEPROVIDER_H
