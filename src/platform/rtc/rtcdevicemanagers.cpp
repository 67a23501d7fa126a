#include "rtcdevicemanagers.h"

#include "rtcdevicelist.h"
#include "rtcengineimpl.h"

#include <cstring>

using namespace agora::rtc;

namespace {

void copyText(char *buffer, const QByteArray &text)
{
    const int length = qMin(text.size(), int(MAX_DEVICE_ID_LENGTH) - 1);
    std::memcpy(buffer, text.constData(), size_t(length));
    buffer[length] = '\0';
}

QByteArray idText(const char *deviceId)
{
    if (!deviceId)
        return QByteArray();
    return QByteArray(deviceId, int(qstrnlen(deviceId, MAX_DEVICE_ID_LENGTH)));
}

class DeviceCollection : public IDeviceCollection
{
public:
    explicit DeviceCollection(const QList<RtcDevice> &devices) : m_devices(devices) {}

    int getCount() override { return m_devices.size(); }
    int getDevice(int index, char deviceName[MAX_DEVICE_ID_LENGTH], char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        if (index < 0 || index >= m_devices.size() || !deviceName || !deviceId)
            return -ERR_INVALID_ARGUMENT;
        copyText(deviceName, m_devices.at(index).name);
        copyText(deviceId, m_devices.at(index).id);
        return 0;
    }
    void release() override { delete this; }

private:
    const QList<RtcDevice> m_devices;
};

class AudioDeviceManager : public IAudioDeviceManager
{
public:
    explicit AudioDeviceManager(RtcEngineImpl *engine) : m_engine(engine) {}

    IAudioDeviceCollection *enumeratePlaybackDevices() override
    {
        return new DeviceCollection(RtcDeviceList::devices(AUDIO_PLAYOUT_DEVICE));
    }
    IAudioDeviceCollection *enumerateRecordingDevices() override
    {
        return new DeviceCollection(RtcDeviceList::devices(AUDIO_RECORDING_DEVICE));
    }
    int setPlaybackDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        return m_engine->setCurrentDevice(AUDIO_PLAYOUT_DEVICE, idText(deviceId));
    }
    int getPlaybackDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        return current(AUDIO_PLAYOUT_DEVICE, deviceId);
    }
    int setRecordingDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        return m_engine->setCurrentDevice(AUDIO_RECORDING_DEVICE, idText(deviceId));
    }
    int getRecordingDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        return current(AUDIO_RECORDING_DEVICE, deviceId);
    }
    int startPlaybackDeviceTest(const char *testAudioFilePath) override
    {
        return m_engine->startPlaybackTest(QString::fromUtf8(testAudioFilePath ? testAudioFilePath : ""));
    }
    int stopPlaybackDeviceTest() override { return m_engine->stopPlaybackTest(); }
    int startRecordingDeviceTest(int indicationInterval) override
    {
        return m_engine->setRecordingTest(indicationInterval);
    }
    int stopRecordingDeviceTest() override { return m_engine->setRecordingTest(0); }
    void release() override { delete this; }

private:
    int current(int kind, char *deviceId)
    {
        if (!deviceId)
            return -ERR_INVALID_ARGUMENT;
        copyText(deviceId, m_engine->currentDevice(kind));
        return 0;
    }

    RtcEngineImpl *m_engine;
};

class VideoDeviceManager : public IVideoDeviceManager
{
public:
    explicit VideoDeviceManager(RtcEngineImpl *engine) : m_engine(engine) {}

    IVideoDeviceCollection *enumerateVideoDevices() override
    {
        return new DeviceCollection(RtcDeviceList::devices(VIDEO_CAPTURE_DEVICE));
    }
    int startDeviceTest(view_t hwnd) override { return m_engine->setCameraTestView(hwnd, true); }
    int stopDeviceTest() override { return m_engine->setCameraTestView(nullptr, false); }
    int setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        return m_engine->setCurrentDevice(VIDEO_CAPTURE_DEVICE, idText(deviceId));
    }
    int getDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) override
    {
        if (!deviceId)
            return -ERR_INVALID_ARGUMENT;
        copyText(deviceId, m_engine->currentDevice(VIDEO_CAPTURE_DEVICE));
        return 0;
    }
    void release() override { delete this; }

private:
    RtcEngineImpl *m_engine;
};

} // namespace

IAudioDeviceManager *createAudioDeviceManager(RtcEngineImpl *engine)
{
    return new AudioDeviceManager(engine);
}

IVideoDeviceManager *createVideoDeviceManager(RtcEngineImpl *engine)
{
    return new VideoDeviceManager(engine);
}
