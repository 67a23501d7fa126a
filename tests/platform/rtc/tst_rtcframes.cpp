// Pictures from other participants before they are shown: the declared
// size is checked before anything is decoded, pictures that come faster
// than they are decoded wait as the newest of their sender only, and the
// senders are decoded side by side.

#include "rtcpicture.h"

#include "platform/rtc/rtclatestframes.h"
#include "platform/rtc/rtcvideodecoder.h"
#include "platform/rtc/rtcvideosource.h"

#include <QImage>
#include <QMutex>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <thread>

namespace {

// A small picture whose header claims another size: a decoder that trusts
// it allocates width x height pixels.
QByteArray jpegClaiming(const QSize &claimed)
{
    QByteArray bytes = rtcPicture(QSize(16, 16));
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

// What a decoder's sink saw, and a gate that holds the sink of one sender
// until opened: that sender's decoding then stays busy.
struct DecodedLog
{
    QMutex lock;
    QList<QPair<agora::rtc::uid_t, QSize>> seen;
    QStringList refused;
    agora::rtc::uid_t held = 0;
    QSemaphore entered;
    QSemaphore gate;

    RtcVideoDecoder::Sink sink()
    {
        return [this](agora::rtc::uid_t uid, const QImage &frame, const QString &why) {
            {
                QMutexLocker hold(&lock);
                seen.append(qMakePair(uid, frame.size()));
                if (frame.isNull())
                    refused << why;
            }
            if (uid == held) {
                entered.release();
                gate.acquire();
            }
        };
    }
    // Sends the first picture of uid and holds it in the sink: true once
    // the decoder is in there.
    bool holdFirst(RtcVideoDecoder &decoder, agora::rtc::uid_t uid, const QByteArray &picture)
    {
        held = uid;
        decoder.decode(uid, picture);
        return entered.tryAcquire(1, 10000);
    }
    int count(agora::rtc::uid_t uid)
    {
        QMutexLocker hold(&lock);
        return int(std::count_if(seen.cbegin(), seen.cend(), [uid](const auto &entry) { return entry.first == uid; }));
    }
    QList<QSize> sizesOf(agora::rtc::uid_t uid)
    {
        QMutexLocker hold(&lock);
        QList<QSize> sizes;
        for (const auto &entry : qAsConst(seen))
            if (entry.first == uid)
                sizes << entry.second;
        return sizes;
    }
};

} // namespace

class TestRtcFrames : public QObject
{
    Q_OBJECT

private slots:
    void decodeBounds_data();
    void decodeBounds();
    void newestPictureOfEachSender();
    void picturesFromAnotherThread();
    void sendersAreDecodedSideBySide();
    void aBusySenderKeepsOnlyItsNewestPicture();
    void stopDropsWhatWaitsAndCallsNothingAfter();
    void badPicturesAreReportedNotShown();
    void picturesOfEverNewSendersAreBounded();
};

void TestRtcFrames::decodeBounds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("decoded"); // empty: refused
    QTest::addColumn<QString>("why");
    const int width = RtcVideoSource::kMaxFrameWidth;
    const int height = RtcVideoSource::kMaxFrameHeight;
    QTest::newRow("camera picture") << rtcPicture(QSize(640, 480)) << QSize(640, 480) << QString();
    QTest::newRow("the largest picture") << rtcPicture(QSize(width, height)) << QSize(width, height) << QString();
    QTest::newRow("one column wider") << rtcPicture(QSize(width + 1, height)) << QSize() << QString("%1x%2 pixels").arg(width + 1).arg(height);
    QTest::newRow("one row taller") << rtcPicture(QSize(width, height + 1)) << QSize() << QString("%1x%2 pixels").arg(width).arg(height + 1);
    QTest::newRow("claims 16000 x 16000") << jpegClaiming(QSize(16000, 16000)) << QSize() << QString("16000x16000 pixels");
    QTest::newRow("claims one column more") << jpegClaiming(QSize(width + 1, 16)) << QSize() << QString("%1x16 pixels").arg(width + 1);
    QTest::newRow("not a picture") << QByteArray("hello") << QSize() << QString("not a picture");
    QTest::newRow("empty") << QByteArray() << QSize() << QString("not a picture");
    QTest::newRow("cut short") << rtcPicture(QSize(640, 480)).left(200) << QSize() << QString("not a picture");
    QByteArray large = rtcPicture(QSize(64, 64));
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

void TestRtcFrames::sendersAreDecodedSideBySide()
{
    DecodedLog log;
    RtcVideoDecoder decoder(log.sink(), 2);
    QVERIFY(log.holdFirst(decoder, 1, rtcPicture(QSize(64, 48))));
    // Sender 1 is stuck in its sink; sender 2's picture does not wait for it.
    decoder.decode(2, rtcPicture(QSize(32, 24)));
    QTRY_COMPARE_WITH_TIMEOUT(log.count(2), 1, 10000);
    QCOMPARE(log.sizesOf(2), QList<QSize> { QSize(32, 24) });
    log.gate.release();
    decoder.stop();
    QCOMPARE(log.count(1), 1);
}

void TestRtcFrames::aBusySenderKeepsOnlyItsNewestPicture()
{
    DecodedLog log;
    RtcVideoDecoder decoder(log.sink(), 4);
    QVERIFY(log.holdFirst(decoder, 7, rtcPicture(QSize(16, 16))));
    // Pictures 2 to 10 come while the first is still on its way: only the
    // last one follows it, even with workers to spare.
    for (int i = 2; i <= 10; ++i)
        decoder.decode(7, rtcPicture(QSize(16 * i, 16)));
    QCOMPARE(decoder.skipped(), quint64(8));
    log.gate.release();
    QVERIFY(log.entered.tryAcquire(1, 10000));
    log.gate.release();
    decoder.stop();
    QCOMPARE(log.sizesOf(7), (QList<QSize> { QSize(16, 16), QSize(160, 16) }));
}

void TestRtcFrames::stopDropsWhatWaitsAndCallsNothingAfter()
{
    DecodedLog log;
    RtcVideoDecoder decoder(log.sink(), 2);
    QVERIFY(log.holdFirst(decoder, 3, rtcPicture(QSize(16, 16))));
    decoder.decode(3, rtcPicture(QSize(32, 16)));
    std::unique_ptr<QThread> stopper(QThread::create([&decoder] { decoder.stop(); }));
    stopper->start();
    // The stop waits for the picture in the sink, not for the one waiting.
    QVERIFY(!stopper->wait(100));
    log.gate.release();
    QVERIFY(stopper->wait(10000));
    decoder.decode(3, rtcPicture(QSize(48, 16)));
    decoder.decode(4, rtcPicture(QSize(48, 16)));
    decoder.flush();
    QCOMPARE(log.sizesOf(3), QList<QSize> { QSize(16, 16) });
    QCOMPARE(log.count(4), 0);
}

void TestRtcFrames::badPicturesAreReportedNotShown()
{
    DecodedLog log;
    RtcVideoDecoder decoder(log.sink());
    decoder.decode(5, jpegClaiming(QSize(16000, 16000)));
    decoder.flush();
    decoder.decode(5, QByteArray("hello"));
    decoder.flush();
    QCOMPARE(log.sizesOf(5), (QList<QSize> { QSize(0, 0), QSize(0, 0) }));
    QCOMPARE(log.refused, (QStringList { QStringLiteral("16000x16000 pixels"), QStringLiteral("not a picture") }));
}

void TestRtcFrames::picturesOfEverNewSendersAreBounded()
{
    // Ids made up by a hostile client, faster than they are decoded: at
    // most kMaxSenders of them are taken in, the rest dropped at once.
    DecodedLog log;
    RtcVideoDecoder decoder(log.sink(), 1);
    const QByteArray picture = rtcPicture(QSize(8, 8));
    QVERIFY(log.holdFirst(decoder, 1, picture));
    const int senders = 10000;
    for (int uid = 2; uid <= senders; ++uid)
        decoder.decode(agora::rtc::uid_t(uid), picture);
    QCOMPARE(decoder.skipped(), quint64(senders - RtcVideoDecoder::kMaxSenders));
    log.gate.release();
    decoder.flush();
    QCOMPARE(log.seen.size(), RtcVideoDecoder::kMaxSenders);
    // Once decoded, a sender leaves room for others.
    decoder.decode(agora::rtc::uid_t(senders + 1), picture);
    decoder.flush();
    QCOMPARE(log.count(senders + 1), 1);
}

QTEST_MAIN(TestRtcFrames)
#include "tst_rtcframes.moc"
