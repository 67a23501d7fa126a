#ifndef IMAGEUTIL_H
#define IMAGEUTIL_H

#include <QImage>
#include <QPixmap>
#include <QString>

#include <functional>

class QObject;
class QWidget;

// Shows a picture file as a widget's background, scaled to cover the widget
// and cut to its size around the centre. The cut picture is cached beside
// the source file, one file per size.
class ImageUtil
{
public:
    // Pictures come from other participants and servers: one that would
    // decode to more pixels than this is refused before it is decoded.
    static constexpr qint64 kMaxImagePixels = 25000000;

    // Reads the picture file at path into out; false (out left null) for a
    // file that cannot be read, is no picture, or announces more than
    // maxPixels pixels (or a side that is not positive).
    static bool readImage(const QString &path, QImage *out, qint64 maxPixels = kMaxImagePixels);
    // Exactly width x height from the middle of source scaled to cover that
    // size; a null pixmap for a null source or a size that is not positive.
    static QPixmap centerCrop(const QPixmap &source, int width, int height);
    // imageFilePath + ".<width>_<height>".
    static QString croppedImageFilePath(const QString &imageFilePath, int width, int height);
    // Reads only as many pixels as a width x height crop needs: the header's
    // size is checked against maxPixels first, then the picture is decoded
    // scaled to cover width x height and cut to it around the centre. A
    // null image for anything that fails. Safe on any thread.
    static QImage readCoverCrop(const QString &path, int width, int height, qint64 maxPixels = kMaxImagePixels);
    // readCoverCrop() on a worker thread; done gets the crop on context's
    // thread, and never once context is gone.
    static void readCoverCropAsync(const QString &path, int width, int height, QObject *context,
                                   std::function<void(const QImage &)> done);
    // setBackgroundImage() with the decoding and the writing of the crop on
    // a worker thread, so a large picture never holds up the GUI thread.
    // A crop already cached is used without decoding the picture again. The
    // widget's size is taken now; done(shown) comes on context's thread
    // from the event loop (never synchronously), and never once context is
    // gone; the sheet is changed only while the widget lives.
    static void setBackgroundImageAsync(QWidget *widget, const QString &styleSheetSectionName,
                                        const QString &imageFilePath, bool asBackgroundImage, QObject *context,
                                        std::function<void(bool shown)> done);
    // Sets the cached crop as "background-image" (asBackgroundImage) or
    // "border-image" of the section styleSheetSectionName; false, with the
    // sheet untouched, when anything fails.
    static bool setBackgroundImage(QWidget *widget, const QString &styleSheetSectionName,
                                   const QString &imageFilePath, bool asBackgroundImage);
};

#endif // IMAGEUTIL_H
