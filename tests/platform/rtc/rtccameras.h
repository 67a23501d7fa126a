#ifndef RTCCAMERAS_H
#define RTCCAMERAS_H

#include "platform/rtc/rtcdeviceentry.h"

#include <QColor>
#include <QList>

// The cameras a peer of the video tests lists (helper_rtcpeer --cameras)
// in place of the machine's: GStreamer sources as a device names them.
namespace RtcCameras {

// videotestsrc: a white ball moving over kBallBackground.
const char kBallCamera[] = "videotestsrc:ball";
// A V4L2 camera whose device is not there: it cannot be opened.
const char kMissingCamera[] = "v4l2src:/dev/lessonry-no-camera";
const QRgb kBallBackground = 0xff2060a0;

inline QList<RtcDevice> scripted()
{
    return {
        { kBallCamera, "Ball camera", "videotestsrc",
          { { "is-live", "true" }, { "pattern", "ball" }, { "background-color", QByteArray::number(kBallBackground) } } },
        { kMissingCamera, "Missing camera", "v4l2src", { { "device", "/dev/lessonry-no-camera" } } },
    };
}

} // namespace RtcCameras

#endif // RTCCAMERAS_H
