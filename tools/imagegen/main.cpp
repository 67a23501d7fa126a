// Draws every picture of the common widgets with QPainter and writes them
// under the given image folder (src/image). The output is committed; run
// this again only to change a picture.

#include "gifwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

const QColor kBrand(0xf0, 0x64, 0x50);
const QColor kBrandDark(0xd9, 0x53, 0x3f);
const QColor kInk(0x2f, 0x32, 0x44);
const QColor kGlyph(0x66, 0x66, 0x66);
const QColor kLine(0xc8, 0xc8, 0xc8);
const QColor kPale(0xf2, 0xf2, 0xf2);
const QColor kHoverBack(0xdc, 0xdc, 0xdc);
const QColor kPressBack(0xc4, 0xc4, 0xc4);
const QColor kLoadingGrey(70, 68, 68);

QString g_outDir;
bool g_ok = true;

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void save(const QImage &image, const QString &relativePath)
{
    const QString path = g_outDir + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        g_ok = false;
    } else {
        std::printf("%s\n", qPrintable(relativePath));
    }
}

void beginPainter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// The program mark: a rounded square with an open book.
void drawMark(QPainter &p, const QRectF &r)
{
    const qreal radius = r.width() * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(kBrand);
    p.drawRoundedRect(r, radius, radius);

    const qreal w = r.width();
    const QPointF c = r.center();
    QPen pen(Qt::white, qMax<qreal>(1.5, w * 0.07), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath left;
    left.moveTo(c.x(), c.y() - w * 0.16);
    left.cubicTo(c.x() - w * 0.1, c.y() - w * 0.24, c.x() - w * 0.22, c.y() - w * 0.24, c.x() - w * 0.3, c.y() - w * 0.2);
    left.lineTo(c.x() - w * 0.3, c.y() + w * 0.22);
    left.cubicTo(c.x() - w * 0.22, c.y() + w * 0.18, c.x() - w * 0.1, c.y() + w * 0.18, c.x(), c.y() + w * 0.26);
    left.closeSubpath();
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(c.x(), c.y() - w * 0.16);
    right.cubicTo(c.x() + w * 0.1, c.y() - w * 0.24, c.x() + w * 0.22, c.y() - w * 0.24, c.x() + w * 0.3, c.y() - w * 0.2);
    right.lineTo(c.x() + w * 0.3, c.y() + w * 0.22);
    right.cubicTo(c.x() + w * 0.22, c.y() + w * 0.18, c.x() + w * 0.1, c.y() + w * 0.18, c.x(), c.y() + w * 0.26);
    right.closeSubpath();
    p.drawPath(right);
}

void drawAppIcon()
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    beginPainter(p);
    drawMark(p, QRectF(2, 2, 60, 60));
    p.end();
    save(image, QStringLiteral("login/logo.png"));
}

