// Pictures from other participants before they are shown: the declared
// size is checked before anything is decoded, and pictures that come
// faster than they are decoded wait as the newest of their sender only.

#include "platform/rtc/rtclatestframes.h"
#include "platform/rtc/rtcvideosource.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QThread>

#include <thread>

namespace {

QByteArray jpeg(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 75);
    return bytes;
}

// A small picture whose header claims another size: a decoder that trusts
// it allocates width x height pixels.
QByteArray jpegClaiming(const QSize &claimed)
{
    QByteArray bytes = jpeg(QSize(16, 16));
    const int frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (frame < 0)
        return QByteArray();
    // Marker, length (2), precision (1), height (2), width (2).
    bytes[frame + 5] = char(claimed.height() >> 8);
    bytes[frame + 6] = char(claimed.height() & 0xFF);
    bytes[frame + 7] = char(claimed.width() >> 8);
    bytes[frame + 8] = char(claimed.width() & 0xFF);
    return bytes;
}

} // namespace

class TestRtcFrames : public QObject
{
    Q_OBJECT

private slots:
    void decodeBounds_data();
    void decodeBounds();
    void newestPictureOfEachSender();
    void picturesFromAnotherThread();
};

void TestRtcFrames::decodeBounds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("decoded"); // empty: refused
    QTest::addColumn<QString>("why");
    const int width = RtcVideoSource::kMaxFrameWidth;
    const int height = RtcVideoSource::kMaxFrameHeight;
    QTest::newRow("camera picture") << jpeg(QSize(640, 480)) << QSize(640, 480) << QString();
    QTest::newRow("the largest picture") << jpeg(QSize(width, height)) << QSize(width, height) << QString();
    QTest::newRow("one column wider") << jpeg(QSize(width + 1, height)) << QSize() << QString("%1x%2 pixels").arg(width + 1).arg(height);
    QTest::newRow("one row taller") << jpeg(QSize(width, height + 1)) << QSize() << QString("%1x%2 pixels").arg(width).arg(height + 1);
    QTest::newRow("claims 16000 x 16000") << jpegClaiming(QSize(16000, 16000)) << QSize() << QString("16000x16000 pixels");
    QTest::newRow("claims one column more") << jpegClaiming(QSize(width + 1, 16)) << QSize() << QString("%1x16 pixels").arg(width + 1);
    QTest::newRow("not a picture") << QByteArray("hello") << QSize() << QString("not a picture");
    QTest::newRow("empty") << QByteArray() << QSize() << QString("not a picture");
    QTest::newRow("cut short") << jpeg(QSize(640, 480)).left(200) << QSize() << QString("not a picture");
    QByteArray large = jpeg(QSize(64, 64));
    large.append(QByteArray(RtcVideoSource::kMaxPictureBytes, '\0'));
    QTest::newRow("too many bytes") << large << QSize() << QString("%1 bytes").arg(large.size());
}

void TestRtcFrames::decodeBounds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, decoded);
    QFETCH(QString, why);
    QString reason;
    const QImage image = RtcVideoSource::decode(bytes, &reason);
    QCOMPARE(image.isNull(), decoded.isEmpty());
    if (!image.isNull())
        QCOMPARE(image.size(), decoded);
    QCOMPARE(reason, why);
}

void TestRtcFrames::newestPictureOfEachSender()
{
    RtcLatestFrames frames;
    QVERIFY(frames.put("p/video/1", "a1"));
    // Told once until taken, whoever sends.
    QVERIFY(!frames.put("p/video/2", "b1"));
    for (int i = 2; i <= 1000; ++i)
        QVERIFY(!frames.put("p/video/1", "a" + QByteArray::number(i)));
    const auto waiting = frames.take();
    QCOMPARE(waiting.size(), 2);
    QCOMPARE(waiting.at(0), qMakePair(QByteArray("p/video/1"), QByteArray("a1000")));
    QCOMPARE(waiting.at(1), qMakePair(QByteArray("p/video/2"), QByteArray("b1")));
    QCOMPARE(frames.skipped(), quint64(999));
    QVERIFY(frames.take().isEmpty());
    QVERIFY(frames.put("p/video/2", "b2"));

    // Pictures of ever new senders (ids made up by a hostile client) wait
    // for at most kMaxSenders of them.
    frames.take();
    for (int sender = 0; sender < 100000; ++sender)
        frames.put("p/video/" + QByteArray::number(sender), "x");
    const auto senders = frames.take();
    QCOMPARE(senders.size(), RtcLatestFrames<>::kMaxSenders);
    QCOMPARE(senders.first().first, QByteArray("p/video/0"));
    QVERIFY(frames.put("p/video/100000", "y"));
}

// A sender on the relay's thread and a slow taker: whatever was put is
// taken at most once, and the last picture of each sender always arrives.
void TestRtcFrames::picturesFromAnotherThread()
{
    RtcLatestFrames frames;
    const int count = 20000;
    std::thread sender([&frames] {
        for (int i = 1; i <= count; ++i)
            frames.put("p/video/" + QByteArray::number(i % 3), QByteArray::number(i));
    });
    QByteArray last[3];
    int taken = 0;
    bool done = false;
    while (!done) {
        done = last[count % 3] == QByteArray::number(count);
        for (const auto &picture : frames.take()) {
            const int sender = picture.first.mid(picture.first.lastIndexOf('/') + 1).toInt();
            QVERIFY(picture.second.toInt() > last[sender].toInt());
            last[sender] = picture.second;
            ++taken;
        }
        QThread::yieldCurrentThread();
    }
    sender.join();
    for (const auto &picture : frames.take())
        last[picture.first.mid(picture.first.lastIndexOf('/') + 1).toInt()] = picture.second;
    QCOMPARE(last[0], QByteArray::number(count - count % 3));
    QCOMPARE(last[count % 3], QByteArray::number(count));
    QVERIFY(taken <= count);
}

QTEST_MAIN(TestRtcFrames)
#include "tst_rtcframes.moc"
