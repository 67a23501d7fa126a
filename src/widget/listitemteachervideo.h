#ifndef LISTITEMTEACHERVIDEO_H
#define LISTITEMTEACHERVIDEO_H

#include "biz/course/classinfoentity.h"
#include "utility/materialentity.h"
#include "widget/teachervideoplayerwidget.h"

#include <QPointer>
#include <QWidget>

class QListWidgetItem;

namespace Ui {
class ListItemTeacherVideo;
}

// A teaching video on disk: its cover, name and a play button that opens
// the teacher's video player. Pressing play while this video's player is
// open plays it again as soon as that player has closed.
class ListItemTeacherVideo : public QWidget
{
    Q_OBJECT

public:
    explicit ListItemTeacherVideo(QWidget *parent = nullptr);
    ~ListItemTeacherVideo() override;

    void bindData(const ClassInfoEntity &classInfo, QListWidgetItem *item, const VideoMaterial &video,
                  const QString &videoFilePath, const QString &audioFilePath);
    void playVideo();

    TeacherVideoPlayerWidget *player() const { return playerWidget.data(); }
    bool isPlayLater() const { return bPlayLater; }
    QString videoFilePath() const { return m_videoFilePath; }
    QString audioFilePath() const { return m_audioFilePath; }

signals:
    void signal_playVideo();

public slots:
    void on_btnPlay_clicked();
    void slot_player_close();

private:
    Ui::ListItemTeacherVideo *ui;
    QListWidgetItem *m_item = nullptr;
    ClassInfoEntity m_classInfo;
    VideoMaterial m_video;
    QString m_videoFilePath;
    QString m_audioFilePath;
    QString m_audioUrl;
    QPointer<TeacherVideoPlayerWidget> playerWidget;
    bool bPlayLater = false;
};

#endif // LISTITEMTEACHERVIDEO_H
