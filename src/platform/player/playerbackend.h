#ifndef PLAYERBACKEND_H
#define PLAYERBACKEND_H

#include "avplayertypes.h"

#include <QObject>
#include <QUrl>

#include <functional>

namespace QtAV {

class VideoOutput;

// What plays a medium for AVPlayer. The real one is Qt Multimedia's player;
// tests put a backend of their own in its place (AVPlayer::setBackendFactory)
// and drive its signals themselves.
class PlayerBackend : public QObject
{
    Q_OBJECT

public:
    enum State { Stopped = 0, Playing = 1, Paused = 2 };

    explicit PlayerBackend(QObject *parent = nullptr) : QObject(parent) {}

    virtual void setSource(const QUrl &url) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void setMuted(bool muted) = 0;
    // output may be null (no picture) and may go away first.
    virtual void setVideoOutput(VideoOutput *output) = 0;

signals:
    void positionChanged(qint64 ms);
    void durationChanged(qint64 ms);
    void mediaStatusChanged(int status);
    void stateChanged(int state);
    void errorOccurred(int code, const QString &text);
};

using PlayerBackendFactory = std::function<PlayerBackend *(QObject *parent)>;

} // namespace QtAV

#endif // PLAYERBACKEND_H
