#include "agoradevicedetecting.h"

#include "biz/im/agora/videosdk.h"
#include "enumeratedevicesthread.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/durations.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutexLocker>
#include <QSettings>
#include <QThread>

using namespace agora::rtc;

namespace {

const int kCurrentDevicePauseMs = 500;
const int kStopWaitMs = 2000;
const char kName[] = "name";
const char kGuid[] = "guid";
const char kLength[] = "length";

template<class T>
std::shared_ptr<T> queryManager(IRtcEngine *engine, int iid)
{
    void *manager = nullptr;
    if (engine->queryInterface(iid, &manager) != 0 || !manager)
        return nullptr;
    // Dropping the last handle releases the engine's manager.
    return std::shared_ptr<T>(static_cast<T *>(manager), [](T *m) { m->release(); });
}

// Lists one kind's devices as a collection; empty when there is none.
QVariantMap readCollection(IDeviceCollection *collection, const char *logText)
{
    QVariantMap map;
    if (!collection)
        return map;
    const int count = collection->getCount();
    if (count >= 1) {
        QVariantList names;
        QVariantList ids;
        for (int i = 0; i < count; ++i) {
            char name[MAX_DEVICE_ID_LENGTH] = { 0 };
            char id[MAX_DEVICE_ID_LENGTH] = { 0 };
            if (collection->getDevice(i, name, id) != 0)
                continue;
            qInfo(logText, name, id);
            names.append(QString::fromUtf8(name));
            ids.append(QString::fromUtf8(id));
        }
        map.insert(QLatin1String(kName), names);
        map.insert(QLatin1String(kGuid), ids);
        map.insert(QLatin1String(kLength), names.size());
    }
    collection->release();
    return map;
}

// The name of the device with id in collection; the last match wins.
QString nameOfId(const QVariantMap &collection, const QString &id)
{
    const QVariantList ids = collection.value(QLatin1String(kGuid)).toList();
    const QVariantList names = collection.value(QLatin1String(kName)).toList();
    QString name;
    for (int i = 0; i < ids.size(); ++i) {
        if (ids.at(i).toString() == id && i < names.size())
            name = names.at(i).toString();
    }
    return name;
}

// What the service says about one kind of device in its logs and in the
// action log.
struct KindTexts
{
    const char *listed;     // one listed device, with its name and id
    const char *noManager;  // the engine gave no manager for the kind
    const char *noDevices;  // nothing is listed, so nothing is current
    const char *current;    // the current device, before its name and id
    const char *actionName; // the action log's record of the current device
};

const KindTexts kPlayback { "playout device:(%s, %s)", "m_pAudioMgr.get is NULL", "playback Device is empty",
                            "getAgoraPlaybackDeviceName deviceName:", "config_current_player" };
const KindTexts kRecording { "recording device:(%s, %s)", "m_pAudioMgr.get is NULL", "recording Device is empty",
                             "getAgoraRecordingDeviceName deviceName:", "config_current_mircrophone" };
const KindTexts kVideo { "video device:(%s, %s)", "m_pVideoMgr.get is NULL", "video Device is empty",
                         "getAgoraVideoDeviceName deviceName:", "config_current_camera" };

// The devices of one kind as its manager lists them.
template<class Manager>
QVariantMap listDevices(const std::shared_ptr<Manager> &manager, IDeviceCollection *(Manager::*enumerate)(),
                        const KindTexts &texts)
{
    if (!manager) {
        qCritical("%s", texts.noManager);
        return QVariantMap();
    }
    return readCollection(((*manager).*enumerate)(), texts.listed);
}

// The name in collection of the device the manager has in use; id becomes
// that device's id. Recorded in the action log.
template<class Manager>
QString currentDeviceName(const QVariantMap &collection, const std::shared_ptr<Manager> &manager,
                          int (Manager::*readId)(char *), const KindTexts &texts, QString &id)
{
    if (collection.isEmpty()) {
        qWarning("%s", texts.noDevices);
        return QString();
    }
    if (!manager) {
        qCritical("%s", texts.noManager);
        return QString();
    }
    char buffer[MAX_DEVICE_ID_LENGTH] = { 0 };
    ((*manager).*readId)(buffer);
    id = QString::fromUtf8(buffer);
    const QString name = nameOfId(collection, id);
    qInfo() << texts.current << name << "strCurID:" << id;
    ActionLog::instance()->NormalInfo(QLatin1String(texts.actionName), QStringLiteral("{name:%1, id:%2}").arg(name, id));
    return name;
}

const char *nameKey(AGORA_DEVICE_TYPE type)
{
    switch (type) {
    case AGORA_DEVICE_MICROPHONE:
        return "MyMic";
    case AGORA_DEVICE_SPEAKER:
        return "MySpk";
    default:
        return "MyCam";
    }
}

} // namespace

