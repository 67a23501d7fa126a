#include "widgetvideotoolteacherrole.h"
#include "ui_widgetvideotoolteacherrole.h"

#include "biz/im/agora/videosdk.h"

WidgetVideoToolTeacherRole::WidgetVideoToolTeacherRole(QWidget *parent)
    : WidgetVideoTool(parent)
    , ui(new Ui::WidgetVideoToolTeacherRole)
{
    ui->setupUi(this);
    setAudioWidgets(ui->btnAudio, ui->widget_bg);
    showTool(false, false);
}

WidgetVideoToolTeacherRole::~WidgetVideoToolTeacherRole()
{
    delete ui;
}

void WidgetVideoToolTeacherRole::showTool(bool show, bool inChannel)
{
    if (!inChannel) {
        ui->btnVideo->hide();
        ui->widget_bg->hide();
        return;
    }
    ui->widget_bg->show();
    if (isTeacherProgram()) {
        ui->btnVideo->setVisible(show);
    } else {
        ui->btnVideo->hide();
        ui->btnAudio->setEnabled(false);
    }
}

void WidgetVideoToolTeacherRole::on_btnVideo_clicked()
{
    qInfo("on_btnAudio_clicked");
    m_videoOn = !m_videoOn;
    // The camera button writes the microphone's record name.
    logFlag(QStringLiteral("click_teacher_mute_audio"), m_videoOn);
    emit signal_setEnableVideo(m_videoOn);
}

void WidgetVideoToolTeacherRole::on_btnAudio_clicked()
{
    qInfo("on_btnAudio_clicked");
    m_audioOn = !m_audioOn;
    logFlag(QStringLiteral("click_teacher_mute_audio"), m_audioOn);
    VideoSDK::instance()->muteLocalAudio(!m_audioOn);
}
