// Strokes and text boxes stored in page fractions and painted on a grabbed
// widget at different page sizes.
#include "biz/whiteboard/drawunit.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

// A board stand-in: white, with the units painted over a page image of
// pageSize whose top-left corner is at origin, each by its own painter.
class PageCanvas : public QWidget
{
public:
    PageCanvas(QPoint origin, QSize pageSize)
        : origin(origin)
        , pageSize(pageSize)
    {
        resize(900, 700);
    }

    std::vector<DrawLayer *> units;
    QPoint origin;
    QSize pageSize;

protected:
    void paintEvent(QPaintEvent *) override
    {
        {
            QPainter painter(this);
            painter.fillRect(rect(), Qt::white);
        }
        for (DrawLayer *unit : units)
            unit->paint(this, origin.x(), origin.y(), pageSize.width(), pageSize.height());
    }
};

QImage grabbed(PageCanvas &canvas)
{
    return canvas.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage paintedOn(DrawLayer *unit, QPoint origin, QSize pageSize)
{
    PageCanvas canvas(origin, pageSize);
    canvas.units.push_back(unit);
    return grabbed(canvas);
}

// The smallest rectangle holding every pixel that is not white.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Collects the log lines written while it lives.
class LogCapture
{
public:
    LogCapture() { previous = qInstallMessageHandler(collect); lines().clear(); }
    ~LogCapture() { qInstallMessageHandler(previous); }

    static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }

    // The point size of the last "AbsoluteRect" line of a text paint.
    static int lastTextPointSize()
    {
        static const QRegularExpression pattern(QStringLiteral("^AbsoluteRect:.* fontSize:(-?\\d+)$"));
        for (int i = lines().size() - 1; i >= 0; --i) {
            const QRegularExpressionMatch match = pattern.match(lines().at(i));
            if (match.hasMatch())
                return match.captured(1).toInt();
        }
        return INT_MIN;
    }

private:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message) { lines() << message; }

    QtMessageHandler previous;
};

const QColor kPen(30, 101, 242);

} // namespace

class TestDrawUnit : public QObject
{
    Q_OBJECT

private slots:
    void storesPositionsAsPageFractions_data();
    void storesPositionsAsPageFractions();
    void readsStoredPairs_data();
    void readsStoredPairs();
    void strokePaintsTheSameAtTwoZooms();
    void receivedStrokePaintsLikeALocalOne();
    void strokeValidityAndDot();
    void emptyPageStoresAndPaintsNothing();
    void textFillsItsBoxHeight();
    void textPaintsTheSameAtTwoZooms();
    void textCornersAreClampedIntoThePage_data();
    void textCornersAreClampedIntoThePage();
    void fontSizesStayInRange_data();
    void fontSizesStayInRange();
    void hugeReceivedTextStillPaints();
    void colourOnTheWire_data();
    void colourOnTheWire();
    void textFontFallsBackToAnInstalledFamily();
};

void TestDrawUnit::storesPositionsAsPageFractions_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QPoint>("stored");
    QTest::newRow("origin") << QPoint(0, 0) << QSize(800, 600) << QPoint(0, 0);
    QTest::newRow("centre") << QPoint(400, 300) << QSize(800, 600) << QPoint(5000, 5000);
    QTest::newRow("right and bottom edge") << QPoint(800, 600) << QSize(800, 600) << QPoint(10000, 10000);
    QTest::newRow("truncated toward zero") << QPoint(333, 200) << QSize(1000, 600) << QPoint(3330, 3333);
    QTest::newRow("negative stays a fraction") << QPoint(-10, 50) << QSize(100, 100) << QPoint(-1000, 5000);
    QTest::newRow("right of the page in pixels") << QPoint(900, 50) << QSize(800, 600) << QPoint(900, 50);
    QTest::newRow("below the page in pixels") << QPoint(50, 700) << QSize(800, 600) << QPoint(50, 700);
    QTest::newRow("far left pinned, not overflowed") << QPoint(INT_MIN, 0) << QSize(1, 1) << QPoint(INT_MIN, 0);
}

