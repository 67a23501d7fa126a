// Draws the pictures of the network-line window with QPainter and writes them
// under the given image folder (src/image). The output is committed; run this
// again only to change a picture.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor kStrong(0x3c, 0xb3, 0x71);
const QColor kWeak(0xf5, 0xa6, 0x23);
const QColor kBad(0xf0, 0x64, 0x50);
const QColor kIdle(0xcc, 0xcc, 0xcc);
const QColor kBrand(0xf0, 0x64, 0x50);

bool save(const QImage &image, const QString &outDir, const QString &relativePath)
{
    const QString path = outDir + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(relativePath));
    return true;
}

// Four rising bars in a 20 x 20 icon; the first "lit" bars take "color".
QImage signalIcon(int lit, const QColor &color, bool crossed)
{
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int bar = 0; bar < 4; ++bar) {
        const qreal height = 5 + bar * 4;
        const QRectF rect(2 + bar * 4.5, 18 - height, 3, height);
        p.setBrush(bar < lit ? color : kIdle);
        p.drawRoundedRect(rect, 1, 1);
    }
    if (crossed) {
        QPen pen(kBad, 2, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(2, 3), QPointF(9, 10));
        p.drawLine(QPointF(9, 3), QPointF(2, 10));
    }
    return image;
}

// The window's card: white with a soft brand-coloured band at the top and
// a thin rule under the title row.
QImage background()
{
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(0, 0, 400, 300), 8, 8);
    p.fillPath(card, Qt::white);
    p.setClipPath(card);
    QLinearGradient band(0, 0, 0, 56);
    band.setColorAt(0, kBrand.lighter(135));
    band.setColorAt(1, kBrand.lighter(165));
    p.fillRect(QRectF(0, 0, 400, 56), band);
    // A small globe-like mark in the band.
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(36, 28), 13, 13);
    p.drawEllipse(QRectF(30, 15, 12, 26));
    p.drawLine(QPointF(23, 28), QPointF(49, 28));
    p.setPen(QPen(QColor(0xe6, 0xe6, 0xe6), 1));
    p.drawLine(QPointF(30, 96), QPointF(370, 96));
    p.drawLine(QPointF(30, 232), QPointF(370, 232));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <src/image folder>\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    ok &= save(signalIcon(4, kStrong, false), outDir, QStringLiteral("login/signalStrong.png"));
    ok &= save(signalIcon(2, kWeak, false), outDir, QStringLiteral("login/signalWeak.png"));
    ok &= save(signalIcon(1, kBad, false), outDir, QStringLiteral("login/signalBad.png"));
    ok &= save(signalIcon(0, kIdle, true), outDir, QStringLiteral("login/noSignal.png"));
    ok &= save(background(), outDir, QStringLiteral("login/netSettingBgd.png"));
    return ok ? 0 : 1;
}
