#include "mosquittobroker.h"
#include "rtcpeerprocess.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Video between two participants in two processes over a real broker: the
// synthetic camera and the screen reach the other side's render, and stop
// when the sender leaves.
class TestRtcVideo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void videoReachesTheOtherSide_data();
    void videoReachesTheOtherSide();
    void pictureLargerThanTheEngineSendsIsDropped();

private:
    // The frames the render of uid has had so far in peer.
    static int frames(RtcPeerProcess &peer, uint uid, QSize *size = nullptr);
    MosquittoBroker m_broker;
};

void TestRtcVideo::initTestCase()
{
    QVERIFY(m_broker.start());
}

int TestRtcVideo::frames(RtcPeerProcess &peer, uint uid, QSize *size)
{
    peer.command(QStringLiteral("frames %1").arg(uid));
    const QStringList parts = peer.take(QStringLiteral("frames ")).split(QLatin1Char(' '));
    if (parts.size() != 5)
        return -1;
    if (size)
        *size = QSize(parts.at(3).toInt(), parts.at(4).toInt());
    return parts.at(2).toInt();
}

void TestRtcVideo::videoReachesTheOtherSide_data()
{
    QTest::addColumn<bool>("screen");
    QTest::newRow("camera") << false;
    QTest::newRow("screen") << true;
}

void TestRtcVideo::videoReachesTheOtherSide()
{
    QFETCH(bool, screen);
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    const QString channel = screen ? QStringLiteral("video-screen") : QStringLiteral("video-camera");

    teacher.command(QStringLiteral("video"));
    QCOMPARE(teacher.take(QStringLiteral("video-result")), QStringLiteral("video-result 0"));
    if (screen) {
        teacher.command(QStringLiteral("screen"));
        QCOMPARE(teacher.take(QStringLiteral("screen-result")), QStringLiteral("screen-result 0"));
    }
    student.command(QStringLiteral("bind 30001"));
    QCOMPARE(student.take(QStringLiteral("bind-result")), QStringLiteral("bind-result 0"));
    QVERIFY(teacher.joinWithStream(channel) > 0);
    QVERIFY(student.joinWithStream(channel) > 0);

    QVERIFY(student.take(QStringLiteral("first-frame 30001")).startsWith(QStringLiteral("first-frame 30001 ")));
    QSize size;
    QTRY_VERIFY_WITH_TIMEOUT(frames(student, 30001, &size) >= 10, 15000);
    if (!screen)
        QCOMPARE(size, QSize(640, 480));
    // Only the sender sends here: the teacher has no video of the student.
    QCOMPARE(frames(teacher, 20001), 0);

    teacher.command(QStringLiteral("leave"));
    QCOMPARE(teacher.take(QStringLiteral("left")), QStringLiteral("left"));
    QVERIFY(!student.take(QStringLiteral("user-offline 30001")).isEmpty());
    const int atLeave = frames(student, 30001);
    QTest::qWait(500); // frames would keep coming at 15 a second
    QVERIFY(frames(student, 30001) - atLeave <= 2);

    QCOMPARE(student.finish(), 0);
    QCOMPARE(teacher.finish(), 0);
}

// Another participant's client (here the test itself on the relay) sends a
// picture whose header claims 16000 x 16000 pixels: it is dropped before
// it is decoded, and the picture after it is shown.
void TestRtcVideo::pictureLargerThanTheEngineSendsIsDropped()
{
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(student.start());
    student.command(QStringLiteral("bind 30001"));
    QCOMPARE(student.take(QStringLiteral("bind-result")), QStringLiteral("bind-result 0"));
    QVERIFY(student.joinWithStream(QStringLiteral("video-hostile")) > 0);

    const auto jpeg = [](const QSize &size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(200, 60, 40));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 75);
        return bytes;
    };
    // A small picture whose frame header claims 16000 x 16000.
    QByteArray huge = jpeg(QSize(16, 16));
    const int frame = huge.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(frame > 0);
    huge[frame + 5] = char(16000 >> 8);
    huge[frame + 6] = char(16000 & 0xFF);
    huge[frame + 7] = char(16000 >> 8);
    huge[frame + 8] = char(16000 & 0xFF);

    QTemporaryDir dir;
    const auto publish = [&](const QByteArray &picture) {
        QFile file(dir.filePath(QStringLiteral("picture.jpg")));
        if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size())
            return false;
        file.close();
        QProcess publisher;
        publisher.setProcessChannelMode(QProcess::ForwardedChannels);
        publisher.start(QStringLiteral("mosquitto_pub"),
                        { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_broker.port()),
                          QStringLiteral("-q"), QStringLiteral("1"), QStringLiteral("-t"),
                          QStringLiteral("lessonry/rtc/0123456789abcdef0123456789abcdef/video-hostile/video/30001"),
                          QStringLiteral("-f"), file.fileName() });
        return publisher.waitForFinished(10000) && publisher.exitStatus() == QProcess::NormalExit
            && publisher.exitCode() == 0;
    };
    QVERIFY(publish(huge));
    QVERIFY(publish(jpeg(QSize(320, 240))));
    QCOMPARE(student.take(QStringLiteral("first-frame 30001")), QStringLiteral("first-frame 30001 320 240"));
    // The frame reaches the render after the notice, on the video thread.
    QSize size;
    QTRY_COMPARE_WITH_TIMEOUT(frames(student, 30001, &size), 1, 10000);
    QCOMPARE(size, QSize(320, 240));
    QCOMPARE(student.finish(), 0);
}

QTEST_MAIN(TestRtcVideo)
#include "tst_rtcvideo.moc"
