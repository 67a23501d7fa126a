#include "teacherclasswidget.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "utility/translatelanguage.h"
#include "utility/webpage.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/teacher/widgetinteractionteacher.h"
#include "widget/teacher/widgetwhiteboardteacher.h"
#include "widget/teacheraudiolistwidget.h"
#include "widget/teacherteachingplanwidget.h"
#include "widget/teachervideolistwidget.h"
#include "widget/widgetcolorpallet.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetwhiteboard.h"

#include <QDebug>
#include <QPushButton>
#include <QResizeEvent>

namespace {

// Gap between the colour palette and a panel beside it.
const int kPanelGap = 6;
// Gap between a panel at the standard place and the tool row below it.
const int kPanelBottomGap = 24;

} // namespace

TeacherClassWidget::TeacherClassWidget(QWidget *parent)
    : ClassWidget(parent)
{
}

TeacherClassWidget::~TeacherClassWidget() = default;

void TeacherClassWidget::init()
{
    ClassWidget::init();
    if (colorPallet) {
        connect(colorPallet, &WidgetColorPallet::signal_ColorPalletShowed, this, &TeacherClassWidget::slot_ColorPalletShowed);
        connect(colorPallet, &WidgetColorPallet::signal_ColorPalletHidden, this, &TeacherClassWidget::slot_ColorPalletShowed);
    }
    SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
    connect(messages, &SendAndReceiveMsg::signal_receiveEnterClass, this, &TeacherClassWidget::slot_receiveEnterClass);
    connect(messages, &SendAndReceiveMsg::signal_receiveExitClass, this, &TeacherClassWidget::slot_receiveExitClass);
    connect(messages, &SendAndReceiveMsg::signal_receiveVideoLocalCapability, this,
            &TeacherClassWidget::slot_receiveVideoLocalCapability);
    VideoSDK *sdk = VideoSDK::instance();
    connect(sdk, &VideoSDK::signal_startScreenCapture, this, &TeacherClassWidget::slot_startScreenCapture);
    connect(sdk, &VideoSDK::signal_stopScreenCapture, this, &TeacherClassWidget::slot_stopScreenCapture);
}

WidgetWhiteBoard *TeacherClassWidget::createWhiteBoard()
{
    return new WidgetWhiteBoardTeacher(this);
}

QWidget *TeacherClassWidget::createInteractionWidget()
{
    auto *bar = new WidgetInteractionTeacher(this);
    connect(bar, &WidgetInteractionTeacher::signal_plan_btn_clicked, this, &TeacherClassWidget::slot_plan_btn_clicked);
    connect(bar, &WidgetInteractionTeacher::signal_video_btn_clicked, this, &TeacherClassWidget::slot_video_btn_clicked);
    connect(bar, &WidgetInteractionTeacher::signal_audio_btn_clicked, this, &TeacherClassWidget::slot_audio_btn_clicked);
    connect(bar, &WidgetInteractionTeacher::signal_desktop_btn_clicked, this, &TeacherClassWidget::slot_desktop_btn_clicked);
    return bar;
}

WidgetInteractionTeacher *TeacherClassWidget::teacherBar() const
{
    return qobject_cast<WidgetInteractionTeacher *>(interactionWidget);
}

void TeacherClassWidget::goToHelpCenter()
{
    WebPage::openHelpPage(WebPage::helpPageUrl());
}

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

// ---- Highlighting a student --------------------------------------------

void TeacherClassWidget::sendHighlightPerson(QString uid, bool highlight)
{
    HighlightPerson data;
    data.classid = classId;
    data.uid = uid;
    data.highlight = highlight ? 1 : 0;
    const QString sender = userList ? userList->getTeacher().uid : QString();
    SendAndReceiveMsg::instance()->sendMsg<HighlightPerson>(data, IM_HighlightPerson, sender);
}

void TeacherClassWidget::slot_switchBigVideo(WidgetVideoItem *widget)
{
    if (isPlayingVideo) {
        qWarning("is playing video, can not select some one. inPlayingVideo:%d", isPlayingVideo ? 1 : 0);
        showPromptMessage(Translatelanguage::instance()->getText(QStringLiteral("isPlayingVideo")), this, 2, false);
        return;
    }
    ClassWidget::slot_switchBigVideo(widget);
    // Only a selection the page took is announced.
    if (widget && lastClickedVideoItem == widget && inSelecteSomeOne)
        sendHighlightPerson(widget->getUserInfo().uid, true);
}

void TeacherClassWidget::slot_switchSmallVideo(WidgetVideoItem *widget)
{
    ClassWidget::slot_switchSmallVideo(widget);
    if (widget)
        sendHighlightPerson(widget->getUserInfo().uid, false);
}

void TeacherClassWidget::cancelSelectVideo()
{
    qInfo("<selectSomeOne> start Teacher cancelSelectVideo, lastClickedVideoItem:%p", static_cast<void *>(lastClickedVideoItem));
    if (lastClickedVideoItem) {
        sendHighlightPerson(lastClickedVideoItem->getUserInfo().uid, false);
        ClassWidget::cancelSelectVideo();
    }
    qInfo("<selectSomeOne> end Teacher cancelSelectVideo, lastClickedVideoItem:%p", static_cast<void *>(lastClickedVideoItem));
}

