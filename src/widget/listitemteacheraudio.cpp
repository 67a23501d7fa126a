#include "listitemteacheraudio.h"
#include "ui_listitemteacheraudio.h"

#include "biz/av/agora/agoraaudiomgr.h"
#include "mgr/signalqueuemgr.h"
#include "platform/player/avplayer.h"
#include "utility/widget/playbackslots.h"
#include "utility/widget/stylesheetutil.h"

#include <QDebug>
#include <QListWidget>
#include <QMediaPlayer>
#include <QUrl>

ListItemTeacherAudio::ListItemTeacherAudio(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ListItemTeacherAudio)
{
    ui->setupUi(this);
    ui->labelName->setTextFormat(Qt::PlainText);
    ui->sliderMedia->setEnabled(false);
    m_player = new QMediaPlayer(this);
    // Often enough for a smooth slider.
    m_player->setNotifyInterval(QtAV::AVPlayer::kPositionIntervalMs);
    connectPlaybackSlots(&m_control, this);
    m_control.init(m_player, ui->btnPlay, ui->sliderMedia, ui->labelCurTime, ui->labelWholeTime);
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_audio_list_widget_closed, this,
            &ListItemTeacherAudio::slot_list_widget_closed);
}

ListItemTeacherAudio::~ListItemTeacherAudio()
{
    // A row that goes while it plays leaves nothing playing in the engine.
    if (m_control.getIsPlaying())
        m_control.reset();
    delete ui;
}

void ListItemTeacherAudio::bindData(QListWidgetItem *item, const VoiceMaterial &voice, const QString &audioFilePath)
{
    qInfo("bindData, audioFilePath:%s", qUtf8Printable(audioFilePath));
    m_item = item;
    if (item && item->listWidget()) {
        connect(item->listWidget(), &QListWidget::currentItemChanged, this,
                &ListItemTeacherAudio::slot_currentItemChanged, Qt::UniqueConnection);
    }
    m_control.setAudioFile(voice.voice, audioFilePath);
    ui->labelName->setText(voice.name);
    m_player->setMedia(QUrl::fromLocalFile(audioFilePath));
    m_player->setMuted(true);
}

void ListItemTeacherAudio::on_btnPlay_clicked()
{
    qInfo("on_btnPlay_clicked");
    if (m_item && m_item->listWidget())
        m_item->listWidget()->setCurrentItem(m_item);
    SignalQueueMgr::instance()->signalAudioPlay();
    m_control.onPlayButtonClicked();
    // The row that plays is stopped when any row starts the engine next.
    connect(AgoraAudioMgr::instance(), &AgoraAudioMgr::signal_onStartAudioMixing, this,
            &ListItemTeacherAudio::slot_onStartAudioMixing, Qt::UniqueConnection);
}

void ListItemTeacherAudio::slot_onStartAudioMixing()
{
    qWarning("slot_onStartAudioMixing");
    if (m_control.getIsPlaying()) {
        qInfo("reset mediaplayer");
        m_control.reset();
    }
    qInfo("disconnect signal_onStartAudioMixing");
    disconnect(AgoraAudioMgr::instance(), &AgoraAudioMgr::signal_onStartAudioMixing, this,
               &ListItemTeacherAudio::slot_onStartAudioMixing);
}

void ListItemTeacherAudio::setAudioNameStatus()
{
    const QString color = QLatin1String(m_control.getIsPlaying() ? kPlayingNameColor : kNameColor);
    qInfo("setAudioNameStatus newColor:%s", qUtf8Printable(color));
    StyleSheetUtil::setColor(ui->labelName, QStringLiteral("QLabel"), color);
}

void ListItemTeacherAudio::slot_onPlay()
{
    setAudioNameStatus();
}

void ListItemTeacherAudio::slot_onPause() {}

void ListItemTeacherAudio::slot_onResume() {}

void ListItemTeacherAudio::slot_onFinished()
{
    setAudioNameStatus();
}

void ListItemTeacherAudio::slot_durationChanged(qlonglong) {}

void ListItemTeacherAudio::slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous)
{
    QListWidget *list = m_item ? m_item->listWidget() : nullptr;
    qInfo("slot_currentItemChanged current:%d, previous:%d", list && current ? list->row(current) : -1,
          list && previous ? list->row(previous) : -1);
    if (!list)
        return;
    if (current && list->itemWidget(current) == this)
        StyleSheetUtil::setBackgroundColor(ui->widgetRoot, QStringLiteral("QWidget#widgetRoot"),
                                           QLatin1String(kCurrentBackground));
    else if (previous && list->itemWidget(previous) == this)
        StyleSheetUtil::setBackgroundColor(ui->widgetRoot, QStringLiteral("QWidget#widgetRoot"),
                                           QLatin1String(kBackground));
}

void ListItemTeacherAudio::slot_list_widget_closed()
{
    m_control.reset();
}
