#ifndef TEACHERVIDEOPLAYERWIDGET_H
#define TEACHERVIDEOPLAYERWIDGET_H

#include "biz/course/classinfoentity.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsginfo.h"
#include "utility/materialentity.h"
#include "utility/widget/closesignalwidget.h"
#include "utility/widget/mediawithagoramixingcontrolutil.h"
#include "widget/lessonvideoview.h"

#include <QPointer>
#include <QProgressDialog>

class QCloseEvent;

class QTimer;
class TeacherClassWidget;
namespace QtAV {
class AVPlayer;
}
namespace Ui {
class TeacherVideoPlayerWidget;
}

// The window in which the teacher plays one lesson video in class. When
// every student in the channel can play videos locally, the students'
// players follow it through video-control messages (it waits up to five
// seconds for their readiness first); otherwise it shares its own video
// window with the class by screen capture. The teacher's microphone is off
// while the video plays in step. Made per video, deleted on close.
class TeacherVideoPlayerWidget : public CloseSignalWidget
{
    Q_OBJECT

public:
    static constexpr int kLoadingTickMs = 1000;
    // Playback starts at the latest on this tick.
    static constexpr int kLastLoadingTick = 5;
    static constexpr int kScreenShareStartMs = 200;

    explicit TeacherVideoPlayerWidget(QWidget *parent = nullptr);
    ~TeacherVideoPlayerWidget() override;

    void open(const ClassInfoEntity &classInfo, const VideoMaterial &video, const QString &videoFilePath,
              const QString &audioFilePath, const QString &audioUrl);

    bool isLocalMode() const { return bAllStudentsCanPlayLocalVideo; }
    bool isWaitingForStudents() const { return m_waitingForStudents; }
    int loadingTicks() const { return loadingCount; }
    QProgressDialog *progressDialog() const { return downloadProgressDlg; }
    MediaWithAgoraMixingControlUtil *control() { return &mediaUtil; }
    QtAV::AVPlayer *player() const { return m_view.player(); }
    QWidget *videoWidget() const { return m_view.videoWidget(); }

public slots:
    void slot_onPlay();
    void slot_onPause();
    void slot_onResume();
    void slot_onFinished();
    void on_btnPlayPause_clicked();
    void slot_videoplayer_start();
    void slot_to_close();
    void onLoadingTimerTimeout();
    void slot_receiveVideoControl(ImMsgInfo info, ProtocolVideoControl protocol);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createWidgetRenderer();
    void initPlay();
    void startPlay();
    void sendVideoControlProtocol(int type);
    void muteSelfAudio();
    void unmuteSelfAudio();
    bool canAllStudentsPlayLocalVideo();
    void closeProgressDialog();
    void startScreenCapture();
    void stopScreenCapture();
    static TeacherClassWidget *classWidget();

    Ui::TeacherVideoPlayerWidget *ui;
    LessonVideoView m_view;
    MediaWithAgoraMixingControlUtil mediaUtil;
    ClassInfoEntity m_classInfo;
    VideoMaterial m_video;
    QPointer<QProgressDialog> downloadProgressDlg;
    QTimer *loadingTimer;
    int loadingCount = 0;
    bool bAllStudentsCanPlayLocalVideo = false;
    // From the start message until playback starts: only then does the
    // students' readiness start it.
    bool m_waitingForStudents = false;
};

#endif // TEACHERVIDEOPLAYERWIDGET_H
