#include "biz/im/agora/videorender.h"
#include "biz/im/agora/videotileimage.h"
#include "widget/widgetvideo.h"

#include <QPainter>

#include <QAtomicInt>
#include <QImage>
#include <QTest>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace {

// A frame of ARGB pixels given by a function of (column, row).
class TestFrame : public agora::media::IVideoFrame
{
public:
    TestFrame(int w, int h, const std::function<quint32(int, int)> &pixel) : m_w(w), m_h(h), m_pixels(size_t(w) * size_t(h))
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                m_pixels[size_t(y) * size_t(w) + size_t(x)] = pixel(x, y);
    }
    bool isZeroSize() const override { return m_w <= 0 || m_h <= 0; }
    int copyFrame(agora::media::IVideoFrame **dest) const override
    {
        if (!*dest) {
            *dest = new TestFrame(*this);
            return 0;
        }
        auto *held = static_cast<TestFrame *>(*dest);
        held->m_w = m_w;
        held->m_h = m_h;
        // Written slowly, pixel by pixel, so a paint of the same copy at
        // the same time would see a half-written frame.
        held->m_pixels.resize(m_pixels.size());
        for (size_t i = 0; i < m_pixels.size(); ++i)
            held->m_pixels[i] = m_pixels[i];
        return 0;
    }
    int width() const override { return m_w; }
    int height() const override { return m_h; }
    int convertFrame(int type, int, unsigned char *buffer) const override
    {
        if (type != agora::media::VIDEO_TYPE_ARGB)
            return -1;
        memcpy(buffer, m_pixels.data(), m_pixels.size() * 4);
        return 0;
    }
    void release() override { delete this; }

private:
    int m_w;
    int m_h;
    std::vector<quint32> m_pixels;
};

class CountingCallback : public agora::media::IExternalVideoRenderCallback
{
public:
    void onViewSizeChanged(int w, int h) override
    {
        width = w;
        height = h;
    }
    void onViewDestroyed() override { ++destroyed; }
    std::atomic<int> width { 0 };
    std::atomic<int> height { 0 };
    std::atomic<int> destroyed { 0 };
};

const quint32 kRed = 0xffff0000;
const quint32 kGreen = 0xff00ff00;
const quint32 kBlue = 0xff0000ff;

// Runs f on a thread of its own, as the engine does, and keeps the GUI
// thread answering the render's blocking hand-over until it is done.
bool onEngineThread(const std::function<void()> &f)
{
    std::unique_ptr<QThread> thread(QThread::create(f));
    thread->start();
    for (int i = 0; i < 1000 && !thread->isFinished(); ++i)
        QTest::qWait(5);
    return thread->wait(5000);
}

// A render of view made on a thread of the engine's, as the engine makes
// it, and given then on that thread (the frames it delivers at once);
// nullptr when the thread did not end.
VideoRender *renderOnEngineThread(WidgetVideo *view, const std::function<void(VideoRender &)> &then = {})
{
    agora::media::ExternalVideoRenerContext context { nullptr, view, 1, 0, 0, 0, 1, 1 };
    VideoRender *render = nullptr;
    const bool ended = onEngineThread([&] {
        render = new VideoRender(context);
        if (then)
            then(*render);
    });
    return ended ? render : nullptr;
}

} // namespace

// The video widget and its render: what a frame looks like on screen, and
// the hand-over between the engine's thread and the GUI thread.
class TestWidgetVideo : public QObject
{
    Q_OBJECT

private slots:
    void paint_data();
    void paint();
    void mutedPaintsGreyWhateverItHolds();
    void zeroSizedWidgetAndFramesAreHarmless();
    void cropMath_data();
    void cropMath();
    void framesFromAnotherThreadAreNeverTorn();
    void releasedRenderLeavesNothingToPaint();
    void destroyedWidgetTellsTheEngine();
    void paintedPictureIsTheFrameScaledByAPainter_data();
    void paintedPictureIsTheFrameScaledByAPainter();
    void newestFrameWinsAndTheEngineNeverWaits();
    void resizedBetweenFrameAndPaint();
};

