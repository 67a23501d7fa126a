#ifndef RTCVIDEOSOURCE_H
#define RTCVIDEOSOURCE_H

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Pictures the engine sends: the synthetic camera's test picture, and the
// compression of frames for the relay.
namespace RtcVideoSource {

const int kFrameWidth = 640;
const int kFrameHeight = 480;
const int kFramesPerSecond = 15;
// The largest picture the engine sends (a shared screen is scaled into
// it), and the most bytes its compression takes.
const int kMaxFrameWidth = 1280;
const int kMaxFrameHeight = 720;
const int kMaxPictureBytes = 2 * 1024 * 1024;

// What setVideoProfile chooses: the size, pace and bitrate of the
// pictures our feed sends.
struct Profile
{
    QSize size;
    int framesPerSecond;
    int kbps;
};
// The profile the engine starts with: 640x480, 15 a second, 500 kbit/s.
const int kDefaultProfile = 40;
// The format of that profile; the default one (and known false) for a
// number that names none.
Profile profile(int number, bool *known = nullptr);

// The synthetic camera at frame number n: moving colour bars with the
// user's id, the camera's name and the time of day.
QImage syntheticFrame(quint64 n, const QString &userId, const QString &cameraName);

// Frame stamps, for measuring the time from the camera to the screen: with
// LESSONRY_FRAME_STAMPS=1 in the environment the synthetic camera draws
// its frame number and the moment it drew the frame (milliseconds of the
// machine's monotonic clock, the same in every process, modulo 2^32) as
// rows of black and white blocks in its top-left corner, big enough to
// come through VP8 intact. A receiver reads them back off the picture it
// shows; a check row tells a stamp from a picture that has none.
bool frameStampsWanted();
quint32 stampClockMs();
void drawFrameStamp(QImage *image, quint32 frame, quint32 drawnMs);
// False when the picture holds no whole stamp (too small, none drawn, or
// damaged on the way).
bool readFrameStamp(const QImage &image, quint32 *frame, quint32 *drawnMs);

QByteArray encode(const QImage &image);
// A null image for anything that is not a picture, and for a picture
// larger than the engine sends (its declared size is read first: nothing
// larger is decoded); why then says what was wrong.
QImage decode(const QByteArray &bytes, QString *why = nullptr);

} // namespace RtcVideoSource

#endif // RTCVIDEOSOURCE_H
