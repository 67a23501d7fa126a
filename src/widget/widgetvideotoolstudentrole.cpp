#include "widgetvideotoolstudentrole.h"
#include "ui_widgetvideotoolstudentrole.h"

#include "utility/actionlog.h"

WidgetVideoToolStudentRole::WidgetVideoToolStudentRole(QWidget *parent)
    : WidgetVideoTool(parent)
    , ui(new Ui::WidgetVideoToolStudentRole)
{
    ui->setupUi(this);
    setAudioWidgets(ui->btnAudio, ui->widget_bg);
    showTool(false, false);
}

WidgetVideoToolStudentRole::~WidgetVideoToolStudentRole()
{
    delete ui;
}

void WidgetVideoToolStudentRole::showTool(bool show, bool inChannel)
{
    if (!inChannel) {
        ui->btnDraw->hide();
        ui->btnPraise->hide();
        ui->btnZoom->hide();
        ui->widget_bg->hide();
        ui->btnVideo->hide();
        return;
    }
    ui->widget_bg->show();
    if (!isTeacherProgram()) {
        ui->btnDraw->hide();
        ui->btnPraise->hide();
        ui->btnZoom->hide();
        ui->widget_spacer->hide();
        ui->btnVideo->hide();
        ui->btnAudio->setEnabled(false);
        return;
    }
    if (m_zoomed) {
        // Only the button that brings the student back stays, on the right.
        ui->widget_bg->hide();
        ui->btnDraw->hide();
        ui->btnPraise->hide();
        ui->btnVideo->hide();
        ui->btnZoom->show();
        ui->widget_spacer->show();
        return;
    }
    ui->btnDraw->setVisible(show);
    ui->btnPraise->setVisible(show);
    ui->btnZoom->setVisible(show);
    ui->btnVideo->setVisible(show);
    ui->widget_spacer->hide();
}

void WidgetVideoToolStudentRole::setZoomChecked(bool checked)
{
    ui->btnZoom->setChecked(checked);
    m_zoomed = checked;
    showTool(true, true);
}

void WidgetVideoToolStudentRole::setVideoChecked(bool checked)
{
    ui->btnVideo->setChecked(checked);
    m_videoOn = !checked;
}

void WidgetVideoToolStudentRole::setZoomEnabled(bool enabled)
{
    ui->btnZoom->setEnabled(enabled);
}

void WidgetVideoToolStudentRole::on_btnAudio_clicked()
{
    qInfo("on_btnAudio_clicked");
    m_audioOn = !m_audioOn;
    logFlag(QStringLiteral("click_teacher_mute_audio"), m_audioOn);
    emit signal_setEnableAudio(m_audioOn);
}

void WidgetVideoToolStudentRole::on_btnDraw_clicked()
{
    m_drawOn = !m_drawOn;
    logFlag(QStringLiteral("click_teacher_mute_draw"), m_drawOn);
    emit signal_setEnableDraw(m_drawOn);
}

void WidgetVideoToolStudentRole::on_btnPraise_clicked()
{
    ActionLog::instance()->ClickInfo(QStringLiteral("click_praise"), QStringLiteral("{}"));
    emit signal_clickePraise();
}

void WidgetVideoToolStudentRole::on_btnZoom_clicked()
{
    if (m_zoomed) {
        // The tile clears the flag once the video is back in it.
        emit signal_switchSmallVideo();
        return;
    }
    emit signal_switchBigVideo();
    m_zoomed = true;
    showTool(true, true);
    logFlag(QStringLiteral("click_zoom"), true);
}

void WidgetVideoToolStudentRole::on_btnVideo_clicked()
{
    m_videoOn = !m_videoOn;
    emit signal_setEnableVideo(m_videoOn);
}
