#include "widgetbigvideo.h"

#include <QCloseEvent>

WidgetBigVideo::WidgetBigVideo(QWidget *parent)
    : BaseMainWidget(parent)
{
}

WidgetBigVideo::~WidgetBigVideo() = default;

void WidgetBigVideo::setUserInfo(const UserInfo &info)
{
    m_user = info;
}

UserInfo WidgetBigVideo::getUserInfo() const
{
    return m_user;
}

bool WidgetBigVideo::setThisVideoView()
{
    return false;
}

void WidgetBigVideo::setShowType(int type)
{
    m_showType = type;
}

int WidgetBigVideo::getShowType() const
{
    return m_showType;
}

void WidgetBigVideo::on_btnAudio_clicked() {}
void WidgetBigVideo::on_btnZoom_clicked() {}

void WidgetBigVideo::closeEvent(QCloseEvent *event)
{
    setShowType(0);
    emit signal_exitBigVideo(m_user.uid);
    BaseMainWidget::closeEvent(event);
}
