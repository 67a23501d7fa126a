#include "rtcvideosource.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTime>

#include <ctime>

namespace RtcVideoSource {

Profile profile(int number, bool *known)
{
    static const struct
    {
        int number;
        Profile profile;
    } profiles[] = {
        { 0, { QSize(160, 120), 15, 65 } },    { 10, { QSize(320, 180), 15, 140 } },
        { 20, { QSize(320, 240), 15, 200 } },  { 30, { QSize(640, 360), 15, 400 } },
        { 40, { QSize(640, 480), 15, 500 } },  { 50, { QSize(1280, 720), 15, 1130 } },
    };
    for (const auto &entry : profiles) {
        if (entry.number == number) {
            if (known)
                *known = true;
            return entry.profile;
        }
    }
    if (known)
        *known = false;
    return profile(kDefaultProfile);
}

QImage syntheticFrame(quint64 n, const QString &userId, const QString &cameraName)
{
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_ARGB32);
    QPainter p(&image);
    static const QColor bars[] = { Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue };
    const int count = int(sizeof(bars) / sizeof(bars[0]));
    const int barWidth = kFrameWidth / count + 1;
    // From the top: a light strip under a tile's name and praise badge (its
    // red name stays readable there; a wide tile's centre crop cuts about
    // an eighth off the top), the captions in a dark band below it, the
    // colour bars under that; a tile's tool bar covers the bottom.
    const int strip = kFrameHeight / 3;
    const int bandBottom = kFrameHeight * 5 / 8;
    for (int i = 0; i < count; ++i)
        p.fillRect(i * barWidth, bandBottom, barWidth, kFrameHeight - bandBottom, bars[i]);
    p.fillRect(0, 0, kFrameWidth, strip, QColor(224, 226, 232));
    p.fillRect(0, strip, kFrameWidth, bandBottom - strip, QColor(32, 34, 48));
    // A ball that crosses the picture once every four seconds shows that
    // the picture moves.
    const int period = kFramesPerSecond * 4;
    const int x = int((n % quint64(period)) * quint64(kFrameWidth - 60) / quint64(period));
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(240, 100, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(x, bandBottom + 20, 60, 60));
    // Text needs the fonts of a GUI application. It stays clear of the
    // edges that a tile's centre crop cuts off, and "UID" in capitals stays
    // readable when the picture is shown a third of its size.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        p.setPen(Qt::white);
        QFont font;
        font.setPixelSize(40);
        font.setBold(true);
        p.setFont(font);
        const int margin = kFrameHeight / 20;
        const QRect upper(margin + 4, strip + margin / 2, kFrameWidth - 2 * (margin + 4), bandBottom - strip - margin);
        p.drawText(upper, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("UID %1").arg(userId));
        p.drawText(upper, Qt::AlignRight | Qt::AlignTop, QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
        font.setPixelSize(26);
        font.setBold(false);
        p.setFont(font);
        p.drawText(upper, Qt::AlignLeft | Qt::AlignBottom, cameraName);
    }
    p.end();
    if (frameStampsWanted())
        drawFrameStamp(&image, quint32(n), stampClockMs());
    return image;
}

namespace {

// One bit a block, on VP8's 16-pixel macroblock grid; three rows: the
// frame number, the time, and the two XORed with a pattern as the check.
const int kStampBlock = 16;
const int kStampBits = 32;
const int kStampRows = 3;
// Makes the check row of a plain white or black picture fail.
const quint32 kStampCheck = 0x5a5a5a5au;

} // namespace

bool frameStampsWanted()
{
    static const bool wanted = qEnvironmentVariableIntValue("LESSONRY_FRAME_STAMPS") == 1;
    return wanted;
}

quint32 stampClockMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return quint32(quint64(now.tv_sec) * 1000 + quint64(now.tv_nsec) / 1000000);
}

void drawFrameStamp(QImage *image, quint32 frame, quint32 drawnMs)
{
    if (image->width() < kStampBits * kStampBlock || image->height() < kStampRows * kStampBlock)
        return;
    const quint32 rows[kStampRows] = { frame, drawnMs, frame ^ drawnMs ^ kStampCheck };
    QPainter p(image);
    for (int row = 0; row < kStampRows; ++row) {
        for (int bit = 0; bit < kStampBits; ++bit) {
            const bool set = rows[row] & (1u << (kStampBits - 1 - bit));
            p.fillRect(bit * kStampBlock, row * kStampBlock, kStampBlock, kStampBlock, set ? Qt::white : Qt::black);
        }
    }
}

bool readFrameStamp(const QImage &image, quint32 *frame, quint32 *drawnMs)
{
    if (image.width() < kStampBits * kStampBlock || image.height() < kStampRows * kStampBlock)
        return false;
    quint32 rows[kStampRows] = {};
    for (int row = 0; row < kStampRows; ++row) {
        for (int bit = 0; bit < kStampBits; ++bit) {
            // The block's middle: its edges blur into the neighbours'.
            int sum = 0;
            for (int dy = 4; dy < kStampBlock - 4; dy += 2) {
                for (int dx = 4; dx < kStampBlock - 4; dx += 2)
                    sum += qGray(image.pixel(bit * kStampBlock + dx, row * kStampBlock + dy));
            }
            if (sum > 128 * 16)
                rows[row] |= 1u << (kStampBits - 1 - bit);
        }
    }
    if (rows[2] != (rows[0] ^ rows[1] ^ kStampCheck))
        return false;
    *frame = rows[0];
    *drawnMs = rows[1];
    return true;
}

QByteArray encode(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 75);
    return bytes;
}

QImage decode(const QByteArray &bytes, QString *why)
{
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return QImage();
    };
    if (bytes.size() > kMaxPictureBytes)
        return refuse(QStringLiteral("%1 bytes").arg(bytes.size()));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPEG");
    // The header's size, before a pixel is allocated.
    const QSize size = reader.size();
    if (!size.isValid())
        return refuse(QStringLiteral("not a picture"));
    if (size.width() > kMaxFrameWidth || size.height() > kMaxFrameHeight)
        return refuse(QStringLiteral("%1x%2 pixels").arg(size.width()).arg(size.height()));
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return refuse(QStringLiteral("not a picture"));
    return image;
}

} // namespace RtcVideoSource
