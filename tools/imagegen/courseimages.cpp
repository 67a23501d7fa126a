// The course windows' pictures under class/: the lesson cover placeholder,
// the lesson row icons, the default avatar, and the icon buttons of both
// course windows (person, settings, download, refresh), each a sprite of
// three states (normal, hover, pressed) side by side.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// The state's colours of a round icon button: background and symbol.
void iconStateColours(int state, QColor *back, QColor *ink)
{
    *back = state == 0 ? Palette::pale : (state == 1 ? Palette::hoverBack : Palette::pressBack);
    *ink = state == 0 ? Palette::glyph : Palette::ink;
}

// A round icon button sprite of size x size cells; symbol draws in a cell
// whose centre is given, with the pen and brush already set to the ink.
void drawIconButton(ImageWriter &writer, const QString &relativePath, int size,
                    const std::function<void(QPainter &, const QPointF &, qreal)> &symbol)
{
    writer.sprite(relativePath, size, size, 3, [&](QPainter &p, int state, qreal x) {
        QColor back;
        QColor ink;
        iconStateColours(state, &back, &ink);
        p.setPen(QPen(Palette::line, 1));
        p.setBrush(back);
        p.drawEllipse(QRectF(x + 1, 1, size - 2, size - 2));
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        symbol(p, QPointF(x + size / 2.0, size / 2.0), size / 34.0);
    });
}

void drawPerson(QPainter &p, const QPointF &c, qreal s)
{
    p.drawEllipse(c + QPointF(0, -4 * s), 4 * s, 4 * s);
    QPainterPath body;
    body.moveTo(c + QPointF(-8 * s, 9 * s));
    body.cubicTo(c + QPointF(-8 * s, 1 * s), c + QPointF(8 * s, 1 * s), c + QPointF(8 * s, 9 * s));
    p.drawPath(body);
}

void drawGear(QPainter &p, const QPointF &c, qreal s)
{
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4;
        p.drawLine(c + QPointF(qCos(a) * 6 * s, qSin(a) * 6 * s), c + QPointF(qCos(a) * 9 * s, qSin(a) * 9 * s));
    }
    p.drawEllipse(c, 6 * s, 6 * s);
    p.drawEllipse(c, 2.5 * s, 2.5 * s);
}

void drawDownloadArrow(QPainter &p, const QPointF &c, qreal s)
{
    p.drawLine(c + QPointF(0, -8 * s), c + QPointF(0, 4 * s));
    p.drawLine(c + QPointF(-5 * s, -1 * s), c + QPointF(0, 4 * s));
    p.drawLine(c + QPointF(5 * s, -1 * s), c + QPointF(0, 4 * s));
    p.drawLine(c + QPointF(-8 * s, 8 * s), c + QPointF(8 * s, 8 * s));
}

void drawRefresh(QPainter &p, const QPointF &c, qreal s)
{
    const QRectF arc(c.x() - 8 * s, c.y() - 8 * s, 16 * s, 16 * s);
    p.drawArc(arc, 30 * 16, 280 * 16);
    const QPointF tip = c + QPointF(qCos(M_PI / 6) * 8 * s, -qSin(M_PI / 6) * 8 * s);
    p.drawLine(tip, tip + QPointF(-5 * s, -1 * s));
    p.drawLine(tip, tip + QPointF(1 * s, -5 * s));
}

void drawCover(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/courses_cover.png"), 240, 180, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd8, 0xd8, 0xd8));
        p.drawRect(QRectF(0, 0, 240, 180));
        drawMark(p, QRectF(90, 60, 60, 60));
    });
}

void drawRowIcons(ImageWriter &writer)
{
    const QPen pen(Palette::glyph, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    writer.png(QStringLiteral("class/icon_time.png"), 20, 20, [&](QPainter &p) {
        p.setPen(pen);
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.drawLine(QPointF(10, 10), QPointF(10, 5.5));
        p.drawLine(QPointF(10, 10), QPointF(13.5, 12));
    });
    writer.png(QStringLiteral("class/icon_ibooks.png"), 20, 20, [&](QPainter &p) {
        p.setPen(pen);
        p.drawRoundedRect(QRectF(4.5, 3.5, 11, 13), 1.5, 1.5);
        p.drawLine(QPointF(7.5, 3.5), QPointF(7.5, 16.5));
        p.drawLine(QPointF(9.5, 7.5), QPointF(13, 7.5));
    });
    writer.png(QStringLiteral("class/icon_teacher.png"), 20, 20, [&](QPainter &p) {
        p.setPen(pen);
        drawPerson(p, QPointF(10, 10), 0.9);
    });
}

void drawAvatar(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/默认头像.png"), 60, 60, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xe6, 0xe6, 0xe6));
        p.drawEllipse(QRectF(0, 0, 60, 60));
        p.setBrush(QColor(0xb4, 0xb4, 0xb4));
        p.drawEllipse(QPointF(30, 23), 10, 10);
        p.drawChord(QRectF(12, 36, 36, 36), 0, 180 * 16);
    });
}

void drawSmallMarks(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/icon_menu_triangle.png"), 14, 14, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::glyph);
        p.drawPolygon(QPolygonF({ QPointF(3, 5), QPointF(11, 5), QPointF(7, 10) }));
    });
    writer.png(QStringLiteral("class/downLodeing.png"), 13, 13, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawEllipse(QRectF(0.5, 0.5, 12, 12));
        p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6.5, 3), QPointF(6.5, 9));
        p.drawLine(QPointF(4, 6.8), QPointF(6.5, 9));
        p.drawLine(QPointF(9, 6.8), QPointF(6.5, 9));
    });
    writer.png(QStringLiteral("class/downloadFinish.png"), 13, 13, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::signalStrong);
        p.drawEllipse(QRectF(0.5, 0.5, 12, 12));
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({ QPointF(3.5, 6.5), QPointF(5.8, 9), QPointF(9.5, 4.5) }));
    });
}

void drawIconButtons(ImageWriter &writer)
{
    drawIconButton(writer, QStringLiteral("class/btn_person_center.png"), 34, drawPerson);
    drawIconButton(writer, QStringLiteral("class/icon_personal_center.png"), 34, drawPerson);
    drawIconButton(writer, QStringLiteral("class/icon_setting.png"), 34, drawGear);
    drawIconButton(writer, QStringLiteral("class/icon_dow .png"), 34, drawDownloadArrow);
    drawIconButton(writer, QStringLiteral("class/upClassImg.png"), 34, drawRefresh);
    drawIconButton(writer, QStringLiteral("class/upClassList.png"), 40, drawRefresh);
}

} // namespace

void drawCourseImages(ImageWriter &writer)
{
    drawCover(writer);
    drawRowIcons(writer);
    drawAvatar(writer);
    drawSmallMarks(writer);
    drawIconButtons(writer);
}
