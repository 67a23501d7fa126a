#include "devicedetectingwidget.h"
#include "ui_devicedetectingwidget.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/translatelanguage.h"
#include "utility/widget/promptmessagewidget.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>

namespace {

const int kVolumeIntervalMs = 50;
const int kToastSeconds = 3;
const char kCurrentStyle[] = "QLabel{color: #ffffff;font-size: 12px;border-radius: 18.5px;background-color: #f06450;}";
const char kPlainStyle[] = "QLabel{color: #666666;font-size: 12px;border-radius: 18.5px;}";

// This system has no Windows older than 7: the speaker test page with its
// test sound is always the one shown.
bool olderThanWindows7()
{
    return false;
}

} // namespace

DeviceDetectingWidget::DeviceDetectingWidget(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::DeviceDetectingWidget)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    ui->tabWidgetOut->tabBar()->hide();
    ui->tabWidgetIn->tabBar()->hide();
    ui->tabWidgetOut->setCurrentIndex(0);
    ui->tabWidgetIn->setCurrentIndex(0);

    m_pDeviceDetecting = Singleton<AgoraDeviceDetecting>::instance();
    m_pDeviceDetecting->initDevice();
    m_pDeviceDetecting->startEnumDevices();
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_currentAudioVolume, this, &DeviceDetectingWidget::slot_currentAudioVolume);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_AudioDeviceStateChanged, this,
            &DeviceDetectingWidget::slot_AudioDeviceStateChanged);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_VideoDeviceStateChanged, this,
            &DeviceDetectingWidget::slot_VideoDeviceStateChanged);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_audioPlayoutCollection, this,
            &DeviceDetectingWidget::slot_audioPlayoutCollection);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_audioRecordCollection, this,
            &DeviceDetectingWidget::slot_audioRecordCollection);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_videoDeviceCollection, this,
            &DeviceDetectingWidget::slot_videoDeviceCollection);
}

DeviceDetectingWidget::~DeviceDetectingWidget()
{
    // Destroyed without being closed: the tests end here all the same,
    // before the camera view goes.
    if (m_pDeviceDetecting) {
        m_pDeviceDetecting->recordingDeviceTest(false, kVolumeIntervalMs);
        m_pDeviceDetecting->playbackDeviceTest(false, QString());
        m_pDeviceDetecting->videoDeviceTest(false, ui->widgetVideo);
    }
    delete ui;
}

void DeviceDetectingWidget::switchStep(const DEVICEDETECTIN_TYPE &type, const bool &isSave)
{
    switch (type) {
    case DEVICEDETECTIN_PLAYER:
        ui->tabWidgetOut->setCurrentIndex(1);
        ui->tabWidgetIn->setCurrentIndex(olderThanWindows7() ? 0 : 1);
        enterStep(type, isSave);
        break;
    case DEVICEDETECTIN_MICROPHONE:
    case DEVICEDETECTIN_CAMERA:
    case DEVICEDETECTIN_REPORT:
        ui->tabWidgetIn->setCurrentIndex(int(type));
        enterStep(type, isSave);
        break;
    case DEVICEDETECTIN_FINISH:
        if (isSave)
            closeSequence();
        else
            ui->tabWidgetOut->setCurrentIndex(0);
        break;
    default:
        break;
    }
}

