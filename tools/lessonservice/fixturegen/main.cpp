// Draws the lesson service's picture and courseware fixtures into the given
// folder (tools/lessonservice/fixtures). The output is committed; run
// makefixtures.sh to rebuild every fixture, media files included.
// With --video-frames it writes the lesson video's numbered frames instead.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace {

const QColor kBrand(0xf0, 0x64, 0x50);
const QColor kInk(0x2f, 0x32, 0x44);
const QColor kPale(0xf5, 0xf5, 0xf5);

bool saveImage(const QImage &image, const QString &path)
{
    if (!image.save(path, "PNG", 9)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A round face on a coloured disc: the avatars of the fixture accounts.
QImage avatar(const QColor &background)
{
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawEllipse(QRectF(0, 0, 60, 60));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(18, 10, 24, 24));
    p.drawEllipse(QRectF(10, 36, 40, 30));
    return image;
}

// A plain card with a title bar: the course and video covers.
QImage cover(const QColor &accent, int bars)
{
    QImage image(226, 170, QImage::Format_RGB32);
    image.fill(kPale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(12, 12, 202, 40), 8, 8);
    for (int i = 0; i < bars; ++i) {
        p.setBrush(QColor(accent.red(), accent.green(), accent.blue(), 90 + 40 * i));
        p.drawRect(QRectF(24 + i * 46, 140 - 20 * (i + 1), 34, 20 * (i + 1)));
    }
    return image;
}

// Four landscape pages, each with a big page number and a few shapes, so a
// viewer shows at a glance which page it is on.
bool writeCourseware(const QString &path)
{
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("lessonry fixtures"));
    writer.setTitle(QStringLiteral("Colours and shapes"));
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF()));

    QPainter p;
    if (!p.begin(&writer)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    const QColor colours[] = { kBrand, QColor(0x2e, 0xc4, 0xb6), QColor(0x3d, 0x7e, 0xd8), QColor(0xf2, 0xb1, 0x34) };
    const int pageCount = 4;
    QFont font(QStringLiteral("DejaVu Sans"));
    for (int i = 0; i < pageCount; ++i) {
        if (i > 0)
            writer.newPage();
        p.fillRect(page, Qt::white);
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i]);
        p.drawRect(QRect(0, 0, page.width(), 48));
        switch (i % 3) {
        case 0: p.drawEllipse(QRect(60, 150, 160, 160)); break;
        case 1: p.drawRect(QRect(60, 150, 160, 160)); break;
        default: p.drawPolygon(QPolygon({ QPoint(140, 150), QPoint(60, 310), QPoint(220, 310) })); break;
        }
        p.setPen(kInk);
        font.setPixelSize(28);
        p.setFont(font);
        p.drawText(QRect(24, 0, page.width() - 48, 48), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Colours and shapes"));
        font.setPixelSize(160);
        p.setFont(font);
        p.drawText(QRect(page.width() / 2, 80, page.width() / 2 - 24, page.height() - 100),
                   Qt::AlignCenter, QString::number(i + 1));
    }
    p.end();
    std::printf("%s\n", qPrintable(path));
    return true;
}

// One frame of the lesson video, numbered so that a picture of a player
// tells which frame it shows (scripts/lib/videoframe.py reads it back).
// From the top, in rows of a sixth of the height: a green guide band, the
// frame number in eight cells (white for a set bit, the highest first),
// the same cells inverted, then the number in digits on grey.
QImage videoFrame(int number, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(0x70, 0x70, 0x70));
    QPainter p(&image);
    const int row = height / 6;
    p.fillRect(0, 0, width, row, QColor(0, 200, 0));
    for (int bit = 0; bit < 8; ++bit) {
        const bool set = number & (0x80 >> bit);
        const QRect cell(bit * width / 8, row, width / 8, row);
        p.fillRect(cell, set ? Qt::white : Qt::black);
        p.fillRect(cell.translated(0, row), set ? Qt::black : Qt::white);
    }
    QFont font;
    font.setPixelSize(height / 3);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 3 * row, width, height - 3 * row), Qt::AlignCenter, QString::number(number));
    return image;
}

// Writes `count` frames as raw 24-bit RGB to standard output, for ffmpeg.
int writeVideoFrames(int count, int width, int height)
{
    for (int i = 0; i < count; ++i) {
        const QImage frame = videoFrame(i, width, height);
        for (int y = 0; y < height; ++y) {
            if (std::fwrite(frame.constScanLine(y), 3, size_t(width), stdout) != size_t(width)) {
                std::fprintf(stderr, "cannot write frame %d\n", i);
                return 1;
            }
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--video-frames") == 0) {
        const int count = QByteArray(argv[2]).toInt();
        const int width = QByteArray(argv[3]).toInt();
        const int height = QByteArray(argv[4]).toInt();
        if (count < 1 || count > 256 || width < 16 || height < 12) {
            std::fprintf(stderr, "--video-frames takes 1 to 256 frames of at least 16 x 12\n");
            return 2;
        }
        return writeVideoFrames(count, width, height);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fixtures folder> | --video-frames <count> <width> <height>\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = writeCourseware(dir + QStringLiteral("/courseware.pdf"));
    ok = saveImage(avatar(kBrand), dir + QStringLiteral("/avatar-student.png")) && ok;
    ok = saveImage(avatar(QColor(0x3d, 0x7e, 0xd8)), dir + QStringLiteral("/avatar-student2.png")) && ok;
    ok = saveImage(avatar(kInk), dir + QStringLiteral("/avatar-teacher.png")) && ok;
    ok = saveImage(cover(kBrand, 3), dir + QStringLiteral("/cover.png")) && ok;
    ok = saveImage(cover(QColor(0x2e, 0xc4, 0xb6), 4), dir + QStringLiteral("/video-cover.png")) && ok;
    return ok ? 0 : 1;
}
