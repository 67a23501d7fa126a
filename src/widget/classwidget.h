#ifndef CLASSWIDGET_H
#define CLASSWIDGET_H

#include "biz/course/classinfoentity.h"
#include "mgr/http/baseentity.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsginfo.h"
#include "utility/userinfo.h"
#include "widget/widgetclassmode.h"

#include <QString>
#include <optional>

namespace Ui {
class ClassWidget;
}

class AgoraIMChannelMgr;
class ClassWidgetSetting;
class EntityNetworkReplyHolder;
class NetworkDisconnect;
class QKeyEvent;
class QResizeEvent;
class VideoSDK;
class WidgetBigVideo;
class WidgetColorPallet;
class WidgetInteraction;
class WidgetMessage;
class WidgetVideoItem;
class WidgetWhiteBoard;

// Bits of a FunctionControl type and of a roster entry's disabled-function
// mask.
enum ControlTyp {
    ControlTypDraw = 1,
    ControlTypAudio = 8,
};

// The class-mode page of the classroom window and the base of the teacher's,
// the student's and the observer's pages: whiteboard with its tool bar, the
// column of video tiles, the chat, the big video, the palette, the device
// bar and the network-lost banner. It signs in to the messaging services,
// joins the class and RTC channels, keeps the tiles in step with the roster
// and the channel, and carries the class-control messages both roles share.
// While it exists GlobalDataMgr holds it as the current class page.
class ClassWidget : public WidgetClassMode
{
    Q_OBJECT

public:
    explicit ClassWidget(QWidget *parent = nullptr);
    ~ClassWidget() override;

    // WidgetClassMode
    void enterMode(WidgetClassRoom *room, WidgetVideoItemList *tiles) override;
    void exitMode() override;
    void destoryMode() override;
    bool setVideoItemAttached(const QString &uid, bool attach) override;
    WidgetVideoItemList *getVideoItemList() override;

    // Builds the page; the classroom window calls it right after
    // construction.
    virtual void init();
    // Starts the lesson on the page.
    virtual void startClass(WidgetClassRoom *room, const ClassInfoEntity &info);
    virtual void cancelSelectVideo();
    virtual WidgetWhiteBoard *createWhiteBoard();
    // The role's whiteboard tool bar; null in the base.
    virtual QWidget *createInteractionWidget();
    virtual void CreateVideo(const UserList &list);
    virtual void joinVideoChannel(QString channel, QString uid, const QString &key);
    virtual void onStartClass();
    virtual void goToHelpCenter();
    virtual void muteOthersAudioFlag(const QString &uid, bool bMute);

    void loginIM(const QString &token);
    void relogin();
    void reloginMqtt();
    void requestChannelKey(const QString &classId);
    void postEncourage(const QString &classId, const QString &teacherUid);
    // Shows the praise effect over the classroom, aimed at uid's tile. It
    // returns at once; isShowingPraise stays set until the effect closes.
    void showTrophyCartoon(QString uid);
    void hideSelectVideo(WidgetVideoItem *tile);
    void enableAllSelectBtn(bool enable);
    void unMuteAllAudioFlag(bool includeTeacher);
    void setSelectedVideoPosition();
    QString getClassId() const;
    void setSwitchModeVisible(bool visible);

    // The page's whiteboard; null before init().
    virtual WidgetWhiteBoard *getWhiteBoard() const { return whiteBoard; }
    WidgetMessage *getMessageWidget() const { return messageWidget; }
    bool isPraiseShowing() const { return isShowingPraise; }
    // The lesson's class information, with the keys of the last renewal.
    const ClassInfoEntity &getClassInfo() const { return classInfo; }

    // The tool bars' colour and chat buttons and the help button. Plain
    // members, not slots: the buttons live on the tool bars, which connect
    // them explicitly, and as slots their on_<child>_<signal> names would
    // make the form's connect-by-name look for children the page lacks.
    virtual void on_btnColor_clicked();
    virtual void on_btnChat_clicked();
    void on_pushButtonHelp_clicked();

signals:
    void signal_startCutImage();

public slots:
    void slot_onChannelUserJoined(const QString &uid) override;
    void slot_onChannelUserLeaved(const QString &uid) override;
    virtual void slot_videoChannelJoinedSuccess(QString channelId, QString uid);
    virtual void slot_onImLoginSuccess(uint32_t uidParam, int fd);
    virtual void slot_switchBigVideo(WidgetVideoItem *tile);
    virtual void slot_switchSmallVideo(WidgetVideoItem *tile);

