#include "signalqueuemgr.h"

#include "mgr/singleton.h"

#include <QDebug>

SignalQueueMgr::SignalQueueMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

SignalQueueMgr *SignalQueueMgr::instance()
{
    return Singleton<SignalQueueMgr>::instance();
}

void SignalQueueMgr::signalVideoPlayerStart()
{
    qInfo("signalVideoPlayerStart");
    emit signal_videoplayer_start();
}

void SignalQueueMgr::signalAudioListWidgetClosed()
{
    qInfo("signalAudioListWidgetClosed");
    emit signal_audio_list_widget_closed();
}

void SignalQueueMgr::signalClassWidgetClosed()
{
    qInfo("signalClassWidgetClosed");
    emit signal_class_widget_closed();
}

void SignalQueueMgr::signalClassWidgetOpened()
{
    qInfo("signalClassWidgetOpened");
    emit signal_class_widget_opened();
}

void SignalQueueMgr::signalClassroomClose()
{
    qInfo("signalClassroomClose");
    emit signal_classroom_close();
}

void SignalQueueMgr::signalClassroomOpen()
{
    qInfo("signalClassroomOpen");
    emit signal_classroom_open();
}

void SignalQueueMgr::signalScreenSharingStart()
{
    qInfo("signalScreenSharingStart");
    emit signal_screen_sharing_start();
}

void SignalQueueMgr::signalAudioPlay()
{
    qInfo("signalAudioPlay");
    emit signal_audio_play();
}

void SignalQueueMgr::signalOnLoginOk()
{
    qInfo("signalOnLoginOk");
    emit signal_on_login_ok();
}

void SignalQueueMgr::signalStudentVideoPlay()
{
    qInfo("signalStudentVideoPlay");
    emit signal_student_video_play();
}

void SignalQueueMgr::signalSwitchMode(int mode)
{
    qInfo("signalSwitchMode, mode:%d", mode);
    emit signal_switchClassMode(mode);
}

void SignalQueueMgr::signalKeyEvent(QKeyEvent *event)
{
    qInfo("signalKeyEvent");
    emit signal_keyEvent(event);
}

void SignalQueueMgr::signalplayingVideo(bool bPlaying)
{
    qInfo("signalplayingVideo, bPlaying:%d", bPlaying ? 1 : 0);
    emit signal_playingVideo(bPlaying);
}

void SignalQueueMgr::signalReEnterClassroom()
{
    qInfo("signalReEnterClassroom");
    emit signal_classroom_reEnter();
}

void SignalQueueMgr::signalLogoutMqttToReEnterClassroom()
{
    qInfo("signalLogoutMqttToReEnterClassroom");
    emit signal_logoutMqttToReEnterClassroom();
}
