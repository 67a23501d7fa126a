#ifndef WIDGETVIDEOTOOLTEACHERROLE_H
#define WIDGETVIDEOTOOLTEACHERROLE_H

#include "widget/widgetvideotool.h"

namespace Ui {
class WidgetVideoToolTeacherRole;
}

// The teacher tile's tool bar: the speaking level with the microphone
// button, and the camera button. In the teacher program they turn the
// teacher's own microphone and camera off and on; in the student program
// only the level shows.
class WidgetVideoToolTeacherRole : public WidgetVideoTool
{
    Q_OBJECT

public:
    explicit WidgetVideoToolTeacherRole(QWidget *parent = nullptr);
    ~WidgetVideoToolTeacherRole() override;

    void showTool(bool show, bool inChannel) override;

signals:
    void signal_setEnableVideo(bool enable);

public slots:
    void on_btnVideo_clicked();
    void on_btnAudio_clicked();

private:
    Ui::WidgetVideoToolTeacherRole *ui;
};

#endif // WIDGETVIDEOTOOLTEACHERROLE_H