void TestDrawUnit::storesPositionsAsPageFractions()
{
    QFETCH(QPoint, position);
    QFETCH(QSize, page);
    QFETCH(QPoint, stored);
    QCOMPARE(DrawLayer::toPageFraction(position.x(), position.y(), page.width(), page.height()), stored);

    DrawCurveUnit stroke(3, kPen, QStringLiteral("20001"));
    stroke.begin(position.x(), position.y(), page.width(), page.height());
    QCOMPARE(stroke.getPoints(), QVector<QPoint>({ stored }));
}

void TestDrawUnit::readsStoredPairs_data()
{
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QPointF>("painted");
    // Page 800 x 600 at (10, 20).
    QTest::newRow("fractions") << QPoint(2500, 5000) << QPointF(210, 320);
    QTest::newRow("edge") << QPoint(10000, 10000) << QPointF(810, 620);
    QTest::newRow("truncated") << QPoint(3333, 3333) << QPointF(10 + 266, 20 + 199);
    QTest::newRow("negative fraction") << QPoint(-1000, 0) << QPointF(-70, 20);
    QTest::newRow("pixels beyond 10000") << QPoint(10001, 40) << QPointF(10011, 60);
    // A pixel pair that fits in 10000 on both axes reads as fractions.
    QTest::newRow("small pixel pair") << QPoint(850, 100) << QPointF(10 + 68, 20 + 6);
}

void TestDrawUnit::readsStoredPairs()
{
    QFETCH(QPoint, stored);
    QFETCH(QPointF, painted);
    QCOMPARE(DrawLayer::fromPageFraction(stored, 10, 20, 800, 600), painted);
}

