#include "audiomediacontrolutil.h"

#include "utility/widget/mediacontrolutil.h"

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
    slider = positionSlider;
    curTimeLabel = curLabel;
    totalTimeLabel = totalLabel;
    if (slider)
        slider->setMinimum(1);
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
    return MediaControlUtil::formatAudioDuration(ms);
}

void AudioMediaControlUtil::onWholeDuation(int ms)
{
    wholeDurationMs = ms;
    MediaControlUtil::showWholeDuration(ms, slider, totalTimeLabel);
}

void AudioMediaControlUtil::reset()
{
    qInfo("reset");
    qInfo("mediaPlayer:stop");
    if (mediaPlayer)
        mediaPlayer->stop();
    MediaControlUtil::showStart(slider, curTimeLabel);
    onFinished();
    emit signal_onFinished();
}

void AudioMediaControlUtil::resetCurTime()
{
    MediaControlUtil::showStart(nullptr, curTimeLabel);
}

void AudioMediaControlUtil::slot_positionChanged(qlonglong position)
{
    MediaControlUtil::showPosition(position, slider, curTimeLabel);
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