void DeviceDetectingWidget::enterStep(const DEVICEDETECTIN_TYPE &type, const bool &isSave)
{
    saveCurrentChoose(type, isSave);
    switch (type) {
    case DEVICEDETECTIN_PLAYER:
        loadDeviceList(AGORA_DEVICE_SPEAKER);
        setStepTitleStyle(ui->labelPlayerTitle, ui->labelDetectingFinish);
        break;
    case DEVICEDETECTIN_PLAYER_TEST:
    case DEVICEDETECTIN_MICROPHONE:
        if (m_isPlaying)
            on_pushButtonPlayStart_clicked();
        loadDeviceList(AGORA_DEVICE_MICROPHONE);
        if (!m_recordingDevices.isEmpty() && m_pDeviceDetecting)
            m_pDeviceDetecting->recordingDeviceTest(true, kVolumeIntervalMs);
        setStepTitleStyle(ui->labelSpeakerTitle, ui->labelPlayerTitle);
        break;
    case DEVICEDETECTIN_CAMERA:
        if (m_pDeviceDetecting)
            m_pDeviceDetecting->recordingDeviceTest(false, kVolumeIntervalMs);
        loadDeviceList(AGORA_DEVICE_CAMERA);
        if (!m_videoDevices.isEmpty() && m_pDeviceDetecting)
            m_pDeviceDetecting->videoDeviceTest(true, ui->widgetVideo);
        setStepTitleStyle(ui->labelVideoTitle, ui->labelSpeakerTitle);
        break;
    case DEVICEDETECTIN_REPORT:
        if (m_pDeviceDetecting)
            m_pDeviceDetecting->videoDeviceTest(false, ui->widgetVideo);
        setStepTitleStyle(ui->labelDetectingFinish, ui->labelVideoTitle);
        showTestReport();
        break;
    default:
        break;
    }
}

void DeviceDetectingWidget::saveCurrentChoose(const DEVICEDETECTIN_TYPE &type, const bool &isSave)
{
    bool *flag = nullptr;
    int kind = 0;
    QString typeName;
    switch (type) {
    case DEVICEDETECTIN_PLAYER_TEST:
    case DEVICEDETECTIN_MICROPHONE:
        flag = &m_playoutOk;
        kind = AGORA_DEVICE_SPEAKER;
        typeName = QStringLiteral("Playout");
        break;
    case DEVICEDETECTIN_CAMERA:
        flag = &m_recordOk;
        kind = AGORA_DEVICE_MICROPHONE;
        typeName = QStringLiteral("Microphone");
        break;
    case DEVICEDETECTIN_REPORT:
        flag = &m_videoOk;
        kind = AGORA_DEVICE_CAMERA;
        typeName = QStringLiteral("Camera");
        break;
    default:
        break;
    }
    if (flag) {
        *flag = isSave;
        if (!isSave) {
            m_currentDeviceName.clear();
            m_currentDeviceId.clear();
            m_currentDeviceKind = 0;
        } else if (m_currentDeviceKind == kind && m_pDeviceDetecting) {
            m_pDeviceDetecting->writeDeviceConfig(AGORA_DEVICE_TYPE(kind), m_currentDeviceName, m_currentDeviceId);
        } else {
            // The step had no device of its own kind to choose.
            qInfo("saveCurrentChoose: no %s was chosen, nothing remembered", qUtf8Printable(typeName));
        }
    }
    qInfo() << "saveCurrentChoose currentDeviceName:" << m_currentDeviceName;
    ActionLog::instance()->NormalInfo(QStringLiteral("save_current_choose_device"),
                                      QStringLiteral("{isSave:%1, deviceTypeName:%2}").arg(isSave ? 1 : 0).arg(typeName));
}

void DeviceDetectingWidget::loadDeviceList(int deviceType)
{
    m_currentDeviceType = deviceType;
    if (!m_pDeviceDetecting)
        return;
    QString missing;
    switch (deviceType) {
    case AGORA_DEVICE_MICROPHONE:
        m_recordingDevices = m_pDeviceDetecting->getRecordingDeviceCollection();
        if (!m_recordingDevices.isEmpty())
            setRecordingDeviceBox(m_recordingDevices);
        else
            missing = QStringLiteral("notanymicrophonedevices");
        break;
    case AGORA_DEVICE_SPEAKER:
        m_playoutDevices = m_pDeviceDetecting->getPlayoutDeviceCollection();
        if (m_playoutDevices.isEmpty())
            missing = QStringLiteral("notanyspeakerdevices");
        else if (olderThanWindows7())
            setPlayoutDeviceBox_XP(m_playoutDevices);
        else
            setPlayoutDeviceBox(m_playoutDevices);
        break;
    case AGORA_DEVICE_CAMERA:
        m_videoDevices = m_pDeviceDetecting->getVideoDeviceCollection();
        if (!m_videoDevices.isEmpty())
            setVideoDeviceBox(m_videoDevices);
        else
            missing = QStringLiteral("notpluggedcameradevice");
        break;
    default:
        break;
    }
    if (!missing.isEmpty())
        showPromptMessage(Translatelanguage::instance()->getText(missing, Translatelanguage::LanguageDefault), this,
                          kToastSeconds, false);
}

