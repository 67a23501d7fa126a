#include "rtcdevicelist.h"

#include "rtcdevice.h"
#include "rtcgstdeviceprovider.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QWaitCondition>

#include <gst/gst.h>

#include <cstdlib>
#include <thread>

namespace RtcDeviceList {

const char kSyntheticCameraId[] = "lessonry-synthetic-camera";
const char kSyntheticMicrophoneId[] = "lessonry-synthetic-microphone";
const char kSyntheticSpeakerId[] = "lessonry-synthetic-speaker";

namespace {

const int kKinds[] = { agora::rtc::AUDIO_PLAYOUT_DEVICE, agora::rtc::AUDIO_RECORDING_DEVICE,
                       agora::rtc::VIDEO_CAPTURE_DEVICE };
const int kMaxTextBytes = agora::rtc::MAX_DEVICE_ID_LENGTH - 1;

struct State
{
    enum Phase { Idle, Starting, Ready };

    QMutex mutex;
    QWaitCondition started;
    std::unique_ptr<RtcDeviceProvider> provider; // null: GStreamer's, made when started
    std::thread starter;
    Phase phase = Idle;
    // Bumped when the provider is swapped: what the old one still says
    // is dropped.
    quint64 generation = 0;
    bool watching = false;
    bool exitHookSet = false;
    // A caller gave up waiting for the first answer: what it brings is
    // news to that caller.
    bool answeredEarly = false;
    int startWaitMs = kStartWaitMs;
    QList<RtcDeviceEvent> early; // events before the first answer
    QHash<int, QList<RtcDevice>> machine;
    QHash<int, QList<RtcDevice>> overridden; // kinds set by tests
    ChangeListener listener = nullptr;
};

State &state()
{
    // Never destroyed: device workers of the program may still ask while
    // the process exits.
    static State *s = new State;
    return *s;
}

bool isKind(int kind)
{
    return std::find(std::begin(kKinds), std::end(kKinds), kind) != std::end(kKinds);
}

RtcDevice syntheticDevice(int kind)
{
    switch (kind) {
    case agora::rtc::VIDEO_CAPTURE_DEVICE:
        return { kSyntheticCameraId, "Lessonry Test Camera", "videotestsrc", { { "is-live", "true" } } };
    case agora::rtc::AUDIO_RECORDING_DEVICE:
        return { kSyntheticMicrophoneId, "Lessonry Test Microphone", "audiotestsrc",
                 { { "is-live", "true" }, { "wave", "sine" } } };
    default:
        return { kSyntheticSpeakerId, "Lessonry Test Speaker", "fakesink", { { "sync", "true" } } };
    }
}

const char *kindWord(int kind)
{
    switch (kind) {
    case agora::rtc::VIDEO_CAPTURE_DEVICE:
        return "Camera";
    case agora::rtc::AUDIO_RECORDING_DEVICE:
        return "Microphone";
    default:
        return "Speaker";
    }
}

// At most kMaxTextBytes of UTF-8, cut before a character that does not fit.
QByteArray fitText(const QByteArray &utf8)
{
    if (utf8.size() <= kMaxTextBytes)
        return utf8;
    int cut = kMaxTextBytes;
    while (cut > 0 && (uchar(utf8.at(cut)) & 0xC0) == 0x80)
        --cut;
    return utf8.left(cut);
}

// A name as lists and log lines may show it: one line, valid UTF-8, not
// too long, never empty.
QByteArray usableName(const QByteArray &raw, const QByteArray &id, int kind)
{
    QString name = QString::fromUtf8(raw);
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    name = name.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("%1 (%2)").arg(QString::fromLatin1(kindWord(kind)), QString::fromUtf8(id));
    return fitText(name.toUtf8());
}

bool sameEntry(const RtcDevice &a, const RtcDevice &b)
{
    return a.id == b.id && a.name == b.name && a.element == b.element && a.properties == b.properties;
}

int indexOf(const QList<RtcDevice> &list, const QByteArray &id)
{
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).id == id)
            return i;
    }
    return -1;
}

