#ifndef VIDEOSDK_H
#define VIDEOSDK_H

#include "platform/rtc/mediaengine.h"
#include "platform/rtc/rtcengine.h"

#include <QMutex>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>

// The program's only owner of the real-time engine: creates and configures
// it at start-up, joins and leaves the class's audio/video channel, mutes
// the local microphone and camera, binds views to videos, carries classroom
// messages over the engine's data stream, captures the screen, keeps the
// engine's log file, and turns every engine callback into log lines,
// action records and signals.
//
// The operations run on the GUI thread; the callbacks arrive on the
// engine's threads and reach receivers on the GUI thread queued. Views are
// opaque here: a view is a pointer to the program's video widget.
class VideoSDK : public QObject,
                 public agora::rtc::IRtcEngineEventHandler,
                 public agora::media::IExternalVideoRenderFactory
{
    Q_OBJECT

public:
    explicit VideoSDK(QObject *parent = nullptr);
    // Stops the engine's threads before anything of this object goes.
    ~VideoSDK() override;

    static VideoSDK *instance();

    void init();
    void initVideoEngine();

    bool joinChannel(QString channel, void *view, uint uid, QString channelKey);
    bool leaveChannel();
    bool setupLocalVideo(void *view, uint uid);
    bool setupRemoteVideo(void *view, uint uid);
    // Mutes the microphone on mute, or always while it is held off.
    int muteLocalAudio(bool mute);
    // Held off, the microphone stays muted whatever muteLocalAudio is asked
    // (the observer is never heard). The classroom sets it for its page.
    void setMicrophoneHeldOff(bool held) { m_microphoneHeldOff = held; }
    bool isMicrophoneHeldOff() const { return m_microphoneHeldOff; }
    int muteLocalVideo(bool mute);
    int setVideoProfile(int profile);
    int videoProfile() const { return m_videoProfile; }
    bool createDataStream();
    // 0 when the engine took the message, else its negative code (-1
    // without an engine); a refusal is logged and recorded.
    int sendStreamMessage(const QString &message);
    // window: the QWindow or QWidget to capture (null: the whole desktop);
    // rect: the part of it (null: all of it). -2 for any other object.
    int startScreenCapture(QObject *window, const agora::rtc::Rect *rect);
    // Tells where a widget is shown: the native window it sits in and its
    // area in that window (empty: all of it); false for an object that is
    // no widget. Widgets are not known at this level, so the widget layer
    // installs one at start-up.
    using WidgetLocator = bool (*)(QObject *widget, quintptr *windowId, QRect *area);
    static void setWidgetLocator(WidgetLocator locator);
    int startScreenCapture();
    int stopScreenCapture();
    int setAgoraLogFilePath();
    int setAgoraLogFilePath(const QString &path);
    // Also called from the crash handler, on the failing thread.
    void renameAgoraLogFileForUploading();
    QString agoraLogFilePath() const;

    agora::rtc::IRtcEngine *getRtcEngine() const { return m_pRtcEngine; }
    agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> getRtcEngineParameters() const;
    void logRtcStats(const QString &tag, const agora::rtc::RtcStats &stats);

    // agora::rtc::IRtcEngineEventHandler, on the engine's threads.
    void onJoinChannelSuccess(const char *channel, agora::rtc::uid_t uid, int elapsed) override;
    void onRejoinChannelSuccess(const char *channel, agora::rtc::uid_t uid, int elapsed) override;
    void onWarning(int warn, const char *msg) override;
    void onError(int err, const char *msg) override;
    void onAudioQuality(agora::rtc::uid_t uid, int quality, unsigned short delay, unsigned short lost) override;
    void onAudioVolumeIndication(const agora::rtc::AudioVolumeInfo *speakers, unsigned int speakerNumber, int totalVolume) override;
    void onLeaveChannel(const agora::rtc::RtcStats &stats) override;
    void onRtcStats(const agora::rtc::RtcStats &stats) override;
    void onAudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState) override;
    void onVideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState) override;
    void onNetworkQuality(agora::rtc::uid_t uid, int txQuality, int rxQuality) override;
    void onFirstLocalVideoFrame(int width, int height, int elapsed) override;
    void onFirstRemoteVideoDecoded(agora::rtc::uid_t uid, int width, int height, int elapsed) override;
    void onUserJoined(agora::rtc::uid_t uid, int elapsed) override;
    void onUserOffline(agora::rtc::uid_t uid, agora::rtc::USER_OFFLINE_REASON_TYPE reason) override;
    void onUserMuteVideo(agora::rtc::uid_t uid, bool muted) override;
    void onApiCallExecuted(const char *api, int error) override;
    void onCameraReady() override;
    void onConnectionLost() override;
    void onConnectionInterrupted() override;
    void onRefreshRecordingServiceStatus(int status) override;
    void onStreamMessage(agora::rtc::uid_t uid, int streamId, const char *data, size_t length) override;
    void onStreamMessageError(agora::rtc::uid_t uid, int streamId, int code, int missed, int cached) override;
    void onRequestChannelKey() override;

    // agora::media::IExternalVideoRenderFactory, on the engine's video thread.
    agora::media::IExternalVideoRender *createRenderInstance(const agora::media::ExternalVideoRenerContext &context) override;

public slots:
    bool someoneJoinChannel(void *widget, uint uid);
    bool someoneLeaveChannel(uint uid);

signals:
    void signal_joinVideoChannelSuccess(QString channel, QString uid);
    void signal_LeaveChannel();
    void signal_UserJoined(QString uid);
    void signal_UserOffline(QString uid);
    void signal_UserMuteVideo(QString uid, bool muted);
    void signal_Error(QString code, QString message);
    void signal_startScreenCapture(QSize size);
    void signal_stopScreenCapture();
    void signal_currentAudioVolume(uint currentUid, uint totalVolume);
    void signal_audioVolumeChange(QString uid, int volume);
    void signal_networkStatusChanged(bool isConnected);
    // deviceId stays valid for the life of the process, so receivers on
    // other threads may read it whenever the signal reaches them.
    void signal_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void signal_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void signal_onReuqestChannelKey();
    void signal_receiveDataStreamMsg(QString uid, QString strMsg);

private:
    int setParameters(const QString &json);
    int applyMute(const QString &parameters, const QString &action, const QString &failure, bool muted);
    int setObject(const char *key, const QString &json);
    int setBool(const char *key, bool value);
    void rememberOwnUid();
    QString ownUid() const;
    // A copy of text that lives as long as the process.
    static const char *keepText(const char *text);

    agora::rtc::IRtcEngine *m_pRtcEngine = nullptr;
    agora::util::AutoPtr<agora::media::IMediaEngine> m_pMediaEngine;
    mutable QMutex m_logFileMutex; // the two texts below
    QString m_agoraLogFileName;
    QString m_agoraLogFilePath;
    QString m_channelName;                  // engine thread only
    std::atomic<qint64> m_lastStatsTime { 0 }; // engine thread only
    int m_dataStreamIds[1] = { 0 };
    int m_videoProfile = 40;
    bool m_microphoneHeldOff = false;

    // The signed-in user's uid for the engine threads, copied on the GUI
    // thread at login and at each join.
    mutable QMutex m_uidMutex;
    QString m_ownUid;
    std::atomic<int> m_volumeReportCounter { 0 };
};

#endif // VIDEOSDK_H