AgoraDeviceDetecting::AgoraDeviceDetecting(QObject *parent)
    : SingletonMgrBase(parent)
{
    qRegisterMetaType<DeviceItem>("DeviceItem");
    VideoSDK *sdk = VideoSDK::instance();
    m_pRtcEngine = sdk->getRtcEngine();
    if (m_pRtcEngine) {
        connect(sdk, &VideoSDK::signal_currentAudioVolume, this, &AgoraDeviceDetecting::signal_currentAudioVolume);
        connect(sdk, &VideoSDK::signal_AudioDeviceStateChanged, this, &AgoraDeviceDetecting::slot_AudioDeviceStateChanged);
        connect(sdk, &VideoSDK::signal_VideoDeviceStateChanged, this, &AgoraDeviceDetecting::slot_VideoDeviceStateChanged);
        recreateDeviceManagers();
    }
    m_pEnumThread = DevicesOperateThread::create(EnumJob, this);
    m_pCurrentThread = DevicesOperateThread::create(CurrentJob, this);
    connect(m_pEnumThread, &QThread::finished, this, [this] { jobFinished(EnumJob); });
    connect(m_pCurrentThread, &QThread::finished, this, [this] { jobFinished(CurrentJob); });
    // The jobs use the toolkit's globals (the camera list, settings): none
    // may still run when those go at process exit, which is where a program
    // that does not release this object first would otherwise meet them.
    if (QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QObject::destroyed, this, &AgoraDeviceDetecting::waitForJobs, Qt::DirectConnection);
}

AgoraDeviceDetecting::~AgoraDeviceDetecting()
{
    // A worker is never destroyed while it runs: it uses this object.
    waitForJobs();
}

void AgoraDeviceDetecting::waitForJobs()
{
    for (QThread *thread : { static_cast<QThread *>(m_pEnumThread), static_cast<QThread *>(m_pCurrentThread) }) {
        if (thread)
            thread->wait();
    }
}

AgoraDeviceDetecting *AgoraDeviceDetecting::instance()
{
    return Singleton<AgoraDeviceDetecting>::instance();
}

void AgoraDeviceDetecting::recreateDeviceManagers()
{
    if (!m_pRtcEngine)
        return;
    VideoManager video = queryManager<IVideoDeviceManager>(m_pRtcEngine, AGORA_IID_VIDEO_DEVICE_MANAGER);
    AudioManager audio = queryManager<IAudioDeviceManager>(m_pRtcEngine, AGORA_IID_AUDIO_DEVICE_MANAGER);
    QMutexLocker lock(&m_dataMutex);
    m_pVideoMgr = video;
    m_pAudioMgr = audio;
}

AgoraDeviceDetecting::AudioManager AgoraDeviceDetecting::audioManager() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_pAudioMgr;
}

AgoraDeviceDetecting::VideoManager AgoraDeviceDetecting::videoManager() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_pVideoMgr;
}

void AgoraDeviceDetecting::startJob(Job job)
{
    DevicesOperateThread *thread = job == EnumJob ? m_pEnumThread : m_pCurrentThread;
    bool &busy = job == EnumJob ? m_bEnumerating : m_bGettingCurrent;
    bool &pending = job == EnumJob ? m_enumPending : m_currentPending;
    if (!thread)
        return;
    if (busy) {
        // Runs again once the current run has finished, so the newest
        // state is read after this request.
        pending = true;
        return;
    }
    busy = true;
    pending = false;
    thread->start(QThread::InheritPriority);
}

