#ifndef STUDENTVIDEOPLAYERWIDGET_H
#define STUDENTVIDEOPLAYERWIDGET_H

#include "biz/course/classinfoentity.h"
#include "utility/materialentity.h"
#include "utility/widget/basemainwidget.h"
#include "utility/widget/mediawithagoramixingcontrolutil.h"
#include "widget/lessonvideoview.h"

#include <QSize>

class QCloseEvent;
class QTimer;
namespace QtAV {
class AVPlayer;
}
namespace Ui {
class studentvideoplayerwidget;
}

// A student's window for the lesson video the teacher plays: no controls,
// the student's downloaded copy when there is one, else the address. It
// says it is ready when opened, follows the teacher's play, pause and
// resume, and starts by itself when no play has come 4000 ms after it was
// ready. The microphone is off while it plays.
class StudentVideoPlayerWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    static constexpr int kNoPlayMessageMs = 4000;
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;

    explicit StudentVideoPlayerWidget(QWidget *parent = nullptr);
    ~StudentVideoPlayerWidget() override;

    void open(const ClassInfoEntity &classInfo, const VideoMaterial &video);
    void onPlay();
    void onPause();
    void onResume();
    void onFinished(const QString &videoId);

    // 70% of a screen larger than 800 x 600, else 800 x 600.
    static QSize windowSizeFor(int screenWidth, int screenHeight);
    // Only Windows before 7 cannot mix the separate sound.
    static bool isOldOSVersion();

    VideoMaterial material() const { return m_video; }
    bool isLocalPlay() const { return m_localPlay; }
    bool hasPlayStarted() const { return didVideoPlayMsgReceived; }
    MediaWithAgoraMixingControlUtil *control() { return &mediaUtil; }
    QtAV::AVPlayer *player() const { return m_view.player(); }
    QWidget *videoWidget() const { return m_view.videoWidget(); }

public slots:
    void slot_onPlay();
    void slot_onPause();
    void slot_onResume();
    void slot_onFinished();
    void slot_to_close();
    void slot_timer_on_no_video_play_msg();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void init();
    void initSize();
    void initVideoWidget();
    void createWidgetRenderer();
    void initMediaPlayUtil();
    bool shouldLocalPlayVideo(const VideoMaterial &video);
    void sendReadyMsg();
    void sendVideoControlProtocol(int type);
    void muteSelfAudio();
    void unmuteSelfAudio();
    void bringToTop(bool onTop);

    Ui::studentvideoplayerwidget *ui;
    LessonVideoView m_view;
    MediaWithAgoraMixingControlUtil mediaUtil;
    ClassInfoEntity m_classInfo;
    VideoMaterial m_video;
    QTimer *m_noPlayTimer;
    bool didVideoPlayMsgReceived = false;
    bool m_localPlay = false;
    bool m_closing = false;
};

#endif // STUDENTVIDEOPLAYERWIDGET_H
