#ifndef MULTIMEDIABACKEND_H
#define MULTIMEDIABACKEND_H

#include "playerbackend.h"

class QMediaPlayer;

namespace QtAV {

// The real backend: Qt Multimedia's player (GStreamer's playbin on Linux).
class MultimediaBackend : public PlayerBackend
{
    Q_OBJECT

public:
    explicit MultimediaBackend(QObject *parent = nullptr);

    // Loads the media framework on a thread of its own, once per process.
    // The first load in a fresh profile scans every GStreamer plugin and
    // takes seconds; done by the first player it would stall the thread
    // that makes it.
    static void prepare();

    void setSource(const QUrl &url) override;
    void play() override;
    void pause() override;
    void stop() override;
    void setMuted(bool muted) override;
    void setVideoOutput(VideoOutput *output) override;

private:
    QMediaPlayer *m_player;
};

} // namespace QtAV

#endif // MULTIMEDIABACKEND_H
