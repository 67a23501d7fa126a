#ifndef RTCTESTHOOKS_H
#define RTCTESTHOOKS_H

#include "rtcdeviceprovider.h"
#include "rtcengine.h"

#include <QByteArray>
#include <QImage>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// For tests: make an engine do what the service does on its own, on the
// engine's own threads, so every callback branch of a program can be
// reached. Each returns false for an engine that is not of this library.
namespace RtcTestHooks {

// Calls call with the engine's event handler on the callback thread (after
// whatever is already queued there); nothing without a handler.
LESSONRY_RTC_EXPORT bool runOnCallbackThread(agora::rtc::IRtcEngine *engine,
                                             std::function<void(agora::rtc::IRtcEngineEventHandler &)> call);

LESSONRY_RTC_EXPORT bool triggerConnectionInterrupted(agora::rtc::IRtcEngine *engine);
LESSONRY_RTC_EXPORT bool triggerConnectionLost(agora::rtc::IRtcEngine *engine);
LESSONRY_RTC_EXPORT bool triggerRejoinChannelSuccess(agora::rtc::IRtcEngine *engine, const QByteArray &channel,
                                                     agora::rtc::uid_t uid);
LESSONRY_RTC_EXPORT bool triggerRequestChannelKey(agora::rtc::IRtcEngine *engine);
LESSONRY_RTC_EXPORT bool triggerStreamMessageError(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid, int streamId,
                                                   int code, int missed, int cached);
// A null message text is passed on as null.
LESSONRY_RTC_EXPORT bool triggerWarning(agora::rtc::IRtcEngine *engine, int code, const char *message);
LESSONRY_RTC_EXPORT bool triggerError(agora::rtc::IRtcEngine *engine, int code, const char *message);

// Hands a frame of width x height ARGB pixels to the render bound to uid
// (0: the local view), on the video thread.
LESSONRY_RTC_EXPORT bool deliverVideoFrame(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid, int width, int height,
                                           const QByteArray &argb, int rotation = 0, bool mirrored = false);
// Hands a picture to the engine as a remote sender's decoded frame: it
// waits for the video thread as the newest of that sender, as the frames
// of a received feed do.
LESSONRY_RTC_EXPORT bool deliverDecodedFrame(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid, const QImage &image);
// Whether a view is bound to uid's video now (after what is queued).
LESSONRY_RTC_EXPORT bool hasVideoBinding(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid);
// Whether the camera test draws into a view now (after what is queued).
LESSONRY_RTC_EXPORT bool cameraTestRunning(agora::rtc::IRtcEngine *engine);

// How long an interrupted connection may stay away before it counts as
// lost (10000 ms unless set).
LESSONRY_RTC_EXPORT bool setConnectionLostTimeout(agora::rtc::IRtcEngine *engine, int ms);

// The engine's device list, by kind (MEDIA_DEVICE_TYPE): replaces the
// whole list of a kind (the synthetic device too); plug and unplug change
// it and report the change to the engine's handler as the service would.
// The list is the process's; reset() goes back to the machine's devices.
struct TestDevice
{
    QByteArray id;
    QByteArray name;
};
LESSONRY_RTC_EXPORT void setDevices(int kind, const QList<TestDevice> &devices);
LESSONRY_RTC_EXPORT bool plugDevice(agora::rtc::IRtcEngine *engine, int kind, const TestDevice &device);
LESSONRY_RTC_EXPORT bool unplugDevice(agora::rtc::IRtcEngine *engine, int kind, const QByteArray &id);
LESSONRY_RTC_EXPORT void resetDevices();
// Where the machine's devices come from from now on (null: GStreamer's
// device monitor again, read anew, e.g. after PULSE_SERVER changed). Its
// changes reach every engine's handler as the monitor's would; swapping
// providers reports nothing.
LESSONRY_RTC_EXPORT void useDeviceProvider(std::unique_ptr<RtcDeviceProvider> provider);
// How long a device list waits for the provider's first answer (5000 ms
// unless set).
LESSONRY_RTC_EXPORT void setDeviceStartWaitMs(int ms);
// The test sound the playback test plays now; empty when none.
LESSONRY_RTC_EXPORT QString playbackTestFile(agora::rtc::IRtcEngine *engine);
// How often the playback test has played its sound to the end since it
// started (it plays it over and over until stopped), and whether it plays
// into nothing (the synthetic speaker, or a speaker that cannot play it);
// -1 for an engine that is not of this library or is stopped.
LESSONRY_RTC_EXPORT int playbackTestPasses(agora::rtc::IRtcEngine *engine, bool *silent = nullptr);

// The frequency of the tone the synthetic microphone sends, from the next
// join on (440 Hz unless set).
LESSONRY_RTC_EXPORT bool setToneFrequency(agora::rtc::IRtcEngine *engine, int hz);

// The last value set for an option key; undefined when never set.
LESSONRY_RTC_EXPORT QJsonValue parameter(agora::rtc::IRtcEngine *engine, const QString &key);
// The last text given for an option key through the parameter interface
// (setObject, setBool, setString), byte for byte as the engine received
// it, whether it took it or not; empty when none was given.
LESSONRY_RTC_EXPORT QByteArray optionText(agora::rtc::IRtcEngine *engine, const QString &key);

} // namespace RtcTestHooks

#endif // RTCTESTHOOKS_H
