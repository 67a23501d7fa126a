#include "rtctesthooks.h"

#include "rtcdevice.h"
#include "rtcdevicelist.h"
#include "rtcengineimpl.h"

namespace RtcTestHooks {

namespace {

RtcEngineImpl *impl(agora::rtc::IRtcEngine *engine)
{
    return dynamic_cast<RtcEngineImpl *>(engine);
}

// A text the callback may read while it runs, and no longer: it is
// overwritten and freed right after, as a service's buffer would be.
bool withText(agora::rtc::IRtcEngine *engine, const char *text,
              std::function<void(agora::rtc::IRtcEngineEventHandler &, const char *)> call)
{
    const bool isNull = text == nullptr;
    const QByteArray copy(text ? text : "");
    return runOnCallbackThread(engine, [isNull, copy, call](agora::rtc::IRtcEngineEventHandler &handler) {
        QByteArray buffer = copy;
        call(handler, isNull ? nullptr : buffer.data());
        buffer.fill('#');
    });
}

} // namespace

bool runOnCallbackThread(agora::rtc::IRtcEngine *engine, std::function<void(agora::rtc::IRtcEngineEventHandler &)> call)
{
    RtcEngineImpl *e = impl(engine);
    return e && e->runOnCallbackThread(call);
}

bool triggerConnectionInterrupted(agora::rtc::IRtcEngine *engine)
{
    return runOnCallbackThread(engine, [](agora::rtc::IRtcEngineEventHandler &h) { h.onConnectionInterrupted(); });
}

bool triggerConnectionLost(agora::rtc::IRtcEngine *engine)
{
    return runOnCallbackThread(engine, [](agora::rtc::IRtcEngineEventHandler &h) { h.onConnectionLost(); });
}

bool triggerRejoinChannelSuccess(agora::rtc::IRtcEngine *engine, const QByteArray &channel, agora::rtc::uid_t uid)
{
    return withText(engine, channel.constData(), [uid](agora::rtc::IRtcEngineEventHandler &h, const char *text) {
        h.onRejoinChannelSuccess(text, uid, 0);
    });
}

bool triggerRequestChannelKey(agora::rtc::IRtcEngine *engine)
{
    return runOnCallbackThread(engine, [](agora::rtc::IRtcEngineEventHandler &h) { h.onRequestChannelKey(); });
}

bool triggerStreamMessageError(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid, int streamId, int code, int missed,
                               int cached)
{
    return runOnCallbackThread(engine, [=](agora::rtc::IRtcEngineEventHandler &h) {
        h.onStreamMessageError(uid, streamId, code, missed, cached);
    });
}

bool triggerWarning(agora::rtc::IRtcEngine *engine, int code, const char *message)
{
    return withText(engine, message, [code](agora::rtc::IRtcEngineEventHandler &h, const char *text) { h.onWarning(code, text); });
}

bool triggerError(agora::rtc::IRtcEngine *engine, int code, const char *message)
{
    return withText(engine, message, [code](agora::rtc::IRtcEngineEventHandler &h, const char *text) { h.onError(code, text); });
}

bool deliverDecodedFrame(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid, const QImage &image)
{
    RtcEngineImpl *e = impl(engine);
    if (!e)
        return false;
    e->deliverDecodedFrame(uid, image);
    return true;
}

bool deliverVideoFrame(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid, int width, int height, const QByteArray &argb,
                       int rotation, bool mirrored)
{
    RtcEngineImpl *e = impl(engine);
    return e && e->deliverVideoFrame(uid, width, height, argb, rotation, mirrored);
}

bool hasVideoBinding(agora::rtc::IRtcEngine *engine, agora::rtc::uid_t uid)
{
    RtcEngineImpl *e = impl(engine);
    return e && e->hasRender(uid);
}

bool cameraTestRunning(agora::rtc::IRtcEngine *engine)
{
    RtcEngineImpl *e = impl(engine);
    return e && e->hasCameraTestView();
}

bool setConnectionLostTimeout(agora::rtc::IRtcEngine *engine, int ms)
{
    RtcEngineImpl *e = impl(engine);
    return e && e->setConnectionLostTimeout(ms);
}

void setDevices(int kind, const QList<TestDevice> &devices)
{
    QList<RtcDevice> list;
    for (const TestDevice &device : devices)
        list.append(RtcDevice { device.id, device.name, {}, {} });
    RtcDeviceList::setDevices(kind, list);
}

bool plugDevice(agora::rtc::IRtcEngine *engine, int kind, const TestDevice &device)
{
    RtcEngineImpl *e = impl(engine);
    RtcDeviceList::plug(kind, { device.id, device.name, {}, {} });
    return e && e->notifyDeviceState(kind, device.id, agora::rtc::MEDIA_DEVICE_STATE_ACTIVE);
}

bool unplugDevice(agora::rtc::IRtcEngine *engine, int kind, const QByteArray &id)
{
    RtcEngineImpl *e = impl(engine);
    if (!RtcDeviceList::unplug(kind, id))
        return false;
    return e && e->notifyDeviceState(kind, id, agora::rtc::MEDIA_DEVICE_STATE_UNPLUGGED);
}

void resetDevices()
{
    RtcDeviceList::reset();
}

void useDeviceProvider(std::unique_ptr<RtcDeviceProvider> provider)
{
    RtcDeviceList::setProvider(std::move(provider));
}

void setDeviceStartWaitMs(int ms)
{
    RtcDeviceList::setStartWaitMs(ms);
}

QString playbackTestFile(agora::rtc::IRtcEngine *engine)
{
    RtcEngineImpl *e = impl(engine);
    return e ? e->playbackTestFileForTests() : QString();
}

int playbackTestPasses(agora::rtc::IRtcEngine *engine, bool *silent)
{
    RtcEngineImpl *e = impl(engine);
    return e ? e->playbackTestPassesForTests(silent) : -1;
}

QJsonValue parameter(agora::rtc::IRtcEngine *engine, const QString &key)
{
    RtcEngineImpl *e = impl(engine);
    return e ? e->parameter(key) : QJsonValue(QJsonValue::Undefined);
}

bool setToneFrequency(agora::rtc::IRtcEngine *engine, int hz)
{
    RtcEngineImpl *e = impl(engine);
    if (!e || hz <= 0 || hz > 20000)
        return false;
    e->setToneFrequency(hz);
    return true;
}

QByteArray optionText(agora::rtc::IRtcEngine *engine, const QString &key)
{
    RtcEngineImpl *e = impl(engine);
    return e ? e->optionText(key) : QByteArray();
}

} // namespace RtcTestHooks
