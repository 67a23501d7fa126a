// The award and praise pictures: under background/ the award page's
// backdrop, its turning light, the six prize buttons and the praise
// icons; under trophy/ the 72 frames of the praise trophy; under class/
// the flowers of the scatter effects and the rank list's default picture;
// under review/ the after-class review window. Under resources/ lie the
// pictures the client reads from disk beside the program (big prizes,
// stars, the medal's ribbon); they are copied there by the build.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QColor kGold(0xff, 0xc8, 0x2e);
const QColor kGoldDark(0xd9, 0x8e, 0x0b);
const QColor kGoldLight(0xff, 0xec, 0x9a);
const QColor kTeal(0, 190, 200);

QPainterPath starPath(const QPointF &c, qreal outer, qreal inner, int points = 5, qreal turn = -90)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const qreal r = (i % 2 == 0) ? outer : inner;
        const qreal a = qDegreesToRadians(turn + i * 180.0 / points);
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void fillGold(QPainter &p, const QPainterPath &path, const QRectF &box)
{
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, kGoldLight);
    g.setColorAt(0.5, kGold);
    g.setColorAt(1, kGoldDark);
    p.setPen(QPen(kGoldDark.darker(120), qMax<qreal>(1.0, box.width() / 40)));
    p.setBrush(g);
    p.drawPath(path);
}

// The six prizes, drawn into a square box; each is recognisable at 44 px
// and at 160 px.
void drawCrown(QPainter &p, const QRectF &b)
{
    const qreal w = b.width();
    QPainterPath crown;
    crown.moveTo(b.left() + w * 0.1, b.top() + w * 0.78);
    crown.lineTo(b.left() + w * 0.06, b.top() + w * 0.3);
    crown.lineTo(b.left() + w * 0.3, b.top() + w * 0.52);
    crown.lineTo(b.left() + w * 0.5, b.top() + w * 0.18);
    crown.lineTo(b.left() + w * 0.7, b.top() + w * 0.52);
    crown.lineTo(b.left() + w * 0.94, b.top() + w * 0.3);
    crown.lineTo(b.left() + w * 0.9, b.top() + w * 0.78);
    crown.closeSubpath();
    fillGold(p, crown, b);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    p.drawEllipse(QPointF(b.left() + w * 0.5, b.top() + w * 0.62), w * 0.07, w * 0.07);
    p.setBrush(QColor(0x1e, 0x88, 0xe5));
    p.drawEllipse(QPointF(b.left() + w * 0.28, b.top() + w * 0.66), w * 0.05, w * 0.05);
    p.drawEllipse(QPointF(b.left() + w * 0.72, b.top() + w * 0.66), w * 0.05, w * 0.05);
    p.setBrush(kGoldDark);
    p.drawRect(QRectF(b.left() + w * 0.1, b.top() + w * 0.78, w * 0.8, w * 0.08));
}

void drawMedal(QPainter &p, const QRectF &b)
{
    const qreal w = b.width();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    QPainterPath ribbon;
    ribbon.moveTo(b.left() + w * 0.28, b.top() + w * 0.04);
    ribbon.lineTo(b.left() + w * 0.44, b.top() + w * 0.04);
    ribbon.lineTo(b.left() + w * 0.56, b.top() + w * 0.42);
    ribbon.lineTo(b.left() + w * 0.42, b.top() + w * 0.42);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
    p.setBrush(QColor(0x1e, 0x88, 0xe5));
    QPainterPath ribbon2;
    ribbon2.moveTo(b.left() + w * 0.72, b.top() + w * 0.04);
    ribbon2.lineTo(b.left() + w * 0.56, b.top() + w * 0.04);
    ribbon2.lineTo(b.left() + w * 0.44, b.top() + w * 0.42);
    ribbon2.lineTo(b.left() + w * 0.58, b.top() + w * 0.42);
    ribbon2.closeSubpath();
    p.drawPath(ribbon2);
    const QPointF c(b.left() + w * 0.5, b.top() + w * 0.66);
    QPainterPath disc;
    disc.addEllipse(c, w * 0.3, w * 0.3);
    fillGold(p, disc, QRectF(c.x() - w * 0.3, c.y() - w * 0.3, w * 0.6, w * 0.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawPath(starPath(c, w * 0.17, w * 0.07));
}

void drawFlower(QPainter &p, const QRectF &b)
{
    const qreal w = b.width();
    const QPointF c(b.center().x(), b.top() + w * 0.4);
    p.setPen(QPen(QColor(0x38, 0x8e, 0x3c), w * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x(), c.y()), QPointF(c.x(), b.top() + w * 0.96));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x66, 0xbb, 0x6a));
    p.drawEllipse(QRectF(c.x(), b.top() + w * 0.66, w * 0.22, w * 0.1));
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 60);
        p.setBrush(QColor(0xf0, 0x62, 0x92));
        p.drawEllipse(QRectF(-w * 0.1, -w * 0.34, w * 0.2, w * 0.26));
        p.restore();
    }
    p.setBrush(kGold);
    p.drawEllipse(c, w * 0.1, w * 0.1);
}

