#include "studentclasswidget.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/message/classordergate.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/appdirs.h"
#include "utility/translatelanguage.h"
#include "utility/webpage.h"
#include "widget/student/widgetinteractionstudent.h"
#include "widget/student/widgetwhiteboardstudent.h"
#include "widget/widgetbigvideo.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetwhiteboard.h"

#include <QDebug>
#include <QDateTime>

StudentClassWidget::StudentClassWidget(QWidget *parent)
    : ClassWidget(parent)
{
    // Only the teacher's orders for this class come through the gate.
    ClassOrderGate *orders = ClassOrderGate::instance();
    connect(orders, &ClassOrderGate::signal_receiveSharingDesktopMsg, this, &StudentClassWidget::slot_receiveSharingDesktopMsg);
    connect(orders, &ClassOrderGate::signal_receiveFunctionControl, this, &StudentClassWidget::slot_receiveFunctionControl);
    connect(orders, &ClassOrderGate::signal_receiveHighlightPerson, this, &StudentClassWidget::slot_receiveHighlightPerson);
}

StudentClassWidget::~StudentClassWidget() = default;

void StudentClassWidget::init()
{
    ClassWidget::init();
    createDesktopView();
    // Students never switch modes.
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
    WidgetVideoItem *teacherTile = videoItemList->getTeacherWidget();
    if (!teacherTile)
        return;
    // Until the teacher comes, the teacher's tile tells when the class is.
    const QDateTime begin = QDateTime::fromSecsSinceEpoch(classInfo.begin_time.toLongLong());
    Translatelanguage *language = Translatelanguage::instance();
    teacherTile->setAlertText(language->getText(QStringLiteral("timeofclass")) + begin.toString(QStringLiteral("yyyy/MM/dd hh:mm"))
                              + language->getText(QStringLiteral("pleasebepatient")));
}

void StudentClassWidget::onStartClass()
{
    qInfo("onStartClass");
    videoControl.setClassInfo(classInfo);
    downloadResource();
}

void StudentClassWidget::goToHelpCenter()
{
    WebPage::openHelpPage(WebPage::helpPageUrl());
}

void StudentClassWidget::muteOthersAudioFlag(const QString &, bool) {}

void StudentClassWidget::downloadResource()
{
    qInfo("downloadResource");
    QVector<DownloadFileInfo> files;
    const QString folder = getDownloadResourceDir();
    for (const VideoMaterial &video : classInfo.material.videos) {
        files.append({ video.getVideoUrl(), folder });
        files.append({ video.voice, folder });
    }
    DownloadResourceMgr::instance()->download(QStringLiteral("student_class_resource"), files);
}

void StudentClassWidget::createDesktopView()
{
    if (desktopView)
        return;
    desktopView = new WidgetBigVideo(this);
    desktopView->setShowType(0);
    connect(desktopView, &WidgetBigVideo::signal_exitBigVideo, this, &StudentClassWidget::slot_exitBigVideo);
}

void StudentClassWidget::showTeacherDesktop()
{
    if (WidgetVideoItem *teacherTile = videoItemList->getTeacherWidget()) {
        teacherTile->clearVideoView();
        teacherTile->setAlertText(Translatelanguage::instance()->getText(QStringLiteral("Teachersharingdesktop")));
        teacherTile->muteVideo(true);
        teacherTile->setCropToFit(false);
    }
    createDesktopView();
    desktopView->setUserInfo(userList ? userList->getTeacher() : UserInfo());
    if (desktopView->setThisVideoView()) {
        desktopView->setShowType(3);
        desktopView->raise();
    }
    inSharingDesktop = true;
}

void StudentClassWidget::hideTeacherDesktop()
{
    if (desktopView)
        desktopView->setShowType(0);
    if (WidgetVideoItem *teacherTile = videoItemList->getTeacherWidget()) {
        teacherTile->restoreVideoView();
        teacherTile->setCropToFit(true);
        teacherTile->muteVideo(false);
        teacherTile->setAlertText(QString());
    }
    inSharingDesktop = false;
}

void StudentClassWidget::muteOwnAudio(bool mute)
{
    VideoSDK::instance()->muteLocalAudio(mute);
    // The own tile's microphone button shows what the teacher left.
    if (userList) {
        if (WidgetVideoItem *own = videoItemList->findWidgetByUid(userList->getCurUser().uid))
            own->setAudioChecked(mute);
    }
}

void StudentClassWidget::slot_onChannelUserLeaved(const QString &uid)
{
    if (!userList || !userList->isUserExist(uid))
        return;
    ClassWidget::slot_onChannelUserLeaved(uid);
    if (userList->getUserRole(uid) == UserInfo::Teacher) {
        // A teacher who leaves while sharing takes the desktop along.
        if (inSharingDesktop)
            hideTeacherDesktop();
        if (whiteBoard)
            whiteBoard->setPenEnabled(true);
        qInfo("teacher offline, uid:%s", qUtf8Printable(uid));
        emit signal_teacher_offline();
    }
    if (!isPlayingVideo)
        muteOwnAudio(false);
}

void StudentClassWidget::slot_receiveSharingDesktopMsg(ImMsgInfo, SharingDesktop data)
{
    if (data.type > 1)
        return;
    if (data.status == 1)
        showTeacherDesktop();
    else if (data.status == 0)
        hideTeacherDesktop();
}

void StudentClassWidget::slot_receiveFunctionControl(ImMsgInfo, FunctionControl data)
{
    if (!userList || data.uid != userList->getCurUser().uid)
        return;
    const bool enabled = data.enabled != 0;
    if (data.type & ControlTypAudio)
        muteOwnAudio(!enabled);
    if ((data.type & ControlTypDraw) && whiteBoard)
        whiteBoard->setPenEnabled(enabled);
}

void StudentClassWidget::slot_receiveHighlightPerson(ImMsgInfo, HighlightPerson data)
{
    if (!userList)
        return;
    WidgetVideoItem *tile = videoItemList->findWidgetByUid(data.uid);
    if (!tile)
        return;
    if (data.highlight != 0) {
        slot_switchBigVideo(tile);
        if (auto *student = qobject_cast<WidgetVideoItemS *>(tile))
            student->setZoomChecked(true);
        tile->update();
        // Everybody listens to the highlighted student.
        muteOwnAudio(data.uid != userList->getCurUser().uid);
        return;
    }
    hideSelectVideo(tile);
    tile->switchSmallVideo();
    tile->update();
    if (!isPlayingVideo)
        muteOwnAudio(false);
}

void StudentClassWidget::slot_UserOffline(QString uid)
{
    if (!userList || userList->getUserRole(uid) != UserInfo::Teacher)
        return;
    qInfo("teacher offline, uid:%s", qUtf8Printable(uid));
    emit signal_teacher_offline();
}

void StudentClassWidget::slot_exitBigVideo(QString)
{
    if (desktopView)
        desktopView->setShowType(0);
}
