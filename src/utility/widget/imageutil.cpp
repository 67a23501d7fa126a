#include "utility/widget/imageutil.h"

#include "utility/backgroundqueue.h"
#include "utility/widget/stylesheetutil.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>
#include <QSaveFile>
#include <QWidget>

namespace {

// Calls call on context's thread from the event loop, unless context is gone.
void postTo(QObject *context, std::function<void()> call)
{
    if (context)
        QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

} // namespace

bool ImageUtil::readImage(const QString &path, QImage *out, qint64 maxPixels)
{
    *out = QImage();
    QImageReader reader(path);
    // The header announces the size; nothing is decoded before it is checked.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        qWarning("readImage: no picture size in:%s", qUtf8Printable(path));
        return false;
    }
    if (qint64(size.width()) * size.height() > maxPixels) {
        qCritical("readImage refused: %dx%d pixels is more than %lld:%s", size.width(), size.height(),
                  maxPixels, qUtf8Printable(path));
        return false;
    }
    if (!reader.read(out)) {
        qWarning("readImage failed:%s, %s", qUtf8Printable(path), qUtf8Printable(reader.errorString()));
        *out = QImage();
        return false;
    }
    return true;
}

QImage ImageUtil::readCoverCrop(const QString &path, int width, int height, qint64 maxPixels)
{
    if (width <= 0 || height <= 0)
        return QImage();
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        qWarning("readCoverCrop: no picture size in:%s", qUtf8Printable(path));
        return QImage();
    }
    if (qint64(size.width()) * size.height() > maxPixels) {
        qCritical("readCoverCrop refused: %dx%d pixels is more than %lld:%s", size.width(), size.height(), maxPixels,
                  qUtf8Printable(path));
        return QImage();
    }
    // Only shrunk while decoding: a small picture is enlarged below.
    const QSize cover = size.scaled(width, height, Qt::KeepAspectRatioByExpanding);
    if (cover.width() < size.width())
        reader.setScaledSize(cover);
    QImage image;
    if (!reader.read(&image)) {
        qWarning("readCoverCrop failed:%s, %s", qUtf8Printable(path), qUtf8Printable(reader.errorString()));
        return QImage();
    }
    if (image.width() < width || image.height() < height)
        image = image.scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QRect rect((image.width() - width) / 2, (image.height() - height) / 2, width, height);
    QImage cropped = image.copy(rect.intersected(image.rect()));
    if (cropped.size() != QSize(width, height))
        cropped = cropped.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return cropped;
}

void ImageUtil::readCoverCropAsync(const QString &path, int width, int height, QObject *context,
                                   std::function<void(const QImage &)> done)
{
    BackgroundQueue::pictures()->run<QImage>([path, width, height] { return readCoverCrop(path, width, height); },
                                             context, [done](const QImage &image) {
                                                 if (done)
                                                     done(image);
                                             });
}

void ImageUtil::setBackgroundImageAsync(QWidget *widget, const QString &styleSheetSectionName,
                                        const QString &imageFilePath, bool asBackgroundImage, QObject *context,
                                        std::function<void(bool shown)> done)
{
    const QPointer<QObject> alive(context);
    const QPointer<QWidget> target(widget);
    // On the GUI thread, with the crop written (or an empty path).
    auto show = [alive, target, styleSheetSectionName, asBackgroundImage, done](const QString &croppedPath) {
        if (!alive)
            return;
        bool shown = false;
        if (!croppedPath.isEmpty() && target) {
            const QString style = asBackgroundImage ? QStringLiteral("background-image: url(%1);").arg(croppedPath)
                                                    : QStringLiteral("border-image: url(%1);").arg(croppedPath);
            StyleSheetUtil().changeStyle(target, styleSheetSectionName, style);
            shown = true;
        }
        if (done)
            done(shown);
    };
    if (!widget || styleSheetSectionName.isEmpty()) {
        qCritical("setBackgroundImageAsync refused: no widget or section:%s", qUtf8Printable(imageFilePath));
        postTo(context, [show] { show(QString()); });
        return;
    }
    const int width = widget->width();
    const int height = widget->height();
    const QString croppedPath = croppedImageFilePath(imageFilePath, width, height);
    // The crop made before is all that is shown: nothing to decode.
    if (QFileInfo::exists(croppedPath)) {
        qInfo("cropped image file exists:%s", qUtf8Printable(croppedPath));
        postTo(context, [show, croppedPath] { show(croppedPath); });
        return;
    }
    BackgroundQueue::pictures()->run<QString>(
        [imageFilePath, width, height, croppedPath] {
            const QImage cropped = readCoverCrop(imageFilePath, width, height);
            if (cropped.isNull())
                return QString();
            // Written aside and renamed at the end, so a failed save never
            // leaves a partial file that later calls would take as the cache.
            QSaveFile file(croppedPath);
            if (!file.open(QIODevice::WriteOnly) || !cropped.save(&file, "PNG") || !file.commit()) {
                qCritical("save cropped picture failed:%s", qUtf8Printable(croppedPath));
                return QString();
            }
            return croppedPath;
        },
        context, show);
}

