#ifndef TEACHERVIDEOLISTWIDGET_H
#define TEACHERVIDEOLISTWIDGET_H

#include "biz/course/classinfoentity.h"
#include "utility/materialentity.h"
#include "utility/widget/baselistwidgetcontainer.h"

#include <QVector>

namespace Ui {
class TeacherVideoListWidget;
}

// The lesson's teaching videos as cover tiles: a video not on disk offers a
// download, a present one a play button that opens the teacher's player.
class TeacherVideoListWidget : public BaseListWidgetContainer<VideoMaterial>
{
    Q_OBJECT

public:
    explicit TeacherVideoListWidget(QWidget *parent = nullptr);
    ~TeacherVideoListWidget() override;

    void setVideoMaterials(const ClassInfoEntity &classInfo, const QVector<VideoMaterial> &videos);
    QListWidget *listWidget() const;

public slots:
    void on_closePushButton_clicked();
    void slot_playVideo();
    void slot_onDownloadOk(QListWidgetItem *item, VideoMaterial source);

protected:
    QListWidget *getListWidget() override;
    QWidget *createItemWidget(QListWidgetItem *item, const VideoMaterial &video) override;

private:
    Ui::TeacherVideoListWidget *ui;
    ClassInfoEntity m_classInfo;
};

#endif // TEACHERVIDEOLISTWIDGET_H
