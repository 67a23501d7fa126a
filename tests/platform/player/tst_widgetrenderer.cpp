// The player's picture widget: where a frame goes, what it paints, and the
// frames it refuses.
#include "platform/player/videoframesurface.h"
#include "platform/player/widgetrenderer.h"

#include <QImage>
#include <QTest>
#include <QVideoSurfaceFormat>

using namespace QtAV;

namespace {

QVideoFrame filledFrame(const QSize &size, QRgb color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return QVideoFrame(image);
}

} // namespace

class TestWidgetRenderer : public QObject
{
    Q_OBJECT

private slots:
    void fittedRect_data();
    void fittedRect();
    void paintsTheNewestFrameFitted();
    void refusesOtherFormats_data();
    void refusesOtherFormats();
};

void TestWidgetRenderer::fittedRect_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("same size") << QSize(640, 480) << QSize(640, 480) << QRect(0, 0, 640, 480);
    QTest::newRow("wider widget: bars left and right") << QSize(640, 480) << QSize(1000, 480) << QRect(180, 0, 640, 480);
    QTest::newRow("taller widget: bars above and below") << QSize(640, 480) << QSize(320, 480) << QRect(0, 120, 320, 240);
    QTest::newRow("scaled up") << QSize(160, 120) << QSize(1344, 756) << QRect(168, 0, 1008, 756);
    QTest::newRow("no frame") << QSize() << QSize(320, 240) << QRect();
    QTest::newRow("widget of no size") << QSize(640, 480) << QSize(0, 240) << QRect();
}

void TestWidgetRenderer::fittedRect()
{
    QFETCH(QSize, frame);
    QFETCH(QSize, widget);
    QFETCH(QRect, expected);
    QCOMPARE(WidgetRenderer::fittedRect(frame, widget), expected);
}

// Black before the first frame; the frame inside its fitted rectangle with
// black around it; black again once the player stops.
void TestWidgetRenderer::paintsTheNewestFrameFitted()
{
    WidgetRenderer renderer;
    renderer.resize(200, 100);
    VideoFrameSurface *surface = renderer.surface();
    const auto shown = [&renderer] { return renderer.grab().toImage(); };
    QCOMPARE(shown().pixel(100, 50), qRgb(0, 0, 0));

    QVERIFY(surface->start(QVideoSurfaceFormat(QSize(64, 48), QVideoFrame::Format_RGB32)));
    QVERIFY(surface->present(filledFrame(QSize(64, 48), qRgb(200, 30, 40))));
    QVERIFY(surface->present(filledFrame(QSize(64, 48), qRgb(20, 180, 90))));
    const QImage picture = shown();
    const QRect target = WidgetRenderer::fittedRect(QSize(64, 48), QSize(200, 100));
    QCOMPARE(target, QRect(33, 0, 133, 100));
    QCOMPARE(picture.pixel(target.center()), qRgb(20, 180, 90));
    QCOMPARE(picture.pixel(target.left() + 2, target.top() + 2), qRgb(20, 180, 90));
    QCOMPARE(picture.pixel(target.right() - 2, target.bottom() - 2), qRgb(20, 180, 90));
    QCOMPARE(picture.pixel(target.left() - 2, 50), qRgb(0, 0, 0));
    QCOMPARE(picture.pixel(target.right() + 2, 50), qRgb(0, 0, 0));

    surface->stop();
    QVERIFY(!surface->currentFrame().isValid());
    QCOMPARE(shown().pixel(100, 50), qRgb(0, 0, 0));
}

void TestWidgetRenderer::refusesOtherFormats_data()
{
    QTest::addColumn<QVideoSurfaceFormat>("format");
    QTest::newRow("planar YUV") << QVideoSurfaceFormat(QSize(64, 48), QVideoFrame::Format_YUV420P);
    QTest::newRow("a GL texture") << QVideoSurfaceFormat(QSize(64, 48), QVideoFrame::Format_RGB32,
                                                         QAbstractVideoBuffer::GLTextureHandle);
    QTest::newRow("no size") << QVideoSurfaceFormat(QSize(), QVideoFrame::Format_RGB32);
}

// A format the widget cannot draw as it is does not start; a frame of
// another format than the started one is not kept.
void TestWidgetRenderer::refusesOtherFormats()
{
    QFETCH(QVideoSurfaceFormat, format);
    VideoFrameSurface surface;
    QVERIFY(!surface.start(format));
    QVERIFY(!surface.isActive());
    QVERIFY(surface.start(QVideoSurfaceFormat(QSize(64, 48), QVideoFrame::Format_RGB32)));
    QImage other(64, 48, QImage::Format_RGB888);
    other.fill(Qt::red);
    QVERIFY(!surface.present(QVideoFrame(other)));
    QVERIFY(!surface.currentFrame().isValid());
}

QTEST_MAIN(TestWidgetRenderer)
#include "tst_widgetrenderer.moc"
