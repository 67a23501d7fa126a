#ifndef RTCPICTURE_H
#define RTCPICTURE_H

#include "platform/rtc/rtcvideosource.h"

#include <QColor>
#include <QImage>
#include <QSize>

// A plain picture of that size as a sender's engine puts it on the relay:
// a JPEG made by the engine's own encoder.
inline QByteArray rtcPicture(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    return RtcVideoSource::encode(image);
}

#endif // RTCPICTURE_H
