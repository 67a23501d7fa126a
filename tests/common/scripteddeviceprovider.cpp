#include "scripteddeviceprovider.h"

#include <QMutexLocker>
#include <QSemaphore>

#include <thread>

bool DeviceScript::send(const QList<RtcDeviceEvent> &events)
{
    RtcDeviceProvider::Listener to;
    {
        QMutexLocker lock(&mutex);
        to = listener;
    }
    if (!to)
        return false;
    std::thread reader([to, events] { to(events); });
    reader.join();
    return true;
}

RtcDeviceEvent DeviceScript::added(int kind, const RtcDevice &device)
{
    return { RtcDeviceEvent::Added, kind, device };
}

RtcDeviceEvent DeviceScript::removed(int kind, const QByteArray &id)
{
    return { RtcDeviceEvent::Removed, kind, RtcDevice { id, {}, {}, {} } };
}

ScriptedDeviceProvider::ScriptedDeviceProvider(std::shared_ptr<DeviceScript> script)
    : m_script(std::move(script))
{
}

QList<RtcDeviceEvent> ScriptedDeviceProvider::start(const Listener &listener)
{
    if (m_script->gate)
        m_script->gate->acquire();
    QMutexLocker lock(&m_script->mutex);
    m_script->listener = listener;
    return m_script->initial;
}

void ScriptedDeviceProvider::stop()
{
    QMutexLocker lock(&m_script->mutex);
    m_script->listener = nullptr;
}
