#include "widgetvideoitem.h"
#include "ui_widgetvideoitem.h"

#include "rolepolicy.h"
#include "widget/videoviewbinder.h"
#include "widget/widgetvideotool.h"

#include <QCloseEvent>
#include <QDebug>

WidgetVideoItem::WidgetVideoItem(QWidget *parent)
    : IWidget(parent)
    , ui(new Ui::WidgetVideoItem)
{
    qInfo("myvideo: construct WidgetVideoItem, this:%p", static_cast<void *>(this));
    ui->setupUi(this);
    // No video until the class page binds one.
    muteVideo(true);
}

WidgetVideoItem::~WidgetVideoItem()
{
    delete ui;
}

void WidgetVideoItem::setTool(WidgetVideoTool *tool)
{
    m_tool = tool;
    ui->layoutTool->addWidget(tool);
    tool->setUserInfo(m_user);
}

void WidgetVideoItem::setVolume(int level)
{
    if (m_tool)
        m_tool->setVolume(level);
}

void WidgetVideoItem::setToolVisible(bool visible)
{
    if (m_tool)
        m_tool->setVisible(visible);
}

void WidgetVideoItem::showTool(bool show)
{
    if (m_tool)
        m_tool->showTool(show, m_stateFlag);
}

void WidgetVideoItem::resetToolState(bool) {}

void WidgetVideoItem::setAudioChecked(bool on)
{
    if (m_tool)
        m_tool->setAudioChecked(on);
}

void WidgetVideoItem::setAudioEnabled(bool enabled)
{
    if (m_tool)
        m_tool->setAudioEnabled(enabled);
}

void WidgetVideoItem::switchSmallVideo()
{
    qInfo("<selectSomeOne> start switchSmallVideo, this:%p", static_cast<void *>(this));
    setAlertText(QString());
    restoreVideoView();
    muteVideo(false);
    qInfo("<selectSomeOne> end switchSmallVideo, this:%p", static_cast<void *>(this));
}

void WidgetVideoItem::hideTopBar()
{
    ui->widget_top->hide();
    setToolVisible(false);
}

void WidgetVideoItem::setUserInfo(const UserInfo &info)
{
    m_user = info;
    if (m_tool)
        m_tool->setUserInfo(info);
    if (RolePolicy::current().tilesShowStudentUids && info.userType == UserInfo::Student)
        ui->nickName->setText(info.userName + QLatin1Char('-') + info.uid);
    else
        ui->nickName->setText(info.userName);
    ui->nickName->show();
    ui->videoWidget->setId(info.userName + QLatin1Char('-') + info.uid);
    setPraiseCount(info.likeNum);
}

UserInfo WidgetVideoItem::getUserInfo() const
{
    return m_user;
}

void WidgetVideoItem::setStateFlag(bool inChannel)
{
    m_stateFlag = inChannel;
}

bool WidgetVideoItem::stateFlag() const
{
    return m_stateFlag;
}

void WidgetVideoItem::muteVideo(bool bMute)
{
    qInfo() << "<Item MuteVideo> bMute:" << bMute;
    m_videoMuted = bMute;
    ui->videoWidget->setVideoMuted(bMute);
}

bool WidgetVideoItem::setVideoView(QWidget *view)
{
    const bool ok = VideoViewBinder::bind(view, m_user.uid);
    ui->videoWidget->update();
    return ok;
}

bool WidgetVideoItem::clearVideoView()
{
    return setVideoView(nullptr);
}

bool WidgetVideoItem::restoreVideoView()
{
    return setVideoView(ui->videoWidget);
}

QWidget *WidgetVideoItem::getVideoWidget() const
{
    return ui->videoWidget;
}

void WidgetVideoItem::setCropToFit(bool crop)
{
    ui->videoWidget->setCropToFit(crop);
}

void WidgetVideoItem::setAlertText(const QString &text)
{
    ui->labelAlertMsg->setText(text);
}

void WidgetVideoItem::setNickName(const QString &name)
{
    ui->nickName->setText(name);
}

void WidgetVideoItem::setPraiseCount(int n)
{
    ui->labelPraiseNum->setText(QStringLiteral("x%1").arg(n));
}

QString WidgetVideoItem::alertText() const
{
    return ui->labelAlertMsg->text();
}

QString WidgetVideoItem::nickName() const
{
    return ui->nickName->text();
}

QString WidgetVideoItem::praiseText() const
{
    return ui->labelPraiseNum->text();
}

void WidgetVideoItem::mouseIn()
{
    if (m_stateFlag)
        showTool(true);
}

void WidgetVideoItem::mouseOut()
{
    showTool(false);
}

void WidgetVideoItem::on_btnVideo_clicked() {}

void WidgetVideoItem::closeEvent(QCloseEvent *event)
{
    m_stateFlag = false;
    IWidget::closeEvent(event);
}
