#ifndef VIDEOTILEIMAGE_H
#define VIDEOTILEIMAGE_H

#include <QImage>
#include <QRect>
#include <QSize>

// A video frame made ready for its view: cut to the view's aspect, turned,
// mirrored and scaled to the view's size, so that showing it is a plain
// copy. Works on any thread; the engine's video thread uses it for every
// frame, the view only when it was resized after the frame was made.
class VideoTileImage
{
public:
    // The part of a frame kept for a view: the middle of the frame at the
    // view's aspect, cut only in the dimension where the frame is larger
    // than the view; the whole frame otherwise.
    static QRect cropRect(const QSize &frame, const QSize &view);

    // frame (32-bit ARGB) as the view shows it: cropped when crop is on,
    // turned by 180 degrees when rotation is exactly 180 (other angles are
    // shown unturned), flipped left to right when mirrored, then scaled to
    // view the way a painter scales a picture into a rectangle. Null for an
    // empty frame or view.
    static QImage make(const QImage &frame, const QSize &view, bool crop, int rotation, bool mirrored);
};

#endif // VIDEOTILEIMAGE_H
