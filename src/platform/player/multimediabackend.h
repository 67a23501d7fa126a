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