// ---- Desktop sharing ---------------------------------------------------

void TeacherClassWidget::slot_desktop_btn_clicked(QPushButton *btn)
{
    if (!videoItemList->getCurUserWidget())
        return;
    WidgetInteractionTeacher *bar = teacherBar();
    if (!desktopBtnState) {
        if (bar)
            bar->enableOnlyFunctionButton(btn);
        SignalQueueMgr::instance()->signalScreenSharingStart();
        VideoSDK::instance()->startScreenCapture();
    } else {
        if (bar)
            bar->resetFunctionButtons();
        VideoSDK::instance()->stopScreenCapture();
    }
    desktopBtnState = !desktopBtnState;
}

void TeacherClassWidget::sendSharingDesktop(const SharingDesktop &data)
{
    const QString sender = userList ? userList->getTeacher().uid : QString();
    SendAndReceiveMsg::instance()->sendMsg<SharingDesktop>(data, IM_ShareingDesktop, sender);
}

void TeacherClassWidget::slot_startScreenCapture(QSize size)
{
    qInfo("slot_startScreenCapture size(%d, %d)", size.width(), size.height());
    inSharingDesktop = true;
    captureWidth = size.width();
    captureHeight = size.height();
    WidgetVideoItem *own = videoItemList->getCurUserWidget();
    if (!own)
        return;
    // The shared desktop is shown whole.
    own->setCropToFit(false);
    SharingDesktop data;
    data.status = 1;
    data.classid = classId;
    data.width = captureWidth;
    data.height = captureHeight;
    sendSharingDesktop(data);
}

void TeacherClassWidget::slot_stopScreenCapture()
{
    qInfo("slot_stopScreenCapture");
    inSharingDesktop = false;
    if (WidgetVideoItem *own = videoItemList->getCurUserWidget())
        own->setCropToFit(true);
    SharingDesktop data;
    data.status = 0;
    data.classid = classId;
    sendSharingDesktop(data);
}

// ---- A participant joins -----------------------------------------------

void TeacherClassWidget::slot_onChannelUserJoined(const QString &uid)
{
    ClassWidget::slot_onChannelUserJoined(uid);
    WidgetVideoItem *tile = videoItemList->findWidgetByUid(uid);
    if (!tile || !tile->stateFlag())
        return;
    if (auto *student = qobject_cast<WidgetVideoItemS *>(tile))
        student->setVideoChecked(false);
    if (whiteBoard)
        whiteBoard->sendTurnToPage(whiteBoard->currentPageIndex() + 1);
    if (inSharingDesktop) {
        SharingDesktop data;
        data.status = 1;
        data.classid = classId;
        data.width = captureWidth;
        data.height = captureHeight;
        sendSharingDesktop(data);
    }
    if (!userList)
        return;
    // Whoever comes back stays muted or without the pen.
    const QString sender = userList->getCurUser().uid;
    for (int i = 0; i < userList->getUserCount(); ++i) {
        const UserInfo user = userList->getUserInfoByIdx(i);
        if (user.userType != UserInfo::Student || user.controlFlags == 0)
            continue;
        FunctionControl control;
        control.classid = classId;
        control.type = user.controlFlags;
        control.uid = user.uid;
        control.enabled = 0;
        SendAndReceiveMsg::instance()->sendMsg<FunctionControl>(control, IM_FunctionControl, sender, user.uid);
    }
}

void TeacherClassWidget::slot_onImLoginSuccess(uint32_t uidParam, int fd)
{
    ClassWidget::slot_onImLoginSuccess(uidParam, fd);
    TurnToPageData page;
    page.classid = classId;
    page.toPage = whiteBoard ? whiteBoard->currentPageIndex() + 1 : 1;
    const QString sender = userList ? userList->getTeacher().uid : QString();
    SendAndReceiveMsg::instance()->sendMsg<TurnToPageData>(page, IM_WBPage, sender);
}

void TeacherClassWidget::slot_videoChannelJoinedSuccess(QString channelId, QString uid)
{
    ClassWidget::slot_videoChannelJoinedSuccess(channelId, uid);
    qDebug().noquote() << QStringLiteral("slot_videoChannelJoinedSuccess, channelId:%1 uid:%2").arg(channelId, uid);
}

// ---- Entry messages ----------------------------------------------------

static QString protocolText(const ProtocolEnterOrLeaveClass &protocol)
{
    return QStringLiteral("classid:%1,source:%2, clientVersion:%3, video_local_play_capability:%4")
        .arg(protocol.classid.left(64), protocol.source.left(64), protocol.clientVersion.left(64))
        .arg(protocol.video_local_play_capability);
}

