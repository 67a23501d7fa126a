#include "listitemteacheraudionotdownloaded.h"
#include "ui_listitemteacheraudionotdownloaded.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "utility/downloadutil.h"

#include <QDebug>

ListItemTeacherAudioNotDownloaded::ListItemTeacherAudioNotDownloaded(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ListItemTeacherAudioNotDownloaded)
{
    ui->setupUi(this);
    // Names come from the server: shown as they are, never as markup.
    ui->labelAudioName->setTextFormat(Qt::PlainText);
}

ListItemTeacherAudioNotDownloaded::~ListItemTeacherAudioNotDownloaded()
{
    delete ui;
}

void ListItemTeacherAudioNotDownloaded::bindData(const QString &classId, QListWidgetItem *item,
                                                 const VoiceMaterial &voice)
{
    qInfo("bindData audioUrl_:%s", qUtf8Printable(voice.voice));
    m_classId = classId;
    m_item = item;
    m_voice = voice;
    ui->labelAudioName->setText(voice.name);
}

void ListItemTeacherAudioNotDownloaded::on_btnDownload_clicked()
{
    ui->btnDownload->hide();
    if (m_transfer)
        m_transfer->abort();
    m_transfer = DownloadUtil::downloadTeacherAudio(this, m_voice.voice, m_classId);
    if (!m_transfer) {
        // Nothing could be started: the button stays for another try.
        slot_onFailure(-1);
        slot_onFinish();
        return;
    }
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_downloadProgress, this,
            &ListItemTeacherAudioNotDownloaded::slot_downloadProgress);
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_onSuccess, this,
            &ListItemTeacherAudioNotDownloaded::slot_onSuccess);
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_onFailure, this,
            &ListItemTeacherAudioNotDownloaded::slot_onFailure);
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_onFinish, this,
            &ListItemTeacherAudioNotDownloaded::slot_onFinish);
}

void ListItemTeacherAudioNotDownloaded::slot_downloadProgress(double, qlonglong bytesReceived, qlonglong bytesTotal)
{
    if (bytesTotal <= 0) {
        qCritical("bytesTotal is 0");
        return;
    }
    const qint64 received = qBound<qint64>(0, bytesReceived, bytesTotal);
    const int width = int(qint64(ui->widgetContent->width()) * received / bytesTotal);
    QRect area = ui->widgetProgress->geometry();
    area.setWidth(width);
    ui->widgetProgress->setGeometry(area);
}

void ListItemTeacherAudioNotDownloaded::slot_onFailure(int errorCode)
{
    qCritical("download failed. errorCode:%d", errorCode);
}

void ListItemTeacherAudioNotDownloaded::slot_onFinish()
{
    ui->btnDownload->show();
}

void ListItemTeacherAudioNotDownloaded::slot_onSuccess(QString)
{
    qInfo("ListItemTeacherAudioNotDownloaded url:%s ok", qUtf8Printable(m_voice.voice));
    emit signal_onDownloadOk(m_item, m_voice);
}