void AgoraDeviceDetecting::jobFinished(Job job)
{
    bool &busy = job == EnumJob ? m_bEnumerating : m_bGettingCurrent;
    const bool pending = job == EnumJob ? m_enumPending : m_currentPending;
    busy = false;
    if (pending)
        startJob(job);
}

void AgoraDeviceDetecting::startEnumDevices()
{
    qInfo("startEnumDevices");
    startJob(EnumJob);
}

int AgoraDeviceDetecting::initDevice()
{
    const QVariantMap video = getVideoDeviceCollection();
    const QVariantMap recording = getRecordingDeviceCollection();
    const QVariantMap playout = getPlayoutDeviceCollection();
    int result = 0;
    if (!video.isEmpty())
        result = setDevice(AGORA_DEVICE_CAMERA, video);
    if (!recording.isEmpty())
        result += setDevice(AGORA_DEVICE_MICROPHONE, recording);
    if (!playout.isEmpty())
        result += setDevice(AGORA_DEVICE_SPEAKER, playout);
    qInfo("AgoraDeviceDetecting initDevice finish.");
    startJob(CurrentJob);
    return result;
}

int AgoraDeviceDetecting::setDevice(AGORA_DEVICE_TYPE type, QVariantMap collection)
{
    if (collection.isEmpty())
        return -2;
    const QString saved = readDeviceNameConfig(type);
    if (saved.isEmpty()) {
        qWarning("last time device is empty");
        return -2;
    }
    const QVariantList ids = collection.value(QLatin1String(kGuid)).toList();
    const QVariantList names = collection.value(QLatin1String(kName)).toList();
    if (ids.isEmpty() || names.isEmpty())
        return -2;
    int index = -1;
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).toString() == saved)
            index = i;
    }
    if (index < 0 || index >= ids.size()) {
        qWarning("not found last time device, type:%d, name:%s", int(type), saved.toUtf8().constData());
        return -2;
    }
    const QString guid = ids.at(index).toString();
    switch (type) {
    case AGORA_DEVICE_MICROPHONE:
        setRecordingDevice(guid);
        break;
    case AGORA_DEVICE_SPEAKER:
        setPlayoutDevice(guid);
        break;
    case AGORA_DEVICE_CAMERA:
        setVideoDevice(guid);
        break;
    }
    qInfo() << "setDevice name:" << names.at(index).toString();
    return 0;
}

int AgoraDeviceDetecting::setPlayoutDevice(const QString &guid)
{
    qInfo() << "setPlayoutDevice guid:" << guid;
    const AudioManager manager = audioManager();
    if (guid.isEmpty() || !manager)
        return -1;
    const int ret = manager->setPlaybackDevice(guid.toUtf8().constData());
    startJob(CurrentJob);
    return ret;
}

int AgoraDeviceDetecting::setRecordingDevice(const QString &guid)
{
    qInfo() << "setRecordingDevice guid:" << guid;
    const AudioManager manager = audioManager();
    if (guid.isEmpty() || !manager)
        return -1;
    const int ret = manager->setRecordingDevice(guid.toUtf8().constData());
    startJob(CurrentJob);
    return ret;
}

int AgoraDeviceDetecting::setVideoDevice(const QString &guid)
{
    qInfo() << "setVideoDevice guid:" << guid;
    const VideoManager manager = videoManager();
    if (guid.isEmpty() || !manager)
        return -1;
    const int ret = manager->setDevice(guid.toUtf8().constData());
    startJob(CurrentJob);
    return ret;
}

QString AgoraDeviceDetecting::readDeviceNameConfig(AGORA_DEVICE_TYPE type)
{
    QSettings settings(getDeviceConfigFilePath(), QSettings::IniFormat);
    const QString name = settings.value(QLatin1String(nameKey(type))).toString();
    qInfo() << "readConfig deviceType:" << int(type) << "deviceName" << name;
    return name;
}

