#include "teacheraudiolistwidget.h"
#include "ui_teacheraudiolistwidget.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/signalqueuemgr.h"
#include "utility/appdirs.h"
#include "widget/listitemteacheraudio.h"
#include "widget/listitemteacheraudionotdownloaded.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFile>

TeacherAudioListWidget::TeacherAudioListWidget(QWidget *parent)
    : BaseListWidgetContainer<VoiceMaterial>(parent)
    , ui(new Ui::TeacherAudioListWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    createLoadingWidget(ui->vlayoutContent);
}

TeacherAudioListWidget::~TeacherAudioListWidget()
{
    delete ui;
}

QListWidget *TeacherAudioListWidget::getListWidget()
{
    return ui->listWidget;
}

void TeacherAudioListWidget::setAudioMaterials(const QString &classId, const QVector<VoiceMaterial> &voices)
{
    m_classId = classId;
    showItems(voices, tr("no audio"));
}

QWidget *TeacherAudioListWidget::createItemWidget(QListWidgetItem *item, const VoiceMaterial &voice)
{
    const QString path = NetWorkDownloadReplyHolder::getFilePath(voice.voice, getDownloadResourceDir(m_classId));
    // Being there is enough for a player row.
    if (QFile::exists(path)) {
        qInfo("audio file:%s already exists", qUtf8Printable(path));
        auto *row = new ListItemTeacherAudio(ui->listWidget);
        row->bindData(item, voice, path);
        return row;
    }
    qInfo("audio file:%s doesn't exist", qUtf8Printable(path));
    auto *row = new ListItemTeacherAudioNotDownloaded(ui->listWidget);
    connect(row, &ListItemTeacherAudioNotDownloaded::signal_onDownloadOk, this,
            &TeacherAudioListWidget::slot_onDownloadOk);
    row->bindData(m_classId, item, voice);
    return row;
}

void TeacherAudioListWidget::slot_onDownloadOk(QListWidgetItem *item, VoiceMaterial voice)
{
    placeItemWidget(item, voice);
}

void TeacherAudioListWidget::on_closePushButton_clicked()
{
    close();
}

void TeacherAudioListWidget::closeEvent(QCloseEvent *event)
{
    BaseMainWidget::closeEvent(event);
    SignalQueueMgr::instance()->signalAudioListWidgetClosed();
}
