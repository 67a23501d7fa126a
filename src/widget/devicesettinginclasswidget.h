#ifndef DEVICESETTINGINCLASSWIDGET_H
#define DEVICESETTINGINCLASSWIDGET_H

#include "mgr/message/controlmessages.h"
#include "mgr/message/immsginfo.h"
#include "utility/widget/basemainwidget.h"

#include <QVariantMap>

class AgoraDeviceDetecting;

namespace Ui {
class DeviceSettingInClassWidget;
}

// The in-class device window: speaker, microphone and camera chosen from
// three lists fed by the device service, each choice applied at once and
// remembered. A device switch ordered remotely for the signed-in user is
// applied by name 5000 ms after it arrives.
class DeviceSettingInClassWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit DeviceSettingInClassWidget(QWidget *parent = nullptr);
    ~DeviceSettingInClassWidget() override;

    void setPlayoutDeviceBox(const QVariantMap &map);
    void setRecordingDeviceBox(const QVariantMap &map);
    void setVideoDeviceBox(const QVariantMap &map);

public slots:
    void slot_AiBoxSpeakerCurrentIndexChanged(int index);
    void slot_AiBoxPlayerCurrentIndexChanged(int index);
    void slot_AiBoxVideoCurrentIndexChanged(int index);
    void slot_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_audioPlayoutCollection(QVariantMap audioPlayoutMap);
    void slot_audioRecordCollection(QVariantMap audioInputMap);
    void slot_videoDeviceCollection(QVariantMap videoDeviceMap);
    void on_closePushButton_clicked();
    void slot_receiveSwitchDevice(ImMsgInfo info, SwitchDevice deviceInfo);
    void slot_switchDevice();

private:
    Ui::DeviceSettingInClassWidget *ui;
    AgoraDeviceDetecting *m_pDeviceDetecting = nullptr;
    QVariantMap m_videoDevices;
    QVariantMap m_recordingDevices;
    QVariantMap m_playoutDevices;
    SwitchDevice m_pendingSwitch;
    // The device of each kind this window applied last. The service reads
    // the devices in use only some time after a change, so a refill in
    // between keeps this one rather than going back to the older device.
    QString m_appliedPlayout;
    QString m_appliedRecording;
    QString m_appliedVideo;
};

#endif // DEVICESETTINGINCLASSWIDGET_H