namespace {

// Refills box with the names of map, selects the remembered name of kind
// (else the first) and applies it through handler, also when the index
// did not change.
template<typename Handler>
void fillBox(QComboBox *box, const QVariantMap &map, const QString &remembered, DeviceDetectingWidget *window, Handler handler,
             const char *logText)
{
    const QStringList names = map.value(QStringLiteral("name")).toStringList();
    QObject::disconnect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), window, handler);
    box->clear();
    for (const QString &name : names) {
        qDebug() << logText << name;
        box->addItem(name);
    }
    QObject::connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), window, handler);
    const int index = qMax(0, names.indexOf(remembered));
    box->setCurrentIndex(index);
    (window->*handler)(index);
}

} // namespace

void DeviceDetectingWidget::setPlayoutDeviceBox(const QVariantMap &map)
{
    fillBox(ui->AiBoxPlayer, map, m_pDeviceDetecting ? m_pDeviceDetecting->readDeviceNameConfig(AGORA_DEVICE_SPEAKER) : QString(),
            this, &DeviceDetectingWidget::slot_AiBoxPlayerCurrentIndexChanged, "names:");
}

void DeviceDetectingWidget::setPlayoutDeviceBox_XP(const QVariantMap &map)
{
    fillBox(ui->AiBoxPlayer_xp, map, m_pDeviceDetecting ? m_pDeviceDetecting->readDeviceNameConfig(AGORA_DEVICE_SPEAKER) : QString(),
            this, &DeviceDetectingWidget::slot_AiBoxPlayerCurrentIndexChanged, "names:");
}

void DeviceDetectingWidget::setRecordingDeviceBox(const QVariantMap &map)
{
    fillBox(ui->AiBoxSpeaker, map, m_pDeviceDetecting ? m_pDeviceDetecting->readDeviceNameConfig(AGORA_DEVICE_MICROPHONE) : QString(),
            this, &DeviceDetectingWidget::slot_AiBoxSpeakerCurrentIndexChanged, "setRecordingDeviceBox names:");
}

void DeviceDetectingWidget::setVideoDeviceBox(const QVariantMap &map)
{
    fillBox(ui->AiBoxVideo, map, m_pDeviceDetecting ? m_pDeviceDetecting->readDeviceNameConfig(AGORA_DEVICE_CAMERA) : QString(),
            this, &DeviceDetectingWidget::slot_AiBoxVideoCurrentIndexChanged, "names:");
}

void DeviceDetectingWidget::applyChoice(int kind, const QVariantMap &devices, int index, const char *record, const char *logText)
{
    const QStringList ids = devices.value(QStringLiteral("guid")).toStringList();
    const QStringList names = devices.value(QStringLiteral("name")).toStringList();
    if (index < 0 || index >= ids.size() || index >= names.size() || !m_pDeviceDetecting)
        return;
    m_currentDeviceId = ids.at(index);
    if (kind == AGORA_DEVICE_SPEAKER)
        m_pDeviceDetecting->setPlayoutDevice(m_currentDeviceId);
    else if (kind == AGORA_DEVICE_MICROPHONE)
        m_pDeviceDetecting->setRecordingDevice(m_currentDeviceId);
    else
        m_pDeviceDetecting->setVideoDevice(m_currentDeviceId);
    m_currentDeviceName = names.at(index);
    m_currentDeviceKind = kind;
    ActionLog::instance()->NormalInfo(QString::fromLatin1(record),
                                      QStringLiteral("{name:%1, id:%2}").arg(m_currentDeviceName, m_currentDeviceId));
    qDebug() << logText << m_currentDeviceName;
}

void DeviceDetectingWidget::slot_AiBoxPlayerCurrentIndexChanged(int index)
{
    applyChoice(AGORA_DEVICE_SPEAKER, m_playoutDevices, index, "AiBoxPlayer_currentIndexChanged", "AiBoxPlayer currentIndexChanged:");
}

