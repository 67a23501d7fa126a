#include "widgetvideoitem.h"

#include "widget/widgetvideo.h"

#include <QCloseEvent>

WidgetVideoItem::WidgetVideoItem(QWidget *parent)
    : IWidget(parent)
    , m_videoWidget(new WidgetVideo(this))
{
}

WidgetVideoItem::~WidgetVideoItem() = default;

void WidgetVideoItem::setVolume(int) {}
void WidgetVideoItem::setToolVisible(bool) {}
void WidgetVideoItem::showTool(bool) {}
void WidgetVideoItem::resetToolState(bool) {}
void WidgetVideoItem::setAudioChecked(bool) {}
void WidgetVideoItem::setAudioEnabled(bool) {}
void WidgetVideoItem::switchSmallVideo() {}
void WidgetVideoItem::hideTopBar() {}

void WidgetVideoItem::setUserInfo(const UserInfo &info)
{
    m_user = info;
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

void WidgetVideoItem::muteVideo(bool) {}

bool WidgetVideoItem::setVideoView(QWidget *)
{
    return false;
}

bool WidgetVideoItem::clearVideoView()
{
    return setVideoView(nullptr);
}

bool WidgetVideoItem::restoreVideoView()
{
    return setVideoView(m_videoWidget);
}

QWidget *WidgetVideoItem::getVideoWidget() const
{
    return m_videoWidget;
}

void WidgetVideoItem::setCropToFit(bool) {}
void WidgetVideoItem::setAlertText(const QString &) {}
void WidgetVideoItem::setNickName(const QString &) {}
void WidgetVideoItem::setPraiseCount(int) {}
void WidgetVideoItem::mouseIn() {}
void WidgetVideoItem::mouseOut() {}
void WidgetVideoItem::on_btnVideo_clicked() {}

void WidgetVideoItem::closeEvent(QCloseEvent *event)
{
    m_stateFlag = false;
    IWidget::closeEvent(event);
}
