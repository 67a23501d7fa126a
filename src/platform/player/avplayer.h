#ifndef AVPLAYER_H
#define AVPLAYER_H

#include "avplayertypes.h"
#include "playerbackend.h"
#include "videooutput.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

namespace QtAV {

class AudioOutput;


// One medium at a time: a file on disk or an http(s) address, played with
// its picture in a VideoOutput and its sound on the machine's speaker.
// While it plays it reports the position about every 200 ms, the duration
// when known, the media status and errors. Everything runs on the thread
// that made the player.
class AVPlayer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPositionIntervalMs = 200;

    explicit AVPlayer(QObject *parent = nullptr);
    ~AVPlayer() override;

    // A local path, or an http or https address. Any other address is
    // refused: error(UnsupportedAddress) and InvalidMedia from the event
    // loop, and play() then does nothing.
    void setFile(const QString &path);
    QString file() const { return m_file; }
    void play();
    // true pauses, false resumes; neither does anything while stopped.
    void pause(bool p);
    void stop();
    // Playing or paused: a play has started and not stopped or ended.
    bool isPlaying() const;
    bool isPaused() const;

    AudioOutput *audio() const { return m_audio; }
    void setRenderer(VideoOutput *output);
    VideoOutput *renderer() const { return m_renderer.data(); }
    // Kept for the log only: the backend decodes with what it has.
    void setVideoDecoderPriority(const QStringList &names);
    QStringList videoDecoderPriority() const { return m_decoders; }

    qint64 position() const { return m_position; }
    qint64 duration() const { return m_duration; }
    MediaStatus mediaStatus() const { return m_status; }

    // Prepares the real backend in the background so that the first player
    // does not stall the thread that makes it; nothing with a test backend.
    static void prepareBackend();

    // For tests: the backend of players made from now on (an empty
    // function restores Qt Multimedia's).
    static void setBackendFactory(const PlayerBackendFactory &factory);
    PlayerBackend *backend() const { return m_backend; }

signals:
    void positionChanged(qint64 position);
    void durationChanged(qint64 duration);
    void mediaStatusChanged(QtAV::MediaStatus status);
    void error(const QtAV::AVError &e);
    void stateChanged(int state);

private:
    void onBackendPosition(qint64 ms);
    void onBackendDuration(qint64 ms);
    void onBackendStatus(int status);
    void onBackendState(int state);
    void onBackendError(int code, const QString &text);

    PlayerBackend *m_backend = nullptr;
    AudioOutput *m_audio = nullptr;
    QPointer<VideoOutput> m_renderer;
    QStringList m_decoders;
    QString m_file;
    bool m_fileAccepted = false;
    int m_state = PlayerBackend::Stopped;
    qint64 m_position = 0;
    qint64 m_duration = 0;
    MediaStatus m_status = NoMedia;
};

} // namespace QtAV

#endif // AVPLAYER_H
