#ifndef DEVICEDETECTINGWIDGET_H
#define DEVICEDETECTINGWIDGET_H

#include "utility/widget/basemainwidget.h"

#include <QVariantMap>

class AgoraDeviceDetecting;
class QLabel;

namespace Ui {
class DeviceDetectingWidget;
}

// The step codes of the device test: the step being entered.
enum DEVICEDETECTIN_TYPE {
    DEVICEDETECTIN_PLAYER = 0,      // the speaker step, from the start page
    DEVICEDETECTIN_PLAYER_TEST = 1, // the speaker-test page; as a step it does nothing
    DEVICEDETECTIN_MICROPHONE = 2,
    DEVICEDETECTIN_CAMERA = 3,
    DEVICEDETECTIN_REPORT = 4,
    DEVICEDETECTIN_FINISH = 5, // close (save) or back to the start page
};

// The pre-class device test: speaker, microphone and camera step by step,
// each with the device service's own test, then a report. Each device the
// user confirms is remembered as the device of its kind. Openers wait for
// signal_close(), which the close sequence emits once, however the window
// is closed.
class DeviceDetectingWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit DeviceDetectingWidget(QWidget *parent = nullptr);
    ~DeviceDetectingWidget() override;

    void switchStep(const DEVICEDETECTIN_TYPE &type, const bool &isSave);
    QString getAudioTestFile();

signals:
    void signal_close();

public slots:
    void on_pushButtonStart_clicked();
    void on_pushButtonPlayerOn_clicked();
    void on_pushButtonPlayerOff_clicked();
    void on_pushButtonPlayerOn_xp_clicked();
    void on_pushButtonPlayerOff_xp_clicked();
    void on_pushButtonSpeakerOn_clicked();
    void on_pushButtonSpeakerOff_clicked();
    void on_pushButtonVideoOn_clicked();
    void on_pushButtonVideoOff_clicked();
    void on_pushButtonFinish_clicked();
    void on_pushButtonRestart_clicked();
    void on_pushButtonPlayStart_clicked();
    void on_pushButtonClose_clicked();
    void on_pushButtonClosed_clicked();
    void slot_AiBoxPlayerCurrentIndexChanged(int index);
    void slot_AiBoxSpeakerCurrentIndexChanged(int index);
    void slot_AiBoxVideoCurrentIndexChanged(int index);
    void slot_currentAudioVolume(uint currentUid, uint totalVolume);
    void slot_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_audioPlayoutCollection(QVariantMap audioPlayoutMap);
    void slot_audioRecordCollection(QVariantMap audioInputMap);
    void slot_videoDeviceCollection(QVariantMap videoDeviceMap);

protected:
    // A close by the window system runs the close sequence too.
    void closeEvent(QCloseEvent *event) override;

private:
    void enterStep(const DEVICEDETECTIN_TYPE &type, const bool &isSave);
    void saveCurrentChoose(const DEVICEDETECTIN_TYPE &type, const bool &isSave);
    void loadDeviceList(int deviceType);
    void setPlayoutDeviceBox(const QVariantMap &map);
    void setPlayoutDeviceBox_XP(const QVariantMap &map);
    void setRecordingDeviceBox(const QVariantMap &map);
    void setVideoDeviceBox(const QVariantMap &map);
    void setStepTitleStyle(QLabel *current, QLabel *previous);
    void showTestReport();
    void closeSequence();
    void stopForClose();
    void applyChoice(int kind, const QVariantMap &devices, int index, const char *record, const char *logText);

    Ui::DeviceDetectingWidget *ui;
    AgoraDeviceDetecting *m_pDeviceDetecting = nullptr;
    QVariantMap m_videoDevices;
    QVariantMap m_recordingDevices;
    QVariantMap m_playoutDevices;
    bool m_isPlaying = false;
    bool m_playoutOk = false;
    bool m_recordOk = false;
    bool m_videoOk = false;
    QString m_currentDeviceName;
    QString m_currentDeviceId;
    int m_currentDeviceType = 0;
    // The kind (AGORA_DEVICE_TYPE) of the current name and id: a step saves
    // only a device of its own kind.
    int m_currentDeviceKind = 0;
    bool m_closing = false;
};

#endif // DEVICEDETECTINGWIDGET_H