void DeviceDetectingWidget::slot_AiBoxSpeakerCurrentIndexChanged(int index)
{
    applyChoice(AGORA_DEVICE_MICROPHONE, m_recordingDevices, index, "AiBoxSpeaker_currentIndexChanged",
                "AiBoxSpeaker currentIndexChanged:");
}

void DeviceDetectingWidget::slot_AiBoxVideoCurrentIndexChanged(int index)
{
    applyChoice(AGORA_DEVICE_CAMERA, m_videoDevices, index, "AiBoxVideo_currentIndexChanged", "AiBoxVideo currentIndexChanged:");
}

QString DeviceDetectingWidget::getAudioTestFile()
{
    const QString path = QCoreApplication::applicationDirPath() + RolePolicy::current().deviceTestSound;
    qInfo() << "filePath:" << path;
    return path;
}

void DeviceDetectingWidget::on_pushButtonPlayStart_clicked()
{
    if (m_isPlaying) {
        m_isPlaying = false;
        ui->widgetPlayTitle->show();
        ui->pushButtonPlayStart->setStyleSheet(QStringLiteral("border-image: url(:/image/setting/speakerOn.png);"));
    } else {
        m_isPlaying = true;
        ui->widgetPlayTitle->hide();
        ui->pushButtonPlayStart->setStyleSheet(QStringLiteral("border-image: url(:/image/setting/SpeakerPause.png);"));
    }
    const int result = m_pDeviceDetecting ? m_pDeviceDetecting->playbackDeviceTest(m_isPlaying, getAudioTestFile()) : -1;
    qInfo() << "pushButtonPlayStart errorNum:" << result;
}

void DeviceDetectingWidget::slot_currentAudioVolume(uint currentUid, uint totalVolume)
{
    ui->progressBarSpeaker->setRange(0, 255);
    ui->progressBarSpeaker->setValue(int(totalVolume));
    qDebug() << "slot_currentAudioVolume currentUid:" << currentUid << "totalVolume:" << totalVolume;
}

void DeviceDetectingWidget::slot_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    Q_UNUSED(deviceId)
    Q_UNUSED(deviceState)
    m_currentDeviceType = 3;
    qInfo() << "slot_AudioDeviceStateChanged:" << deviceType;
}

void DeviceDetectingWidget::slot_VideoDeviceStateChanged(const char *, int, int)
{
    loadDeviceList(AGORA_DEVICE_CAMERA);
    qInfo("slot_VideoDeviceStateChanged...");
}

void DeviceDetectingWidget::slot_audioPlayoutCollection(QVariantMap audioPlayoutMap)
{
    if (audioPlayoutMap.isEmpty())
        return;
    m_playoutDevices = audioPlayoutMap;
    if (m_currentDeviceType == AGORA_DEVICE_SPEAKER)
        setPlayoutDeviceBox(audioPlayoutMap);
}

void DeviceDetectingWidget::slot_audioRecordCollection(QVariantMap audioInputMap)
{
    if (audioInputMap.isEmpty())
        return;
    m_recordingDevices = audioInputMap;
    if (m_currentDeviceType == AGORA_DEVICE_MICROPHONE)
        setRecordingDeviceBox(audioInputMap);
}

void DeviceDetectingWidget::slot_videoDeviceCollection(QVariantMap videoDeviceMap)
{
    if (videoDeviceMap.isEmpty())
        return;
    m_videoDevices = videoDeviceMap;
    if (m_currentDeviceType == AGORA_DEVICE_CAMERA)
        setVideoDeviceBox(videoDeviceMap);
}

void DeviceDetectingWidget::setStepTitleStyle(QLabel *current, QLabel *previous)
{
    if (current)
        current->setStyleSheet(QLatin1String(kCurrentStyle));
    if (previous)
        previous->setStyleSheet(QLatin1String(kPlainStyle));
}