void drawDoll(QPainter &p, const QRectF &b)
{
    const qreal w = b.width();
    const QColor fur(0xc6, 0x8a, 0x52);
    p.setPen(QPen(fur.darker(140), qMax<qreal>(1.0, w / 50)));
    p.setBrush(fur);
    p.drawEllipse(QPointF(b.left() + w * 0.28, b.top() + w * 0.2), w * 0.1, w * 0.1);
    p.drawEllipse(QPointF(b.left() + w * 0.72, b.top() + w * 0.2), w * 0.1, w * 0.1);
    p.drawEllipse(QRectF(b.left() + w * 0.26, b.top() + w * 0.5, w * 0.48, w * 0.44));
    p.drawEllipse(QPointF(b.left() + w * 0.5, b.top() + w * 0.36), w * 0.24, w * 0.22);
    p.setPen(Qt::NoPen);
    p.setBrush(fur.lighter(140));
    p.drawEllipse(QPointF(b.left() + w * 0.5, b.top() + w * 0.43), w * 0.1, w * 0.07);
    p.drawEllipse(QRectF(b.left() + w * 0.36, b.top() + w * 0.6, w * 0.28, w * 0.28));
    p.setBrush(QColor(0x33, 0x22, 0x11));
    p.drawEllipse(QPointF(b.left() + w * 0.41, b.top() + w * 0.33), w * 0.03, w * 0.03);
    p.drawEllipse(QPointF(b.left() + w * 0.59, b.top() + w * 0.33), w * 0.03, w * 0.03);
    p.drawEllipse(QPointF(b.left() + w * 0.5, b.top() + w * 0.41), w * 0.03, w * 0.025);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    QPainterPath bow;
    bow.moveTo(b.left() + w * 0.5, b.top() + w * 0.55);
    bow.lineTo(b.left() + w * 0.38, b.top() + w * 0.5);
    bow.lineTo(b.left() + w * 0.38, b.top() + w * 0.6);
    bow.closeSubpath();
    bow.moveTo(b.left() + w * 0.5, b.top() + w * 0.55);
    bow.lineTo(b.left() + w * 0.62, b.top() + w * 0.5);
    bow.lineTo(b.left() + w * 0.62, b.top() + w * 0.6);
    bow.closeSubpath();
    p.drawPath(bow);
}

void drawCar(QPainter &p, const QRectF &b)
{
    const qreal w = b.width();
    p.setPen(QPen(QColor(0x8e, 0x24, 0x24), qMax<qreal>(1.0, w / 50)));
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    QPainterPath body;
    body.moveTo(b.left() + w * 0.06, b.top() + w * 0.7);
    body.lineTo(b.left() + w * 0.06, b.top() + w * 0.52);
    body.lineTo(b.left() + w * 0.26, b.top() + w * 0.48);
    body.lineTo(b.left() + w * 0.36, b.top() + w * 0.3);
    body.lineTo(b.left() + w * 0.68, b.top() + w * 0.3);
    body.lineTo(b.left() + w * 0.8, b.top() + w * 0.48);
    body.lineTo(b.left() + w * 0.94, b.top() + w * 0.52);
    body.lineTo(b.left() + w * 0.94, b.top() + w * 0.7);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xbb, 0xde, 0xfb));
    p.drawRect(QRectF(b.left() + w * 0.39, b.top() + w * 0.34, w * 0.12, w * 0.13));
    p.drawRect(QRectF(b.left() + w * 0.54, b.top() + w * 0.34, w * 0.12, w * 0.13));
    for (qreal x : { 0.27, 0.73 }) {
        p.setBrush(QColor(0x26, 0x26, 0x26));
        p.drawEllipse(QPointF(b.left() + w * x, b.top() + w * 0.72), w * 0.11, w * 0.11);
        p.setBrush(QColor(0xbd, 0xbd, 0xbd));
        p.drawEllipse(QPointF(b.left() + w * x, b.top() + w * 0.72), w * 0.05, w * 0.05);
    }
}

