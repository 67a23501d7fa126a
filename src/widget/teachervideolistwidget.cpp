#include "teachervideolistwidget.h"
#include "ui_teachervideolistwidget.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "utility/appdirs.h"
#include "widget/listitemteachervideo.h"
#include "widget/listitemteachervideonotdownloaded.h"

#include <QDebug>
#include <QFile>

TeacherVideoListWidget::TeacherVideoListWidget(QWidget *parent)
    : BaseListWidgetContainer<VideoMaterial>(parent)
    , ui(new Ui::TeacherVideoListWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    createLoadingWidget(ui->vlayoutContent);
}

TeacherVideoListWidget::~TeacherVideoListWidget()
{
    delete ui;
}

QListWidget *TeacherVideoListWidget::getListWidget()
{
    return ui->listWidget;
}

QListWidget *TeacherVideoListWidget::listWidget() const
{
    return ui->listWidget;
}

void TeacherVideoListWidget::setVideoMaterials(const ClassInfoEntity &classInfo, const QVector<VideoMaterial> &videos)
{
    m_classInfo = classInfo;
    showItems(videos, tr("no video"));
}

QWidget *TeacherVideoListWidget::createItemWidget(QListWidgetItem *item, const VideoMaterial &video)
{
    const QString folder = getDownloadResourceDir(m_classInfo.class_id);
    const QString videoPath = NetWorkDownloadReplyHolder::getFilePath(video.video, folder);
    const QString audioPath = video.voice.isEmpty() ? QString()
                                                    : NetWorkDownloadReplyHolder::getFilePath(video.voice, folder);
    // The video file is enough; a missing sound plays the file's own.
    if (QFile::exists(videoPath)) {
        qInfo("video file:%s exists", qUtf8Printable(videoPath));
        auto *row = new ListItemTeacherVideo(ui->listWidget);
        row->bindData(m_classInfo, item, video, videoPath, audioPath);
        connect(row, &ListItemTeacherVideo::signal_playVideo, this, &TeacherVideoListWidget::slot_playVideo);
        return row;
    }
    qInfo("not both exists. videoFileExists:%d, audioFileExists:%d", 0,
          !audioPath.isEmpty() && QFile::exists(audioPath));
    auto *row = new ListItemTeacherVideoNotDownloaded(ui->listWidget);
    connect(row, &ListItemTeacherVideoNotDownloaded::signal_onDownloadOk, this,
            &TeacherVideoListWidget::slot_onDownloadOk);
    row->bindData(m_classInfo.class_id, item, video);
    return row;
}

void TeacherVideoListWidget::on_closePushButton_clicked()
{
    close();
}

void TeacherVideoListWidget::slot_playVideo() {}

void TeacherVideoListWidget::slot_onDownloadOk(QListWidgetItem *item, VideoMaterial source)
{
    placeItemWidget(item, source);
}