// Applies events to the machine's lists and returns the changes against
// the lists before, for the kinds tests have not replaced.
QList<RtcDeviceChange> applyLocked(State &s, const QList<RtcDeviceEvent> &events)
{
    const QHash<int, QList<RtcDevice>> before = s.machine;
    for (const RtcDeviceEvent &event : events) {
        if (!isKind(event.kind))
            continue;
        QList<RtcDevice> &list = s.machine[event.kind];
        const QByteArray &id = event.device.id;
        if (id.isEmpty() || id.size() > kMaxTextBytes) {
            qWarning("rtc devices: a device id of %d bytes is dropped", int(id.size()));
            continue;
        }
        const int at = indexOf(list, id);
        if (event.type == RtcDeviceEvent::Removed) {
            if (at >= 0)
                list.removeAt(at);
            continue;
        }
        RtcDevice device = event.device;
        device.name = usableName(device.name, id, event.kind);
        if (at >= 0) {
            list[at] = device;
        } else if (list.size() < kMaxDevicesPerKind) {
            list.append(device);
        } else {
            qWarning("rtc devices: more than %d devices of kind %d, %s is not listed", kMaxDevicesPerKind, event.kind,
                     id.constData());
        }
    }
    QList<RtcDeviceChange> changes;
    for (const int kind : kKinds) {
        if (s.overridden.contains(kind))
            continue;
        const QList<RtcDevice> old = before.value(kind);
        const QList<RtcDevice> now = s.machine.value(kind);
        for (const RtcDevice &device : old) {
            if (indexOf(now, device.id) < 0)
                changes.append({ kind, device.id, agora::rtc::MEDIA_DEVICE_STATE_UNPLUGGED });
        }
        for (const RtcDevice &device : now) {
            const int was = indexOf(old, device.id);
            if (was < 0 || !sameEntry(old.at(was), device))
                changes.append({ kind, device.id, agora::rtc::MEDIA_DEVICE_STATE_ACTIVE });
        }
    }
    return changes;
}

void report(ChangeListener listener, const QList<RtcDeviceChange> &changes)
{
    if (listener && !changes.isEmpty())
        listener(changes);
}

void deliver(quint64 generation, const QList<RtcDeviceEvent> &events)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    if (generation != s.generation)
        return;
    if (s.phase != State::Ready) {
        s.early += events;
        return;
    }
    const QList<RtcDeviceChange> changes = applyLocked(s, events);
    const ChangeListener listener = s.listener;
    lock.unlock();
    report(listener, changes);
}

void finishStart(quint64 generation, const QList<RtcDeviceEvent> &initial)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    if (generation != s.generation)
        return;
    s.machine.clear();
    const QList<RtcDeviceChange> changes = applyLocked(s, initial + s.early);
    s.early.clear();
    s.phase = State::Ready;
    s.started.wakeAll();
    const ChangeListener listener = s.answeredEarly ? s.listener : nullptr;
    lock.unlock();
    report(listener, changes);
}

void stopAtExit()
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    ++s.generation;
    std::unique_ptr<RtcDeviceProvider> provider = std::move(s.provider);
    std::thread starter = std::move(s.starter);
    const bool starting = s.phase == State::Starting;
    lock.unlock();
    if (starting) {
        // A provider that never answered cannot be stopped; the process
        // ends around it.
        starter.detach();
        provider.release();
        return;
    }
    if (starter.joinable())
        starter.join();
    if (provider)
        provider->stop();
}

void beginStartLocked(State &s)
{
    if (s.phase != State::Idle)
        return;
    if (!s.exitHookSet) {
        // Runs before the statics of engines made earlier go, so no report
        // reaches a destroyed engine list.
        s.exitHookSet = true;
        std::atexit(stopAtExit);
    }
    if (!s.provider)
        s.provider.reset(new RtcGstDeviceProvider);
    s.phase = State::Starting;
    s.answeredEarly = false;
    RtcDeviceProvider *provider = s.provider.get();
    const quint64 generation = s.generation;
    s.starter = std::thread([provider, generation] {
        const QList<RtcDeviceEvent> initial
            = provider->start([generation](const QList<RtcDeviceEvent> &events) { deliver(generation, events); });
        finishStart(generation, initial);
    });
}