void TestWidgetVideo::paint_data()
{
    QTest::addColumn<int>("frameW");
    QTest::addColumn<int>("frameH");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<bool>("crop");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("mirrored");
    // (x, y) in widget pixels -> expected colour
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<QList<quint32>>("colours");

    // Red left of column 80, green to column 560, blue after.
    QTest::newRow("640x480 in 200x200 keeps 480x480 from column 80")
        << 640 << 480 << QSize(200, 200) << true << 0 << false << QList<QPoint> { { 1, 100 }, { 100, 100 }, { 198, 100 } }
        << QList<quint32> { kGreen, kGreen, kGreen };
    QTest::newRow("crop off stretches the whole frame")
        << 640 << 480 << QSize(200, 200) << false << 0 << false << QList<QPoint> { { 1, 100 }, { 100, 100 }, { 198, 100 } }
        << QList<quint32> { kRed, kGreen, kBlue };
    QTest::newRow("a smaller frame is not cropped")
        << 320 << 240 << QSize(640, 360) << true << 0 << false << QList<QPoint> { { 2, 100 }, { 637, 100 } }
        << QList<quint32> { kRed, kBlue };
    QTest::newRow("rotation 90 draws unrotated")
        << 640 << 480 << QSize(200, 200) << false << 90 << false << QList<QPoint> { { 1, 100 }, { 198, 100 } }
        << QList<quint32> { kRed, kBlue };
    QTest::newRow("mirrored flips left and right")
        << 640 << 480 << QSize(200, 200) << false << 0 << true << QList<QPoint> { { 1, 100 }, { 198, 100 } }
        << QList<quint32> { kBlue, kRed };
}

void TestWidgetVideo::paint()
{
    QFETCH(int, frameW);
    QFETCH(int, frameH);
    QFETCH(QSize, widget);
    QFETCH(bool, crop);
    QFETCH(int, rotation);
    QFETCH(bool, mirrored);
    QFETCH(QList<QPoint>, points);
    QFETCH(QList<quint32>, colours);

    WidgetVideo view;
    view.resize(widget);
    view.setCropToFit(crop);
    const int scale = frameW / 8;
    TestFrame frame(frameW, frameH, [scale, frameW](int x, int) {
        return x < scale ? kRed : (x >= frameW - scale ? kBlue : kGreen);
    });
    VideoRender *render = renderOnEngineThread(&view, [&](VideoRender &r) { r.deliverFrame(frame, rotation, mirrored); });
    QVERIFY(render);
    const QImage image = view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < points.size(); ++i)
        QCOMPARE(QString::number(image.pixel(points.at(i)), 16), QString::number(colours.at(i), 16));
    QVERIFY(onEngineThread([&] { render->release(); }));
}

void TestWidgetVideo::mutedPaintsGreyWhateverItHolds()
{
    WidgetVideo view;
    view.resize(50, 40);
    TestFrame frame(8, 8, [](int, int) { return kRed; });
    VideoRender *render = renderOnEngineThread(&view, [&](VideoRender &r) { r.deliverFrame(frame, 0, false); });
    QVERIFY(render);
    view.setVideoMuted(true);
    const QImage image = view.grab().toImage();
    for (const QPoint &p : { QPoint(0, 0), QPoint(25, 20), QPoint(49, 39) })
        QCOMPARE(image.pixelColor(p), QColor(70, 68, 68));
    QVERIFY(onEngineThread([&] { render->release(); }));
}

void TestWidgetVideo::zeroSizedWidgetAndFramesAreHarmless()
{
    WidgetVideo view;
    view.resize(100, 0);
    TestFrame frame(640, 480, [](int, int) { return kRed; });
    TestFrame empty(0, 0, [](int, int) { return kRed; });
    int zeroResult = 0;
    VideoRender *render = renderOnEngineThread(&view, [&](VideoRender &r) {
        zeroResult = r.deliverFrame(empty, 0, false);
        r.deliverFrame(frame, 0, false);
    });
    QVERIFY(render);
    QCOMPARE(zeroResult, -1);
    view.repaint(); // must not divide by the zero height
    view.resize(100, 1);
    view.grab();
    QVERIFY(onEngineThread([&] { render->release(); }));
}

