#ifndef RTCDEVICEMANAGERS_H
#define RTCDEVICEMANAGERS_H

#include "rtcdevice.h"

class RtcEngineImpl;

// The handles queryInterface gives out for the device managers; each
// forwards to its engine.
agora::rtc::IAudioDeviceManager *createAudioDeviceManager(RtcEngineImpl *engine);
agora::rtc::IVideoDeviceManager *createVideoDeviceManager(RtcEngineImpl *engine);

#endif // RTCDEVICEMANAGERS_H
