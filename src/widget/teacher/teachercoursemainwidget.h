#ifndef TEACHERCOURSEMAINWIDGET_H
#define TEACHERCOURSEMAINWIDGET_H

#include "widget/basecoursemainwidget.h"

namespace Ui {
class TeacherCourseMainWidget;
}

// The teacher's course window. For now: the "Schedule" window with the
// signed-in teacher's name and the way back to the login window.
class TeacherCourseMainWidget : public BaseCourseMainWidget
{
    Q_OBJECT

public:
    explicit TeacherCourseMainWidget(QWidget *parent = nullptr);
    ~TeacherCourseMainWidget() override;

private slots:
    void on_pushButtonLogout_clicked();
    void on_closePushButton_clicked();

private:
    Ui::TeacherCourseMainWidget *ui;
};

#endif // TEACHERCOURSEMAINWIDGET_H
