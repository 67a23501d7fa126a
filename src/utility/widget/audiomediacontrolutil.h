#ifndef AUDIOMEDIACONTROLUTIL_H
#define AUDIOMEDIACONTROLUTIL_H

#include "utility/widget/audiomediaplaypausecontrolutil.h"
#include "utility/widget/mediatimeview.h"

#include <QLabel>
#include <QMediaPlayer>
#include <QPointer>
#include <QSlider>

// Binds a Qt Multimedia player to an audio row's play/pause button,
// position slider and time labels: plays, pauses and resumes it, shows its
// position, and returns everything to the start at the end of the medium.
// Unlike the video players' control it keeps its player, so the row can
// play again.
class AudioMediaControlUtil : public AudioMediaPlayPauseControlUtil
{
    Q_OBJECT

public:
    static constexpr const char *kPlayImage = "url(:/image/class/icon_audio_play.png)";
    static constexpr const char *kPauseImage = "url(:/image/class/icon_audio_pause.png)";

    explicit AudioMediaControlUtil(QObject *parent = nullptr);
    ~AudioMediaControlUtil() override;

    // The player is the caller's; slider and labels may be null.
    void init(QMediaPlayer *player, QPushButton *button, QSlider *slider, QLabel *curTimeLabel,
              QLabel *totalTimeLabel);

    void onPlay() override;
    void onPause() override;
    void onResume() override;

    static QString formatAudioDuration(int ms);
    void onWholeDuation(int ms);
    int wholeDuration() const { return m_time.wholeDuration(); }
    void reset();
    void resetCurTime();

signals:
    void signal_onFinished();

public slots:
    void slot_positionChanged(qlonglong position);
    void slot_mediaStatusChanged(QMediaPlayer::MediaStatus status);
    void slot_durationChanged(qlonglong duration);
    void slot_mediaplayer_error(QMediaPlayer::Error error);

protected:
    QPointer<QPushButton> button;
    MediaTimeView m_time;
    QPointer<QMediaPlayer> mediaPlayer;
};

#endif // AUDIOMEDIACONTROLUTIL_H
