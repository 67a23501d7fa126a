#ifndef WIDGETVIDEOTOOLSTUDENTROLE_H
#define WIDGETVIDEOTOOLSTUDENTROLE_H

#include "widget/widgetvideotool.h"

namespace Ui {
class WidgetVideoToolStudentRole;
}

// A student tile's tool bar. In the teacher program: the student's
// microphone, drawing permission, praise, enlargement and hiding the video
// on the teacher's own screen. In the student program only the speaking
// level shows.
class WidgetVideoToolStudentRole : public WidgetVideoTool
{
    Q_OBJECT

public:
    explicit WidgetVideoToolStudentRole(QWidget *parent = nullptr);
    ~WidgetVideoToolStudentRole() override;

    void showTool(bool show, bool inChannel) override;
    void setZoomChecked(bool checked);
    void setVideoChecked(bool checked);
    void setZoomEnabled(bool enabled);
    bool isZoomed() const { return m_zoomed; }
    bool isDrawOn() const { return m_drawOn; }

signals:
    void signal_switchBigVideo();
    void signal_switchSmallVideo();
    void signal_clickePraise();
    void signal_setEnableAudio(bool enable);
    void signal_setEnableDraw(bool enable);
    void signal_setEnableVideo(bool enable);

public slots:
    void on_btnAudio_clicked();
    void on_btnDraw_clicked();
    void on_btnPraise_clicked();
    void on_btnZoom_clicked();
    void on_btnVideo_clicked();

private:
    Ui::WidgetVideoToolStudentRole *ui;
    bool m_drawOn = true;
    bool m_zoomed = false;
};

#endif // WIDGETVIDEOTOOLSTUDENTROLE_H
