// Draws the pictures of the login window with QPainter and writes them
// under the given image folder (src/image/login). The output is committed;
// run this again only to change a picture. Colours follow the common
// widgets' pictures.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

const QColor kBrand(0xf0, 0x64, 0x50);
const QColor kInk(0x2f, 0x32, 0x44);
const QColor kGlyph(0x88, 0x88, 0x88);
const QColor kLine(0xc8, 0xc8, 0xc8);

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
}

// The window background: a pale warm wash with two soft circles in the
// corners, quiet enough for grey text on top.
void drawBackground()
{
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    beginPainter(p);
    QLinearGradient wash(0, 0, 0, 300);
    wash.setColorAt(0, QColor(0xff, 0xf6, 0xf3));
    wash.setColorAt(0.45, QColor(0xff, 0xff, 0xff));
    wash.setColorAt(1, QColor(0xfa, 0xfa, 0xfa));
    p.fillRect(image.rect(), wash);

    p.setPen(Qt::NoPen);
    QColor soft = kBrand;
    soft.setAlpha(26);
    p.setBrush(soft);
    p.drawEllipse(QPointF(20, 10), 90, 90);
    soft.setAlpha(18);
    p.setBrush(soft);
    p.drawEllipse(QPointF(395, 290), 110, 110);
    p.end();
    save(image, QStringLiteral("login/login_bg.png"));
}

// The picture shown until the user's own arrives: a round grey head and
// shoulders.
void drawDefaultAvatar()
{
    QImage image = canvas(60, 60);
    QPainter p(&image);
    beginPainter(p);
    QPainterPath clip;
    clip.addEllipse(QRectF(0.5, 0.5, 59, 59));
    p.setClipPath(clip);
    p.fillRect(image.rect(), QColor(0xe9, 0xe9, 0xec));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb9, 0xbb, 0xc4));
    p.drawEllipse(QPointF(30, 24), 10.5, 10.5);
    p.drawEllipse(QRectF(11, 38, 38, 34));
    p.setClipping(false);
    p.setPen(QPen(kLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(0.5, 0.5, 59, 59));
    p.end();
    save(image, QStringLiteral("login/default_avatar.png"));
}

// Check box indicator: two 20 x 20 states side by side (unchecked, checked).
void drawCheckBox()
{
    QImage image = canvas(40, 20);
    QPainter p(&image);
    beginPainter(p);
    for (int state = 0; state < 2; ++state) {
        const QRectF box(state * 20 + 3.5, 3.5, 13, 13);
        if (state == 0) {
            p.setPen(QPen(kLine, 1));
            p.setBrush(Qt::white);
            p.drawRoundedRect(box, 3, 3);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(kBrand);
            p.drawRoundedRect(box, 3, 3);
            p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPainterPath tick;
            tick.moveTo(box.left() + 3, box.top() + 6.8);
            tick.lineTo(box.left() + 5.6, box.top() + 9.4);
            tick.lineTo(box.left() + 10.2, box.top() + 3.8);
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
    }
    p.end();
    save(image, QStringLiteral("login/check_box.png"));
}

// A title-bar icon: two 20 x 20 states side by side (normal, hover);
// glyph draws the symbol inside the cell starting at x.
void drawTitleIcon(const QString &relativePath, const std::function<void(QPainter &, qreal)> &glyph)
{
    QImage image = canvas(40, 20);
    QPainter p(&image);
    beginPainter(p);
    for (int state = 0; state < 2; ++state) {
        const qreal x = state * 20;
        p.setPen(QPen(state == 0 ? kGlyph : kBrand, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        glyph(p, x);
    }
    p.end();
    save(image, relativePath);
}

void drawTitleIcons()
{
    // Network settings: a globe.
    drawTitleIcon(QStringLiteral("login/icon_netSetting.png"), [](QPainter &p, qreal x) {
        const QRectF globe(x + 3.5, 3.5, 13, 13);
        p.drawEllipse(globe);
        p.drawEllipse(QRectF(x + 7, 3.5, 6, 13));
        p.drawLine(QPointF(x + 3.5, 10), QPointF(x + 16.5, 10));
    });
    // Help: a question mark in a circle.
    drawTitleIcon(QStringLiteral("login/helpImg.png"), [](QPainter &p, qreal x) {
        p.drawEllipse(QRectF(x + 3.5, 3.5, 13, 13));
        QPainterPath hook;
        hook.moveTo(x + 8, 8.2);
        hook.cubicTo(x + 8, 5.6, x + 12.4, 5.6, x + 12.2, 8.2);
        hook.cubicTo(x + 12.1, 9.8, x + 10, 10, x + 10, 11.8);
        p.drawPath(hook);
        p.drawPoint(QPointF(x + 10, 14));
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <image folder>\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    drawBackground();
    drawDefaultAvatar();
    drawCheckBox();
    drawTitleIcons();
    return g_ok ? 0 : 1;
}
