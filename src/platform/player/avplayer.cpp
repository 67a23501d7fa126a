#include "avplayer.h"

#include "audiooutput.h"
#include "multimediabackend.h"
#include "videooutput.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace QtAV {

namespace {

PlayerBackendFactory &backendFactory()
{
    static PlayerBackendFactory factory;
    return factory;
}

// A file path, or an http(s) address with a host; nothing else.
bool toSource(const QString &path, QUrl *url)
{
    if (path.isEmpty())
        return false;
    const QUrl parsed(path, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (!parsed.isValid() || parsed.host().isEmpty())
            return false;
        *url = parsed;
        return true;
    }
    // A path is a path: "C:/x" or "/x", never another scheme's address.
    if (path.startsWith(QLatin1Char('/')) || !path.contains(QLatin1Char(':'))) {
        *url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        return true;
    }
    return false;
}

} // namespace

AVPlayer::AVPlayer(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<QtAV::MediaStatus>("QtAV::MediaStatus");
    qRegisterMetaType<QtAV::AVError>("QtAV::AVError");
    m_backend = backendFactory() ? backendFactory()(this) : nullptr;
    if (!m_backend)
        m_backend = new MultimediaBackend(this);
    m_audio = new AudioOutput(m_backend, this);
    connect(m_backend, &PlayerBackend::positionChanged, this, &AVPlayer::onBackendPosition);
    connect(m_backend, &PlayerBackend::durationChanged, this, &AVPlayer::onBackendDuration);
    connect(m_backend, &PlayerBackend::mediaStatusChanged, this, &AVPlayer::onBackendStatus);
    connect(m_backend, &PlayerBackend::stateChanged, this, &AVPlayer::onBackendState);
    connect(m_backend, &PlayerBackend::errorOccurred, this, &AVPlayer::onBackendError);
}

AVPlayer::~AVPlayer()
{
    // The backend goes with us; it must not report into a half-gone player.
    disconnect(m_backend, nullptr, this, nullptr);
    m_backend->stop();
}

void AVPlayer::setFile(const QString &path)
{
    m_file = path;
    m_position = 0;
    m_duration = 0;
    QUrl url;
    m_fileAccepted = toSource(path, &url);
    if (!m_fileAccepted) {
        m_backend->stop();
        m_backend->setSource(QUrl());
        // Reported from the event loop, as the backend reports its own errors.
        QTimer::singleShot(0, this, [this] {
            if (m_fileAccepted)
                return;
            onBackendError(AVError::UnsupportedAddress, QStringLiteral("not a file or an http(s) address"));
            onBackendStatus(InvalidMedia);
        });
        return;
    }
    m_backend->setSource(url);
}

void AVPlayer::play()
{
    if (!m_fileAccepted)
        return;
    m_backend->play();
}

void AVPlayer::pause(bool p)
{
    if (m_state == PlayerBackend::Stopped)
        return;
    if (p)
        m_backend->pause();
    else
        m_backend->play();
}

void AVPlayer::stop()
{
    m_backend->stop();
}

bool AVPlayer::isPlaying() const
{
    return m_state != PlayerBackend::Stopped;
}

bool AVPlayer::isPaused() const
{
    return m_state == PlayerBackend::Paused;
}

void AVPlayer::setRenderer(VideoOutput *output)
{
    m_renderer = output;
    m_backend->setVideoOutput(output);
}

void AVPlayer::setVideoDecoderPriority(const QStringList &names)
{
    m_decoders = names;
}

void AVPlayer::prepareBackend()
{
    if (!backendFactory())
        MultimediaBackend::prepare();
}

void AVPlayer::setBackendFactory(const PlayerBackendFactory &factory)
{
    backendFactory() = factory;
}

void AVPlayer::onBackendPosition(qint64 ms)
{
    m_position = ms;
    emit positionChanged(ms);
}

void AVPlayer::onBackendDuration(qint64 ms)
{
    m_duration = ms;
    emit durationChanged(ms);
}

void AVPlayer::onBackendStatus(int status)
{
    if (status < UnknownMediaStatus || status > InvalidMedia)
        status = UnknownMediaStatus;
    m_status = MediaStatus(status);
    emit mediaStatusChanged(m_status);
}

void AVPlayer::onBackendState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void AVPlayer::onBackendError(int code, const QString &text)
{
    emit error(AVError(code, text));
}

} // namespace QtAV