void AgoraDeviceDetecting::writeDeviceConfig(AGORA_DEVICE_TYPE type, const QString name, const QString guid)
{
    {
        QSettings settings(getDeviceConfigFilePath(), QSettings::IniFormat);
        const QString key = QLatin1String(nameKey(type));
        settings.setValue(key, name);
        settings.setValue(key + QLatin1String("Guid"), guid);
    }
    qInfo() << "writeConfig deviceType:" << int(type) << "deviceName" << name;
}

QVariantMap AgoraDeviceDetecting::getPlayoutDeviceCollection() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_playoutDeviceMap;
}

QVariantMap AgoraDeviceDetecting::getRecordingDeviceCollection() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_recordingDeviceMap;
}

QVariantMap AgoraDeviceDetecting::getVideoDeviceCollection() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_videoDeviceMap;
}

QVector<DeviceItem> AgoraDeviceDetecting::getPlayoutDeviceList() const
{
    return getDeviceList(getPlayoutDeviceCollection(), 1);
}

QVector<DeviceItem> AgoraDeviceDetecting::getRecordingDeviceList() const
{
    return getDeviceList(getRecordingDeviceCollection(), 2);
}

QVector<DeviceItem> AgoraDeviceDetecting::getVideoDeviceList() const
{
    return getDeviceList(getVideoDeviceCollection(), 3);
}

QVector<DeviceItem> AgoraDeviceDetecting::getDeviceList(const QVariantMap &collection, int type)
{
    const QVariantList names = collection.value(QLatin1String(kName)).toList();
    const QVariantList ids = collection.value(QLatin1String(kGuid)).toList();
    QVector<DeviceItem> items;
    if (names.size() != ids.size()) {
        qCritical("deviceName's count not equal deviceId's count!");
        return items;
    }
    for (int i = 0; i < names.size(); ++i)
        items.append(DeviceItem { ids.at(i).toString(), names.at(i).toString(), type });
    return items;
}

QString AgoraDeviceDetecting::getAgoraPlaybackDeviceName() const
{
    QMutexLocker lock(&m_dataMutex);
    qInfo() << "getAgoraPlaybackDeviceName:" << m_playbackDeviceName;
    return m_playbackDeviceName;
}

QString AgoraDeviceDetecting::getAgoraRecordingDeviceName() const
{
    QMutexLocker lock(&m_dataMutex);
    qInfo() << "getAgoraRecordingDeviceName:" << m_recordingDeviceName;
    return m_recordingDeviceName;
}

QString AgoraDeviceDetecting::getAgoraVideoDeviceName() const
{
    QMutexLocker lock(&m_dataMutex);
    qInfo() << "getAgoraVideoDeviceName:" << m_videoDeviceName;
    return m_videoDeviceName;
}

QString AgoraDeviceDetecting::getAgoraPlaybackDeviceId() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_playbackDeviceId;
}

QString AgoraDeviceDetecting::getAgoraRecordingDeviceId() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_recordingDeviceId;
}

QString AgoraDeviceDetecting::getAgoraVideoDeviceId() const
{
    QMutexLocker lock(&m_dataMutex);
    return m_videoDeviceId;
}

int AgoraDeviceDetecting::playbackDeviceTest(bool start, QString filePath)
{
    const AudioManager manager = audioManager();
    if (!manager)
        return -1;
    return start ? manager->startPlaybackDeviceTest(filePath.toUtf8().constData()) : manager->stopPlaybackDeviceTest();
}

int AgoraDeviceDetecting::recordingDeviceTest(bool start, int intervalMs)
{
    const AudioManager manager = audioManager();
    if (!manager)
        return -1;
    return start ? manager->startRecordingDeviceTest(intervalMs) : manager->stopRecordingDeviceTest();
}

int AgoraDeviceDetecting::videoDeviceTest(bool start, void *view)
{
    const VideoManager manager = videoManager();
    if (!manager)
        return -1;
    return start ? manager->startDeviceTest(view) : manager->stopDeviceTest();
}

