// The synthetic camera's frame stamps: read back whole after lossy coding,
// and never read off a picture that holds no whole stamp.

#include "platform/rtc/rtcvideosource.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

QImage throughJpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return QImage::fromData(bytes, "JPEG").convertToFormat(QImage::Format_ARGB32);
}

QImage stamped(quint32 frame, quint32 ms)
{
    QImage image = RtcVideoSource::syntheticFrame(frame, QStringLiteral("20001"), QStringLiteral("Camera"));
    RtcVideoSource::drawFrameStamp(&image, frame, ms);
    return image;
}

} // namespace

class TestRtcVideoSource : public QObject
{
    Q_OBJECT

private slots:
    void stampSurvivesLossyCoding_data();
    void stampSurvivesLossyCoding();
    void noStampIsReadWhereNoneIsWhole_data();
    void noStampIsReadWhereNoneIsWhole();
};

void TestRtcVideoSource::stampSurvivesLossyCoding_data()
{
    QTest::addColumn<quint32>("frame");
    QTest::addColumn<quint32>("ms");
    QTest::addColumn<int>("quality");
    QTest::newRow("first frame") << 0u << 0u << 75;
    QTest::newRow("all bits set") << 0xffffffffu << 0xffffffffu << 75;
    QTest::newRow("alternating bits") << 0xaaaaaaaau << 0x55555555u << 75;
    QTest::newRow("coarse coding") << 123456u << 987654321u << 20;
}

void TestRtcVideoSource::stampSurvivesLossyCoding()
{
    QFETCH(quint32, frame);
    QFETCH(quint32, ms);
    QFETCH(int, quality);
    quint32 readFrame = 0;
    quint32 readMs = 0;
    QVERIFY(RtcVideoSource::readFrameStamp(throughJpeg(stamped(frame, ms), quality), &readFrame, &readMs));
    QCOMPARE(readFrame, frame);
    QCOMPARE(readMs, ms);
}

void TestRtcVideoSource::noStampIsReadWhereNoneIsWhole_data()
{
    QTest::addColumn<QImage>("image");
    QImage white(640, 480, QImage::Format_ARGB32);
    white.fill(Qt::white);
    QImage black(640, 480, QImage::Format_ARGB32);
    black.fill(Qt::black);
    QTest::newRow("white") << white;
    QTest::newRow("black") << black;
    QTest::newRow("camera without stamp")
        << RtcVideoSource::syntheticFrame(7, QStringLiteral("20001"), QStringLiteral("Camera"));
    // Narrower than a stamp: nothing is drawn, nothing read.
    QImage small(320, 240, QImage::Format_ARGB32);
    small.fill(Qt::gray);
    RtcVideoSource::drawFrameStamp(&small, 5, 5);
    QTest::newRow("too small") << small;
    // One block of the time row turned over on the way.
    QImage damaged = stamped(42, 1000);
    QPainter(&damaged).fillRect(31 * 16, 16, 16, 16, Qt::white);
    QTest::newRow("damaged") << damaged;
}

void TestRtcVideoSource::noStampIsReadWhereNoneIsWhole()
{
    QFETCH(QImage, image);
    quint32 frame = 0;
    quint32 ms = 0;
    QVERIFY(!RtcVideoSource::readFrameStamp(image, &frame, &ms));
}

QTEST_MAIN(TestRtcVideoSource)
#include "tst_rtcvideosource.moc"
