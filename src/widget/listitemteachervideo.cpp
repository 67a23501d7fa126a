#include "listitemteachervideo.h"
#include "ui_listitemteachervideo.h"

#include "mgr/signalqueuemgr.h"
#include "utility/downloadutil.h"
#include "utility/translatelanguage.h"
#include "widget/coursedialogs.h"
#include "widget/teachervideoplayerwidget.h"

#include <QDebug>
#include <QTimer>

ListItemTeacherVideo::ListItemTeacherVideo(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ListItemTeacherVideo)
{
    ui->setupUi(this);
    ui->labelName->setTextFormat(Qt::PlainText);
}

ListItemTeacherVideo::~ListItemTeacherVideo()
{
    delete ui;
}

void ListItemTeacherVideo::bindData(const ClassInfoEntity &classInfo, QListWidgetItem *item,
                                    const VideoMaterial &video, const QString &videoFilePath,
                                    const QString &audioFilePath)
{
    qInfo("bindData, audioFilePath:%s, videoFilePath:%s", qUtf8Printable(audioFilePath),
          qUtf8Printable(videoFilePath));
    m_classInfo = classInfo;
    m_item = item;
    m_video = video;
    m_videoFilePath = videoFilePath;
    m_audioFilePath = audioFilePath;
    m_audioUrl = video.voice;
    ui->labelName->setText(video.name);
    DownloadUtil::downloadImage(this, video.pic, ui->widgetItem, QStringLiteral("QWidget#widgetItem"), true,
                                QString(), QString());
}

void ListItemTeacherVideo::on_btnPlay_clicked()
{
    CourseDialogs::notice(CourseDialogs::Warning, this,
                          Translatelanguage::instance()->getText(QStringLiteral("velmo")),
                          tr("students will be unable to hear your voice when playing the video, vice versa .")
                              + QLatin1Char('\n')
                              + tr("Pausing the video will make both sides be able to hear the other side again"));
    SignalQueueMgr::instance()->signalVideoPlayerStart();
    if (playerWidget) {
        qInfo("playerWidget is playing, bPlayLater");
        bPlayLater = true;
    } else {
        qInfo("playerWidget is null, play it immediately");
        playVideo();
    }
}

void ListItemTeacherVideo::playVideo()
{
    qInfo("playVideo");
    bPlayLater = false;
    auto *player = new TeacherVideoPlayerWidget(nullptr);
    player->setAttribute(Qt::WA_DeleteOnClose);
    playerWidget = player;
    connect(player, &TeacherVideoPlayerWidget::signal_close, this, &ListItemTeacherVideo::slot_player_close);
    player->open(m_classInfo, m_video, m_videoFilePath, m_audioFilePath, m_audioUrl);
    player->showMaximized();
    emit signal_playVideo();
}

void ListItemTeacherVideo::slot_player_close()
{
    qInfo("slot_player_close");
    playerWidget = nullptr;
    if (bPlayLater) {
        qInfo("bPlayLater is true");
        // Once the closing window has gone its way.
        QTimer::singleShot(0, this, [this] {
            if (!playerWidget)
                playVideo();
        });
    }
}