QList<RtcDevice> machineLocked(State &s, QMutexLocker &lock, int kind)
{
    Q_UNUSED(lock)
    beginStartLocked(s);
    if (s.phase == State::Starting) {
        QDeadlineTimer deadline(s.startWaitMs);
        while (s.phase == State::Starting) {
            if (!s.started.wait(&s.mutex, deadline)) {
                if (!s.answeredEarly)
                    qWarning("rtc devices: no answer from the device monitor within %d ms; listing without it",
                             s.startWaitMs);
                s.answeredEarly = true;
                break;
            }
        }
    }
    return s.machine.value(kind);
}

QList<RtcDevice> listLocked(State &s, QMutexLocker &lock, int kind)
{
    const auto it = s.overridden.constFind(kind);
    if (it != s.overridden.cend())
        return *it;
    QList<RtcDevice> list = machineLocked(s, lock, kind);
    list.append(syntheticDevice(kind));
    return list;
}

} // namespace

QList<RtcDevice> devices(int kind)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    return listLocked(s, lock, kind);
}

bool find(int kind, const QByteArray &id, RtcDevice *device)
{
    for (const RtcDevice &listed : devices(kind)) {
        if (listed.id == id) {
            if (device)
                *device = listed;
            return true;
        }
    }
    return false;
}

bool contains(int kind, const QByteArray &id)
{
    return find(kind, id, nullptr);
}

QByteArray nameOf(int kind, const QByteArray &id)
{
    RtcDevice device;
    return find(kind, id, &device) ? device.name : QByteArray();
}

bool isSynthetic(const QByteArray &id)
{
    return id == kSyntheticCameraId || id == kSyntheticMicrophoneId || id == kSyntheticSpeakerId;
}

GstElement *createElement(int kind, const QByteArray &id, const char *name)
{
    RtcDevice device;
    if (!find(kind, id, &device) || device.element.isEmpty() || !gst_init_check(nullptr, nullptr, nullptr))
        return nullptr;
    GstElement *element = gst_element_factory_make(device.element.constData(), name);
    if (!element)
        return nullptr;
    for (const auto &property : qAsConst(device.properties))
        gst_util_set_object_arg(G_OBJECT(element), property.first.constData(), property.second.constData());
    return element;
}

QAudioDeviceInfo machineAudioDevice(QAudio::Mode mode, const QByteArray &id)
{
    const int kind = mode == QAudio::AudioOutput ? agora::rtc::AUDIO_PLAYOUT_DEVICE : agora::rtc::AUDIO_RECORDING_DEVICE;
    RtcDevice device;
    if (id.isEmpty() || isSynthetic(id) || !find(kind, id, &device))
        return QAudioDeviceInfo();
    // Qt names a sound server's device as the server does, which is what
    // the element's device property holds.
    QByteArray target = device.id;
    for (const auto &property : qAsConst(device.properties)) {
        if (property.first == "device")
            target = property.second;
    }
    const QList<QAudioDeviceInfo> infos = QAudioDeviceInfo::availableDevices(mode);
    for (const QAudioDeviceInfo &info : infos) {
        if (info.deviceName().toUtf8() == target)
            return info;
    }
    return QAudioDeviceInfo();
}

void watch(ChangeListener listener)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    s.listener = listener;
    s.watching = true;
    beginStartLocked(s);
}

void setProvider(std::unique_ptr<RtcDeviceProvider> provider)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    ++s.generation;
    std::unique_ptr<RtcDeviceProvider> old = std::move(s.provider);
    std::thread starter = std::move(s.starter);
    s.provider = std::move(provider);
    s.phase = State::Idle;
    s.machine.clear();
    s.early.clear();
    s.answeredEarly = false;
    lock.unlock();
    // The old provider may be reporting right now: it is stopped without
    // the lock its reports take.
    if (starter.joinable())
        starter.join();
    if (old)
        old->stop();
    old.reset();
    lock.relock();
    if (s.watching)
        beginStartLocked(s);
}

void setStartWaitMs(int ms)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    s.startWaitMs = ms;
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
    QList<RtcDevice> list = listLocked(s, lock, kind);
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
    QList<RtcDevice> list = listLocked(s, lock, kind);
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
