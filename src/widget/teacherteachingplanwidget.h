#ifndef TEACHERTEACHINGPLANWIDGET_H
#define TEACHERTEACHINGPLANWIDGET_H

#include "utility/widget/basemainwidget.h"
#include <QString>

// The link to the lesson plan.
class TeacherTeachingPlanWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit TeacherTeachingPlanWidget(QWidget *parent = nullptr);
    ~TeacherTeachingPlanWidget() override;

    void setTeachingPlanUrl(const QString &url);
};

#endif // TEACHERTEACHINGPLANWIDGET_H
