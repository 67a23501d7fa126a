#include "widgetvideoitemt.h"

WidgetVideoItemT::WidgetVideoItemT(QWidget *parent)
    : WidgetVideoItem(parent)
{
}

WidgetVideoItemT::~WidgetVideoItemT() = default;

void WidgetVideoItemT::slot_setEnableVideo(bool) {}
