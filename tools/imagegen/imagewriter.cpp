#include "imagewriter.h"

#include "gifwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

ImageWriter::ImageWriter(const QString &outDir)
    : m_outDir(QDir(outDir).absolutePath())
{
}

void ImageWriter::png(const QString &relativePath, int width, int height, const Painting &paint)
{
    QImage image = transparentCanvas(width, height);
    QPainter p(&image);
    beginPainter(p);
    paint(p);
    p.end();
    png(relativePath, image);
}

void ImageWriter::sprite(const QString &relativePath, int cellWidth, int cellHeight, int states,
                         const StatePainting &paint)
{
    png(relativePath, cellWidth * states, cellHeight, [&](QPainter &p) {
        for (int state = 0; state < states; ++state)
            paint(p, state, state * cellWidth);
    });
}

void ImageWriter::png(const QString &relativePath, const QImage &image)
{
    const QString path = prepare(relativePath);
    report(image.save(path, "PNG"), relativePath, path);
}

void ImageWriter::gif(const QString &relativePath, const GifWriter &gif, int delay)
{
    const QString path = prepare(relativePath);
    report(gif.write(path, delay), relativePath, path);
}

QString ImageWriter::prepare(const QString &relativePath) const
{
    const QString path = m_outDir + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

void ImageWriter::report(bool written, const QString &relativePath, const QString &path)
{
    if (written) {
        std::printf("%s\n", qPrintable(relativePath));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        m_ok = false;
    }
}

QImage transparentCanvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginPainter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

namespace {

// One half of the open book; side is -1 for the left page, 1 for the right.
QPainterPath bookPage(const QPointF &c, qreal w, qreal side)
{
    QPainterPath page;
    page.moveTo(c.x(), c.y() - w * 0.16);
    page.cubicTo(c.x() + side * w * 0.1, c.y() - w * 0.24, c.x() + side * w * 0.22, c.y() - w * 0.24,
                 c.x() + side * w * 0.3, c.y() - w * 0.2);
    page.lineTo(c.x() + side * w * 0.3, c.y() + w * 0.22);
    page.cubicTo(c.x() + side * w * 0.22, c.y() + w * 0.18, c.x() + side * w * 0.1, c.y() + w * 0.18, c.x(),
                 c.y() + w * 0.26);
    page.closeSubpath();
    return page;
}

} // namespace

void drawMark(QPainter &p, const QRectF &r)
{
    const qreal radius = r.width() * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::brand);
    p.drawRoundedRect(r, radius, radius);

    const qreal w = r.width();
    QPen pen(Qt::white, qMax<qreal>(1.5, w * 0.07), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(bookPage(r.center(), w, -1));
    p.drawPath(bookPage(r.center(), w, 1));
}
