#include "rtcdevicelist.h"

#include "rtcdevice.h"

#include <QAudioDeviceInfo>
#include <QCameraInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

namespace RtcDeviceList {

const char kSyntheticCameraId[] = "lessonry-synthetic-camera";
const char kSyntheticMicrophoneId[] = "lessonry-synthetic-microphone";
const char kSyntheticSpeakerId[] = "lessonry-synthetic-speaker";

namespace {

struct State
{
    QMutex mutex;
    bool machineRead = false;
    QHash<int, QList<RtcDevice>> machine;
    QHash<int, QList<RtcDevice>> overridden; // kinds set by tests
};

State &state()
{
    // Never destroyed: device workers of the program may still ask while
    // the process exits.
    static State *s = new State;
    return *s;
}

// Some systems give devices without a name; they are still told apart
// and can still be chosen by name.
QByteArray usableName(const QString &name, const QString &id, const char *kind, int index)
{
    if (!name.trimmed().isEmpty())
        return name.toUtf8();
    if (!id.trimmed().isEmpty())
        return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(kind), id).toUtf8();
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(kind)).arg(index + 1).toUtf8();
}

QList<RtcDevice> audioDevices(QAudio::Mode mode, const char *kind)
{
    QList<RtcDevice> list;
    QSet<QByteArray> seen;
    const QList<QAudioDeviceInfo> infos = QAudioDeviceInfo::availableDevices(mode);
    for (int i = 0; i < infos.size(); ++i) {
        const QByteArray id = infos.at(i).deviceName().toUtf8();
        if (id.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        list.append(RtcDevice { id, usableName(infos.at(i).deviceName(), QString(), kind, i) });
    }
    return list;
}

void readMachine(State &s)
{
    if (s.machineRead)
        return;
    s.machineRead = true;
    QList<RtcDevice> cameras;
    const QList<QCameraInfo> infos = QCameraInfo::availableCameras();
    for (int i = 0; i < infos.size(); ++i) {
        const QByteArray id = infos.at(i).deviceName().toUtf8();
        if (!id.isEmpty())
            cameras.append(RtcDevice { id, usableName(infos.at(i).description(), infos.at(i).deviceName(), "Camera", i) });
    }
    cameras.append(RtcDevice { kSyntheticCameraId, "Lessonry Test Camera" });
    s.machine.insert(agora::rtc::VIDEO_CAPTURE_DEVICE, cameras);

    QList<RtcDevice> microphones = audioDevices(QAudio::AudioInput, "Microphone");
    microphones.append(RtcDevice { kSyntheticMicrophoneId, "Lessonry Test Microphone" });
    s.machine.insert(agora::rtc::AUDIO_RECORDING_DEVICE, microphones);

    QList<RtcDevice> speakers = audioDevices(QAudio::AudioOutput, "Speaker");
    speakers.append(RtcDevice { kSyntheticSpeakerId, "Lessonry Test Speaker" });
    s.machine.insert(agora::rtc::AUDIO_PLAYOUT_DEVICE, speakers);
}

QList<RtcDevice> listLocked(State &s, int kind)
{
    const auto it = s.overridden.constFind(kind);
    if (it != s.overridden.cend())
        return *it;
    readMachine(s);
    return s.machine.value(kind);
}

} // namespace

QList<RtcDevice> devices(int kind)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    return listLocked(s, kind);
}

bool contains(int kind, const QByteArray &id)
{
    return !nameOf(kind, id).isEmpty();
}

QByteArray nameOf(int kind, const QByteArray &id)
{
    for (const RtcDevice &device : devices(kind)) {
        if (device.id == id)
            return device.name;
    }
    return QByteArray();
}

QAudioDeviceInfo machineAudioDevice(QAudio::Mode mode, const QByteArray &id)
{
    if (id.isEmpty())
        return QAudioDeviceInfo();
    const QList<QAudioDeviceInfo> infos = QAudioDeviceInfo::availableDevices(mode);
    for (const QAudioDeviceInfo &info : infos) {
        if (info.deviceName().toUtf8() == id)
            return info;
    }
    return QAudioDeviceInfo();
}

QList<RtcDeviceChange> rereadMachine()
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    if (!s.machineRead) {
        readMachine(s); // nothing read before: nothing to compare with
        return {};
    }
    const QHash<int, QList<RtcDevice>> before = s.machine;
    s.machineRead = false;
    readMachine(s);
    QList<RtcDeviceChange> changes;
    auto ids = [](const QList<RtcDevice> &list) {
        QList<QByteArray> result;
        for (const RtcDevice &device : list)
            result.append(device.id);
        return result;
    };
    for (const int kind : { int(agora::rtc::AUDIO_PLAYOUT_DEVICE), int(agora::rtc::AUDIO_RECORDING_DEVICE),
                            int(agora::rtc::VIDEO_CAPTURE_DEVICE) }) {
        if (s.overridden.contains(kind))
            continue;
        const QList<QByteArray> old = ids(before.value(kind));
        const QList<QByteArray> now = ids(s.machine.value(kind));
        for (const QByteArray &id : old) {
            if (!now.contains(id))
                changes.append(RtcDeviceChange { kind, id, agora::rtc::MEDIA_DEVICE_STATE_UNPLUGGED });
        }
        for (const QByteArray &id : now) {
            if (!old.contains(id))
                changes.append(RtcDeviceChange { kind, id, agora::rtc::MEDIA_DEVICE_STATE_ACTIVE });
        }
    }
    return changes;
}

void setDevices(int kind, const QList<RtcDevice> &devices)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    s.overridden.insert(kind, devices);
}

void plug(int kind, const RtcDevice &device)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    QList<RtcDevice> list = listLocked(s, kind);
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list.at(i).id == device.id)
            list.removeAt(i);
    }
    list.append(device);
    s.overridden.insert(kind, list);
}

bool unplug(int kind, const QByteArray &id)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    QList<RtcDevice> list = listLocked(s, kind);
    bool found = false;
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list.at(i).id == id) {
            list.removeAt(i);
            found = true;
        }
    }
    s.overridden.insert(kind, list);
    return found;
}

void reset()
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    s.overridden.clear();
}

} // namespace RtcDeviceList