void AgoraDeviceDetecting::uninitDevice()
{
    qInfo("uninitDevice");
    for (QThread *thread : { static_cast<QThread *>(m_pEnumThread), static_cast<QThread *>(m_pCurrentThread) }) {
        if (!thread)
            continue;
        thread->exit(0);
        thread->wait(kStopWaitMs);
    }
    QMutexLocker lock(&m_dataMutex);
    m_pVideoMgr.reset();
    m_pAudioMgr.reset();
}

QVariantMap AgoraDeviceDetecting::enumPlayoutDeviceList()
{
    return listDevices(audioManager(), &IAudioDeviceManager::enumeratePlaybackDevices, kPlayback);
}

QVariantMap AgoraDeviceDetecting::enumRecordingDeviceList()
{
    return listDevices(audioManager(), &IAudioDeviceManager::enumerateRecordingDevices, kRecording);
}

QVariantMap AgoraDeviceDetecting::enumVideoDeviceList()
{
    return listDevices(videoManager(), &IVideoDeviceManager::enumerateVideoDevices, kVideo);
}

void AgoraDeviceDetecting::enumAllDevices()
{
    QMutexLocker job(&m_mutex);
    const QVariantMap recording = enumRecordingDeviceList();
    const QVariantMap playout = enumPlayoutDeviceList();
    const QVariantMap video = enumVideoDeviceList();
    {
        QMutexLocker lock(&m_dataMutex);
        m_recordingDeviceMap = recording;
        m_playoutDeviceMap = playout;
        m_videoDeviceMap = video;
    }
    emit signal_audioRecordCollection(recording);
    emit signal_audioPlayoutCollection(playout);
    emit signal_videoDeviceCollection(video);
}

QString AgoraDeviceDetecting::getCurrentPlaybackDeviceName(QString &id)
{
    return currentDeviceName(getPlayoutDeviceCollection(), audioManager(), &IAudioDeviceManager::getPlaybackDevice,
                             kPlayback, id);
}

QString AgoraDeviceDetecting::getCurrentRecordingDeviceName(QString &id)
{
    return currentDeviceName(getRecordingDeviceCollection(), audioManager(), &IAudioDeviceManager::getRecordingDevice,
                             kRecording, id);
}

QString AgoraDeviceDetecting::getCurrentVideoDeviceName(QString &id)
{
    return currentDeviceName(getVideoDeviceCollection(), videoManager(), &IVideoDeviceManager::getDevice, kVideo, id);
}

void AgoraDeviceDetecting::refreshCurrentDevices()
{
    QThread::msleep(unsigned(Durations::ms(kCurrentDevicePauseMs)));
    QMutexLocker job(&m_mutex);
    QString playbackId = getAgoraPlaybackDeviceId();
    QString recordingId = getAgoraRecordingDeviceId();
    QString videoId = getAgoraVideoDeviceId();
    const QString playback = getCurrentPlaybackDeviceName(playbackId);
    const QString recording = getCurrentRecordingDeviceName(recordingId);
    const QString video = getCurrentVideoDeviceName(videoId);
    QMutexLocker lock(&m_dataMutex);
    m_playbackDeviceName = playback;
    m_playbackDeviceId = playbackId;
    m_recordingDeviceName = recording;
    m_recordingDeviceId = recordingId;
    m_videoDeviceName = video;
    m_videoDeviceId = videoId;
}

void AgoraDeviceDetecting::slot_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    Q_UNUSED(deviceType)
    Q_UNUSED(deviceState)
    qInfo() << "slot_AudioDeviceStateChanged deviceId:" << deviceId;
    recreateDeviceManagers();
    startJob(EnumJob);
}

void AgoraDeviceDetecting::slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    Q_UNUSED(deviceType)
    Q_UNUSED(deviceState)
    qInfo() << "slot_VideoDeviceStateChanged deviceId:" << deviceId;
    recreateDeviceManagers();
    startJob(EnumJob);
}
