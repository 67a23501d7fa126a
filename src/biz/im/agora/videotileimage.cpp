#include "videotileimage.h"

#include <QPainter>

#include <algorithm>

QRect VideoTileImage::cropRect(const QSize &frame, const QSize &view)
{
    const int w = frame.width();
    const int h = frame.height();
    const int W = view.width();
    const int H = view.height();
    if (w > 0 && h > 0 && W > 0 && H > 0) {
        // Single-precision aspects, truncated: the cut is the same to the
        // pixel wherever it is made.
        const float A = float(W) / float(H);
        const float F = float(w) / float(h);
        if (F > A && w > W) {
            const int cut = std::min(w, std::max(1, int(float(h) * A)));
            return QRect((w - cut) / 2, 0, cut, h);
        }
        if (F < A && h > H) {
            const int cut = std::min(h, std::max(1, int(float(w) / A)));
            return QRect(0, (h - cut) / 2, w, cut);
        }
    }
    return QRect(QPoint(0, 0), frame);
}

QImage VideoTileImage::make(const QImage &frame, const QSize &view, bool crop, int rotation, bool mirrored)
{
    if (frame.isNull() || view.isEmpty())
        return QImage();
    const QRect kept = crop ? cropRect(frame.size(), view) : frame.rect();
    QImage picture = kept == frame.rect() ? frame : frame.copy(kept);
    // Turning by 180 degrees flips both ways; a mirror flips left to right
    // once more.
    const bool turned = rotation == 180;
    if (turned || mirrored)
        picture = picture.mirrored(turned != mirrored, turned);
    if (picture.size() == view)
        return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Scaled by a painter without smoothing, exactly as a widget's painter
    // draws a picture into its rectangle, keeping the frame's alpha.
    QImage scaled(view, QImage::Format_ARGB32_Premultiplied);
    scaled.fill(Qt::transparent);
    QPainter painter(&scaled);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(QPoint(0, 0), view), picture);
    return scaled;
}
