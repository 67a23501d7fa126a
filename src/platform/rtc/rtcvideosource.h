#ifndef RTCVIDEOSOURCE_H
#define RTCVIDEOSOURCE_H

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures the engine sends: the synthetic camera's test picture, and the
// compression of frames for the relay.
namespace RtcVideoSource {

const int kFrameWidth = 640;
const int kFrameHeight = 480;
const int kFramesPerSecond = 15;

// The synthetic camera at frame number n: moving colour bars with the
// user's id, the camera's name and the time of day.
QImage syntheticFrame(quint64 n, const QString &userId, const QString &cameraName);

// 32-bit ARGB pixels, row after row, as the engine's frames hold them.
QByteArray argbBytes(const QImage &image);

QByteArray encode(const QImage &image);
// A null image for anything that is not a picture.
QImage decode(const QByteArray &bytes);

} // namespace RtcVideoSource

#endif // RTCVIDEOSOURCE_H
