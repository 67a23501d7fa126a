#include "platform/rtc/rtcvideocapture.h"
#include "xvfbdisplay.h"

#include <QColor>
#include <QSignalSpy>
#include <QTest>

#include <gst/gst.h>

#include <cstdlib>
#include <memory>

// Pictures from real GStreamer sources: the size and pace asked for
// (borders where the shape differs), the source's own size when none is
// asked for, sources that cannot be opened or that end, and a part of a
// real X screen.
class TestRtcVideoCapture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void picturesOfTheFormat_data();
    void picturesOfTheFormat();
    void unusableSourceIsRefused_data();
    void unusableSourceIsRefused();
    void sourceThatEndsFails();
    void partOfTheScreen();

private:
    // A source element from a description ("videotestsrc ! capsfilter" makes a
    // bin with its output as the bin's).
    static GstElement *source(const QByteArray &description);
};

namespace {

const QRgb kColour = 0xff30a050;

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 12 && std::abs(qGreen(a) - qGreen(b)) <= 12
        && std::abs(qBlue(a) - qBlue(b)) <= 12;
}

} // namespace

void TestRtcVideoCapture::initTestCase()
{
    gst_init(nullptr, nullptr);
}

GstElement *TestRtcVideoCapture::source(const QByteArray &description)
{
    GError *error = nullptr;
    GstElement *element = gst_parse_bin_from_description(description.constData(), TRUE, &error);
    if (error) {
        qWarning("%s", error->message);
        g_clear_error(&error);
    }
    return element;
}

void TestRtcVideoCapture::picturesOfTheFormat_data()
{
    QTest::addColumn<QSize>("sourceSize");
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("expected");
    QTest::addColumn<bool>("borders"); // black above and below the picture

    QTest::newRow("the size asked for") << QSize(320, 240) << QSize(160, 120) << QSize(160, 120) << false;
    QTest::newRow("a wider shape gets borders") << QSize(320, 120) << QSize(160, 120) << QSize(160, 120) << true;
    QTest::newRow("the source's own size") << QSize(200, 100) << QSize() << QSize(200, 100) << false;
}

void TestRtcVideoCapture::picturesOfTheFormat()
{
    QFETCH(QSize, sourceSize);
    QFETCH(QSize, asked);
    QFETCH(QSize, expected);
    QFETCH(bool, borders);
    const QByteArray description = "videotestsrc is-live=true pattern=solid-color foreground-color="
        + QByteArray::number(kColour) + " ! capsfilter caps=video/x-raw,width=" + QByteArray::number(sourceSize.width())
        + ",height=" + QByteArray::number(sourceSize.height()) + ",framerate=30/1";
    RtcVideoCapture::Format format;
    format.size = asked;
    format.framesPerSecond = 10;
    QString why;
    std::unique_ptr<RtcVideoCapture> capture(RtcVideoCapture::create(source(description), format, &why));
    QVERIFY2(capture, qPrintable(why));
    QTRY_VERIFY(!capture->latest().isNull());
    const QImage picture = capture->latest();
    QCOMPARE(picture.size(), expected);
    QVERIFY(near(picture.pixel(picture.width() / 2, picture.height() / 2), kColour));
    QCOMPARE(near(picture.pixel(picture.width() / 2, 0), qRgb(0, 0, 0)), borders);
}

void TestRtcVideoCapture::unusableSourceIsRefused_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no element") << QByteArray() << QStringLiteral("not made");
    QTest::newRow("a camera device that is not there")
        << QByteArray("v4l2src device=/dev/lessonry-no-camera") << QStringLiteral("v4l2src");
    QTest::newRow("a source of sound") << QByteArray("audiotestsrc") << QStringLiteral("no pictures");
}

void TestRtcVideoCapture::unusableSourceIsRefused()
{
    QFETCH(QByteArray, description);
    QFETCH(QString, reason);
    GstElement *element = description.isEmpty() ? nullptr : gst_parse_launch(description.constData(), nullptr);
    QString why;
    std::unique_ptr<RtcVideoCapture> capture(RtcVideoCapture::create(element, RtcVideoCapture::Format(), &why));
    QVERIFY(!capture);
    QVERIFY2(why.contains(reason), qPrintable(why));
}

// A source that ends is told as failed, once: a camera gone must not
// leave its last picture standing.
void TestRtcVideoCapture::sourceThatEndsFails()
{
    QString why;
    std::unique_ptr<RtcVideoCapture> capture(
        RtcVideoCapture::create(source("videotestsrc is-live=true num-buffers=3"), RtcVideoCapture::Format(), &why));
    QVERIFY2(capture, qPrintable(why));
    QSignalSpy failed(capture.get(), &RtcVideoCapture::failed);
    QVERIFY(failed.wait(10000));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.takeFirst().at(0).toString(), QStringLiteral("the source ended"));
}

// The part of the screen asked for, its corners included.
void TestRtcVideoCapture::partOfTheScreen()
{
    XvfbDisplay display;
    QVERIFY(display.start());
    RtcVideoCapture::Format format;
    format.size = QSize(); // as it is
    QString why;
    std::unique_ptr<RtcVideoCapture> capture(
        RtcVideoCapture::createScreen(display.display().toLatin1(), 0, QRect(10, 20, 100, 50), format, &why));
    QVERIFY2(capture, qPrintable(why));
    QTRY_VERIFY(!capture->latest().isNull());
    QCOMPARE(capture->latest().size(), QSize(100, 50));
}

QTEST_GUILESS_MAIN(TestRtcVideoCapture)
#include "tst_rtcvideocapture.moc"
