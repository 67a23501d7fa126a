#include "janusserver.h"
#include "mosquittobroker.h"
#include "rtcpeerprocess.h"

#include <QTest>

// Video between two participants in two processes through a real Janus
// (the channel itself on a real broker): the synthetic camera and the
// screen reach the other side's render as VP8, and stop when the sender
// leaves.
class TestRtcVideo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void videoReachesTheOtherSide_data();
    void videoReachesTheOtherSide();

private:
    // The frames the render of uid has had so far in peer.
    static int frames(RtcPeerProcess &peer, uint uid, QSize *size = nullptr);
    MosquittoBroker m_broker;
    JanusServer m_janus;
};

void TestRtcVideo::initTestCase()
{
    QVERIFY(m_broker.start());
    QVERIFY(m_janus.start());
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
    teacher.setMedia(m_janus.url());
    student.setMedia(m_janus.url());
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

    QVERIFY(student.take(QStringLiteral("first-frame 30001"), 20000).startsWith(QStringLiteral("first-frame 30001 ")));
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

QTEST_MAIN(TestRtcVideo)
#include "tst_rtcvideo.moc"
