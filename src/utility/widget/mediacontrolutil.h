#ifndef MEDIACONTROLUTIL_H
#define MEDIACONTROLUTIL_H

#include "platform/player/avplayer.h"
#include "utility/widget/mediaplaypausecontrolutil.h"
#include "utility/widget/mediatimeview.h"

#include <QAbstractSlider>
#include <QLabel>
#include <QPointer>


// Binds a video player to the play/pause button, the progress slider and
// the time labels of a player window: plays, pauses and resumes it, shows
// its position, and resets everything at the end of the medium. After a
// reset the player is forgotten: a finished window closes and a new one is
// made. A medium the player cannot open resets it too, whether it plays
// yet or not, so nothing waits for a play that never comes.
class MediaControlUtil : public MediaPlayPauseControlUtil
{
    Q_OBJECT

public:
    static constexpr const char *kPlayImage = "url(:/image/class/icon_audio_play.png)";
    static constexpr const char *kPauseImage = "url(:/image/class/icon_audio_pause.png)";
    // An "?avinfo" answer longer than this is not read.
    static constexpr int kMaxAvInfoLength = 64 * 1024;
    // Durations beyond a day are not believed.
    static constexpr qint64 kMaxDurationMs = MediaTimeView::kMaxDurationMs;

    explicit MediaControlUtil(QObject *parent = nullptr);
    ~MediaControlUtil() override;

    // Any of them may be null.
    void init(QtAV::AVPlayer *player, QPushButton *button, QAbstractSlider *slider, QLabel *currentTimeLabel,
              QLabel *totalTimeLabel);

    void onPlay() override;
    void onPause() override;
    void onResume() override;

    static QString formatAudioDuration(int ms);
    void reset();
    void resetCurTime();
    void onWholeDuation(int ms);
    int wholeDuration() const { return m_time.wholeDuration(); }
    QtAV::AVPlayer *player() const { return mediaPlayer.data(); }

    // The duration of the media storage's "?avinfo" answer: a "format"
    // object holding "duration" as a text of seconds. False, logged, for
    // anything else.
    static bool parseAvInfoDuration(const QString &response, int *durationMs);

signals:
    void signal_onFinished();
    // The medium cannot be played (a broken or missing file, an address
    // that gives nothing): the control is reset right after, which ends
    // the play as signal_onFinished.
    void signal_onFailed();

public slots:
    void slot_positionChanged(qlonglong position);
    void slot_mediaStatusChanged(QtAV::MediaStatus status);
    void slot_durationChanged(qlonglong duration);
    void slot_mediaplayer_error(QtAV::AVError error);

protected:
    QPointer<QPushButton> button;
    MediaTimeView m_time;
    QPointer<QtAV::AVPlayer> mediaPlayer;
};

#endif // MEDIACONTROLUTIL_H
