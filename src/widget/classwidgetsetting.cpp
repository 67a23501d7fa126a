#include "classwidgetsetting.h"
#include "ui_classwidgetsetting.h"

#include "biz/im/agora/videosdk.h"
#include "utility/translatelanguage.h"
#include "widget/devicesettinginclasswidget.h"

#include <QEventLoop>
#include <QFont>
#include <QToolTip>

namespace {

const int kTipMs = 6000;
const int kTipPointSize = 14;

} // namespace

ClassWidgetSetting::ClassWidgetSetting(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ClassWidgetSetting)
    , m_deviceSetting(new DeviceSettingInClassWidget(nullptr))
{
    ui->setupUi(this);
    VideoSDK *sdk = VideoSDK::instance();
    connect(sdk, &VideoSDK::signal_AudioDeviceStateChanged, this, &ClassWidgetSetting::slot_AudioDeviceStateChanged);
    connect(sdk, &VideoSDK::signal_VideoDeviceStateChanged, this, &ClassWidgetSetting::slot_VideoDeviceStateChanged);
}

ClassWidgetSetting::~ClassWidgetSetting()
{
    delete m_deviceSetting;
    delete ui;
}

void ClassWidgetSetting::openDeviceSetting()
{
    if (!m_deviceSetting)
        return;
    m_deviceSetting->setWindowModality(Qt::ApplicationModal);
    m_deviceSetting->show();
    QEventLoop loop;
    connect(m_deviceSetting, SIGNAL(signal_close()), &loop, SLOT(quit()));
    loop.exec(QEventLoop::DialogExec);
}

void ClassWidgetSetting::on_btnCamera_clicked()
{
    openDeviceSetting();
}

void ClassWidgetSetting::on_btnAudio_clicked()
{
    openDeviceSetting();
}

void ClassWidgetSetting::showPluggedTip(QWidget *button)
{
    QFont font = QToolTip::font();
    font.setPointSize(kTipPointSize);
    QToolTip::setFont(font);
    QToolTip::showText(button->mapToGlobal(QPoint(0, 0)),
                       Translatelanguage::instance()->getText(QStringLiteral("pluggedout"), Translatelanguage::LanguageDefault),
                       button, QRect(), kTipMs);
}

void ClassWidgetSetting::slot_AudioDeviceStateChanged(const char *, int, int)
{
    showPluggedTip(ui->btnAudio);
}

void ClassWidgetSetting::slot_VideoDeviceStateChanged(const char *, int, int)
{
    showPluggedTip(ui->btnCamera);
}
