#ifndef COURSEMAINWIDGET_H
#define COURSEMAINWIDGET_H

#include "widget/basecoursemainwidget.h"

namespace Ui {
class CourseMainWidget;
}

// The student's course window. For now: the "Schedule" window with the
// signed-in student's name and the way back to the login window.
class CourseMainWidget : public BaseCourseMainWidget
{
    Q_OBJECT

public:
    explicit CourseMainWidget(QWidget *parent = nullptr);
    ~CourseMainWidget() override;

private slots:
    void on_pushButtonLogout_clicked();
    void on_closePushButton_clicked();

private:
    Ui::CourseMainWidget *ui;
};

#endif // COURSEMAINWIDGET_H
