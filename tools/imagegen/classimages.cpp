// The pictures under class/: the course window's title logo, the help
// button, the window buttons, the empty and failure states and the loading
// animations of the common widgets.

#include "gifwriter.h"
#include "imagefolders.h"
#include "imagewriter.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

void drawTitleLogo(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/logo.png"), 110, 30, [](QPainter &p) {
        drawMark(p, QRectF(2, 4, 22, 22));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(15);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Palette::ink);
        p.drawText(QRectF(28, 0, 82, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lessonry"));
    });
}

// Help button: two 80 x 24 states (normal, hover).
void drawHelpSprite(ImageWriter &writer, const QString &text, const QString &family, const QString &relativePath)
{
    writer.sprite(relativePath, 80, 24, 2, [&](QPainter &p, int state, qreal x) {
        const bool hover = state == 1;
        const QRectF cell(x + 0.5, 0.5, 79, 23);
        p.setPen(QPen(hover ? Palette::brand : Palette::line, 1));
        p.setBrush(hover ? Palette::brand : QColor(Qt::white));
        p.drawRoundedRect(cell, 11.5, 11.5);

        const QRectF circle(cell.left() + 10, 5, 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(hover ? QColor(Qt::white) : Palette::brand);
        p.drawEllipse(circle);
        QFont mark(QStringLiteral("DejaVu Sans"));
        mark.setPixelSize(11);
        mark.setBold(true);
        p.setFont(mark);
        p.setPen(hover ? Palette::brand : QColor(Qt::white));
        p.drawText(circle, Qt::AlignCenter, QStringLiteral("?"));

        QFont font(family);
        font.setPixelSize(13);
        p.setFont(font);
        p.setPen(hover ? QColor(Qt::white) : Palette::ink);
        p.drawText(QRectF(cell.left() + 28, 0, 46, 24), Qt::AlignCenter, text);
    });
}

// Window buttons: three 20 x 20 states (normal, hover, pressed); glyph draws
// the symbol with the pen already set, in the cell starting at x.
void drawWindowButton(ImageWriter &writer, const QString &relativePath, bool danger,
                      const std::function<void(QPainter &, qreal)> &glyph)
{
    writer.sprite(relativePath, 20, 20, 3, [&](QPainter &p, int state, qreal x) {
        QColor back = Qt::transparent;
        QColor ink = Palette::glyph;
        if (state == 1) {
            back = danger ? Palette::brand : Palette::hoverBack;
            ink = danger ? QColor(Qt::white) : Palette::ink;
        } else if (state == 2) {
            back = danger ? Palette::brandDark : Palette::pressBack;
            ink = danger ? QColor(Qt::white) : Palette::ink;
        }
        if (back.alpha() > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(back);
            p.drawRoundedRect(QRectF(x + 1, 1, 18, 18), 4, 4);
        }
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        glyph(p, x);
    });
}

void drawWindowButtons(ImageWriter &writer)
{
    drawWindowButton(writer, QStringLiteral("class/btn_min.png"), false, [](QPainter &p, qreal x) {
        p.drawLine(QPointF(x + 5.5, 10.5), QPointF(x + 14.5, 10.5));
    });
    drawWindowButton(writer, QStringLiteral("class/btn_max.png"), false, [](QPainter &p, qreal x) {
        p.drawRect(QRectF(x + 5.5, 5.5, 9, 9));
    });
    drawWindowButton(writer, QStringLiteral("class/btn_remax.png"), false, [](QPainter &p, qreal x) {
        p.drawRect(QRectF(x + 5.5, 7.5, 7, 7));
        QPainterPath back;
        back.moveTo(x + 7.5, 7.5);
        back.lineTo(x + 7.5, 5.5);
        back.lineTo(x + 14.5, 5.5);
        back.lineTo(x + 14.5, 12.5);
        back.lineTo(x + 12.5, 12.5);
        p.drawPath(back);
    });
    drawWindowButton(writer, QStringLiteral("class/btn_close.png"), true, [](QPainter &p, qreal x) {
        p.drawLine(QPointF(x + 6, 6), QPointF(x + 14, 14));
        p.drawLine(QPointF(x + 14, 6), QPointF(x + 6, 14));
    });
}

// The soft shadow under the empty and failure pictures.
void drawGroundShadow(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 18));
    p.drawEllipse(QRectF(14, 96, 72, 10));
}

