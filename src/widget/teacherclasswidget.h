#ifndef TEACHERCLASSWIDGET_H
#define TEACHERCLASSWIDGET_H

#include "widget/classwidget.h"

#include <functional>

class QPushButton;
class QResizeEvent;

// The teacher's class page: controls the students, shares the desktop,
// highlights a student and opens the lesson-material panels.
class TeacherClassWidget : public ClassWidget
{
    Q_OBJECT

public:
    explicit TeacherClassWidget(QWidget *parent = nullptr);
    ~TeacherClassWidget() override;

    void init() override;
    void cancelSelectVideo() override;
    WidgetWhiteBoard *createWhiteBoard() override;
    QWidget *createInteractionWidget() override;
    void goToHelpCenter() override;

    // For the teacher's video player; each answers from the roster.
    bool canAllStudentsPlayLocalVideo() const;
    bool isAllStudentsVideoReady() const;
    bool hasStudent(QString uid) const;
    bool getVideoReadyForPlaying(QString uid) const;
    void setVideoReadyForPlaying(QString uid, bool ready);
    void resetAllStudentsVideoReadyStatus();

public slots:
    void slot_onChannelUserJoined(const QString &uid) override;
    void slot_onImLoginSuccess(uint32_t uidParam, int fd) override;
    void slot_videoChannelJoinedSuccess(QString channelId, QString uid) override;
    void slot_switchBigVideo(WidgetVideoItem *widget) override;
    void slot_switchSmallVideo(WidgetVideoItem *widget) override;
    void slot_plan_btn_clicked(QPushButton *btn);
    void slot_video_btn_clicked(QPushButton *btn);
    void slot_audio_btn_clicked(QPushButton *btn);
    void slot_desktop_btn_clicked(QPushButton *btn);
    void slot_close_video();
    void slot_close_audio();
    void slot_close_plan();
    void slot_startScreenCapture(QSize size);
    void slot_stopScreenCapture();
    void slot_ColorPalletShowed();
    void slot_ColorPalletHidden();
    void slot_receiveEnterClass(ImMsgInfo info, ProtocolEnterOrLeaveClass protocol);
    void slot_receiveExitClass(ImMsgInfo info, ProtocolEnterOrLeaveClass protocol);
    void slot_receiveVideoLocalCapability(ImMsgInfo info);

    bool isDesktopButtonOn() const { return desktopBtnState; }
    QWidget *audioPanel() const { return audioWidget; }
    QWidget *videoPanel() const { return videoWidget; }
    QWidget *planPanel() const { return planWidget; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void sendHighlightPerson(QString uid, bool highlight);
    void sendSharingDesktop(const SharingDesktop &data);
    void showPanel(QWidget *panel);
    void showPanels();
    // A panel closed: its pointer cleared, the bar's buttons back.
    void panelClosed(QWidget *&panel);
    QPoint standardPanelPosition(const QWidget *panel) const;
    // Opens panel through open() unless it is open; closes it if it is.
    void togglePanel(QPushButton *btn, QWidget *&panel, const std::function<QWidget *()> &open, const char *closeSlot);
    // The interaction bar, when the factory made one.
    class WidgetInteractionTeacher *teacherBar() const;

    QWidget *audioWidget = nullptr;
    QWidget *videoWidget = nullptr;
    QWidget *planWidget = nullptr;
    bool desktopBtnState = false;
    int captureWidth = 0;
    int captureHeight = 0;
};

#endif // TEACHERCLASSWIDGET_H
