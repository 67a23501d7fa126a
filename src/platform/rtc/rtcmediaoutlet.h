#ifndef RTCMEDIAOUTLET_H
#define RTCMEDIAOUTLET_H

#include <QByteArray>
#include <QImage>
#include <QMutex>

class RtcWebrtcPeer;

// Where the pictures of our camera (from the video thread) and the samples
// of a file played into the class (from its pipeline) go: our feed while
// one is sent, nowhere otherwise. Outlives the threads that use it.
class RtcMediaOutlet
{
public:
    void setPublisher(RtcWebrtcPeer *publisher);
    void pushFrame(const QImage &image);
    void pushPlayout(const QByteArray &samples);

private:
    QMutex m_mutex;
    RtcWebrtcPeer *m_publisher = nullptr;
};

#endif // RTCMEDIAOUTLET_H
