#ifndef CLASSLISTITEM_H
#define CLASSLISTITEM_H

#include "biz/course/teacherclassentity.h"

#include <QStringList>
#include <QWidget>

namespace Ui {
class ClassListItem;
}

// One class of the teacher's day: its start time and a one-letter badge of
// the kind of class, coloured by the class status and the selection.
class ClassListItem : public QWidget
{
    Q_OBJECT

public:
    explicit ClassListItem(QWidget *parent = nullptr);
    ~ClassListItem() override;

    void setClassInfo(const TeacherClassEntity &info);
    void setSelected(bool selected);
    // The blank row of a day without classes.
    void hideTimeAndState();

    QString getClassId() const;
    int getBeginTime() const;
    QStringList resourcePaths() const;
    QString badgeText() const;
    QString badgeStyle() const;
    QString timeText() const;

private:
    Ui::ClassListItem *ui;
    QString m_classId;
    int m_status = 0;
    int m_beginTime = 0;
    QStringList m_resourcePaths;
};

#endif // CLASSLISTITEM_H
