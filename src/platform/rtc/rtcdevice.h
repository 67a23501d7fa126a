#ifndef RTCDEVICE_H
#define RTCDEVICE_H

#include "rtcbase.h"

// The engine's device managers, handed out by queryInterface
// (AGORA_IID_AUDIO_DEVICE_MANAGER, AGORA_IID_VIDEO_DEVICE_MANAGER). Device
// names and ids are zero-terminated UTF-8 texts of at most
// MAX_DEVICE_ID_LENGTH bytes with the terminator.
//
// Every engine lists the machine's own devices and, always, one synthetic
// camera (a moving test picture), one synthetic microphone and one
// synthetic speaker, so that every road runs on machines without devices.

namespace agora {
namespace rtc {

enum { MAX_DEVICE_ID_LENGTH = 512 };

// The kinds in device-state reports (onAudioDeviceStateChanged,
// onVideoDeviceStateChanged).
enum MEDIA_DEVICE_TYPE {
    AUDIO_PLAYOUT_DEVICE = 0,
    AUDIO_RECORDING_DEVICE = 1,
    VIDEO_CAPTURE_DEVICE = 3,
};

enum MEDIA_DEVICE_STATE_TYPE {
    MEDIA_DEVICE_STATE_ACTIVE = 1,
    MEDIA_DEVICE_STATE_UNPLUGGED = 8,
};

// A snapshot of the devices of one kind, taken when it was asked for.
class IDeviceCollection
{
public:
    virtual ~IDeviceCollection() {}
    virtual int getCount() = 0;
    // 0 on success; both buffers hold MAX_DEVICE_ID_LENGTH bytes.
    virtual int getDevice(int index, char deviceName[MAX_DEVICE_ID_LENGTH], char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual void release() = 0;
};

typedef IDeviceCollection IAudioDeviceCollection;
typedef IDeviceCollection IVideoDeviceCollection;

class IAudioDeviceManager
{
public:
    virtual ~IAudioDeviceManager() {}
    virtual IAudioDeviceCollection *enumeratePlaybackDevices() = 0;
    virtual IAudioDeviceCollection *enumerateRecordingDevices() = 0;
    // The set operations refuse an id that is not listed.
    virtual int setPlaybackDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int getPlaybackDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int setRecordingDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int getRecordingDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    // Plays a WAV file on the playback device in use; a file that is not
    // a readable WAV file is refused.
    virtual int startPlaybackDeviceTest(const char *testAudioFilePath) = 0;
    virtual int stopPlaybackDeviceTest() = 0;
    // Reports the recording device's level through onAudioVolumeIndication
    // (uid 0) every indicationInterval ms, in or out of a channel.
    virtual int startRecordingDeviceTest(int indicationInterval) = 0;
    virtual int stopRecordingDeviceTest() = 0;
    virtual void release() = 0;
};

class IVideoDeviceManager
{
public:
    virtual ~IVideoDeviceManager() {}
    virtual IVideoDeviceCollection *enumerateVideoDevices() = 0;
    // Shows the camera in use in view (through the render factory, as any
    // video) until stopDeviceTest.
    virtual int startDeviceTest(view_t hwnd) = 0;
    virtual int stopDeviceTest() = 0;
    virtual int setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int getDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual void release() = 0;
};

} // namespace rtc
} // namespace agora

#endif // RTCDEVICE_H
