#ifndef RTCDEVICELIST_H
#define RTCDEVICELIST_H

#include "rtcdeviceentry.h"
#include "rtcdeviceprovider.h"

#include <QAudioDeviceInfo>
#include <QByteArray>
#include <QList>

#include <memory>

typedef struct _GstElement GstElement;

// A device that came (MEDIA_DEVICE_STATE_ACTIVE) or went
// (MEDIA_DEVICE_STATE_UNPLUGGED).
struct RtcDeviceChange
{
    int kind;
    QByteArray id;
    int state;
};

// The devices of the process, by kind (MEDIA_DEVICE_TYPE): the machine's
// own, as the device provider (GStreamer's device monitor) lists them, and
// after them one synthetic device of each kind, so that every road runs on
// machines without devices. Tests replace a kind's list, plug or unplug
// devices, or hand in a provider of their own. Thread-safe.
//
// What a provider reports is bounded before it is listed: at most
// kMaxDevicesPerKind devices a kind; an id of more than
// MAX_DEVICE_ID_LENGTH - 1 bytes is dropped (cut, it would name another
// device); a longer name is cut at a character, control characters in it
// become blanks, and a device without a name gets one.
namespace RtcDeviceList {

extern const char kSyntheticCameraId[];
extern const char kSyntheticMicrophoneId[];
extern const char kSyntheticSpeakerId[];
const int kMaxDevicesPerKind = 256;

// The machine's devices wait for the provider's first answer: at most this
// long (a sound server that never answers must not hold the caller for
// good); devices it lists later are reported as plugged in.
const int kStartWaitMs = 5000;

QList<RtcDevice> devices(int kind);
bool contains(int kind, const QByteArray &id);
// The name of a listed device; empty when it is not listed.
QByteArray nameOf(int kind, const QByteArray &id);
// The listed device of that id; false when none.
bool find(int kind, const QByteArray &id, RtcDevice *device);
bool isSynthetic(const QByteArray &id);

// A new element (floating reference) that opens the listed device of that
// id, its properties set; null when the id is not listed or the element
// cannot be made. For the media engine: this is how a device chosen by its
// id is opened.
GstElement *createElement(int kind, const QByteArray &id, const char *name = nullptr);

// The machine's sound device of that id for Qt Multimedia; null for a
// synthetic, unknown or unplugged device.
QAudioDeviceInfo machineAudioDevice(QAudio::Mode mode, const QByteArray &id);

// Starts watching the machine's devices (in the background, if not yet)
// and from then on hands the devices that came and went to listener, on
// the provider's thread. One listener for the process.
using ChangeListener = void (*)(const QList<RtcDeviceChange> &changes);
void watch(ChangeListener listener);

// For tests: the provider from now on (null: GStreamer's monitor again).
// The machine's devices are read from it anew, started at once when
// watched; no change is reported for the swap itself.
void setProvider(std::unique_ptr<RtcDeviceProvider> provider);
// How long devices() waits for the provider's first answer.
void setStartWaitMs(int ms);

// For tests: the kind lists exactly these devices from now on.
void setDevices(int kind, const QList<RtcDevice> &devices);
// Adds a device at the end (replacing one with the same id).
void plug(int kind, const RtcDevice &device);
// False when no device of that id was listed.
bool unplug(int kind, const QByteArray &id);
// Back to the machine's devices and the synthetic ones.
void reset();

} // namespace RtcDeviceList

#endif // RTCDEVICELIST_H
