#ifndef STUDENTCLASSWIDGET_H
#define STUDENTCLASSWIDGET_H

#include "widget/classwidget.h"
#include "widget/student/studentvideocontrolutil.h"

// The student's class page: obeys the teacher's commands, shows the
// teacher's shared desktop and downloads the lesson's resources.
class StudentClassWidget : public ClassWidget
{
    Q_OBJECT

public:
    explicit StudentClassWidget(QWidget *parent = nullptr);
    ~StudentClassWidget() override;

    void init() override;
    WidgetWhiteBoard *createWhiteBoard() override;
    QWidget *createInteractionWidget() override;
    void CreateVideo(const UserList &list) override;
    void onStartClass() override;
    void goToHelpCenter() override;
    // The student page enables no audio buttons of others.
    void muteOthersAudioFlag(const QString &uid, bool bMute) override;

    void downloadResource();
    void createDesktopView();
    void showTeacherDesktop();
    void hideTeacherDesktop();

signals:
    void signal_teacher_offline();

public slots:
    void slot_onChannelUserLeaved(const QString &uid) override;
    void slot_receiveSharingDesktopMsg(ImMsgInfo info, SharingDesktop data);
    void slot_receiveFunctionControl(ImMsgInfo info, FunctionControl data);
    void slot_receiveHighlightPerson(ImMsgInfo info, HighlightPerson data);
    void slot_UserOffline(QString uid);
    void slot_exitBigVideo(QString uid);

    WidgetBigVideo *getDesktopView() const { return desktopView; }

protected:
    // The own microphone, as the teacher's orders leave it.
    void muteOwnAudio(bool mute);

    WidgetBigVideo *desktopView = nullptr;
    StudentVideoControlUtil videoControl;
};

#endif // STUDENTCLASSWIDGET_H
