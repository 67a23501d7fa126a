#include "multimediabackend.h"

#include "avplayer.h"
#include "videoframesurface.h"
#include "videooutput.h"
#include "widgetrenderer.h"

#include <QMediaPlayer>
#include <QThreadPool>

#include <atomic>

namespace QtAV {

MultimediaBackend::MultimediaBackend(QObject *parent)
    : PlayerBackend(parent)
    , m_player(new QMediaPlayer(this, QMediaPlayer::VideoSurface))
{
    m_player->setNotifyInterval(AVPlayer::kPositionIntervalMs);
    connect(m_player, &QMediaPlayer::positionChanged, this, &PlayerBackend::positionChanged);
    connect(m_player, &QMediaPlayer::durationChanged, this, &PlayerBackend::durationChanged);
    // Qt's statuses have the same numbers as ours.
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) { emit mediaStatusChanged(int(status)); });
    connect(m_player, &QMediaPlayer::stateChanged, this, [this](QMediaPlayer::State state) {
        emit stateChanged(state == QMediaPlayer::PlayingState  ? Playing
                          : state == QMediaPlayer::PausedState ? Paused
                                                               : Stopped);
    });
    connect(m_player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this,
            [this](QMediaPlayer::Error error) {
                const int code = error == QMediaPlayer::ResourceError         ? AVError::ResourceError
                                 : error == QMediaPlayer::FormatError         ? AVError::FormatError
                                 : error == QMediaPlayer::NetworkError        ? AVError::NetworkError
                                 : error == QMediaPlayer::AccessDeniedError   ? AVError::AccessDeniedError
                                 : error == QMediaPlayer::ServiceMissingError ? AVError::ServiceMissingError
                                                                              : AVError::UnknownError;
                emit errorOccurred(code, m_player->errorString());
            });
}

void MultimediaBackend::prepare()
{
    static std::atomic_bool started(false);
    if (started.exchange(true))
        return;
    // Asking for support loads Qt's GStreamer plugin and initialises
    // GStreamer (its plugin cache included); a player made later finds it
    // done. A player made meanwhile waits inside GStreamer for the same work.
    QThreadPool::globalInstance()->start([] { QMediaPlayer::hasSupport(QStringLiteral("video/mp4")); });
}

void MultimediaBackend::setSource(const QUrl &url)
{
    m_player->setMedia(url.isEmpty() ? QMediaContent() : QMediaContent(url));
}

void MultimediaBackend::play()
{
    m_player->play();
}

void MultimediaBackend::pause()
{
    m_player->pause();
}

void MultimediaBackend::stop()
{
    m_player->stop();
}

void MultimediaBackend::setMuted(bool muted)
{
    m_player->setMuted(muted);
}

void MultimediaBackend::setVideoOutput(VideoOutput *output)
{
    auto *renderer = output ? qobject_cast<WidgetRenderer *>(output->widget()) : nullptr;
    QAbstractVideoSurface *surface = renderer ? renderer->surface() : nullptr;
    m_player->setVideoOutput(surface);
}

} // namespace QtAV