    void slot_hideMessageWidget();
    void slot_clickCutImage();
    void slot_clickCutImageFinish();
    void slot_onError(QString errId, QString errMsg);
    void slot_UserMuteVideo(QString uid, bool mute);
    void slot_onReuqestChannelKey();
    void slot_onChannelJoinFailed(QString channelId, int ecode);
    void slot_onChannelLeaved(QString channelId, int ecode);
    void slot_onImLoginFailed(int ecode);
    void slot_onImReLoginTimer();
    void slot_onNormalLogut();
    void slot_onDisconnected(int ecode);
    void slot_onMqttReLoginTimer();
    void slot_mqtt_loginSuccess(QString uid);
    void slot_mqtt_loginFailure(int errCode, QString errMsg);
    void slot_mqtt_logoutSuccess(QString uid = QString());
    void slot_mqtt_logoutFailure(int errCode, QString errMsg);
    void slot_mqtt_connectionLost(QString lostCause);
    void slot_mqtt_simulateConnectLost();
    void slot_receiveMessageWarn();
    void slot_onStart_getPostEncourage();
    void slot_onFinish_getPostEncourage();
    void slot_onFailure_getPostEncourage(BaseEntity entity);
    void slot_onSuccess_getPostEncourage(QString response);
    void slot_onStart_updateSdkSig();
    void slot_onFinish_updateSdkSig();
    void slot_onSuccess_updateSdkSig(QString response);
    void slot_onFailure_updateSdkSig(BaseEntity baseEntity);
    void slot_playingVideo(bool bPlaying);
    void slot_reEnterClass();
    int deviceChangeMessageBox(QString msg);
    void slot_setEnableAudio(QString uid, bool enable);
    void slot_setEnableDraw(QString uid, bool enable);
    void sendFunctionalControl(QString uid, bool enable, ControlTyp type);
    void slot_receiveEncourageMsg(ImMsgInfo info, EncourageMessage data);
    void slot_clickePraise(UserInfo user);
    void slot_deviceStateChanged();
    void slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState);
    void slot_onMessageSendError(QString msgId, int ecode);
    void slot_currentAudioVolume(QString uid, int totalVolume);
    void slot_praiseEffectClosed();

protected:
    // Praise posts of the own praises that may wait for the server at once.
    static constexpr int kMaxPendingEncouragePosts = 4;

    void createBigVideo();
    void connectClassControl();
    // Sets or clears a function-off bit of uid's roster entry.
    void setFunctionOff(const QString &uid, ControlTyp type, bool off);
    // One more praise for uid: roster, tile and, unless one shows, the effect.
    void addPraise(const QString &uid);

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    Ui::ClassWidget *ui = nullptr;
    WidgetWhiteBoard *whiteBoard = nullptr;
    QWidget *interactionWidget = nullptr;
    WidgetColorPallet *colorPallet = nullptr;
    ClassWidgetSetting *settingWidget = nullptr;
    AgoraIMChannelMgr *imChannelMgr = nullptr;
    VideoSDK *videoSdk = nullptr;
    WidgetVideoItemList *videoItemList = nullptr;
    WidgetVideoItem *lastClickedVideoItem = nullptr;
    bool inSharingDesktop = false;
    bool inSelecteSomeOne = false;
    WidgetBigVideo *bigVideo = nullptr;
    QString classId;
    ClassInfoEntity classInfo;
    WidgetMessage *messageWidget = nullptr;
    bool isPressShift = false;
    // The classroom window's state before a screenshot with SHIFT held
    // minimised it; set while it is minimised for the cut.
    std::optional<Qt::WindowStates> stateBeforeCut;
    bool isMessageWidgetVisible = false;
    NetworkDisconnect *networkDisconnect = nullptr;
    EntityNetworkReplyHolder *postEncourageReply = nullptr;
    EntityNetworkReplyHolder *updateSdkSigReply = nullptr;
    bool isShowingPraise = false;
    QString enterMsgId;
    bool isPlayingVideo = false;
    QWidget *classRoom = nullptr;
    bool isReEnteringClassroom = false;
    int pendingEncouragePosts = 0;

private:
    // The role's tool bar as the interaction base; null without one.
    WidgetInteraction *interactionTools() const;
    // Opens or closes the chat in the right column.
    void showMessageWidget(bool visible);
    void placeBanner();
    void placePallet();
    // The class of the page's lesson; uid of the roster's current user.
    QString lessonClassId() const;
    QString rosterUid() const;
    // The MQTT logout of a re-entry has ended (well or not): enter again.
    void continueReEntry();
};

#endif // CLASSWIDGET_H
