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

QByteArray encode(const QImage &image);
// A null image for anything that is not a picture, and for a picture
// larger than the engine sends (its declared size is read first: nothing
// larger is decoded); why then says what was wrong.
QImage decode(const QByteArray &bytes, QString *why = nullptr);

} // namespace RtcVideoSource

#endif // RTCVIDEOSOURCE_H
