#ifndef TIMETABLEITEM_H
#define TIMETABLEITEM_H

#include "biz/course/bookedclassentity.h"

#include <QWidget>

namespace Ui {
class TimetableItem;
}

// One day of the student's timetable strip: the date, the number of booked
// lessons and, for today, a "today" line.
class TimetableItem : public QWidget
{
    Q_OBJECT

public:
    explicit TimetableItem(QWidget *parent = nullptr);
    ~TimetableItem() override;

    void setClassInfo(BriefBookedClassEntity info);
    BriefBookedClassEntity getClassInfo() const;
    void setClassNum(int num);
    void setToday(QString dayName);

private:
    Ui::TimetableItem *ui;
    BriefBookedClassEntity m_info;
};

#endif // TIMETABLEITEM_H