void TestWidgetVideo::cropMath_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QSize>("result");
    QTest::addColumn<QPoint>("firstPixelFrom");

    QTest::newRow("wider frame: full height, middle columns") << QSize(640, 480) << QSize(200, 200) << QSize(480, 480) << QPoint(80, 0);
    QTest::newRow("taller frame: full width, middle rows") << QSize(480, 640) << QSize(200, 100) << QSize(480, 240) << QPoint(0, 200);
    QTest::newRow("smaller frame: untouched") << QSize(320, 240) << QSize(640, 360) << QSize(320, 240) << QPoint(0, 0);
    QTest::newRow("same aspect: untouched") << QSize(640, 480) << QSize(320, 240) << QSize(640, 480) << QPoint(0, 0);
    QTest::newRow("zero-height widget: untouched") << QSize(640, 480) << QSize(100, 0) << QSize(640, 480) << QPoint(0, 0);
}

void TestWidgetVideo::cropMath()
{
    QFETCH(QSize, frame);
    QFETCH(QSize, widget);
    QFETCH(QSize, result);
    QFETCH(QPoint, firstPixelFrom);
    std::vector<quint32> pixels(size_t(frame.width()) * size_t(frame.height()));
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            pixels[size_t(y) * size_t(frame.width()) + size_t(x)] = quint32(y) << 16 | quint32(x);
    int a = 0;
    int b = 0;
    std::unique_ptr<unsigned char[]> out(WidgetVideo::cropToFit(reinterpret_cast<unsigned char *>(pixels.data()), frame.width(),
                                                                frame.height(), widget.width(), widget.height(), &a, &b));
    QCOMPARE(QSize(a, b), result);
    const quint32 first = reinterpret_cast<quint32 *>(out.get())[0];
    QCOMPARE(QPoint(int(first & 0xffff), int(first >> 16)), firstPixelFrom);
    const quint32 last = reinterpret_cast<quint32 *>(out.get())[size_t(a) * size_t(b) - 1];
    QCOMPARE(QPoint(int(last & 0xffff), int(last >> 16)), firstPixelFrom + QPoint(a - 1, b - 1));
}

void TestWidgetVideo::framesFromAnotherThreadAreNeverTorn()
{
    WidgetVideo view;
    view.resize(64, 64);
    view.setCropToFit(false);
    TestFrame red(256, 256, [](int, int) { return kRed; });
    TestFrame blue(256, 256, [](int, int) { return kBlue; });
    VideoRender *render = renderOnEngineThread(&view);
    QVERIFY(render);

    std::atomic<bool> stop { false };
    std::unique_ptr<QThread> engine(QThread::create([&] {
        for (int i = 0; !stop; ++i)
            render->deliverFrame(i % 2 ? blue : red, 0, false);
    }));
    engine->start();
    int grabs = 0;
    int torn = 0;
    for (; grabs < 150; ++grabs) {
        QCoreApplication::processEvents();
        const QImage image = view.grab().toImage();
        const QRgb top = image.pixel(32, 1);
        const QRgb bottom = image.pixel(32, 62);
        if (top != bottom)
            ++torn;
    }
    stop = true;
    while (!engine->isFinished())
        QCoreApplication::processEvents();
    QCOMPARE(torn, 0);
    QVERIFY(onEngineThread([&] { render->release(); }));
}

