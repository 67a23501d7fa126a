#include "devicesettinginclasswidget.h"
#include "ui_devicesettinginclasswidget.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/message/classordergate.h"
#include "mgr/singleton.h"
#include "utility/durations.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

#include <functional>

namespace {

const int kSwitchDelayMs = 5000;

// Refills box with the collection's names and selects the device in use
// (else the first), which is set again through the service.
template<typename Handler>
void fillBox(QComboBox *box, const QVariantMap &map, const QString &inService, QString *applied,
             DeviceSettingInClassWidget *window, Handler handler, const char *logText,
             const std::function<void(const QString &)> &apply)
{
    const QStringList names = map.value(QStringLiteral("name")).toStringList();
    const QStringList ids = map.value(QStringLiteral("guid")).toStringList();
    if (names.isEmpty() || ids.isEmpty())
        return;
    const QString current = names.contains(*applied) ? *applied : inService;
    QObject::disconnect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), window, handler);
    box->clear();
    for (const QString &name : names) {
        qInfo() << logText << name;
        box->addItem(name);
    }
    const int index = qMax(0, names.indexOf(current));
    if (index < ids.size()) {
        apply(ids.at(index));
        *applied = names.at(index);
    }
    box->setCurrentIndex(index);
    QObject::connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), window, handler);
}

} // namespace

DeviceSettingInClassWidget::DeviceSettingInClassWidget(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::DeviceSettingInClassWidget)
{
    qRegisterMetaType<SwitchDevice>("SwitchDevice");
    qRegisterMetaType<ImMsgInfo>("ImMsgInfo");
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    // A small fixed panel over the classroom: dragging its edge must not
    // resize it.
    setResizable(false);
    m_pDeviceDetecting = Singleton<AgoraDeviceDetecting>::instance();
    m_pDeviceDetecting->startEnumDevices();
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_AudioDeviceStateChanged, this,
            &DeviceSettingInClassWidget::slot_AudioDeviceStateChanged);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_VideoDeviceStateChanged, this,
            &DeviceSettingInClassWidget::slot_VideoDeviceStateChanged);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_audioPlayoutCollection, this,
            &DeviceSettingInClassWidget::slot_audioPlayoutCollection);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_audioRecordCollection, this,
            &DeviceSettingInClassWidget::slot_audioRecordCollection);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_videoDeviceCollection, this,
            &DeviceSettingInClassWidget::slot_videoDeviceCollection);
    slot_audioPlayoutCollection(m_pDeviceDetecting->getPlayoutDeviceCollection());
    slot_audioRecordCollection(m_pDeviceDetecting->getRecordingDeviceCollection());
    slot_videoDeviceCollection(m_pDeviceDetecting->getVideoDeviceCollection());
    connect(ClassOrderGate::instance(), &ClassOrderGate::signal_receiveSwitchDevice, this,
            &DeviceSettingInClassWidget::slot_receiveSwitchDevice);
}

DeviceSettingInClassWidget::~DeviceSettingInClassWidget()
{
    delete ui;
}

void DeviceSettingInClassWidget::setPlayoutDeviceBox(const QVariantMap &map)
{
    AgoraDeviceDetecting *service = m_pDeviceDetecting;
    fillBox(ui->AiBoxPlayer, map, service->getAgoraPlaybackDeviceName(), &m_appliedPlayout, this,
            &DeviceSettingInClassWidget::slot_AiBoxPlayerCurrentIndexChanged, "names:",
            [service](const QString &id) { service->setPlayoutDevice(id); });
}

void DeviceSettingInClassWidget::setRecordingDeviceBox(const QVariantMap &map)
{
    AgoraDeviceDetecting *service = m_pDeviceDetecting;
    fillBox(ui->AiBoxMicro, map, service->getAgoraRecordingDeviceName(), &m_appliedRecording, this,
            &DeviceSettingInClassWidget::slot_AiBoxSpeakerCurrentIndexChanged, "setRecordingDeviceBox names:",
            [service](const QString &id) { service->setRecordingDevice(id); });
}

void DeviceSettingInClassWidget::setVideoDeviceBox(const QVariantMap &map)
{
    AgoraDeviceDetecting *service = m_pDeviceDetecting;
    fillBox(ui->AiBoxCamera, map, service->getAgoraVideoDeviceName(), &m_appliedVideo, this,
            &DeviceSettingInClassWidget::slot_AiBoxVideoCurrentIndexChanged, "names:",
            [service](const QString &id) { service->setVideoDevice(id); });
}