void drawTitleLogo()
{
    QImage image = canvas(110, 30);
    QPainter p(&image);
    beginPainter(p);
    drawMark(p, QRectF(2, 4, 22, 22));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(28, 0, 82, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lessonry"));
    p.end();
    save(image, QStringLiteral("class/logo.png"));
}

// Help button: two 80 x 24 states side by side (normal, hover).
void drawHelpSprite(const QString &text, const QString &family, const QString &relativePath)
{
    QImage image = canvas(160, 24);
    QPainter p(&image);
    beginPainter(p);
    QFont font(family);
    font.setPixelSize(13);
    for (int state = 0; state < 2; ++state) {
        const bool hover = state == 1;
        const QRectF cell(state * 80 + 0.5, 0.5, 79, 23);
        p.setPen(QPen(hover ? kBrand : kLine, 1));
        p.setBrush(hover ? kBrand : QColor(Qt::white));
        p.drawRoundedRect(cell, 11.5, 11.5);

        const QRectF circle(cell.left() + 10, 5, 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(hover ? QColor(Qt::white) : kBrand);
        p.drawEllipse(circle);
        QFont mark(QStringLiteral("DejaVu Sans"));
        mark.setPixelSize(11);
        mark.setBold(true);
        p.setFont(mark);
        p.setPen(hover ? kBrand : QColor(Qt::white));
        p.drawText(circle, Qt::AlignCenter, QStringLiteral("?"));

        p.setFont(font);
        p.setPen(hover ? QColor(Qt::white) : kInk);
        p.drawText(QRectF(cell.left() + 28, 0, 46, 24), Qt::AlignCenter, text);
    }
    p.end();
    save(image, relativePath);
}

// Window buttons: three 20 x 20 states side by side (normal, hover,
// pressed); glyph draws the symbol in the given pen inside a 20 x 20 cell.
void drawWindowButton(const QString &relativePath, bool danger,
                      const std::function<void(QPainter &, qreal)> &glyph)
{
    QImage image = canvas(60, 20);
    QPainter p(&image);
    beginPainter(p);
    for (int state = 0; state < 3; ++state) {
        const qreal x = state * 20;
        QColor back = Qt::transparent;
        QColor ink = kGlyph;
        if (state == 1) {
            back = danger ? kBrand : kHoverBack;
            ink = danger ? QColor(Qt::white) : kInk;
        } else if (state == 2) {
            back = danger ? kBrandDark : kPressBack;
            ink = danger ? QColor(Qt::white) : kInk;
        }
        if (back.alpha() > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(back);
            p.drawRoundedRect(QRectF(x + 1, 1, 18, 18), 4, 4);
        }
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        glyph(p, x);
    }
    p.end();
    save(image, relativePath);
}

void drawWindowButtons()
{
    drawWindowButton(QStringLiteral("class/btn_min.png"), false, [](QPainter &p, qreal x) {
        p.drawLine(QPointF(x + 5.5, 10.5), QPointF(x + 14.5, 10.5));
    });
    drawWindowButton(QStringLiteral("class/btn_max.png"), false, [](QPainter &p, qreal x) {
        p.drawRect(QRectF(x + 5.5, 5.5, 9, 9));
    });
    drawWindowButton(QStringLiteral("class/btn_remax.png"), false, [](QPainter &p, qreal x) {
        p.drawRect(QRectF(x + 5.5, 7.5, 7, 7));
        QPainterPath back;
        back.moveTo(x + 7.5, 7.5);
        back.lineTo(x + 7.5, 5.5);
        back.lineTo(x + 14.5, 5.5);
        back.lineTo(x + 14.5, 12.5);
        back.lineTo(x + 12.5, 12.5);
        p.drawPath(back);
    });
    drawWindowButton(QStringLiteral("class/btn_close.png"), true, [](QPainter &p, qreal x) {
        p.drawLine(QPointF(x + 6, 6), QPointF(x + 14, 14));
        p.drawLine(QPointF(x + 14, 6), QPointF(x + 6, 14));
    });
}

// "There is nothing": an empty open tray.
void drawNoData()
{
    QImage image = canvas(100, 120);
    QPainter p(&image);
    beginPainter(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 18));
    p.drawEllipse(QRectF(14, 96, 72, 10));

    QPen pen(kLine, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(kPale);
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
    p.setPen(QPen(kLine, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 16), QPointF(50, 28));
    p.drawLine(QPointF(34, 22), QPointF(39, 31));
    p.drawLine(QPointF(66, 22), QPointF(61, 31));
    p.end();
    save(image, QStringLiteral("class/noData.png"));
}

// "The network is busy": a cloud with a warning sign.
void drawNetworkFailure()
{
    QImage image = canvas(100, 120);
    QPainter p(&image);
    beginPainter(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 18));
    p.drawEllipse(QRectF(14, 96, 72, 10));

    QPainterPath cloud;
    cloud.addEllipse(QRectF(14, 48, 34, 34));
    cloud.addEllipse(QRectF(30, 32, 42, 42));
    cloud.addEllipse(QRectF(54, 50, 32, 32));
    cloud.addRoundedRect(QRectF(30, 62, 40, 20), 4, 4);
    cloud.setFillRule(Qt::WindingFill);
    p.setPen(QPen(kLine, 2.5));
    p.setBrush(kPale);
    p.drawPath(cloud.simplified());

    const QRectF badge(58, 66, 26, 26);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(kBrand);
    p.drawEllipse(badge);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(71, 72), QPointF(71, 80));
    p.drawPoint(QPointF(71, 86));
    p.end();
    save(image, QStringLiteral("class/group.png"));
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

void drawLoadingAnimations()
{
    GifWriter plain(Qt::white, kBrand, true);
    GifWriter grey(kLoadingGrey, Qt::white, false);
    for (int frame = 0; frame < 12; ++frame) {
        plain.addFrame(spinnerFrame(frame, QColor(), kBrand));
        grey.addFrame(spinnerFrame(frame, kLoadingGrey, Qt::white));
    }
    const struct {
        const GifWriter *writer;
        const char *path;
    } gifs[] = {
        { &plain, "class/classLoading.gif" },
        { &grey, "class/classLoading_greyBG.gif" },
    };
    for (const auto &gif : gifs) {
        const QString path = g_outDir + QLatin1Char('/') + QLatin1String(gif.path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (gif.writer->write(path, 8)) {
            std::printf("%s\n", gif.path);
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            g_ok = false;
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <image folder>\n", argv[0]);
        return 2;
    }
    g_outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();

    drawAppIcon();
    drawTitleLogo();
    drawHelpSprite(QStringLiteral("帮助"), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("class/icon_help.png"));
    drawHelpSprite(QStringLiteral("Help"), QStringLiteral("DejaVu Sans"), QStringLiteral("class/helpImgEn.png"));
    drawWindowButtons();
    drawNoData();
    drawNetworkFailure();
    drawLoadingAnimations();
    return g_ok ? 0 : 1;
}