void TestWidgetVideo::releasedRenderLeavesNothingToPaint()
{
    WidgetVideo view;
    view.resize(40, 40);
    view.show(); // size changes reach a shown widget at once
    TestFrame frame(8, 8, [](int, int) { return kRed; });
    CountingCallback callback;
    agora::media::ExternalVideoRenerContext context { &callback, &view, 1, 0, 0, 0, 1, 1 };
    QVERIFY(onEngineThread([&] {
        auto *render = new VideoRender(context);
        render->deliverFrame(frame, 0, false);
        render->release(); // frees both copies after the view forgot them
    }));
    const QImage image = view.grab().toImage();
    QVERIFY(image.pixel(20, 20) != kRed);
    // The view no longer talks to the released render's callback.
    view.resize(60, 60);
    QCOMPARE(callback.width.load(), 0);

    // A new render for the same view draws again.
    QVERIFY(onEngineThread([&] {
        auto *render = new VideoRender(context);
        render->deliverFrame(frame, 0, false);
    }));
    QCOMPARE(view.grab().toImage().pixel(20, 20), kRed);
    view.resize(70, 50);
    QCOMPARE(callback.width.load(), 70);
    QCOMPARE(callback.height.load(), 50);
}

void TestWidgetVideo::destroyedWidgetTellsTheEngine()
{
    CountingCallback callback;
    auto *view = new WidgetVideo;
    agora::media::ExternalVideoRenerContext context { &callback, view, 1, 0, 0, 0, 1, 1 };
    VideoRender *render = nullptr;
    QVERIFY(onEngineThread([&] { render = new VideoRender(context); }));
    delete view;
    QCOMPARE(callback.destroyed.load(), 1);
    // The render outlives its view without harm: frames go nowhere.
    TestFrame frame(8, 8, [](int, int) { return kRed; });
    QVERIFY(onEngineThread([&] {
        render->deliverFrame(frame, 0, false);
        render->release();
    }));
}

namespace {

// What a view showed before its frames were made ready off the GUI thread:
// the frame cropped, turned and mirrored in a buffer, then drawn by the
// widget's painter scaled into its whole rectangle.
QImage paintedByThePainter(const QImage &frame, const QSize &widget, bool crop, int rotation, bool mirrored)
{
    const QRect kept = crop ? VideoTileImage::cropRect(frame.size(), widget) : frame.rect();
    QImage picture = frame.copy(kept).convertToFormat(QImage::Format_ARGB32);
    auto *pixels = reinterpret_cast<quint32 *>(picture.bits());
    const int a = picture.width();
    const int b = picture.height();
    if (rotation == 180)
        std::reverse(pixels, pixels + size_t(a) * size_t(b));
    if (mirrored) {
        for (int row = 0; row < b; ++row)
            std::reverse(pixels + size_t(row) * size_t(a), pixels + size_t(row + 1) * size_t(a));
    }
    QImage screen(widget, QImage::Format_ARGB32_Premultiplied);
    screen.fill(Qt::black);
    QPainter painter(&screen);
    painter.drawImage(QRect(QPoint(0, 0), widget), picture);
    painter.end();
    return screen;
}

// A frame where every pixel differs from its neighbours, so a sample taken
// one pixel off shows.
QImage patternFrame(int w, int h)
{
    QImage frame(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            frame.setPixel(x, y, qRgb((x * 7) & 0xff, (y * 5) & 0xff, ((x + y) * 3) & 0xff));
    return frame;
}

class ImageFrame : public TestFrame
{
public:
    explicit ImageFrame(const QImage &image)
        : TestFrame(image.width(), image.height(), [image](int x, int y) { return quint32(image.pixel(x, y)); })
    {
    }
};

QImage shownOnBlack(WidgetVideo &view)
{
    QImage screen(view.size(), QImage::Format_ARGB32_Premultiplied);
    screen.fill(Qt::black);
    view.render(&screen);
    return screen;
}

} // namespace

void TestWidgetVideo::paintedPictureIsTheFrameScaledByAPainter_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<bool>("crop");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("mirrored");

