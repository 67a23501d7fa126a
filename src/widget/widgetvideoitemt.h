#ifndef WIDGETVIDEOITEMT_H
#define WIDGETVIDEOITEMT_H

#include "widget/widgetvideoitem.h"

// The teacher's tile; its tool bar turns the teacher's own camera and
// microphone off and on.
class WidgetVideoItemT : public WidgetVideoItem
{
    Q_OBJECT

public:
    explicit WidgetVideoItemT(QWidget *parent = nullptr);
    ~WidgetVideoItemT() override;

public slots:
    void slot_setEnableVideo(bool bEnable);
};

#endif // WIDGETVIDEOITEMT_H
