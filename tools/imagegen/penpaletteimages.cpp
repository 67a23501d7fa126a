// The pen colour palette's pictures under class/: one strip per palette
// colour, the normal look in the 80-pixel cell at the left edge and the
// selected look in the cell 80 pixels in.
//
// The palette shows a strip as a tiled border image from the top-left
// corner of a button about 110 x 93 pixels, so a button shows one whole
// cell and then the first 30 pixels of the selected cell. Both looks are
// therefore drawn between x = 30 and x = 80 of their cell, centred on the
// button, with the first 30 pixels of every cell left empty.

#include "imagefolders.h"
#include "imagewriter.h"

#include "utility/globalconstants.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const int kCellWidth = 80;
const int kCellHeight = 100;
const QPointF kCentre(55, 46);
const qreal kSwatchRadius = 17;
const qreal kRingRadius = 22.5;

// Light colours get a dark outline and a dark check mark.
bool isLight(const QColor &color)
{
    return color.lightnessF() > 0.7;
}

void drawPenStrip(ImageWriter &writer, const QString &image, const QColor &color)
{
    writer.sprite(QStringLiteral("class/") + image, kCellWidth, kCellHeight, 2, [&](QPainter &p, int state, qreal x) {
        const QPointF centre = kCentre + QPointF(x, 0);
        const bool selected = state == 1;
        if (selected) {
            p.setPen(QPen(Palette::ink, 2.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(centre, kRingRadius, kRingRadius);
        }
        p.setPen(QPen(isLight(color) ? Palette::line : color.darker(115), 1));
        p.setBrush(color);
        p.drawEllipse(centre, kSwatchRadius, kSwatchRadius);
        if (selected) {
            QPainterPath check;
            check.moveTo(centre + QPointF(-7, 0));
            check.lineTo(centre + QPointF(-2, 5.5));
            check.lineTo(centre + QPointF(8, -6));
            p.setPen(QPen(isLight(color) ? Palette::ink : QColor(Qt::white), 3, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(check);
        }
    });
}

} // namespace

void drawPenPaletteImages(ImageWriter &writer)
{
    for (int i = 0; i < g_penImages.size(); ++i)
        drawPenStrip(writer, g_penImages.at(i), g_penColors.at(i));
}
