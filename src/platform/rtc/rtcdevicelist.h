#ifndef RTCDEVICELIST_H
#define RTCDEVICELIST_H

#include "rtcbase.h"

#include <QAudioDeviceInfo>
#include <QByteArray>
#include <QList>

// One device as the engine lists it.
struct RtcDevice
{
    QByteArray id;
    QByteArray name;
};

// A device that came (MEDIA_DEVICE_STATE_ACTIVE) or went
// (MEDIA_DEVICE_STATE_UNPLUGGED).
struct RtcDeviceChange
{
    int kind;
    QByteArray id;
    int state;
};

// The devices of the process, by kind (MEDIA_DEVICE_TYPE): the machine's
// own, read through Qt Multimedia when first asked for and again when the
// system's devices change, and the three synthetic ones.
// Tests replace a kind's list and plug or unplug devices. Thread-safe.
namespace RtcDeviceList {

extern const char kSyntheticCameraId[];
extern const char kSyntheticMicrophoneId[];
extern const char kSyntheticSpeakerId[];

QList<RtcDevice> devices(int kind);
bool contains(int kind, const QByteArray &id);
// The name of a listed device; empty when it is not listed.
QByteArray nameOf(int kind, const QByteArray &id);

// The machine's sound device of that id (QAudioDeviceInfo::deviceName);
// null for a synthetic, test or unplugged device.
QAudioDeviceInfo machineAudioDevice(QAudio::Mode mode, const QByteArray &id);

// Reads the machine's devices again and returns those that came and went
// since the last reading, for the kinds that tests have not replaced.
QList<RtcDeviceChange> rereadMachine();

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
