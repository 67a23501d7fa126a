#ifndef STUDENTSINFOITEM_H
#define STUDENTSINFOITEM_H

#include "biz/course/teacherclassentity.h"

#include <QWidget>

namespace Ui {
class StudentsInfoItem;
}

// The card of one student of the selected class: avatar, name, level, id,
// gender and age.
class StudentsInfoItem : public QWidget
{
    Q_OBJECT

public:
    explicit StudentsInfoItem(QWidget *parent = nullptr);
    ~StudentsInfoItem() override;

    void setStudentInfo(const ClassDetailsStudentEntity &student);

private:
    Ui::StudentsInfoItem *ui;
};

#endif // STUDENTSINFOITEM_H
