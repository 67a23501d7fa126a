#include "widgetvideoitems.h"
#include "ui_widgetvideoitem.h"

#include "utility/actionlog.h"
#include "utility/translatelanguage.h"
#include "widget/widgetvideotoolstudentrole.h"

WidgetVideoItemS::WidgetVideoItemS(QWidget *parent)
    : WidgetVideoItem(parent)
    , m_studentTool(new WidgetVideoToolStudentRole(this))
{
    ui->widgetPraise->show();
    setTool(m_studentTool);
    showTool(false);
    connect(m_studentTool, &WidgetVideoToolStudentRole::signal_switchBigVideo, this, &WidgetVideoItemS::slot_switchBigVideo);
    connect(m_studentTool, &WidgetVideoToolStudentRole::signal_switchSmallVideo, this, &WidgetVideoItemS::slot_switchSmallVideo);
    connect(m_studentTool, &WidgetVideoToolStudentRole::signal_setEnableAudio, this, &WidgetVideoItemS::slot_setEnableAudio);
    connect(m_studentTool, &WidgetVideoToolStudentRole::signal_setEnableDraw, this, &WidgetVideoItemS::slot_setEnableDraw);
    connect(m_studentTool, &WidgetVideoToolStudentRole::signal_clickePraise, this, &WidgetVideoItemS::slot_clickePraise);
    connect(m_studentTool, &WidgetVideoToolStudentRole::signal_setEnableVideo, this, &WidgetVideoItemS::slot_setEnableVideo);
    setAlertText(Translatelanguage::instance()->getText(QStringLiteral("notcomingyet")));
    qInfo("videoTxt constructor WidgetVideoItemS: this:%p", static_cast<void *>(this));
}

WidgetVideoItemS::~WidgetVideoItemS() = default;

void WidgetVideoItemS::switchSmallVideo()
{
    WidgetVideoItem::switchSmallVideo();
    setZoomChecked(false);
}

void WidgetVideoItemS::setEnableSelectBtn(bool enable)
{
    qInfo("<selectSomeOne> pTool:%p, enable:%d", static_cast<void *>(m_studentTool), enable ? 1 : 0);
    m_studentTool->setZoomEnabled(enable);
}

void WidgetVideoItemS::setZoomChecked(bool checked)
{
    m_studentTool->setZoomChecked(checked);
    // The tool bar shows itself as for a present student under the mouse;
    // only the tile knows whether the student is there and hovered.
    showTool(underMouse());
}

void WidgetVideoItemS::setVideoChecked(bool checked)
{
    m_studentTool->setVideoChecked(checked);
}

WidgetVideoToolStudentRole *WidgetVideoItemS::studentTool() const
{
    return m_studentTool;
}

void WidgetVideoItemS::slot_setEnableAudio(bool enable)
{
    emit signal_setEnableAudio(m_user.uid, enable);
}

void WidgetVideoItemS::slot_setEnableDraw(bool enable)
{
    emit signal_setEnableDraw(m_user.uid, enable);
}

void WidgetVideoItemS::slot_setEnableVideo(bool bEnable)
{
    // Hides the student on this screen only; nothing is sent.
    muteVideo(!bEnable);
    setAlertText(bEnable ? QString() : QStringLiteral("%1's video is hidden").arg(m_user.userName));
}

void WidgetVideoItemS::slot_switchSmallVideo()
{
    setAlertText(QString());
    switchSmallVideo();
    emit signal_switchSmallVideo(this);
}

void WidgetVideoItemS::slot_switchBigVideo()
{
    muteVideo(false);
    m_studentTool->setVideoChecked(false);
    update();
    ActionLog::instance()->ClickInfo(QStringLiteral("click_select_person"), QStringLiteral("{uid:%1}").arg(m_user.uid));
    emit signal_switchBigVideo(this);
}

void WidgetVideoItemS::slot_clickePraise()
{
    emit signal_clickePraise(m_user);
}