void drawBall(QPainter &p, const QRectF &b)
{
    const qreal w = b.width();
    const QPointF c = b.center();
    const qreal r = w * 0.42;
    p.save();
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    p.setClipPath(disc);
    const QColor stripes[] = { QColor(0xff, 0xca, 0x28), QColor(0x42, 0xa5, 0xf5), QColor(0xef, 0x53, 0x50),
                               QColor(0x66, 0xbb, 0x6a) };
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(stripes[i]);
        p.drawPie(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), i * 90 * 16, 90 * 16);
    }
    QRadialGradient shine(c - QPointF(r * 0.35, r * 0.35), r);
    shine.setColorAt(0, QColor(255, 255, 255, 150));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(c, r, r);
    p.restore();
    p.setPen(QPen(QColor(0, 0, 0, 90), qMax<qreal>(1.0, w / 60)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
}

using PrizePainter = void (*)(QPainter &, const QRectF &);

struct Prize
{
    const char *button; // button picture under background/
    const char *big;    // big picture under resources/
    PrizePainter paint;
};

const Prize kPrizes[] = {
    { "crown", "crown_big", drawCrown },       { "medal", "medal_big", drawMedal },
    { "Transformers", "flower_big", drawFlower }, { "doll", "doll_big", drawDoll },
    { "car", "car_big", drawCar },             { "arovane", "ball_big", drawBall },
};

// A prize button: a round plate with the prize; the hover picture lights
// the plate.
void drawPrizeButtons(ImageWriter &writer)
{
    for (const Prize &prize : kPrizes) {
        for (bool hover : { false, true }) {
            const QString name = QStringLiteral("background/%1%2.png")
                                     .arg(QLatin1String(prize.button), hover ? QStringLiteral("_hover") : QString());
            writer.png(name, 44, 44, [&](QPainter &p) {
                p.setPen(hover ? QPen(kGold, 2) : QPen(QColor(255, 255, 255, 60), 1));
                p.setBrush(hover ? QColor(0x6a, 0x5a, 0x2a) : QColor(0x5a, 0x5a, 0x5a));
                p.drawEllipse(QRectF(1, 1, 42, 42));
                prize.paint(p, QRectF(7, 7, 30, 30));
            });
        }
    }
}

void drawBigPrizes(ImageWriter &writer)
{
    for (const Prize &prize : kPrizes) {
        writer.png(QStringLiteral("resources/%1.png").arg(QLatin1String(prize.big)), 160, 160,
                   [&](QPainter &p) { prize.paint(p, QRectF(8, 8, 144, 144)); });
    }
    for (int kind : { 1, 2 }) {
        const int side = kind == 1 ? 36 : 26;
        writer.png(QStringLiteral("resources/star%1.png").arg(kind), side, side, [&](QPainter &p) {
            const QPointF c(side / 2.0, side / 2.0);
            p.setPen(Qt::NoPen);
            QRadialGradient glow(c, side / 2.0);
            glow.setColorAt(0, QColor(255, 250, 200, 200));
            glow.setColorAt(1, QColor(255, 250, 200, 0));
            p.setBrush(glow);
            p.drawEllipse(c, side / 2.0, side / 2.0);
            p.setBrush(kind == 1 ? kGold : QColor(0xff, 0xf5, 0x9d));
            p.drawPath(starPath(c, side * 0.42, side * 0.12, 4, -90));
        });
    }
    // The medal's ribbon, hanging from above the tile onto the medal.
    writer.png(QStringLiteral("resources/rope.png"), 200, 90, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xe5, 0x39, 0x35));
        QPainterPath left;
        left.moveTo(10, 0);
        left.lineTo(40, 0);
        left.lineTo(104, 90);
        left.lineTo(84, 90);
        left.closeSubpath();
        p.drawPath(left);
        p.setBrush(QColor(0x1e, 0x88, 0xe5));
        QPainterPath right;
        right.moveTo(190, 0);
        right.lineTo(160, 0);
        right.lineTo(96, 90);
        right.lineTo(116, 90);
        right.closeSubpath();
        p.drawPath(right);
    });
}

