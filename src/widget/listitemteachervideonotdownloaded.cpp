#include "listitemteachervideonotdownloaded.h"
#include "ui_listitemteachervideonotdownloaded.h"

#include "utility/appdirs.h"
#include "utility/downloadutil.h"
#include "utility/multifilesdownloadutil.h"

#include <QDebug>

ListItemTeacherVideoNotDownloaded::ListItemTeacherVideoNotDownloaded(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ListItemTeacherVideoNotDownloaded)
{
    ui->setupUi(this);
    ui->labelName->setTextFormat(Qt::PlainText);
}

ListItemTeacherVideoNotDownloaded::~ListItemTeacherVideoNotDownloaded()
{
    delete ui;
}

void ListItemTeacherVideoNotDownloaded::bindData(const QString &classId, QListWidgetItem *item,
                                                 const VideoMaterial &video)
{
    qInfo("bindData audioUrl_:%s", qUtf8Printable(video.video));
    m_classId = classId;
    m_item = item;
    m_video = video;
    ui->labelName->setText(video.name);
    DownloadUtil::downloadImage(this, video.pic, ui->widgetRoot, QStringLiteral("QWidget#widgetRoot"), true,
                                QString(), QString());
}

void ListItemTeacherVideoNotDownloaded::on_btnDownload_clicked()
{
    ui->btnDownload->hide();
    delete m_download.data();
    m_download = new MultiFilesDownloadUtil(this);
    connect(m_download, &MultiFilesDownloadUtil::signal_downloadProgress, this,
            &ListItemTeacherVideoNotDownloaded::slot_downloadProgress);
    connect(m_download, &MultiFilesDownloadUtil::signal_onFailure, this,
            &ListItemTeacherVideoNotDownloaded::slot_onFailure);
    connect(m_download, &MultiFilesDownloadUtil::signal_onSuccess, this,
            &ListItemTeacherVideoNotDownloaded::slot_onSuccess);
    const QString folder = getDownloadResourceDir(m_classId);
    QVector<DownloadFileInfo> files;
    if (!m_video.voice.isEmpty())
        files.append({ m_video.voice, folder });
    if (!m_video.video.isEmpty())
        files.append({ m_video.video, folder });
    m_download->download(files);
}

void ListItemTeacherVideoNotDownloaded::slot_downloadProgress(double percent)
{
    const double share = qBound(0.0, percent, 100.0);
    QRect area = ui->widgetProgress->geometry();
    area.setWidth(int(ui->widgetContent->width() * share / 100));
    ui->widgetProgress->setGeometry(area);
}

void ListItemTeacherVideoNotDownloaded::slot_onFailure(int errorCode)
{
    qInfo("ListItemTeacherVideoNotDownloaded slot_onFailure, error:%d", errorCode);
    ui->btnDownload->show();
}

void ListItemTeacherVideoNotDownloaded::slot_onSuccess()
{
    qInfo("slot_onSuccess download");
    emit signal_onDownloadOk(m_item, m_video);
}
