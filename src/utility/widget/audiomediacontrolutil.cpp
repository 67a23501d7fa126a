#include "audiomediacontrolutil.h"

#include <QDebug>

AudioMediaControlUtil::AudioMediaControlUtil(QObject *parent)
    : AudioMediaPlayPauseControlUtil(parent)
{
}

AudioMediaControlUtil::~AudioMediaControlUtil() = default;

void AudioMediaControlUtil::init(QMediaPlayer *player, QPushButton *playButton, QSlider *positionSlider,
                                 QLabel *curLabel, QLabel *totalLabel)
{
    mediaPlayer = player;
    button = playButton;
    m_time.bind(positionSlider, curLabel, totalLabel);
    if (player) {
        connect(player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this,
                &AudioMediaControlUtil::slot_mediaplayer_error);
        connect(player, &QMediaPlayer::positionChanged, this, &AudioMediaControlUtil::slot_positionChanged);
        connect(player, &QMediaPlayer::mediaStatusChanged, this, &AudioMediaControlUtil::slot_mediaStatusChanged);
        connect(player, &QMediaPlayer::durationChanged, this, &AudioMediaControlUtil::slot_durationChanged);
    }
    setPlayPauseButton(playButton, QLatin1String(kPlayImage), QLatin1String(kPauseImage));
}

void AudioMediaControlUtil::onPlay()
{
    qInfo("mediaPlayer:play");
    if (mediaPlayer)
        mediaPlayer->play();
    AudioMediaPlayPauseControlUtil::onPlay();
}

void AudioMediaControlUtil::onPause()
{
    qInfo("mediaPlayer:pause");
    if (mediaPlayer)
        mediaPlayer->pause();
    AudioMediaPlayPauseControlUtil::onPause();
}

void AudioMediaControlUtil::onResume()
{
    qInfo("mediaPlayer:resume");
    if (mediaPlayer)
        mediaPlayer->play();
    AudioMediaPlayPauseControlUtil::onResume();
}

QString AudioMediaControlUtil::formatAudioDuration(int ms)
{
    return MediaTimeView::formatDuration(ms);
}

void AudioMediaControlUtil::onWholeDuation(int ms)
{
    m_time.setWholeDuration(ms);
}

void AudioMediaControlUtil::reset()
{
    qInfo("reset");
    qInfo("mediaPlayer:stop");
    if (mediaPlayer)
        mediaPlayer->stop();
    m_time.showStart(true);
    onFinished();
    emit signal_onFinished();
}

void AudioMediaControlUtil::resetCurTime()
{
    m_time.showStart(false);
}

void AudioMediaControlUtil::slot_positionChanged(qlonglong position)
{
    m_time.showPosition(position);
}

void AudioMediaControlUtil::slot_mediaStatusChanged(QMediaPlayer::MediaStatus status)
{
    if (status != QMediaPlayer::EndOfMedia)
        return;
    qInfo("reach the end");
    qInfo("mediaPlayer:EndOfMedia");
    reset();
}

void AudioMediaControlUtil::slot_durationChanged(qlonglong)
{
    // The whole time comes from the media storage's answer only.
}

void AudioMediaControlUtil::slot_mediaplayer_error(QMediaPlayer::Error error)
{
    qCritical("slot_mediaplayer_error error:%d", int(error));
}
