#include "mediaplaypausecontrolutil.h"

#include "utility/widget/stylesheetutil.h"

#include <QDebug>

MediaPlayPauseControlUtil::MediaPlayPauseControlUtil(QObject *parent)
    : QObject(parent)
{
}

MediaPlayPauseControlUtil::~MediaPlayPauseControlUtil() = default;

void MediaPlayPauseControlUtil::onPlayButtonClicked()
{
    qInfo("onPlayButtonClicked");
    if (!isPlaying) {
        qInfo("isPlaying false");
        onPlay();
    } else if (isPaused) {
        qInfo("already paused, resume");
        onResume();
    } else {
        qInfo("not paused, do pause");
        onPause();
    }
}

void MediaPlayPauseControlUtil::onFinished()
{
    qInfo("onFinished");
    setIsPlaying(false);
    setIsPaused(false);
    makePlayButtonPlayStatus();
}

void MediaPlayPauseControlUtil::onPlay()
{
    qInfo("onPlay");
    setIsPlaying(true);
    makePlayButtonPauseStatus();
    emit signal_onPlay();
}

void MediaPlayPauseControlUtil::onPause()
{
    setIsPaused(true);
    makePlayButtonPlayStatus();
    emit signal_onPause();
}

void MediaPlayPauseControlUtil::onResume()
{
    qInfo("MediaPlayPauseControlUtil:onResume");
    setIsPaused(false);
    makePlayButtonPauseStatus();
    emit signal_onResume();
}

void MediaPlayPauseControlUtil::setPlayPauseButton(QPushButton *button, const QString &play, const QString &pause)
{
    playPauseButton = button;
    playImage = play;
    pauseImage = pause;
}

void MediaPlayPauseControlUtil::makePlayButtonPauseStatus()
{
    qInfo("makePlayButtonPauseStatus");
    if (playPauseButton)
        StyleSheetUtil::setBorderImage(playPauseButton, QStringLiteral("QPushButton"), pauseImage);
}

void MediaPlayPauseControlUtil::makePlayButtonPlayStatus()
{
    if (playPauseButton)
        StyleSheetUtil::setBorderImage(playPauseButton, QStringLiteral("QPushButton"), playImage);
}

void MediaPlayPauseControlUtil::setIsPlaying(bool value)
{
    qInfo("setIsPlaying %d", value);
    isPlaying = value;
}

void MediaPlayPauseControlUtil::setIsPaused(bool value)
{
    qInfo("setIsPaused %d", value);
    isPaused = value;
}