// The award page's backdrop: a deep stage gradient with soft spots.
void drawBackdrop(ImageWriter &writer)
{
    writer.png(QStringLiteral("background/background.png"), 740, 604, [](QPainter &p) {
        QLinearGradient g(0, 0, 0, 604);
        g.setColorAt(0, QColor(0x3b, 0x2a, 0x6b));
        g.setColorAt(0.6, QColor(0x5b, 0x2c, 0x6f));
        g.setColorAt(1, QColor(0x8a, 0x3b, 0x5c));
        p.fillRect(QRect(0, 0, 740, 604), g);
        p.setPen(Qt::NoPen);
        const QPointF spots[] = { { 90, 80 }, { 640, 120 }, { 200, 520 }, { 560, 480 }, { 380, 60 } };
        for (const QPointF &s : spots) {
            QRadialGradient spot(s, 70);
            spot.setColorAt(0, QColor(255, 255, 255, 40));
            spot.setColorAt(1, QColor(255, 255, 255, 0));
            p.setBrush(spot);
            p.drawEllipse(s, 70, 70);
        }
    });
    // Light: rays from the centre, drawn at half size and turned by the page.
    writer.png(QStringLiteral("background/light.png"), 1000, 1000, [](QPainter &p) {
        const QPointF c(500, 500);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 16; ++i) {
            QRadialGradient ray(c, 500);
            ray.setColorAt(0, QColor(255, 240, 180, 110));
            ray.setColorAt(1, QColor(255, 240, 180, 0));
            p.setBrush(ray);
            p.drawPie(QRectF(0, 0, 1000, 1000), int(i * 22.5 * 16), int(9 * 16));
        }
    });
}

void drawThumb(QPainter &p, const QRectF &b, const QColor &ink)
{
    const qreal w = b.width();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(b.left() + w * 0.05, b.top() + w * 0.45, w * 0.2, w * 0.5), w * 0.04, w * 0.04);
    QPainterPath hand;
    hand.moveTo(b.left() + w * 0.3, b.top() + w * 0.45);
    hand.lineTo(b.left() + w * 0.5, b.top() + w * 0.08);
    hand.quadTo(b.left() + w * 0.62, b.top() + w * 0.06, b.left() + w * 0.6, b.top() + w * 0.2);
    hand.lineTo(b.left() + w * 0.56, b.top() + w * 0.38);
    hand.lineTo(b.left() + w * 0.88, b.top() + w * 0.38);
    hand.quadTo(b.left() + w * 0.98, b.top() + w * 0.42, b.left() + w * 0.92, b.top() + w * 0.52);
    hand.lineTo(b.left() + w * 0.84, b.top() + w * 0.9);
    hand.quadTo(b.left() + w * 0.8, b.top() + w * 0.95, b.left() + w * 0.72, b.top() + w * 0.95);
    hand.lineTo(b.left() + w * 0.3, b.top() + w * 0.95);
    hand.closeSubpath();
    p.drawPath(hand);
}

void drawPraiseIcons(ImageWriter &writer)
{
    writer.png(QStringLiteral("background/praise.png"), 20, 20,
               [](QPainter &p) { drawThumb(p, QRectF(1, 1, 18, 18), kGoldDark); });
    writer.png(QStringLiteral("background/praise_select.png"), 20, 20,
               [](QPainter &p) { drawThumb(p, QRectF(1, 1, 18, 18), Qt::white); });
}

