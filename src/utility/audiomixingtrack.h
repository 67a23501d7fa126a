#ifndef AUDIOMIXINGTRACK_H
#define AUDIOMIXINGTRACK_H

#include <QPointer>
#include <QString>

class NetWorkReplyHolder;

// The sound file a media control plays through the RTC engine's audio
// mixing beside its own player, and the question for the file's duration
// at the media storage. The video players' control and the audio rows'
// control each hold one.
class AudioMixingTrack
{
public:
    // What stop() ends: the mixing of this file only, or whatever mixes.
    enum StopScope { StopThisFile, StopAnyFile };

    AudioMixingTrack() = default;
    // A pending duration request goes with it.
    ~AudioMixingTrack();

    // Keeps both and replaces the pending duration request with one for
    // url, which is returned for the caller to take its answer; none for
    // an empty url.
    NetWorkReplyHolder *setFile(const QString &url, const QString &filePath);
    QString filePath() const { return m_filePath; }
    bool isStarted() const { return m_started; }

    // Without a file these are only logged. loopback: heard on this
    // computer only, not by the class.
    void start(bool loopback);
    void pause();
    void resume();
    // Ends the mixing once started; a warning when it was not.
    void stop(StopScope scope);

private:
    Q_DISABLE_COPY(AudioMixingTrack)

    QString m_filePath;
    QString m_url;
    QPointer<NetWorkReplyHolder> m_durationReply;
    bool m_started = false;
};

#endif // AUDIOMIXINGTRACK_H