namespace {

// A text as a JSON string literal, quotes and escapes included.
QString jsonText(const QString &value)
{
    const QByteArray array = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

struct Choice
{
    QString id;
    QString name;
};

bool pick(const QVariantMap &devices, int index, Choice *choice)
{
    const QStringList ids = devices.value(QStringLiteral("guid")).toStringList();
    const QStringList names = devices.value(QStringLiteral("name")).toStringList();
    if (index < 0 || index >= ids.size() || index >= names.size())
        return false;
    *choice = Choice { ids.at(index), names.at(index) };
    return true;
}

// How the choice of one kind of device is applied and logged.
struct ChoiceKind
{
    AGORA_DEVICE_TYPE type;
    int (AgoraDeviceDetecting::*apply)(const QString &guid);
    const char *noList;  // nothing listed to choose from
    const char *changed; // before the index chosen
    const char *chosen;  // before the name applied
};

const ChoiceKind kSpeakerChoice { AGORA_DEVICE_SPEAKER, &AgoraDeviceDetecting::setPlayoutDevice,
                                  "device playOut list isEmpty!", "<switchDevice> currentSpeakerChanged, index:",
                                  "AiBoxPlayer currentIndexChanged:" };
const ChoiceKind kMicrophoneChoice { AGORA_DEVICE_MICROPHONE, &AgoraDeviceDetecting::setRecordingDevice,
                                     "device recording list isEmpty!",
                                     "<switchDevice> currentMicrophoneChanged, index:",
                                     "AiBoxSpeaker currentIndexChanged:" };
const ChoiceKind kCameraChoice { AGORA_DEVICE_CAMERA, &AgoraDeviceDetecting::setVideoDevice,
                                 "device video list isEmpty!", "<switchDevice> currentCameraChanged, index:",
                                 "AiBoxVideo currentIndexChanged:" };

// The device at index of devices is put in use and saved for the next
// start; applied remembers its name.
void chooseDevice(AgoraDeviceDetecting *service, const ChoiceKind &kind, const QVariantMap &devices, int index,
                  QString *applied)
{
    if (devices.isEmpty()) {
        qInfo("%s", kind.noList);
        return;
    }
    qInfo() << kind.changed << index;
    Choice choice;
    if (!pick(devices, index, &choice))
        return;
    (service->*kind.apply)(choice.id);
    *applied = choice.name;
    service->writeDeviceConfig(kind.type, choice.name, choice.id);
    qDebug() << kind.chosen << choice.name;
}

} // namespace

void DeviceSettingInClassWidget::slot_AiBoxPlayerCurrentIndexChanged(int index)
{
    chooseDevice(m_pDeviceDetecting, kSpeakerChoice, m_playoutDevices, index, &m_appliedPlayout);
}

void DeviceSettingInClassWidget::slot_AiBoxSpeakerCurrentIndexChanged(int index)
{
    chooseDevice(m_pDeviceDetecting, kMicrophoneChoice, m_recordingDevices, index, &m_appliedRecording);
}

void DeviceSettingInClassWidget::slot_AiBoxVideoCurrentIndexChanged(int index)
{
    chooseDevice(m_pDeviceDetecting, kCameraChoice, m_videoDevices, index, &m_appliedVideo);
}

void DeviceSettingInClassWidget::slot_AudioDeviceStateChanged(const char *, int, int)
{
}

void DeviceSettingInClassWidget::slot_VideoDeviceStateChanged(const char *, int, int)
{
}

void DeviceSettingInClassWidget::slot_audioPlayoutCollection(QVariantMap audioPlayoutMap)
{
    if (audioPlayoutMap.value(QStringLiteral("length")).toInt() < 1)
        return;
    m_playoutDevices = audioPlayoutMap;
    setPlayoutDeviceBox(audioPlayoutMap);
}

void DeviceSettingInClassWidget::slot_audioRecordCollection(QVariantMap audioInputMap)
{
    if (audioInputMap.value(QStringLiteral("length")).toInt() < 1)
        return;
    m_recordingDevices = audioInputMap;
    setRecordingDeviceBox(audioInputMap);
}

void DeviceSettingInClassWidget::slot_videoDeviceCollection(QVariantMap videoDeviceMap)
{
    if (videoDeviceMap.value(QStringLiteral("length")).toInt() < 1)
        return;
    m_videoDevices = videoDeviceMap;
    setVideoDeviceBox(videoDeviceMap);
}

void DeviceSettingInClassWidget::on_closePushButton_clicked()
{
    close();
}

void DeviceSettingInClassWidget::slot_receiveSwitchDevice(ImMsgInfo info, SwitchDevice deviceInfo)
{
    Q_UNUSED(info)
    if (deviceInfo.uid != Singleton<GlobalCurrentUser>::instance()->getUid())
        return;
    m_pendingSwitch = deviceInfo;
    // Compact JSON with the keys in the message's order.
    const QString text = QStringLiteral("{\"uid\":%1,\"classid\":%2,\"deviceType\":%3,\"deviceId\":%4,\"deviceName\":%5,\"alertMsg\":%6}")
                             .arg(jsonText(deviceInfo.uid), jsonText(deviceInfo.classid))
                             .arg(deviceInfo.deviceType)
                             .arg(jsonText(deviceInfo.deviceId), jsonText(deviceInfo.deviceName), jsonText(deviceInfo.alertMsg));
    qInfo().noquote() << "<switchDevice> slot_receiveSwitchDevice, strJsoin:" << text;
    QTimer::singleShot(Durations::ms(kSwitchDelayMs), this, &DeviceSettingInClassWidget::slot_switchDevice);
}

void DeviceSettingInClassWidget::slot_switchDevice()
{
    qInfo().noquote() << QStringLiteral("<switchDevice> deviceType:%1, deviceId:%2, deviceName:%3")
                             .arg(m_pendingSwitch.deviceType)
                             .arg(m_pendingSwitch.deviceId, m_pendingSwitch.deviceName);
    QComboBox *box = nullptr;
    switch (m_pendingSwitch.deviceType) {
    case 1:
        box = ui->AiBoxPlayer;
        break;
    case 2:
        box = ui->AiBoxMicro;
        break;
    case 3:
        box = ui->AiBoxCamera;
        break;
    default:
        return;
    }
    box->setCurrentText(m_pendingSwitch.deviceName);
}
