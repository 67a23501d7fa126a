#ifndef TEACHERVIDEOLISTWIDGET_H
#define TEACHERVIDEOLISTWIDGET_H

#include "utility/widget/basemainwidget.h"
#include "biz/course/classinfoentity.h"
#include "utility/materialentity.h"
#include <QVector>

// The lesson's teaching videos, one row each: download, then play to the class.
class TeacherVideoListWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit TeacherVideoListWidget(QWidget *parent = nullptr);
    ~TeacherVideoListWidget() override;

    void setVideoMaterials(const ClassInfoEntity &classInfo, const QVector<VideoMaterial> &videos);
};

#endif // TEACHERVIDEOLISTWIDGET_H
