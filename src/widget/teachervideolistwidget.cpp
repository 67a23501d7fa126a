#include "teachervideolistwidget.h"

TeacherVideoListWidget::TeacherVideoListWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
}

TeacherVideoListWidget::~TeacherVideoListWidget() = default;

void TeacherVideoListWidget::setVideoMaterials(const ClassInfoEntity &, const QVector<VideoMaterial> &) {}
