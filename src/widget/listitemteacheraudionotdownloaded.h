#ifndef LISTITEMTEACHERAUDIONOTDOWNLOADED_H
#define LISTITEMTEACHERAUDIONOTDOWNLOADED_H

#include "utility/materialentity.h"

#include <QPointer>
#include <QWidget>

class NetWorkDownloadReplyHolder;
class QListWidgetItem;
namespace Ui {
class ListItemTeacherAudioNotDownloaded;
}

// An audio material that is not on disk yet: its name and a download
// button; the fill behind the row grows with the download. When the file
// has arrived the panel puts a player row in its place.
class ListItemTeacherAudioNotDownloaded : public QWidget
{
    Q_OBJECT

public:
    explicit ListItemTeacherAudioNotDownloaded(QWidget *parent = nullptr);
    ~ListItemTeacherAudioNotDownloaded() override;

    void bindData(const QString &classId, QListWidgetItem *item, const VoiceMaterial &voice);

signals:
    void signal_onDownloadOk(QListWidgetItem *item, VoiceMaterial voice);

public slots:
    void on_btnDownload_clicked();
    void slot_onSuccess(QString filePath);
    void slot_onFailure(int errorCode);
    void slot_downloadProgress(double percent, qlonglong bytesReceived, qlonglong bytesTotal);
    void slot_onFinish();

private:
    Ui::ListItemTeacherAudioNotDownloaded *ui;
    QListWidgetItem *m_item = nullptr;
    VoiceMaterial m_voice;
    QString m_classId;
    QPointer<NetWorkDownloadReplyHolder> m_transfer;
};

#endif // LISTITEMTEACHERAUDIONOTDOWNLOADED_H
