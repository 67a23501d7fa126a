#ifndef LISTITEMTEACHERVIDEONOTDOWNLOADED_H
#define LISTITEMTEACHERVIDEONOTDOWNLOADED_H

#include "utility/materialentity.h"

#include <QPointer>
#include <QWidget>

class MultiFilesDownloadUtil;
class QListWidgetItem;
namespace Ui {
class ListItemTeacherVideoNotDownloaded;
}

// A teaching video not on disk yet: its cover, name and a download button;
// a darker fill grows with the download of its sound and video files. A
// failure stops at the failed file and offers the button again.
class ListItemTeacherVideoNotDownloaded : public QWidget
{
    Q_OBJECT

public:
    explicit ListItemTeacherVideoNotDownloaded(QWidget *parent = nullptr);
    ~ListItemTeacherVideoNotDownloaded() override;

    void bindData(const QString &classId, QListWidgetItem *item, const VideoMaterial &video);

signals:
    void signal_onDownloadOk(QListWidgetItem *item, VideoMaterial video);

public slots:
    void on_btnDownload_clicked();
    void slot_onSuccess();
    void slot_onFailure(int errorCode);
    void slot_downloadProgress(double percent);

private:
    Ui::ListItemTeacherVideoNotDownloaded *ui;
    QListWidgetItem *m_item = nullptr;
    VideoMaterial m_video;
    QString m_classId;
    QPointer<MultiFilesDownloadUtil> m_download;
};

#endif // LISTITEMTEACHERVIDEONOTDOWNLOADED_H