void TestDrawUnit::strokePaintsTheSameAtTwoZooms()
{
    // An L through page fractions (0.25, 0.25), (0.75, 0.25), (0.75, 0.75),
    // drawn at a 400 x 300 page.
    DrawCurveUnit stroke(3, kPen, QStringLiteral("20001"));
    stroke.begin(100, 75, 400, 300);
    stroke.addPoint(300, 75, 400, 300);
    stroke.end(300, 225, 400, 300);
    QVERIFY(stroke.isValid());

    struct Zoom
    {
        QPoint origin;
        QSize page;
    };
    for (const Zoom &zoom : { Zoom { QPoint(20, 10), QSize(400, 300) }, Zoom { QPoint(5, 7), QSize(800, 600) } }) {
        const QImage image = paintedOn(&stroke, zoom.origin, zoom.page);
        // The pen width (3 pixels, give or take the raster's rounding) does
        // not follow the zoom.
        const QRect expected(zoom.origin + QPoint(zoom.page.width() / 4 - 1, zoom.page.height() / 4 - 1),
                             zoom.origin + QPoint(zoom.page.width() * 3 / 4 + 1, zoom.page.height() * 3 / 4 + 1));
        const QRect box = inkBox(image);
        QVERIFY2(std::abs(box.left() - expected.left()) <= 1 && std::abs(box.top() - expected.top()) <= 1
                     && std::abs(box.right() - expected.right()) <= 1
                     && std::abs(box.bottom() - expected.bottom()) <= 1,
                 qPrintable(QStringLiteral("%1,%2-%3,%4").arg(box.left()).arg(box.top()).arg(box.right()).arg(box.bottom())));
        // Not antialiased: every inked pixel is the pen colour.
        for (int y = expected.top(); y <= expected.bottom(); ++y) {
            for (int x = expected.left(); x <= expected.right(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY((pixel & 0xFFFFFF) == 0xFFFFFF || pixel == kPen.rgb());
            }
        }
        // The corner of the L is inked, the inside of it is not.
        const QPoint corner = zoom.origin + QPoint(zoom.page.width() * 3 / 4, zoom.page.height() / 4);
        QCOMPARE(image.pixel(corner), kPen.rgb());
        QCOMPARE(image.pixel(zoom.origin + QPoint(zoom.page.width() / 2, zoom.page.height() / 2)), 0xFFFFFFFFu);
    }
}

void TestDrawUnit::receivedStrokePaintsLikeALocalOne()
{
    DrawCurveUnit local(3, kPen, QStringLiteral("20001"));
    local.begin(100, 75, 400, 300);
    local.end(300, 225, 400, 300);
    DrawCurveUnit received(3, kPen, QStringLiteral("30001"));
    for (const QPoint &point : local.getPoints())
        received.appendPoint(point);
    QCOMPARE(received.getPoints(), local.getPoints());
    QCOMPARE(paintedOn(&received, QPoint(3, 4), QSize(640, 480)), paintedOn(&local, QPoint(3, 4), QSize(640, 480)));
}

void TestDrawUnit::strokeValidityAndDot()
{
    DrawCurveUnit single(6, kPen, QStringLiteral("20001"));
    single.begin(50, 50, 400, 300);
    QVERIFY(!single.isValid());
    QVERIFY(inkBox(paintedOn(&single, QPoint(0, 0), QSize(400, 300))).isNull());

    // Two equal points: a round dot of the pen width.
    DrawCurveUnit dot(6, kPen, QStringLiteral("20001"));
    dot.begin(200, 150, 400, 300);
    dot.end(200, 150, 400, 300);
    QVERIFY(dot.isValid());
    const QRect box = inkBox(paintedOn(&dot, QPoint(0, 0), QSize(400, 300)));
    QVERIFY2(box.width() >= 5 && box.width() <= 7 && box.height() >= 5 && box.height() <= 7,
             qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
    QVERIFY(box.contains(QPoint(200, 150)));

    // begin starts the stroke again.
    dot.begin(10, 10, 400, 300);
    QCOMPARE(dot.getPoints().size(), 1);
    QCOMPARE(dot.getType(), 1);
}

void TestDrawUnit::emptyPageStoresAndPaintsNothing()
{
    DrawCurveUnit stroke(3, kPen, QStringLiteral("20001"));
    stroke.begin(10, 10, 0, 0);
    stroke.addPoint(20, 20, 400, 0);
    stroke.end(30, 30, 0, 300);
    QVERIFY(stroke.getPoints().isEmpty());
    QVERIFY(!stroke.isValid());

    DrawCurveUnit drawn(3, kPen, QStringLiteral("20001"));
    drawn.begin(10, 10, 400, 300);
    drawn.end(300, 200, 400, 300);
    TextUnit text(kPen, QStringLiteral("20001"), QStringLiteral("DejaVu Sans"));
    text.setRect(QRect(0, 0, 100, 40), 400, 300);
    text.setFontSize(14, 300);
    text.setText(QStringLiteral("Hello"));
    const QRect rectBefore = text.getRect();
    const int sizeBefore = text.getFontSize();
    text.setRect(QRect(5, 5, 10, 10), 0, 300);
    text.setFontSize(20, 0);
    QCOMPARE(text.getRect(), rectBefore);
    QCOMPARE(text.getFontSize(), sizeBefore);

    for (const QSize &page : { QSize(0, 0), QSize(400, 0), QSize(0, 300), QSize(-5, 300) }) {
        PageCanvas canvas(QPoint(10, 10), page);
        canvas.units = { &drawn, &text };
        QVERIFY(inkBox(grabbed(canvas)).isNull());
    }
}

void TestDrawUnit::textFillsItsBoxHeight()
{
    // A page 10000 pixels high keeps fractions exact: s0 = the font size.
    const int basePointSize = 30;
    QImage image(400, 400, QImage::Format_RGB32);
    const int lineSpacing =
        QFontMetrics(TextUnit::makeFont(QStringLiteral("DejaVu Sans"), basePointSize, 75, 0), &image).lineSpacing();

    struct Case
    {
        QString text;
        int expected;
    };
    for (const Case &c : { Case { QStringLiteral("one\ntwo\nthree"), basePointSize },
                           Case { QStringLiteral("1\n2\n3\n4\n5\n6"), basePointSize / 2 } }) {
        TextUnit text(Qt::black, QStringLiteral("20001"), QStringLiteral("DejaVu Sans"));
        text.setFontSize(basePointSize);
        text.setRect(QRect(QPoint(100, 100), QPoint(600, 100 + 3 * lineSpacing - 1)));
        text.setText(c.text);
        LogCapture log;
        image.fill(Qt::white);
        text.paint(&image, 0, 0, 1000, 10000);
        QCOMPARE(LogCapture::lastTextPointSize(), c.expected);
    }
}

void TestDrawUnit::textPaintsTheSameAtTwoZooms()
{
    TextUnit text(kPen, QStringLiteral("20001"), QStringLiteral("DejaVu Sans"));
    text.setRect(QRect(QPoint(40, 30), QPoint(160, 69)), 400, 300);
    text.setFontSize(16, 300);
    text.setText(QStringLiteral("Ab\ncd"));
    QCOMPARE(text.getText(), QStringLiteral("Ab\ncd"));

    const QRect small = inkBox(paintedOn(&text, QPoint(0, 0), QSize(400, 300)));
    const QRect large = inkBox(paintedOn(&text, QPoint(0, 0), QSize(800, 600)));
    QVERIFY(!small.isNull());
    // Both fill about the box height (40 and 80 pixels) at the same spot of
    // the page; glyph hinting differs a little between sizes.
    const auto near = [](int a, int b) { return std::abs(a - b) <= 6; };
    QVERIFY2(near(large.left(), 2 * small.left()) && near(large.top(), 2 * small.top())
                 && near(large.bottom(), 2 * small.bottom()),
             qPrintable(QStringLiteral("%1,%2-%3,%4 vs %5,%6-%7,%8")
                            .arg(small.left()).arg(small.top()).arg(small.right()).arg(small.bottom())
                            .arg(large.left()).arg(large.top()).arg(large.right()).arg(large.bottom())));
    QVERIFY(small.top() >= 30 && small.bottom() <= 72);
}

void TestDrawUnit::textCornersAreClampedIntoThePage_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QRect>("stored");
    // Page 800 x 600.
    QTest::newRow("inside") << QRect(QPoint(200, 150), QPoint(400, 300)) << QRect(QPoint(2500, 2500), QPoint(5000, 5000));
    QTest::newRow("bottom-right beyond") << QRect(QPoint(400, 300), QPoint(900, 650))
                                         << QRect(QPoint(5000, 5000), QPoint(10000, 10000));
    QTest::newRow("both beyond") << QRect(QPoint(-50, -20), QPoint(1000, 700))
                                 << QRect(QPoint(0, 0), QPoint(10000, 10000));
    QTest::newRow("far right, both corners") << QRect(QPoint(70000, 10), QPoint(90000, 60))
                                             << QRect(QPoint(10000, 166), QPoint(10000, 1000));
}

void TestDrawUnit::textCornersAreClampedIntoThePage()
{
    QFETCH(QRect, box);
    QFETCH(QRect, stored);
    TextUnit text(kPen, QStringLiteral("20001"), QStringLiteral("DejaVu Sans"));
    text.setRect(box, 800, 600);
    QCOMPARE(text.getRect(), stored);
    // Both corners fit the 16-bit halves of the wire format.
    for (const QPoint &corner : { text.getRect().topLeft(), text.getRect().bottomRight() }) {
        QVERIFY(corner.x() >= 0 && corner.x() <= 10000);
        QVERIFY(corner.y() >= 0 && corner.y() <= 10000);
    }
    // A received rectangle is kept as it came.
    text.setRect(QRect(QPoint(12000, 3), QPoint(15000, 9)));
    QCOMPARE(text.getRect(), QRect(QPoint(12000, 3), QPoint(15000, 9)));
}

void TestDrawUnit::fontSizesStayInRange_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("pageHeight");
    QTest::addColumn<int>("stored");
    QTest::newRow("normal") << 14 << 600 << 233;
    QTest::newRow("zero") << 0 << 600 << 0;
    QTest::newRow("negative") << -5 << 600 << 0;
    QTest::newRow("taller than the page") << 60000 << 600 << 10000;
    QTest::newRow("INT_MAX on a 1-pixel page") << INT_MAX << 1 << 10000;
    QTest::newRow("received: as it came") << 2500 << 0 << 2500;
    QTest::newRow("received: too large") << 50000 << 0 << 10000;
    QTest::newRow("received: negative") << INT_MIN << 0 << 0;
}

