#include "widgetvideoitemt.h"
#include "ui_widgetvideoitem.h"

#include "biz/im/agora/videosdk.h"
#include "widget/widgetvideotoolteacherrole.h"

WidgetVideoItemT::WidgetVideoItemT(QWidget *parent)
    : WidgetVideoItem(parent)
{
    ui->widgetPraise->hide();
    auto *tool = new WidgetVideoToolTeacherRole(this);
    setTool(tool);
    showTool(false);
    connect(tool, &WidgetVideoToolTeacherRole::signal_setEnableVideo, this, &WidgetVideoItemT::slot_setEnableVideo);
    setAlertText(QStringLiteral("Loading the camera..."));
    qInfo("videoTxt constructor WidgetVideoItemT: Loading the camera...");
}

WidgetVideoItemT::~WidgetVideoItemT() = default;

void WidgetVideoItemT::slot_setEnableVideo(bool bEnable)
{
    VideoSDK::instance()->muteLocalVideo(!bEnable);
    muteVideo(!bEnable);
}
