#ifndef WIDGETVIDEOITEMS_H
#define WIDGETVIDEOITEMS_H

#include "widget/widgetvideoitem.h"

class WidgetVideoToolStudentRole;

// A student's tile; on the teacher's page its tool bar mutes the student,
// allows drawing, praises and enlarges the student.
class WidgetVideoItemS : public WidgetVideoItem
{
    Q_OBJECT

public:
    explicit WidgetVideoItemS(QWidget *parent = nullptr);
    ~WidgetVideoItemS() override;

    void switchSmallVideo() override;
    void setEnableSelectBtn(bool enable);
    void setZoomChecked(bool checked);
    void setVideoChecked(bool checked);
    WidgetVideoToolStudentRole *studentTool() const;

signals:
    void signal_setEnableAudio(QString uid, bool enable);
    void signal_setEnableDraw(QString uid, bool enable);
    void signal_switchBigVideo(WidgetVideoItem *widget);
    void signal_switchSmallVideo(WidgetVideoItem *widget);
    void signal_clickePraise(UserInfo user);

public slots:
    void slot_setEnableAudio(bool enable);
    void slot_setEnableDraw(bool enable);
    void slot_setEnableVideo(bool bEnable);
    void slot_switchSmallVideo();
    void slot_switchBigVideo();
    void slot_clickePraise();

private:
    WidgetVideoToolStudentRole *m_studentTool;
};

#endif // WIDGETVIDEOITEMS_H