void TestDrawUnit::fontSizesStayInRange()
{
    QFETCH(int, pixelSize);
    QFETCH(int, pageHeight);
    QFETCH(int, stored);
    TextUnit text(kPen, QStringLiteral("20001"), QStringLiteral("DejaVu Sans"));
    if (pageHeight > 0)
        text.setFontSize(pixelSize, pageHeight);
    else
        text.setFontSize(pixelSize);
    QCOMPARE(text.getFontSize(), stored);
}

void TestDrawUnit::hugeReceivedTextStillPaints()
{
    TextUnit text(kPen, QStringLiteral("30001"), QStringLiteral("DejaVu Sans"));
    text.setFontSize(10000);
    text.setRect(QRect(QPoint(0, 0), QPoint(10000, 10000)));
    text.setText(QStringLiteral("x"));
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    LogCapture log;
    text.paint(&image, 0, 0, 60000, 60000);
    const int pointSize = LogCapture::lastTextPointSize();
    QVERIFY2(pointSize >= 1 && pointSize <= TextUnit::maxPointSize, qPrintable(QString::number(pointSize)));
}

void TestDrawUnit::colourOnTheWire_data()
{
    QTest::addColumn<double>("wire");
    QTest::addColumn<QColor>("color");
    const QColor blue(0, 0, 255, 255);
    QTest::newRow("palette red") << double(0xFF3043F5u) << QColor(245, 67, 48);
    QTest::newRow("half-transparent white") << double(0x80FFFFFFu) << QColor(255, 255, 255, 128);
    QTest::newRow("largest") << 4294967295.0 << QColor(255, 255, 255, 255);
    QTest::newRow("zero is blue") << 0.0 << blue;
    QTest::newRow("negative") << -1.0 << blue;
    QTest::newRow("2^32") << 4294967296.0 << blue;
    QTest::newRow("huge") << 1e300 << blue;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << blue;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << blue;
    QTest::newRow("fraction truncated") << double(0xFF3043F5u) + 0.5 << QColor(245, 67, 48);
}

void TestDrawUnit::colourOnTheWire()
{
    QFETCH(double, wire);
    QFETCH(QColor, color);
    QCOMPARE(DrawLayer::colorFromWire(wire), color);
    if (wire > 0 && wire < 4294967296.0 && wire == std::floor(wire))
        QCOMPARE(DrawLayer::colorToWire(color), wire);
}

void TestDrawUnit::textFontFallsBackToAnInstalledFamily()
{
    for (const QString &family : { QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei") }) {
        const QFont font = TextUnit::makeFont(family, 14, 75, QFont::StyleItalic);
        QCOMPARE(font.pointSize(), 14);
        QCOMPARE(font.weight(), 75);
        QCOMPARE(font.style(), QFont::StyleItalic);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("WenQuanYi Micro Hei"));
    }
    // A size of 0 or less keeps the font's own size.
    QVERIFY(TextUnit::makeFont(QStringLiteral("DejaVu Sans"), 0, 50, 0).pointSize() > 0);
}

QTEST_MAIN(TestDrawUnit)
#include "tst_drawunit.moc"
