#include "teacherteachingplanwidget.h"

TeacherTeachingPlanWidget::TeacherTeachingPlanWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
}

TeacherTeachingPlanWidget::~TeacherTeachingPlanWidget() = default;

void TeacherTeachingPlanWidget::setTeachingPlanUrl(const QString &) {}
