#include "teacherclasswidget.h"

#include "widget/teacher/widgetinteractionteacher.h"
#include "widget/teacher/widgetwhiteboardteacher.h"

#include <QResizeEvent>

TeacherClassWidget::TeacherClassWidget(QWidget *parent)
    : ClassWidget(parent)
{
}

TeacherClassWidget::~TeacherClassWidget() = default;

void TeacherClassWidget::init()
{
    ClassWidget::init();
}

void TeacherClassWidget::cancelSelectVideo()
{
    ClassWidget::cancelSelectVideo();
}

WidgetWhiteBoard *TeacherClassWidget::createWhiteBoard()
{
    return new WidgetWhiteBoardTeacher(this);
}

QWidget *TeacherClassWidget::createInteractionWidget()
{
    return new WidgetInteractionTeacher(this);
}

void TeacherClassWidget::goToHelpCenter() {}

bool TeacherClassWidget::canAllStudentsPlayLocalVideo() const
{
    return userList ? userList->isAllStudentsLocalPlayCapable() : true;
}

bool TeacherClassWidget::isAllStudentsVideoReady() const
{
    return userList ? userList->isAllStudentsVideoReady() : true;
}

bool TeacherClassWidget::hasStudent(QString uid) const
{
    return userList && userList->isUserExist(uid);
}

bool TeacherClassWidget::getVideoReadyForPlaying(QString uid) const
{
    return userList && userList->getVideoReadyForPlaying(uid);
}

void TeacherClassWidget::setVideoReadyForPlaying(QString uid, bool ready)
{
    if (userList)
        userList->setVideoReadyForPlaying(uid, ready);
}

void TeacherClassWidget::resetAllStudentsVideoReadyStatus()
{
    qInfo("resetAllStudentsVideoReadyStatus");
    if (userList)
        userList->resetAllStudentsVideoReadyStatus();
}

void TeacherClassWidget::slot_onChannelUserJoined(const QString &uid)
{
    ClassWidget::slot_onChannelUserJoined(uid);
}

void TeacherClassWidget::slot_onImLoginSuccess(uint32_t uidParam, int fd)
{
    ClassWidget::slot_onImLoginSuccess(uidParam, fd);
}

void TeacherClassWidget::slot_videoChannelJoinedSuccess(QString channelId, QString uid)
{
    ClassWidget::slot_videoChannelJoinedSuccess(channelId, uid);
}

void TeacherClassWidget::slot_switchBigVideo(WidgetVideoItem *widget)
{
    ClassWidget::slot_switchBigVideo(widget);
}

void TeacherClassWidget::slot_switchSmallVideo(WidgetVideoItem *widget)
{
    ClassWidget::slot_switchSmallVideo(widget);
}

void TeacherClassWidget::slot_plan_btn_clicked(QPushButton *) {}
void TeacherClassWidget::slot_video_btn_clicked(QPushButton *) {}
void TeacherClassWidget::slot_audio_btn_clicked(QPushButton *) {}
void TeacherClassWidget::slot_desktop_btn_clicked(QPushButton *) {}
void TeacherClassWidget::slot_close_video() {}
void TeacherClassWidget::slot_close_audio() {}
void TeacherClassWidget::slot_close_plan() {}
void TeacherClassWidget::slot_startScreenCapture(QSize) {}
void TeacherClassWidget::slot_stopScreenCapture() {}
void TeacherClassWidget::slot_ColorPalletShowed() {}
void TeacherClassWidget::slot_ColorPalletHidden() {}
void TeacherClassWidget::slot_receiveEnterClass(ImMsgInfo, ProtocolEnterOrLeaveClass) {}
void TeacherClassWidget::slot_receiveExitClass(ImMsgInfo, ProtocolEnterOrLeaveClass) {}
void TeacherClassWidget::slot_receiveVideoLocalCapability(ImMsgInfo) {}

void TeacherClassWidget::resizeEvent(QResizeEvent *event)
{
    ClassWidget::resizeEvent(event);
}
