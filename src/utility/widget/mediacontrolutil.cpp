#include "mediacontrolutil.h"

#include "platform/player/avplayer.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

MediaControlUtil::MediaControlUtil(QObject *parent)
    : MediaPlayPauseControlUtil(parent)
{
}

MediaControlUtil::~MediaControlUtil() = default;

void MediaControlUtil::init(QtAV::AVPlayer *player, QPushButton *playButton, QAbstractSlider *progressSlider,
                            QLabel *curLabel, QLabel *totalLabel)
{
    mediaPlayer = player;
    button = playButton;
    m_time.bind(progressSlider, curLabel, totalLabel);
    if (player) {
        connect(player, &QtAV::AVPlayer::error, this, &MediaControlUtil::slot_mediaplayer_error);
        connect(player, &QtAV::AVPlayer::positionChanged, this, &MediaControlUtil::slot_positionChanged);
        connect(player, &QtAV::AVPlayer::mediaStatusChanged, this, &MediaControlUtil::slot_mediaStatusChanged);
        connect(player, &QtAV::AVPlayer::durationChanged, this, &MediaControlUtil::slot_durationChanged);
    }
    setPlayPauseButton(playButton, QLatin1String(kPlayImage), QLatin1String(kPauseImage));
}

void MediaControlUtil::onPlay()
{
    qInfo("MediaControlUtil:mediaPlayer:play");
    // Reset (ended, or a medium that cannot be played): nothing starts, so
    // nobody is told that it plays.
    if (!mediaPlayer) {
        qCritical("no medium to play");
        return;
    }
    {
        qInfo("isPlaying:%d, isPaused:%d", mediaPlayer->isPlaying(), mediaPlayer->isPaused());
        mediaPlayer->play();
        qInfo("isPlaying:%d, isPaused:%d", mediaPlayer->isPlaying(), mediaPlayer->isPaused());
    }
    MediaPlayPauseControlUtil::onPlay();
}

void MediaControlUtil::onPause()
{
    qInfo("MediaControlUtil:mediaPlayer:pause");
    if (mediaPlayer) {
        qInfo("isPlaying:%d, isPaused:%d", mediaPlayer->isPlaying(), mediaPlayer->isPaused());
        mediaPlayer->pause(true);
        qInfo("isPlaying:%d, isPaused:%d", mediaPlayer->isPlaying(), mediaPlayer->isPaused());
    }
    MediaPlayPauseControlUtil::onPause();
}

void MediaControlUtil::onResume()
{
    qInfo("MediaControlUtil:mediaPlayer:resume");
    if (mediaPlayer) {
        qInfo("isPlaying:%d, isPaused:%d", mediaPlayer->isPlaying(), mediaPlayer->isPaused());
        mediaPlayer->pause(false);
        qInfo("isPlaying:%d, isPaused:%d", mediaPlayer->isPlaying(), mediaPlayer->isPaused());
    }
    MediaPlayPauseControlUtil::onResume();
}

QString MediaControlUtil::formatAudioDuration(int ms)
{
    return MediaTimeView::formatDuration(ms);
}

bool MediaControlUtil::parseAvInfoDuration(const QString &response, int *durationMs)
{
    qInfo("slot_onSuccess_getAvInfoFromQiNiu response:%s", qUtf8Printable(response.left(512)));
    if (response.size() > kMaxAvInfoLength) {
        qCritical("avinfo answer too long: %d", int(response.size()));
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(response.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical("parse json error:%d, json:%s", int(error.error), qUtf8Printable(response.left(512)));
        return false;
    }
    const QJsonObject root = document.object();
    if (root.isEmpty()) {
        qCritical("root is empty");
        return false;
    }
    const QJsonValue formatValue = root.value(QStringLiteral("format"));
    if (!formatValue.isObject()) {
        qCritical("error formatJsonValue");
        return false;
    }
    const QJsonObject format = formatValue.toObject();
    if (format.isEmpty()) {
        qCritical("formatObj is empty");
        return false;
    }
    const QJsonValue durationValue = format.value(QStringLiteral("duration"));
    if (!durationValue.isString()) {
        qCritical("duration is wrong");
        return false;
    }
    bool ok = false;
    const double seconds = durationValue.toString().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds * 1000 > double(kMaxDurationMs)) {
        qCritical("duration is wrong");
        return false;
    }
    *durationMs = int(seconds * 1000);
    qInfo("duration:%d", *durationMs);
    return true;
}

void MediaControlUtil::resetCurTime()
{
    m_time.showStart(false);
}

void MediaControlUtil::onWholeDuation(int ms)
{
    m_time.setWholeDuration(ms);
}

void MediaControlUtil::reset()
{
    qInfo("reset");
    if (!mediaPlayer) {
        qWarning("mediaPlayer is null");
        return;
    }
    qInfo("mediaPlayer:stop");
    QtAV::AVPlayer *player = mediaPlayer;
    mediaPlayer = nullptr;
    disconnect(player, nullptr, this, nullptr);
    player->stop();
    m_time.showStart(true);
    onFinished();
    emit signal_onFinished();
    qInfo("reset leaves");
}

void MediaControlUtil::slot_positionChanged(qlonglong position)
{
    m_time.showPosition(position);
}

void MediaControlUtil::slot_mediaStatusChanged(QtAV::MediaStatus status)
{
    qInfo() << "media_status:" << int(status);
    if (status == QtAV::EndOfMedia) {
        qInfo("reach the end");
        qInfo("mediaPlayer:EndOfMedia");
        reset();
    } else if (status == QtAV::InvalidMedia) {
        qCritical("the medium cannot be played: %s", qUtf8Printable(mediaPlayer ? mediaPlayer->file() : QString()));
        emit signal_onFailed();
        reset();
    }
}

void MediaControlUtil::slot_durationChanged(qlonglong)
{
    // The duration comes from the media storage only.
}

void MediaControlUtil::slot_mediaplayer_error(QtAV::AVError error)
{
    qCritical("slot_mediaplayer_error code:%d, description:%s", error.error(), qUtf8Printable(error.string()));
}
