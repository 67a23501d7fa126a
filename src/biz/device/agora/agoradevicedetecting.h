#ifndef AGORADEVICEDETECTING_H
#define AGORADEVICEDETECTING_H

#include "biz/device/agora/deviceitem.h"
#include "mgr/singletonmgrbase.h"
#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtcengine.h"

#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <QVector>

#include <memory>

class DevicesOperateThread;


// The device kinds of the saved choice and of setDevice.
enum AGORA_DEVICE_TYPE {
    AGORA_DEVICE_MICROPHONE = 1,
    AGORA_DEVICE_SPEAKER = 2,
    AGORA_DEVICE_CAMERA = 4,
};

// The one object that talks to the engine's device managers: lists the
// microphones, speakers and cameras on a worker thread (the device
// collections: {"name": names, "guid": ids in the same order, "length":
// count}, empty when there is none), applies the choice saved in
// "config/newDeviceConfig.ini", reads the devices in use on a second
// worker, runs the engine's device tests, and lists the devices again
// whenever the engine reports one plugged in or removed.
//
// The two workers exclude each other through m_mutex. The fields they
// fill are read on the GUI thread as copies taken under m_dataMutex, and
// a job uses the device managers it took when it started, so exchanging
// them never frees one under a running job. A request for a job that is
// running is not lost: the job runs once more when it has finished.
class AgoraDeviceDetecting : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraDeviceDetecting(QObject *parent = nullptr);
    // Waits for a worker still running.
    ~AgoraDeviceDetecting() override;

    static AgoraDeviceDetecting *instance();

    void startEnumDevices();
    // 0, or -2 for each kind whose saved device could not be applied.
    int initDevice();
    int setDevice(AGORA_DEVICE_TYPE type, QVariantMap collection);
    int setPlayoutDevice(const QString &guid);
    int setRecordingDevice(const QString &guid);
    int setVideoDevice(const QString &guid);
    QString readDeviceNameConfig(AGORA_DEVICE_TYPE type);
    void writeDeviceConfig(AGORA_DEVICE_TYPE type, const QString name, const QString guid);

    QVariantMap getPlayoutDeviceCollection() const;
    QVariantMap getRecordingDeviceCollection() const;
    QVariantMap getVideoDeviceCollection() const;
    QVector<DeviceItem> getPlayoutDeviceList() const;
    QVector<DeviceItem> getRecordingDeviceList() const;
    QVector<DeviceItem> getVideoDeviceList() const;
    static QVector<DeviceItem> getDeviceList(const QVariantMap &collection, int type);

    QString getAgoraPlaybackDeviceName() const;
    QString getAgoraRecordingDeviceName() const;
    QString getAgoraVideoDeviceName() const;
    QString getAgoraPlaybackDeviceId() const;
    QString getAgoraRecordingDeviceId() const;
    QString getAgoraVideoDeviceId() const;

    int playbackDeviceTest(bool start, QString filePath);
    int recordingDeviceTest(bool start, int intervalMs);
    int videoDeviceTest(bool start, void *view);

    void uninitDevice();

    // The jobs, run by the worker threads.
    void enumAllDevices();
    void refreshCurrentDevices();

signals:
    void signal_currentAudioVolume(uint currentUid, uint totalVolume);
    void signal_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void signal_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void signal_audioPlayoutCollection(QVariantMap audioPlayoutMap);
    void signal_audioRecordCollection(QVariantMap audioInputMap);
    void signal_videoDeviceCollection(QVariantMap videoDeviceMap);

public slots:
    void slot_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);

private:
    using AudioManager = std::shared_ptr<agora::rtc::IAudioDeviceManager>;
    using VideoManager = std::shared_ptr<agora::rtc::IVideoDeviceManager>;

    enum Job { EnumJob = 0, CurrentJob = 1 };

    void recreateDeviceManagers();
    AudioManager audioManager() const;
    VideoManager videoManager() const;
    QVariantMap enumPlayoutDeviceList();
    QVariantMap enumRecordingDeviceList();
    QVariantMap enumVideoDeviceList();
    QString getCurrentPlaybackDeviceName(QString &id);
    QString getCurrentRecordingDeviceName(QString &id);
    QString getCurrentVideoDeviceName(QString &id);
    void startJob(Job job);
    void jobFinished(Job job);
    void waitForJobs();

    agora::rtc::IRtcEngine *m_pRtcEngine = nullptr;
    AudioManager m_pAudioMgr;
    VideoManager m_pVideoMgr;
    QVariantMap m_videoDeviceMap;
    QVariantMap m_recordingDeviceMap;
    QVariantMap m_playoutDeviceMap;
    DevicesOperateThread *m_pEnumThread = nullptr;
    DevicesOperateThread *m_pCurrentThread = nullptr;
    // GUI thread only: set when a job starts, cleared when its thread has
    // finished; a request in between is kept in the pending flag.
    bool m_bEnumerating = false;
    bool m_bGettingCurrent = false;
    bool m_enumPending = false;
    bool m_currentPending = false;
    QString m_playbackDeviceName;
    QString m_recordingDeviceName;
    QString m_videoDeviceName;
    QMutex m_mutex;             // held by each job for its whole run
    mutable QMutex m_dataMutex; // the managers, collections, names and ids
    QString m_playbackDeviceId;
    QString m_recordingDeviceId;
    QString m_videoDeviceId;
};

Q_DECLARE_METATYPE(DeviceItem)

#endif // AGORADEVICEDETECTING_H
