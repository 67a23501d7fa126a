#ifndef COURSEDETAILSITEM_H
#define COURSEDETAILSITEM_H

#include "biz/course/bookedclassentity.h"

#include <QWidget>

namespace Ui {
class CourseDetailsItem;
}

// One booked lesson of the chosen day: picture, time, course, teacher and
// the "Enter classroom" button, red from ten minutes before the start and
// grey before that (it can be pressed either way).
class CourseDetailsItem : public QWidget
{
    Q_OBJECT

public:
    // How long before the start the button turns red.
    static constexpr int kEnterEarlySecs = 600;

    explicit CourseDetailsItem(QWidget *parent = nullptr);
    ~CourseDetailsItem() override;

    void bindData(BookedCourseDetail detail);

signals:
    void signal_clickedJoinClass(BookedCourseDetail detail);

private slots:
    void on_pushButtonJoinClass_clicked();

private:
    Ui::CourseDetailsItem *ui;
    BookedCourseDetail m_detail;
};

Q_DECLARE_METATYPE(BookedCourseDetail)

#endif // COURSEDETAILSITEM_H