QPixmap ImageUtil::centerCrop(const QPixmap &source, int width, int height)
{
    qInfo("centerCrop, dest width:%d, dest height:%d", width, height);
    if (width <= 0 || height <= 0) {
        qCritical("centerCrop refused, size must be positive:%dx%d", width, height);
        return QPixmap();
    }
    if (source.isNull()) {
        qCritical("centerCrop refused, empty source");
        return QPixmap();
    }

    const QPixmap scaled = source.scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::FastTransformation);
    const int sw = scaled.width();
    const int sh = scaled.height();
    qInfo("scaled, width:%d, height:%d", sw, sh);

    // The scaled picture covers the target on both axes, so the target-sized
    // rectangle around its centre lies inside it.
    const QRect rect((sw - width) / 2, (sh - height) / 2, width, height);
    QPixmap cropped = scaled.copy(rect.intersected(scaled.rect()));
    if (cropped.size() != QSize(width, height)) {
        // The transformation may round a side one pixel short.
        cropped = cropped.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    return cropped;
}

QString ImageUtil::croppedImageFilePath(const QString &imageFilePath, int width, int height)
{
    qInfo("croppedImageFilePath imageFilePath:%s, crop_width:%d, crop_height:%d",
          imageFilePath.toUtf8().constData(), width, height);
    return imageFilePath + QStringLiteral(".%1_%2").arg(width).arg(height);
}

bool ImageUtil::setBackgroundImage(QWidget *widget, const QString &styleSheetSectionName,
                                   const QString &imageFilePath, bool asBackgroundImage)
{
    qInfo("styleSheetSectionName:%s, imageFilePath:%s",
          styleSheetSectionName.toUtf8().constData(), imageFilePath.toUtf8().constData());
    if (!widget) {
        qCritical("label is null");
        return false;
    }
    if (styleSheetSectionName.isEmpty()) {
        qCritical("styleSheetSectionName is empty");
        return false;
    }

    QImage image;
    if (!readImage(imageFilePath, &image)) {
        qCritical("load imageFilePath:%s failed", imageFilePath.toUtf8().constData());
        return false;
    }
    const QPixmap source = QPixmap::fromImage(image);

    const int width = widget->width();
    const int height = widget->height();
    const QPixmap cropped = centerCrop(source, width, height);
    if (cropped.isNull())
        return false;
    const QString croppedPath = croppedImageFilePath(imageFilePath, width, height);
    qInfo("cropped image file path:%s", croppedPath.toUtf8().constData());

    if (!QFileInfo::exists(croppedPath)) {
        qInfo("file not exits");
        // Written aside and renamed at the end, so a failed save never
        // leaves a partial file that later calls would take as the cache.
        QSaveFile file(croppedPath);
        if (!file.open(QIODevice::WriteOnly)) {
            qCritical("file open failed");
            return false;
        }
        if (!cropped.save(&file, "PNG") || !file.commit()) {
            qCritical("save filePath failed");
            return false;
        }
    } else {
        qInfo("file exists");
    }

    const QString style = asBackgroundImage
        ? QStringLiteral("background-image: url(%1);").arg(croppedPath)
        : QStringLiteral("border-image: url(%1);").arg(croppedPath);
    StyleSheetUtil().changeStyle(widget, styleSheetSectionName, style);
    return true;
}
