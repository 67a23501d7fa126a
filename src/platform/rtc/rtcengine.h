#ifndef RTCENGINE_H
#define RTCENGINE_H

#include "rtcbase.h"

#include <cstddef>
#include <string>

// The real-time engine: channels of participants with their audio/video
// and a data stream between them. A program makes one engine, gives it an
// event handler and drives it from one thread; every callback of the
// handler arrives on the engine's own callback thread.

namespace agora {
namespace rtc {

struct RtcStats
{
    unsigned int duration = 0; // seconds in the channel
    unsigned int txBytes = 0;
    unsigned int rxBytes = 0;
    unsigned short txKBitRate = 0;
    unsigned short rxKBitRate = 0;
    unsigned short rxAudioKBitRate = 0;
    unsigned short txAudioKBitRate = 0;
    unsigned short rxVideoKBitRate = 0;
    unsigned short txVideoKBitRate = 0;
    unsigned int users = 0;
    double cpuAppUsage = 0;
    double cpuTotalUsage = 0;
};

struct AudioVolumeInfo
{
    uid_t uid; // 0 is the local user
    unsigned int volume;
};

struct Rect
{
    int top;
    int left;
    int bottom;
    int right;
};

enum RENDER_MODE_TYPE {
    RENDER_MODE_HIDDEN = 1,
};

struct VideoCanvas
{
    view_t view; // null unbinds
    int renderMode;
    uid_t uid;
    void *priv;
};

// The engine's callbacks, all on the engine's threads. Every one has an
// empty default; the order is part of the interface.
class IRtcEngineEventHandler
{
public:
    virtual ~IRtcEngineEventHandler() {}

    virtual void onJoinChannelSuccess(const char *channel, uid_t uid, int elapsed) { (void)channel; (void)uid; (void)elapsed; }
    virtual void onRejoinChannelSuccess(const char *channel, uid_t uid, int elapsed) { (void)channel; (void)uid; (void)elapsed; }
    virtual void onWarning(int warn, const char *msg) { (void)warn; (void)msg; }
    virtual void onError(int err, const char *msg) { (void)err; (void)msg; }
    virtual void onAudioQuality(uid_t uid, int quality, unsigned short delay, unsigned short lost) { (void)uid; (void)quality; (void)delay; (void)lost; }
    virtual void onAudioVolumeIndication(const AudioVolumeInfo *speakers, unsigned int speakerNumber, int totalVolume) { (void)speakers; (void)speakerNumber; (void)totalVolume; }
    virtual void onLeaveChannel(const RtcStats &stats) { (void)stats; }
    virtual void onRtcStats(const RtcStats &stats) { (void)stats; }
    virtual void onAudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState) { (void)deviceId; (void)deviceType; (void)deviceState; }
    virtual void onReserved10() {}
    virtual void onReserved11() {}
    virtual void onVideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState) { (void)deviceId; (void)deviceType; (void)deviceState; }
    virtual void onNetworkQuality(uid_t uid, int txQuality, int rxQuality) { (void)uid; (void)txQuality; (void)rxQuality; }
    virtual void onReserved14() {}
    virtual void onFirstLocalVideoFrame(int width, int height, int elapsed) { (void)width; (void)height; (void)elapsed; }
    virtual void onFirstRemoteVideoDecoded(uid_t uid, int width, int height, int elapsed) { (void)uid; (void)width; (void)height; (void)elapsed; }
    virtual void onReserved17() {}
    virtual void onReserved18() {}
    virtual void onUserJoined(uid_t uid, int elapsed) { (void)uid; (void)elapsed; }
    virtual void onUserOffline(uid_t uid, USER_OFFLINE_REASON_TYPE reason) { (void)uid; (void)reason; }
    virtual void onReserved21() {}
    virtual void onUserMuteVideo(uid_t uid, bool muted) { (void)uid; (void)muted; }
    virtual void onReserved23() {}
    virtual void onApiCallExecuted(const char *api, int error) { (void)api; (void)error; }
    virtual void onReserved25() {}
    virtual void onReserved26() {}
    virtual void onCameraReady() {}
    virtual void onReserved28() {}
    virtual void onConnectionLost() {}
    virtual void onConnectionInterrupted() {}
    virtual void onRefreshRecordingServiceStatus(int status) { (void)status; }
    virtual void onStreamMessage(uid_t uid, int streamId, const char *data, size_t length) { (void)uid; (void)streamId; (void)data; (void)length; }
    virtual void onStreamMessageError(uid_t uid, int streamId, int code, int missed, int cached) { (void)uid; (void)streamId; (void)code; (void)missed; (void)cached; }
    virtual void onReserved34() {}
    virtual void onReserved35() {}
    virtual void onRequestChannelKey() {}
    virtual void onReserved37() {}
    virtual void onReserved38() {}
    virtual void onReserved39() {}
    virtual void onReserved40() {}
};

