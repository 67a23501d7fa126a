#include "rtcvideosource.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTime>

#include <cstring>

namespace RtcVideoSource {

QImage syntheticFrame(quint64 n, const QString &userId, const QString &cameraName)
{
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_ARGB32);
    QPainter p(&image);
    static const QColor bars[] = { Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue };
    const int count = int(sizeof(bars) / sizeof(bars[0]));
    const int barWidth = kFrameWidth / count + 1;
    for (int i = 0; i < count; ++i)
        p.fillRect(i * barWidth, 0, barWidth, kFrameHeight * 2 / 3, bars[i]);
    p.fillRect(0, kFrameHeight * 2 / 3, kFrameWidth, kFrameHeight / 3, QColor(32, 34, 48));
    // A ball that crosses the picture once every four seconds shows that
    // the picture moves.
    const int period = kFramesPerSecond * 4;
    const int x = int((n % quint64(period)) * quint64(kFrameWidth - 60) / quint64(period));
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(240, 100, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(x, kFrameHeight * 2 / 3 - 30, 60, 60));
    // Text needs the fonts of a GUI application.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        p.setPen(Qt::white);
        QFont font;
        font.setPixelSize(36);
        font.setBold(true);
        p.setFont(font);
        const QRect lower(20, kFrameHeight * 2 / 3 + 40, kFrameWidth - 40, kFrameHeight / 3 - 50);
        p.drawText(lower, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("uid %1").arg(userId));
        p.drawText(lower, Qt::AlignRight | Qt::AlignTop, QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
        font.setPixelSize(20);
        font.setBold(false);
        p.setFont(font);
        p.drawText(lower, Qt::AlignLeft | Qt::AlignBottom, cameraName);
    }
    return image;
}

QByteArray argbBytes(const QImage &image)
{
    const QImage argb = image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    const int rowBytes = argb.width() * 4;
    QByteArray bytes(rowBytes * argb.height(), Qt::Uninitialized);
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(bytes.data() + y * rowBytes, argb.constScanLine(y), size_t(rowBytes));
    return bytes;
}

QByteArray encode(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 75);
    return bytes;
}

QImage decode(const QByteArray &bytes)
{
    return QImage::fromData(bytes, "JPEG");
}

} // namespace RtcVideoSource
