#ifndef RTCENGINEIMPL_H
#define RTCENGINEIMPL_H

#include "mediaengine.h"
#include "rtcengine.h"
#include "rtcenginelog.h"
#include "rtclatestframes.h"
#include "rtcmediaoutlet.h"
#include "rtcvideoframe.h"
#include "rtcvideosource.h"

#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;
class RtcChannel;
class RtcRelayClient;
class RtcVideoFrame;
class RtcVideoHub;
struct RtcDeviceChange;

// The engine: the operations run on the caller's thread and hand the
// channel work to the callback thread and the video work to the video
// thread, both owned here and stopped by release().
class RtcEngineImpl : public agora::rtc::IRtcEngine
{
public:
    RtcEngineImpl();

    void release(bool sync) override;
    const char *getVersion(int *build) override;
    int initialize(const agora::rtc::RtcEngineContext &context) override;
    int setChannelProfile(int profile) override;
    int queryInterface(int iid, void **inter) override;
    int enableVideo() override;
    int startPreview() override;
    int stopPreview() override;
    int setVideoProfile(int profile, bool swapWidthAndHeight) override;
    int setupLocalVideo(const agora::rtc::VideoCanvas &canvas) override;
    int setupRemoteVideo(const agora::rtc::VideoCanvas &canvas) override;
    int joinChannel(const char *channelKey, const char *channelName, const char *info, agora::rtc::uid_t uid) override;
    int leaveChannel() override;
    int createDataStream(int *streamId, bool reliable, bool ordered) override;
    int sendStreamMessage(int streamId, const char *data, size_t length) override;

    // Behind the parameter interface.
    int setParameter(const QString &key, const QJsonValue &value);
    int setParameters(const char *json);
    QJsonValue parameter(const QString &key) const;
    // The option text the parameter interface was last given for key, as
    // given (for tests: what a program really handed the engine).
    void noteOptionText(const QString &key, const QByteArray &text);
    QByteArray optionText(const QString &key) const;
    // Behind the media engine interface.
    int registerVideoRenderFactory(agora::media::IExternalVideoRenderFactory *factory);
    // Behind the device managers; kinds are MEDIA_DEVICE_TYPE values.
    QByteArray currentDevice(int kind) const;
    int setCurrentDevice(int kind, const QByteArray &id);
    int startPlaybackTest(const QString &filePath);
    int stopPlaybackTest();
    int setRecordingTest(int intervalMs);
    int setCameraTestView(void *view, bool start);
    // A device came or went: from the test hooks and from the watch on
    // the machine's devices.
    bool notifyDeviceState(int kind, const QByteArray &id, int state);
    // Reports what came and went to every engine.
    static void machineDevicesChanged(const QList<RtcDeviceChange> &changes);
    QString playbackTestFileForTests() const;
    // The passes of the playback test played to the end; -1 for a
    // stopped engine.
    int playbackTestPassesForTests(bool *silent);

    // For the test hooks: run on the callback or the video thread.
    bool runOnCallbackThread(const std::function<void(agora::rtc::IRtcEngineEventHandler &)> &call);
    bool deliverVideoFrame(agora::rtc::uid_t uid, int width, int height, const QByteArray &argb, int rotation, bool mirrored);
    bool deliverVideoFrame(agora::rtc::uid_t uid, const RtcVideoFrame &frame, int rotation, bool mirrored);
    bool setConnectionLostTimeout(int ms);
    void deliverDecodedFrame(agora::rtc::uid_t uid, const QImage &image) { deliverRemoteFrame(uid, RtcVideoFrame(image)); }
    bool hasRender(agora::rtc::uid_t uid);
    bool hasCameraTestView();

    // Leaves the channel and stops and joins the engine's threads; no
    // callback comes after it. The operations then fail as uninitialised.
    void stop();
    // Stops every engine still running; at process exit.
    static void stopAll();

private:
    ~RtcEngineImpl() override;

    template<typename F>
    void onCallbackThread(F f, bool wait);
    template<typename F>
    void onVideoThread(F f, bool wait);
    int bindVideo(agora::rtc::uid_t uid, const agora::rtc::VideoCanvas &canvas);
    // The sound devices the media use now (empty: the tone, or no speaker).
    void soundDevices(QByteArray *microphone, QByteArray *speaker) const;
    // Waits until thread has ended; see the definition for the events.
    static void joinThread(QThread *thread);
    // Hands the capture what it should do now; call without m_mutex.
    void updateCapture();
    // A remote sender's decoded frame, from the channel's thread to the renders.
    void deliverRemoteFrame(agora::rtc::uid_t uid, const RtcVideoFrame &frame);

    QThread *m_callbackThread;
    QThread *m_videoThread;
    RtcChannel *m_channel;
    RtcVideoHub *m_video;
    // Decoded frames wait here as the newest of their sender: a video
    // thread that falls behind (a loaded machine, a slow render) skips
    // frames instead of holding a growing queue of them.
    std::shared_ptr<RtcLatestFrames<RtcVideoFrame>> m_remoteFrames;
    // Our pictures go from the video thread to the feed sent, if any.
    std::shared_ptr<RtcMediaOutlet> m_outlet;
    RtcEngineLog m_log;
    std::atomic<quint64> m_txBytes { 0 };
    std::atomic<quint64> m_bindRequests { 0 };
    std::atomic<quint64> m_latestTestView { 0 };

    mutable QMutex m_mutex; // everything below
    bool m_initialized = false;
    bool m_released = false;
    bool m_inChannel = false;
    bool m_previewing = false;
    bool m_videoEnabled = false;
    int m_videoProfile = RtcVideoSource::kDefaultProfile;
    agora::rtc::uid_t m_uid = 0;
    QByteArray m_appId;
    QHash<QString, QJsonValue> m_parameters;
    QHash<QString, QByteArray> m_optionTexts;
    std::shared_ptr<RtcRelayClient> m_relay;
    QByteArray m_streamTopic;
    quint64 m_session = 0;
    QHash<int, quint64> m_streamSequence; // stream id -> last sent
    int m_nextStreamId = 1;
    QHash<int, QByteArray> m_currentDevices; // kind -> chosen id
    QHash<agora::rtc::uid_t, quint64> m_latestBind; // uid -> newest binding request
    QString m_playbackTestFile;
    int m_toneHz = 440;
    std::atomic<quint64> m_playoutRequest { 0 };

public:
    // For tests: the frequency of the synthetic microphone's tone, from
    // the next join on.
    void setToneFrequency(int hz);
};

#endif // RTCENGINEIMPL_H
