#ifndef IMAGEUTIL_H
#define IMAGEUTIL_H

#include <QPixmap>
#include <QString>

class QWidget;

// Shows a picture file as a widget's background, scaled to cover the widget
// and cut to its size around the centre. The cut picture is cached beside
// the source file, one file per size.
class ImageUtil
{
public:
    // Exactly width x height from the middle of source scaled to cover that
    // size; a null pixmap for a null source or a size that is not positive.
    static QPixmap centerCrop(const QPixmap &source, int width, int height);
    // imageFilePath + ".<width>_<height>".
    static QString croppedImageFilePath(const QString &imageFilePath, int width, int height);
    // Sets the cached crop as "background-image" (asBackgroundImage) or
    // "border-image" of the section styleSheetSectionName; false, with the
    // sheet untouched, when anything fails.
    static bool setBackgroundImage(QWidget *widget, const QString &styleSheetSectionName,
                                   const QString &imageFilePath, bool asBackgroundImage);
};

#endif // IMAGEUTIL_H