struct RtcEngineContext
{
    IRtcEngineEventHandler *eventHandler;
    // 32 lowercase hexadecimal characters.
    const char *appId;
};

// Options by key, each value a JSON text. Keys the engine acts on:
//   "rtc.relay_server"            {"host": text, "port": number}: where
//                                 channels meet (required before a join)
//   "che.audio.volume_indication" {"interval": ms (0 = off), "smooth": n}
//   "rtc.log_file"                text: the engine's own log file
//   "che.audio.mute_me", "rtc.audio.mute_me", "rtc.video.mute_me",
//   "che.video.local.send"        booleans
//   "rtc.user_account"            text: the user shown in the synthetic
//                                 camera's picture outside a channel
//   "che.video.start_screen_capture" {"id": window (0: desktop), "captureFreq",
//                                 ["top", "left", "bottom", "right"]}: send
//                                 the screen instead of the camera
//   "che.video.stop_screen_capture" true: back to the camera
// Any other key is kept as given.
class IRtcEngineParameter
{
public:
    virtual ~IRtcEngineParameter() {}
    virtual void release() = 0;
    // A JSON object of key: value pairs, applied in order.
    virtual int setParameters(const char *parameters) = 0;
    virtual int setObject(const char *key, const char *value) = 0;
    virtual int setBool(const char *key, bool value) = 0;
    virtual int setString(const char *key, const char *value) = 0;
    // The form of filePath the engine wants in its options (absolute,
    // clean); 0 on success.
    virtual int convertPath(const char *filePath, std::string &converted) = 0;
};

class IRtcEngine
{
public:
    // Stops the engine: leaves the channel, stops and joins its threads
    // (no callback arrives after it returns) and deletes the engine.
    virtual void release(bool sync = true) = 0;
    virtual const char *getVersion(int *build) = 0;
    virtual int initialize(const RtcEngineContext &context) = 0;
    virtual int setChannelProfile(int profile) = 0;
    // Hands out an interface of INTERFACE_ID_TYPE; the caller releases it.
    virtual int queryInterface(int iid, void **inter) = 0;
    virtual int enableVideo() = 0;
    virtual int startPreview() = 0;
    virtual int stopPreview() = 0;
    virtual int setVideoProfile(int profile, bool swapWidthAndHeight) = 0;
    virtual int setupLocalVideo(const VideoCanvas &canvas) = 0;
    virtual int setupRemoteVideo(const VideoCanvas &canvas) = 0;
    // uid 0 lets the engine choose one; the result comes with
    // onJoinChannelSuccess.
    virtual int joinChannel(const char *channelKey, const char *channelName, const char *info, uid_t uid) = 0;
    virtual int leaveChannel() = 0;
    // Only reliable, ordered streams are offered.
    virtual int createDataStream(int *streamId, bool reliable, bool ordered) = 0;
    // At most kMaxStreamMessageLength bytes.
    virtual int sendStreamMessage(int streamId, const char *data, size_t length) = 0;

protected:
    virtual ~IRtcEngine() {}
};

const size_t kMaxStreamMessageLength = 64 * 1024;

} // namespace rtc
} // namespace agora

// The library's one entry: a new engine each call.
extern "C" LESSONRY_RTC_EXPORT agora::rtc::IRtcEngine *createAgoraRtcEngine();

#endif // RTCENGINE_H