// The praise trophy: a cup that grows in, then shines while stars turn
// around it. 225 x 193, shown scaled in its 450 x 386 label.
void drawTrophyFrames(ImageWriter &writer)
{
    const int w = 225;
    const int h = 193;
    for (int frame = 0; frame < 72; ++frame) {
        writer.png(QStringLiteral("trophy/trophy_%1.png").arg(frame), w, h, [&](QPainter &p) {
            const qreal grow = qMin<qreal>(1.0, 0.3 + frame * 0.05);
            const QPointF c(w / 2.0, h / 2.0 + 6);
            // Glow behind the cup, pulsing.
            const qreal pulse = 0.75 + 0.25 * qSin(frame * 0.35);
            QRadialGradient glow(c, 95 * grow);
            glow.setColorAt(0, QColor(255, 236, 150, int(170 * pulse)));
            glow.setColorAt(1, QColor(255, 236, 150, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(c, 95 * grow, 95 * grow);

            p.save();
            p.translate(c);
            p.scale(grow, grow);
            QPainterPath cup;
            cup.moveTo(-40, -60);
            cup.lineTo(40, -60);
            cup.quadTo(40, 5, 0, 20);
            cup.quadTo(-40, 5, -40, -60);
            cup.closeSubpath();
            QPainterPath handles;
            handles.addEllipse(QRectF(-62, -52, 30, 34));
            handles.addEllipse(QRectF(32, -52, 30, 34));
            QPainterPath handleHoles;
            handleHoles.addEllipse(QRectF(-55, -45, 16, 20));
            handleHoles.addEllipse(QRectF(39, -45, 16, 20));
            fillGold(p, handles.subtracted(handleHoles), QRectF(-62, -52, 124, 34));
            fillGold(p, cup, QRectF(-40, -60, 80, 80));
            QPainterPath foot;
            foot.addRect(QRectF(-8, 18, 16, 22));
            foot.addRoundedRect(QRectF(-34, 40, 68, 14), 4, 4);
            fillGold(p, foot, QRectF(-34, 18, 68, 36));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 230));
            p.drawPath(starPath(QPointF(0, -28), 16, 7));
            // A shine that sweeps across the cup.
            const qreal sweep = -60 + (frame % 36) * 4.0;
            p.setClipPath(cup);
            QLinearGradient shine(QPointF(sweep - 12, 0), QPointF(sweep + 12, 0));
            shine.setColorAt(0, QColor(255, 255, 255, 0));
            shine.setColorAt(0.5, QColor(255, 255, 255, 150));
            shine.setColorAt(1, QColor(255, 255, 255, 0));
            p.fillRect(QRectF(-60, -70, 120, 100), shine);
            p.restore();

            // Stars turning round the cup.
            for (int i = 0; i < 6; ++i) {
                const qreal a = qDegreesToRadians(frame * 5.0 + i * 60.0);
                const QPointF s(c.x() + 92 * grow * qCos(a), c.y() + 70 * grow * qSin(a));
                p.setBrush(i % 2 ? QColor(0xff, 0xf5, 0x9d) : kGold);
                p.drawPath(starPath(s, 9 * grow, 3.5 * grow, 4));
            }
        });
    }
}

// Flowers and confetti of the scatter effects, at their table sizes.
void drawFlowers(ImageWriter &writer)
{
    struct Size
    {
        int w;
        int h;
    };
    const Size sizes[] = { { 18, 10 }, { 28, 41 }, { 28, 41 }, { 11, 39 }, { 18, 60 }, { 42, 47 }, { 64, 71 },
                           { 29, 16 }, { 36, 18 }, { 21, 21 }, { 33, 32 }, { 34, 33 }, { 22, 21 }, { 41, 39 } };
    const QColor colours[] = { QColor(0xf0, 0x62, 0x92), QColor(0xff, 0xca, 0x28), QColor(0x42, 0xa5, 0xf5),
                               QColor(0xef, 0x53, 0x50), QColor(0x66, 0xbb, 0x6a), QColor(0xab, 0x47, 0xbc),
                               QColor(0xff, 0x8a, 0x65) };
    for (int i = 0; i < 14; ++i) {
        const Size s = sizes[i];
        const QColor colour = colours[i % 7];
        writer.png(QStringLiteral("class/flower%1.png").arg(i + 1), s.w, s.h, [&](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            const QRectF r(0.5, 0.5, s.w - 1, s.h - 1);
            if (qMin(s.w, s.h) * 2 < qMax(s.w, s.h)) {
                // Long and thin: a ribbon of confetti.
                p.drawRoundedRect(r, qMin(s.w, s.h) / 3.0, qMin(s.w, s.h) / 3.0);
                return;
            }
            const QPointF c = r.center();
            const qreal rx = r.width() / 2;
            const qreal ry = r.height() / 2;
            for (int k = 0; k < 5; ++k) {
                p.save();
                p.translate(c);
                p.rotate(k * 72);
                p.scale(rx / ry, 1.0);
                p.drawEllipse(QRectF(-ry * 0.3, -ry, ry * 0.6, ry));
                p.restore();
            }
            p.setBrush(QColor(0xff, 0xf1, 0x76));
            p.drawEllipse(c, rx * 0.25, ry * 0.25);
        });
    }
}

