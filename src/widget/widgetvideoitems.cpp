#include "widgetvideoitems.h"

WidgetVideoItemS::WidgetVideoItemS(QWidget *parent)
    : WidgetVideoItem(parent)
{
}

WidgetVideoItemS::~WidgetVideoItemS() = default;

void WidgetVideoItemS::setEnableSelectBtn(bool) {}
void WidgetVideoItemS::setZoomChecked(bool) {}
void WidgetVideoItemS::setVideoChecked(bool) {}

void WidgetVideoItemS::slot_setEnableAudio(bool enable)
{
    emit signal_setEnableAudio(m_user.uid, enable);
}

void WidgetVideoItemS::slot_setEnableDraw(bool enable)
{
    emit signal_setEnableDraw(m_user.uid, enable);
}

void WidgetVideoItemS::slot_setEnableVideo(bool) {}

void WidgetVideoItemS::slot_switchSmallVideo()
{
    emit signal_switchSmallVideo(this);
}

void WidgetVideoItemS::slot_switchBigVideo()
{
    emit signal_switchBigVideo(this);
}

void WidgetVideoItemS::slot_clickePraise()
{
    emit signal_clickePraise(m_user);
}
