#ifndef SIGNALQUEUEMGR_H
#define SIGNALQUEUEMGR_H

#include "mgr/singletonmgrbase.h"

class QKeyEvent;
class QWidget;

// Application-wide notifications between windows that do not know each
// other. Each emitting operation logs its name and emits its signal; all of
// it runs on the GUI thread.
class SignalQueueMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit SignalQueueMgr(QObject *parent = nullptr);

    static SignalQueueMgr *instance();

    void signalVideoPlayerStart();
    void signalAudioListWidgetClosed();
    void signalClassWidgetClosed();
    void signalClassWidgetOpened();
    void signalClassroomClose();
    void signalClassroomOpen();
    void signalScreenSharingStart();
    void signalAudioPlay();
    void signalOnLoginOk();
    void signalStudentVideoPlay();
    // mode: 0 class mode, 1 award mode.
    void signalSwitchMode(int mode);
    // event is valid only during the emission.
    void signalKeyEvent(QKeyEvent *event);
    void signalplayingVideo(bool bPlaying);
    void signalReEnterClassroom();
    void signalLogoutMqttToReEnterClassroom();

signals:
    void signal_videoplayer_start();
    void signal_audio_list_widget_closed();
    void signal_class_widget_closed();
    void signal_class_widget_opened();
    void signal_classroom_close();
    void signal_classroom_open();
    void signal_screen_sharing_start();
    void signal_audio_play();
    void signal_on_login_ok();
    void signal_ColorPalletShowed(QWidget *colorPallet);
    void signal_student_video_play();
    void signal_switchClassMode(int mode);
    void signal_keyEvent(QKeyEvent *event);
    void signal_playingVideo(bool bPlaying);
    void signal_classroom_reEnter();
    void signal_logoutMqttToReEnterClassroom();
};

#endif // SIGNALQUEUEMGR_H