void drawRankAvatar(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/velmoboy.png"), 68, 68, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x00, 0x6f, 0x85));
        p.drawEllipse(QRectF(0, 0, 68, 68));
        p.setBrush(QColor(0xff, 0xe0, 0xb2));
        p.drawEllipse(QPointF(34, 28), 14, 15);
        p.drawChord(QRectF(12, 44, 44, 40), 0, 180 * 16);
        p.setBrush(QColor(0x4e, 0x34, 0x2e));
        p.drawChord(QRectF(19, 12, 30, 22), 0, 180 * 16);
    });
}

void drawReviewImages(ImageWriter &writer)
{
    // A white card with a teal header and rounded corners; the rest of the
    // window is transparent.
    writer.png(QStringLiteral("review/review_background.png"), 416, 380, [](QPainter &p) {
        QPainterPath card;
        card.addRoundedRect(QRectF(2, 2, 412, 376), 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(card);
        p.save();
        p.setClipPath(card);
        QLinearGradient head(0, 0, 416, 0);
        head.setColorAt(0, kTeal);
        head.setColorAt(1, QColor(0x4d, 0xd0, 0xe1));
        p.fillRect(QRectF(0, 0, 416, 110), head);
        p.restore();
        p.setPen(QPen(QColor(255, 255, 255, 200), 2));
        p.setBrush(kGold);
        p.drawPath(starPath(QPointF(208, 58), 34, 14));
        p.setPen(QPen(QColor(0, 0, 0, 30), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(card);
    });
    writer.png(QStringLiteral("review/review_start_unselected.png"), 22, 21, [](QPainter &p) {
        p.setPen(QPen(QColor(0xc8, 0xc8, 0xc8), 1.2));
        p.setBrush(QColor(0xee, 0xee, 0xee));
        p.drawPath(starPath(QPointF(11, 11.5), 10, 4.2));
    });
    writer.png(QStringLiteral("review/review_start_seleted.png"), 22, 21, [](QPainter &p) {
        p.setPen(QPen(kGoldDark, 1.2));
        p.setBrush(kGold);
        p.drawPath(starPath(QPointF(11, 11.5), 10, 4.2));
    });
    for (bool hover : { false, true }) {
        writer.png(hover ? QStringLiteral("review/review_close_hover.png") : QStringLiteral("review/review_close.png"),
                   24, 24, [hover](QPainter &p) {
                       p.setPen(Qt::NoPen);
                       p.setBrush(hover ? QColor(255, 255, 255, 90) : QColor(255, 255, 255, 0));
                       p.drawEllipse(QRectF(1, 1, 22, 22));
                       p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
                       p.drawLine(QPointF(8, 8), QPointF(16, 16));
                       p.drawLine(QPointF(16, 8), QPointF(8, 16));
                   });
    }
}

// The problem report's screenshot button: scissors over a dashed frame,
// two 34 x 34 states side by side (normal, hover).
void drawScreenshotButton(ImageWriter &writer)
{
    writer.sprite(QStringLiteral("class/icon_cut.png"), 34, 34, 2, [](QPainter &p, int state, qreal x) {
        const QColor ink = state == 1 ? Palette::brand : Palette::glyph;
        if (state == 1) {
            p.setPen(Qt::NoPen);
            p.setBrush(Palette::hoverBack);
            p.drawRoundedRect(QRectF(x + 1, 1, 32, 32), 5, 5);
        }
        p.setPen(QPen(ink, 1.2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x + 6.5, 6.5, 21, 21));
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x + 11, 10), QPointF(x + 22, 22));
        p.drawLine(QPointF(x + 23, 10), QPointF(x + 12, 22));
        p.drawEllipse(QPointF(x + 11, 24), 2.6, 2.6);
        p.drawEllipse(QPointF(x + 23, 24), 2.6, 2.6);
    });
}

} // namespace

void drawAwardImages(ImageWriter &writer)
{
    drawPrizeButtons(writer);
    drawBigPrizes(writer);
    drawBackdrop(writer);
    drawPraiseIcons(writer);
    drawTrophyFrames(writer);
    drawFlowers(writer);
    drawRankAvatar(writer);
    drawReviewImages(writer);
    drawScreenshotButton(writer);
}