void TeacherClassWidget::slot_receiveEnterClass(ImMsgInfo info, ProtocolEnterOrLeaveClass protocol)
{
    qInfo().noquote() << QStringLiteral("entermsg:slot_receiveEnterClass protocol:%1").arg(protocolText(protocol));
    if (protocol.classid != classId) {
        qCritical("entermsg:not same class");
        return;
    }
    if (userList)
        userList->setVideoLocalPlayCapability(info.uid, protocol.video_local_play_capability);
}

void TeacherClassWidget::slot_receiveExitClass(ImMsgInfo, ProtocolEnterOrLeaveClass protocol)
{
    qInfo().noquote() << QStringLiteral("slot_receiveExitClass protocol:%1").arg(protocolText(protocol));
    if (protocol.classid != classId)
        qCritical("not same class");
}

void TeacherClassWidget::slot_receiveVideoLocalCapability(ImMsgInfo info)
{
    qInfo("entermsg:slot_receiveVideoLocalCapability uid:%s", qUtf8Printable(info.uid.left(64)));
    if (userList)
        userList->setVideoLocalPlayCapability(info.uid, 1);
}

// ---- Material panels ---------------------------------------------------

void TeacherClassWidget::togglePanel(QPushButton *btn, QWidget *&panel, const std::function<QWidget *()> &open,
                                     const char *closeSlot)
{
    if (WidgetInteractionTeacher *bar = teacherBar())
        bar->enableOnlyFunctionButton(btn);
    if (panel) {
        // Its close signal clears the pointer.
        panel->close();
        return;
    }
    panel = open();
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, SIGNAL(signal_close()), this, closeSlot);
    showPanel(panel);
}

void TeacherClassWidget::slot_plan_btn_clicked(QPushButton *btn)
{
    qInfo("slot_plan_btn_clicked");
    togglePanel(btn, planWidget, [this] {
        auto *panel = new TeacherTeachingPlanWidget(this);
        panel->setTeachingPlanUrl(classInfo.tch_plan_url);
        return panel;
    }, SLOT(slot_close_plan()));
}

void TeacherClassWidget::slot_video_btn_clicked(QPushButton *btn)
{
    qInfo("slot_video_btn_clicked");
    togglePanel(btn, videoWidget, [this] {
        auto *panel = new TeacherVideoListWidget(this);
        panel->setVideoMaterials(classInfo, classInfo.material.videos);
        return panel;
    }, SLOT(slot_close_video()));
}

void TeacherClassWidget::slot_audio_btn_clicked(QPushButton *btn)
{
    qInfo("slot_audio_btn_clicked");
    togglePanel(btn, audioWidget, [this] {
        auto *panel = new TeacherAudioListWidget(this);
        panel->setAudioMaterials(classId, classInfo.material.voices);
        return panel;
    }, SLOT(slot_close_audio()));
}

void TeacherClassWidget::panelClosed(QWidget *&panel)
{
    panel = nullptr;
    if (WidgetInteractionTeacher *bar = teacherBar())
        bar->resetFunctionButtons();
}

void TeacherClassWidget::slot_close_video()
{
    qInfo("slot_close_video");
    panelClosed(videoWidget);
}

void TeacherClassWidget::slot_close_audio()
{
    qInfo("slot_close_audio");
    panelClosed(audioWidget);
}

void TeacherClassWidget::slot_close_plan()
{
    qInfo("slot_close_plan");
    panelClosed(planWidget);
}

void TeacherClassWidget::showPanel(QWidget *panel)
{
    if (!panel)
        return;
    if (colorPallet && colorPallet->isVisible()) {
        colorPallet->move(standardPanelPosition(colorPallet));
        const QRect palette = colorPallet->geometry();
        panel->move(palette.x() + palette.width() - 1 + kPanelGap, palette.y() + palette.height() - panel->height());
    } else {
        panel->move(standardPanelPosition(panel));
    }
    panel->show();
    panel->raise();
}

void TeacherClassWidget::showPanels()
{
    showPanel(audioWidget);
    showPanel(videoWidget);
    showPanel(planWidget);
}

QPoint TeacherClassWidget::standardPanelPosition(const QWidget *panel) const
{
    // Centred over the whiteboard column, just above its tool row.
    const QWidget *board = findChild<QWidget *>(QStringLiteral("widget_wb"));
    const QWidget *tool = findChild<QWidget *>(QStringLiteral("widget_tool"));
    const int boardWidth = board ? board->width() : width();
    const int toolHeight = tool ? tool->height() : 0;
    return QPoint((boardWidth - panel->width()) / 2, height() - toolHeight - panel->height() - kPanelBottomGap);
}

void TeacherClassWidget::slot_ColorPalletShowed()
{
    qInfo("slot_ColorPalletShowed");
    showPanels();
}

void TeacherClassWidget::slot_ColorPalletHidden()
{
    qInfo("slot_ColorPalletHidden");
    showPanels();
}

void TeacherClassWidget::resizeEvent(QResizeEvent *event)
{
    ClassWidget::resizeEvent(event);
    showPanels();
}