    QTest::newRow("camera in a class tile") << QSize(640, 480) << QSize(256, 192) << true << 0 << true;
    QTest::newRow("camera in a square tile, cropped") << QSize(640, 480) << QSize(200, 200) << true << 0 << false;
    QTest::newRow("camera in a wide big video") << QSize(640, 480) << QSize(1000, 500) << true << 0 << false;
    QTest::newRow("turned and mirrored") << QSize(640, 480) << QSize(333, 211) << true << 180 << true;
    QTest::newRow("turned, not mirrored") << QSize(320, 240) << QSize(150, 150) << true << 180 << false;
    QTest::newRow("stretched, crop off") << QSize(640, 480) << QSize(300, 100) << false << 0 << false;
    QTest::newRow("small frame enlarged") << QSize(160, 120) << QSize(641, 363) << true << 90 << true;
    QTest::newRow("same size") << QSize(256, 192) << QSize(256, 192) << true << 0 << true;
}

void TestWidgetVideo::paintedPictureIsTheFrameScaledByAPainter()
{
    QFETCH(QSize, frame);
    QFETCH(QSize, widget);
    QFETCH(bool, crop);
    QFETCH(int, rotation);
    QFETCH(bool, mirrored);

    WidgetVideo view;
    view.resize(widget);
    view.setCropToFit(crop);
    view.show(); // its size reaches the render before the frame
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = patternFrame(frame.width(), frame.height());
    const ImageFrame delivered(image);
    VideoRender *render = renderOnEngineThread(&view, [&](VideoRender &r) { r.deliverFrame(delivered, rotation, mirrored); });
    QVERIFY(render);
    // The same pixels, in the same places, as the painter made of the whole frame.
    QCOMPARE(shownOnBlack(view), paintedByThePainter(image, widget, crop, rotation, mirrored));
    QVERIFY(onEngineThread([&] { render->release(); }));
}

void TestWidgetVideo::newestFrameWinsAndTheEngineNeverWaits()
{
    WidgetVideo view;
    view.resize(64, 48);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    VideoRender *render = renderOnEngineThread(&view);
    QVERIFY(render);
    const quint32 colours[] = { kRed, kGreen, kBlue };
    std::vector<std::unique_ptr<TestFrame>> frames;
    for (quint32 colour : colours)
        frames.push_back(std::make_unique<TestFrame>(32, 24, [colour](int, int) { return colour; }));

    // Queued calls reaching the view: one per picture told.
    struct CallCounter : QObject
    {
        int calls = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::MetaCall)
                ++calls;
            return false;
        }
    } counter;
    view.installEventFilter(&counter);

    // The GUI thread takes no event while the engine delivers: every
    // delivery returns all the same, and nothing queues up behind it.
    std::unique_ptr<QThread> engine(QThread::create([&] {
        for (const auto &frame : frames)
            render->deliverFrame(*frame, 0, false);
    }));
    engine->start();
    QVERIFY(engine->wait(10000));
    QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall);
    QCOMPARE(counter.calls, 1);
    // The view shows the last one.
    QCOMPARE(view.grab().toImage().pixel(32, 24), kBlue);
    view.removeEventFilter(&counter);
    QVERIFY(onEngineThread([&] { render->release(); }));
}

void TestWidgetVideo::resizedBetweenFrameAndPaint()
{
    const QImage image = patternFrame(640, 480);
    const ImageFrame delivered(image);
    WidgetVideo view;
    view.resize(256, 192);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    VideoRender *render = renderOnEngineThread(&view, [&](VideoRender &r) { r.deliverFrame(delivered, 0, true); });
    QVERIFY(render);
    QCOMPARE(shownOnBlack(view), paintedByThePainter(image, QSize(256, 192), true, 0, true));
    // The picture was made for the old size: the view shows the frame as
    // made for its new size and aspect, not the old picture stretched.
    view.resize(200, 200);
    QTRY_COMPARE(view.size(), QSize(200, 200));
    QCOMPARE(shownOnBlack(view), paintedByThePainter(image, QSize(200, 200), true, 0, true));
    // Crop turned off after the frame: the same.
    view.setCropToFit(false);
    QCOMPARE(shownOnBlack(view), paintedByThePainter(image, QSize(200, 200), false, 0, true));
    QVERIFY(onEngineThread([&] { render->release(); }));
}

QTEST_MAIN(TestWidgetVideo)
#include "tst_widgetvideo.moc"