// "There is nothing": an empty open tray.
void drawNoData(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/noData.png"), 100, 120, [](QPainter &p) {
        drawGroundShadow(p);

        QPen pen(Palette::line, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Palette::pale);
        QPainterPath tray;
        tray.moveTo(22, 62);
        tray.lineTo(34, 40);
        tray.lineTo(66, 40);
        tray.lineTo(78, 62);
        tray.lineTo(78, 92);
        tray.lineTo(22, 92);
        tray.closeSubpath();
        p.drawPath(tray);
        p.setBrush(Qt::white);
        QPainterPath slot;
        slot.moveTo(22, 62);
        slot.lineTo(40, 62);
        slot.lineTo(44, 70);
        slot.lineTo(56, 70);
        slot.lineTo(60, 62);
        slot.lineTo(78, 62);
        p.drawPath(slot);

        // Three dashes rising out of the tray: nothing inside.
        p.setPen(QPen(Palette::line, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(50, 16), QPointF(50, 28));
        p.drawLine(QPointF(34, 22), QPointF(39, 31));
        p.drawLine(QPointF(66, 22), QPointF(61, 31));
    });
}

// "The network is busy": a cloud with a warning sign.
void drawNetworkFailure(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/group.png"), 100, 120, [](QPainter &p) {
        drawGroundShadow(p);

        QPainterPath cloud;
        cloud.addEllipse(QRectF(14, 48, 34, 34));
        cloud.addEllipse(QRectF(30, 32, 42, 42));
        cloud.addEllipse(QRectF(54, 50, 32, 32));
        cloud.addRoundedRect(QRectF(30, 62, 40, 20), 4, 4);
        cloud.setFillRule(Qt::WindingFill);
        p.setPen(QPen(Palette::line, 2.5));
        p.setBrush(Palette::pale);
        p.drawPath(cloud.simplified());

        const QRectF badge(58, 66, 26, 26);
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(Palette::brand);
        p.drawEllipse(badge);
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(71, 72), QPointF(71, 80));
        p.drawPoint(QPointF(71, 86));
    });
}

// Twelve dots on a ring; the lit dot walks round and the ones behind it fade.
QImage spinnerFrame(int frame, const QColor &background, const QColor &dot)
{
    const int dots = 12;
    QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(background.isValid() ? background : QColor(Qt::transparent));
    QPainter p(&image);
    beginPainter(p);
    p.setPen(Qt::NoPen);
    const QColor base = background.isValid() ? background : QColor(Qt::white);
    for (int i = 0; i < dots; ++i) {
        const int age = (frame - i + dots) % dots;
        const qreal strength = 1.0 - age / qreal(dots) * 0.85;
        QColor c;
        c.setRgbF(base.redF() + (dot.redF() - base.redF()) * strength,
                  base.greenF() + (dot.greenF() - base.greenF()) * strength,
                  base.blueF() + (dot.blueF() - base.blueF()) * strength);
        const qreal angle = 2 * M_PI * i / dots - M_PI / 2;
        const QPointF centre(60 + 24 * qCos(angle), 60 + 24 * qSin(angle));
        const qreal radius = 3.0 + 2.0 * strength;
        p.setBrush(c);
        p.drawEllipse(centre, radius, radius);
    }
    p.end();
    return image;
}

void drawLoadingAnimations(ImageWriter &writer)
{
    GifWriter plain(Qt::white, Palette::brand, true);
    GifWriter grey(Palette::loadingGrey, Qt::white, false);
    for (int frame = 0; frame < 12; ++frame) {
        plain.addFrame(spinnerFrame(frame, QColor(), Palette::brand));
        grey.addFrame(spinnerFrame(frame, Palette::loadingGrey, Qt::white));
    }
    writer.gif(QStringLiteral("class/classLoading.gif"), plain, 8);
    writer.gif(QStringLiteral("class/classLoading_greyBG.gif"), grey, 8);
}

} // namespace

void drawClassImages(ImageWriter &writer)
{
    drawTitleLogo(writer);
    drawHelpSprite(writer, QStringLiteral("帮助"), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("class/icon_help.png"));
    drawHelpSprite(writer, QStringLiteral("Help"), QStringLiteral("DejaVu Sans"), QStringLiteral("class/helpImgEn.png"));
    drawWindowButtons(writer);
    drawNoData(writer);
    drawNetworkFailure(writer);
    drawLoadingAnimations(writer);
}
