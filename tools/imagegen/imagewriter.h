#ifndef IMAGEWRITER_H
#define IMAGEWRITER_H

#include <QColor>
#include <QString>

#include <functional>

class GifWriter;
class QImage;
class QPainter;
class QRectF;

// The colours the pictures share.
namespace Palette {
const QColor brand(0xf0, 0x64, 0x50);
const QColor brandDark(0xd9, 0x53, 0x3f);
const QColor ink(0x2f, 0x32, 0x44);
// Symbols of the window buttons.
const QColor glyph(0x66, 0x66, 0x66);
// Symbols of the lighter title-bar icons of the login windows.
const QColor softGlyph(0x88, 0x88, 0x88);
const QColor line(0xc8, 0xc8, 0xc8);
const QColor pale(0xf2, 0xf2, 0xf2);
const QColor hoverBack(0xdc, 0xdc, 0xdc);
const QColor pressBack(0xc4, 0xc4, 0xc4);
const QColor loadingGrey(70, 68, 68);
const QColor signalStrong(0x3c, 0xb3, 0x71);
const QColor signalWeak(0xf5, 0xa6, 0x23);
const QColor signalIdle(0xcc, 0xcc, 0xcc);
} // namespace Palette

// Writes the pictures under one image folder (src/image), listing each file
// written on standard output and each failure on standard error. A failure
// does not stop the others; ok() tells whether all were written.
class ImageWriter
{
public:
    using Painting = std::function<void(QPainter &)>;
    // Draws one state of a sprite in the cell that starts at x.
    using StatePainting = std::function<void(QPainter &, int state, qreal x)>;

    explicit ImageWriter(const QString &outDir);

    // Draws on a transparent width x height canvas, antialiased.
    void png(const QString &relativePath, int width, int height, const Painting &paint);
    // A sprite: "states" cells of cellWidth x cellHeight side by side, the
    // first state on the left, each drawn on the same painter.
    void sprite(const QString &relativePath, int cellWidth, int cellHeight, int states, const StatePainting &paint);
    void png(const QString &relativePath, const QImage &image);
    // delay in hundredths of a second between frames.
    void gif(const QString &relativePath, const GifWriter &gif, int delay);

    bool ok() const { return m_ok; }

private:
    QString prepare(const QString &relativePath) const;
    void report(bool written, const QString &relativePath, const QString &path);

    QString m_outDir;
    bool m_ok = true;
};

// A transparent canvas in the format every picture is drawn in.
QImage transparentCanvas(int width, int height);
void beginPainter(QPainter &p);

// The program mark: a rounded square with an open book.
void drawMark(QPainter &p, const QRectF &r);

#endif // IMAGEWRITER_H
