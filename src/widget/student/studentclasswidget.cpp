#include "studentclasswidget.h"

#include "widget/student/widgetinteractionstudent.h"
#include "widget/student/widgetwhiteboardstudent.h"

StudentClassWidget::StudentClassWidget(QWidget *parent)
    : ClassWidget(parent)
{
}

StudentClassWidget::~StudentClassWidget() = default;

void StudentClassWidget::init()
{
    ClassWidget::init();
    setSwitchModeVisible(false);
}

WidgetWhiteBoard *StudentClassWidget::createWhiteBoard()
{
    return new WidgetWhiteBoardStudent(this);
}

QWidget *StudentClassWidget::createInteractionWidget()
{
    return new WidgetInteractionStudent(this);
}

void StudentClassWidget::CreateVideo(const UserList &list)
{
    ClassWidget::CreateVideo(list);
}

void StudentClassWidget::onStartClass()
{
    videoControl.setClassInfo(classInfo);
    downloadResource();
}

void StudentClassWidget::goToHelpCenter() {}
void StudentClassWidget::muteOthersAudioFlag(const QString &, bool) {}
void StudentClassWidget::downloadResource() {}
void StudentClassWidget::createDesktopView() {}
void StudentClassWidget::showTeacherDesktop() {}
void StudentClassWidget::hideTeacherDesktop() {}

void StudentClassWidget::slot_onChannelUserLeaved(const QString &uid)
{
    ClassWidget::slot_onChannelUserLeaved(uid);
}

void StudentClassWidget::slot_receiveSharingDesktopMsg(ImMsgInfo, SharingDesktop) {}
void StudentClassWidget::slot_receiveFunctionControl(ImMsgInfo, FunctionControl) {}
void StudentClassWidget::slot_receiveHighlightPerson(ImMsgInfo, HighlightPerson) {}
void StudentClassWidget::slot_UserOffline(QString) {}
void StudentClassWidget::slot_exitBigVideo(QString) {}