void DeviceDetectingWidget::showTestReport()
{
    if (m_playoutOk && m_recordOk && m_videoOk) {
        ui->labelDeviceFault->hide();
        ui->labelClassType->show();
        ui->pushButtonRestart->hide();
    } else {
        ui->labelDeviceFault->show();
        ui->labelClassType->hide();
    }
    const QPixmap good(QStringLiteral(":/image/setting/icon_Good.png"));
    const QPixmap fault(QStringLiteral(":/image/setting/icon_Fault.png"));
    ui->labelPlayerType->setPixmap(m_playoutOk ? good : fault);
    ui->labelSpeakerType->setPixmap(m_recordOk ? good : fault);
    ui->labelVideoType->setPixmap(m_videoOk ? good : fault);
    ui->labelPlayerType->setProperty("passed", m_playoutOk);
    ui->labelSpeakerType->setProperty("passed", m_recordOk);
    ui->labelVideoType->setProperty("passed", m_videoOk);
}

void DeviceDetectingWidget::closeSequence()
{
    if (m_closing)
        return;
    stopForClose();
    close();
}

void DeviceDetectingWidget::stopForClose()
{
    m_closing = true;
    emit signal_close();
    if (m_pDeviceDetecting) {
        m_pDeviceDetecting->recordingDeviceTest(false, kVolumeIntervalMs);
        m_pDeviceDetecting->playbackDeviceTest(false, QString());
        // The camera test draws into this window's view: it ends with it.
        m_pDeviceDetecting->videoDeviceTest(false, ui->widgetVideo);
        m_pDeviceDetecting = nullptr;
    }
}

void DeviceDetectingWidget::closeEvent(QCloseEvent *event)
{
    // Closed by the window system: the same sequence, once.
    if (!m_closing)
        stopForClose();
    BaseMainWidget::closeEvent(event);
}

void DeviceDetectingWidget::on_pushButtonStart_clicked()
{
    switchStep(DEVICEDETECTIN_PLAYER, true);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_user_begin_test_device"), QStringLiteral("{}"));
}

void DeviceDetectingWidget::on_pushButtonPlayerOn_clicked()
{
    switchStep(DEVICEDETECTIN_MICROPHONE, true);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_test_device_player"), QStringLiteral("{result:1}"));
}

void DeviceDetectingWidget::on_pushButtonPlayerOff_clicked()
{
    switchStep(DEVICEDETECTIN_MICROPHONE, false);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_test_device_player"), QStringLiteral("{result:0}"));
}

void DeviceDetectingWidget::on_pushButtonPlayerOn_xp_clicked()
{
    switchStep(DEVICEDETECTIN_MICROPHONE, true);
}

void DeviceDetectingWidget::on_pushButtonPlayerOff_xp_clicked()
{
    switchStep(DEVICEDETECTIN_MICROPHONE, false);
}

void DeviceDetectingWidget::on_pushButtonSpeakerOn_clicked()
{
    switchStep(DEVICEDETECTIN_CAMERA, true);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_test_device_microphone"), QStringLiteral("{result:1}"));
}

void DeviceDetectingWidget::on_pushButtonSpeakerOff_clicked()
{
    switchStep(DEVICEDETECTIN_CAMERA, false);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_test_device_microphone"), QStringLiteral("{result:0}"));
}

void DeviceDetectingWidget::on_pushButtonVideoOn_clicked()
{
    switchStep(DEVICEDETECTIN_REPORT, true);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_test_device_camera"), QStringLiteral("{result:1}"));
}

void DeviceDetectingWidget::on_pushButtonVideoOff_clicked()
{
    switchStep(DEVICEDETECTIN_REPORT, false);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_test_device_camera"), QStringLiteral("{result:0}"));
}

void DeviceDetectingWidget::on_pushButtonFinish_clicked()
{
    switchStep(DEVICEDETECTIN_FINISH, true);
}

void DeviceDetectingWidget::on_pushButtonRestart_clicked()
{
    switchStep(DEVICEDETECTIN_FINISH, false);
}

void DeviceDetectingWidget::on_pushButtonClose_clicked()
{
    closeSequence();
}

void DeviceDetectingWidget::on_pushButtonClosed_clicked()
{
    closeSequence();
}
