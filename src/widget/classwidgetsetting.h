#ifndef CLASSWIDGETSETTING_H
#define CLASSWIDGETSETTING_H

#include <QWidget>

class DeviceSettingInClassWidget;

namespace Ui {
class ClassWidgetSetting;
}

// The classroom's small device bar: both buttons open the in-class device
// window; a device plugged in or removed shows a tip at its button.
class ClassWidgetSetting : public QWidget
{
    Q_OBJECT

public:
    explicit ClassWidgetSetting(QWidget *parent = nullptr);
    ~ClassWidgetSetting() override;

    DeviceSettingInClassWidget *deviceSettingWindow() const { return m_deviceSetting; }

public slots:
    void on_btnCamera_clicked();
    void on_btnAudio_clicked();
    void slot_AudioDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);

private:
    void openDeviceSetting();
    void showPluggedTip(QWidget *button);

    Ui::ClassWidgetSetting *ui;
    DeviceSettingInClassWidget *m_deviceSetting;
};

#endif // CLASSWIDGETSETTING_H
