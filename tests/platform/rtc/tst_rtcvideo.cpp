#include "janusserver.h"
#include "mosquittobroker.h"
#include "rtccameras.h"
#include "rtcpeerprocess.h"
#include "xvfbdisplay.h"

#include <QColor>
#include <QFile>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// Video between participants in processes of their own through a real
// Janus (the channel itself on a real broker): the camera (synthetic or
// a GStreamer source a scripted device names) and the screen reach the
// other side's render as VP8, a camera that fails leaves the synthetic
// picture, the shared X screen replaces the camera while it is shared,
// and a muted camera stops sending and is told to the others.
class TestRtcVideo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void videoReachesTheOtherSide_data();
    void videoReachesTheOtherSide();
    void chosenCameraIsSent();
    void sharedScreenReplacesTheCamera();
    void mutedCameraIsTold();

private:
    // The frames the render of uid has had so far in peer.
    static int frames(RtcPeerProcess &peer, uint uid, QSize *size = nullptr);
    // Whether at least count of the seven points across uid's last picture
    // in peer (at row percent of its height) are near colour.
    static bool shows(RtcPeerProcess &peer, uint uid, const QColor &colour, int count = 6, int row = 90);
    // Whether uid's last picture in peer shows the synthetic camera's bars
    // (with borders or not).
    static bool showsBars(RtcPeerProcess &peer, uint uid);
    static QList<QColor> samples(RtcPeerProcess &peer, uint uid, int row);
    static bool near(const QColor &a, const QColor &b);
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

QList<QColor> TestRtcVideo::samples(RtcPeerProcess &peer, uint uid, int row)
{
    peer.command(QStringLiteral("pixels %1 %2").arg(uid).arg(row));
    QList<QColor> colours;
    const QStringList names = peer.take(QStringLiteral("pixels %1").arg(uid)).split(QLatin1Char(' ')).mid(2);
    for (const QString &name : names)
        colours << QColor(name);
    return colours;
}

bool TestRtcVideo::near(const QColor &a, const QColor &b)
{
    // VP8 at a modest bitrate shifts colours a little.
    return std::abs(a.red() - b.red()) <= 40 && std::abs(a.green() - b.green()) <= 40 && std::abs(a.blue() - b.blue()) <= 40;
}

bool TestRtcVideo::shows(RtcPeerProcess &peer, uint uid, const QColor &colour, int count, int row)
{
    const QList<QColor> seen = samples(peer, uid, row);
    return std::count_if(seen.cbegin(), seen.cend(), [&](const QColor &c) { return near(c, colour); }) >= count;
}

bool TestRtcVideo::showsBars(RtcPeerProcess &peer, uint uid)
{
    const QList<QColor> bars { Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue };
    // Sent at another shape the picture has borders at its sides, and the
    // points fall on other bars: four different bars seen are enough.
    QSet<int> seen;
    for (const QColor &colour : samples(peer, uid, 90)) {
        for (int i = 0; i < bars.size(); ++i) {
            if (near(colour, bars.at(i)))
                seen.insert(i);
        }
    }
    return seen.size() >= 4;
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
    // Nobody waits for the machine's device monitor (slow on a loaded machine).
    teacher.setCameras();
    student.setCameras();
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

// The first camera listed is the chosen one: its pictures (the ball over
// its background, not the synthetic bars) reach the other side at the
// video profile's size. A camera that cannot be opened is warned of and
// logged, and the synthetic picture is sent; choosing a camera again
// mid-lesson switches the pictures without the feed being made again.
void TestRtcVideo::chosenCameraIsSent()
{
    QTemporaryDir dir;
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    teacher.setMedia(m_janus.url());
    teacher.setCameras();
    const QString log = dir.filePath(QStringLiteral("teacher.log"));
    teacher.setLog(log);
    student.setMedia(m_janus.url());
    student.setCameras();
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    teacher.command(QStringLiteral("profile 30"));
    QCOMPARE(teacher.take(QStringLiteral("profile-result")), QStringLiteral("profile-result 0"));
    teacher.command(QStringLiteral("video"));
    QCOMPARE(teacher.take(QStringLiteral("video-result")), QStringLiteral("video-result 0"));
    student.command(QStringLiteral("bind 30001"));
    QCOMPARE(student.take(QStringLiteral("bind-result")), QStringLiteral("bind-result 0"));
    QVERIFY(teacher.joinWithStream(QStringLiteral("camera-chosen")) > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("camera-chosen")) > 0);

    // Profile 30: 640 x 360.
    QCOMPARE(student.take(QStringLiteral("first-frame 30001"), 20000), QStringLiteral("first-frame 30001 640 360"));
    const QColor ball = QColor::fromRgb(RtcCameras::kBallBackground);
    QTRY_VERIFY_WITH_TIMEOUT(shows(student, 30001, ball), 15000);

    teacher.command(QStringLiteral("camera %1").arg(QLatin1String(RtcCameras::kMissingCamera)));
    QCOMPARE(teacher.take(QStringLiteral("camera-result")), QStringLiteral("camera-result 0"));
    const QString warning = teacher.take(QStringLiteral("warning "), 15000);
    QVERIFY2(warning.startsWith(QStringLiteral("warning 1501 ")) && warning.contains(QLatin1String(RtcCameras::kMissingCamera)),
             qPrintable(warning));
    QTRY_VERIFY_WITH_TIMEOUT(showsBars(student, 30001), 15000);
    const auto logText = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(logText().contains("video: the camera \"Missing camera\" (v4l2src:/dev/lessonry-no-camera) cannot be used"));

    teacher.command(QStringLiteral("camera %1").arg(QLatin1String(RtcCameras::kBallCamera)));
    QCOMPARE(teacher.take(QStringLiteral("camera-result")), QStringLiteral("camera-result 0"));
    QTRY_VERIFY_WITH_TIMEOUT(shows(student, 30001, ball), 15000);
    // One feed all along: the switches made no new offer.
    QCOMPARE(logText().count("media: our feed is sent"), 1);
    QVERIFY(teacher.take(QStringLiteral("interrupted"), 1).isEmpty());

    QCOMPARE(student.finish(), 0);
    QCOMPARE(teacher.finish(), 0);
}

// On a private X display: the teacher's screen (a window of one colour
// over all of it) replaces the teacher's camera while it is shared, and
// the camera comes back when the sharing stops.
void TestRtcVideo::sharedScreenReplacesTheCamera()
{
    XvfbDisplay display;
    QVERIFY(display.start());
    QTemporaryDir dir;
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    teacher.process().setProcessEnvironment(environment);
    teacher.setMedia(m_janus.url());
    teacher.setCameras();
    const QString log = dir.filePath(QStringLiteral("teacher.log"));
    teacher.setLog(log);
    student.setMedia(m_janus.url());
    student.setCameras();
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    const QColor screen(0xe0, 0xa0, 0x20);
    teacher.command(QStringLiteral("paint ") + screen.name());
    QVERIFY(!teacher.take(QStringLiteral("painted"), 20000).isEmpty());

    teacher.command(QStringLiteral("video"));
    QCOMPARE(teacher.take(QStringLiteral("video-result")), QStringLiteral("video-result 0"));
    student.command(QStringLiteral("bind 30001"));
    QCOMPARE(student.take(QStringLiteral("bind-result")), QStringLiteral("bind-result 0"));
    QVERIFY(teacher.joinWithStream(QStringLiteral("screen-shared")) > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("screen-shared")) > 0);
    const QColor ball = QColor::fromRgb(RtcCameras::kBallBackground);
    QTRY_VERIFY_WITH_TIMEOUT(shows(student, 30001, ball), 20000);

    teacher.command(QStringLiteral("screen"));
    QCOMPARE(teacher.take(QStringLiteral("screen-result")), QStringLiteral("screen-result 0"));
    // Away from the pointer in the middle; all seven points.
    QTRY_VERIFY_WITH_TIMEOUT(shows(student, 30001, screen, 7, 70), 15000);
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("video: capturing the X screen"));

    teacher.command(QStringLiteral("screen-stop"));
    QCOMPARE(teacher.take(QStringLiteral("screen-stop-result")), QStringLiteral("screen-stop-result 0"));
    QTRY_VERIFY_WITH_TIMEOUT(shows(student, 30001, ball), 15000);

    QCOMPARE(student.finish(), 0);
    QCOMPARE(teacher.finish(), 0);
}

// A muted camera: the others are told (also one who joins while it is
// muted) and no more pictures are sent; unmuted, both come back.
void TestRtcVideo::mutedCameraIsTold()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    RtcPeerProcess latecomer(m_broker.port(), 20002);
    for (RtcPeerProcess *peer : { &teacher, &student, &latecomer }) {
        peer->setMedia(m_janus.url());
        peer->setCameras();
        QVERIFY(peer->start());
    }
    teacher.command(QStringLiteral("video"));
    QCOMPARE(teacher.take(QStringLiteral("video-result")), QStringLiteral("video-result 0"));
    student.command(QStringLiteral("bind 30001"));
    QCOMPARE(student.take(QStringLiteral("bind-result")), QStringLiteral("bind-result 0"));
    QVERIFY(teacher.joinWithStream(QStringLiteral("camera-muted")) > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("camera-muted")) > 0);
    QTRY_VERIFY_WITH_TIMEOUT(frames(student, 30001) >= 5, 20000);
    // A camera that was never muted is not told of.
    QVERIFY(student.take(QStringLiteral("user-mute-video"), 1).isEmpty());

    teacher.command(QStringLiteral("mutevideo 1"));
    QCOMPARE(teacher.take(QStringLiteral("mutevideo-result")), QStringLiteral("mutevideo-result 0"));
    QCOMPARE(student.take(QStringLiteral("user-mute-video"), 10000), QStringLiteral("user-mute-video 30001 1"));
    // The sender's reports (every 2 s) show that it sent no pictures for
    // a whole period; the count over the next period stays put.
    // (The reports from before the mute come first; on a loaded machine
    // the encoder may still send the few pictures queued before it: two
    // quiet reports in a row have seen the queue empty.)
    int quiet = 0;
    for (int reports = 0; reports < 60 && quiet < 2; ++reports) {
        const QString report = teacher.take(QStringLiteral("stats "), 30000);
        QVERIFY(!report.isEmpty());
        quiet = report.endsWith(QStringLiteral(" video=0")) ? quiet + 1 : 0;
    }
    QCOMPARE(quiet, 2);
    const int muted = frames(student, 30001);
    QVERIFY(teacher.take(QStringLiteral("stats "), 30000).endsWith(QStringLiteral(" video=0")));
    QCOMPARE(frames(student, 30001), muted);

    QVERIFY(latecomer.joinWithStream(QStringLiteral("camera-muted")) > 0);
    QCOMPARE(latecomer.take(QStringLiteral("user-mute-video 30001"), 10000), QStringLiteral("user-mute-video 30001 1"));

    teacher.command(QStringLiteral("mutevideo 0"));
    QCOMPARE(teacher.take(QStringLiteral("mutevideo-result")), QStringLiteral("mutevideo-result 0"));
    QCOMPARE(student.take(QStringLiteral("user-mute-video"), 10000), QStringLiteral("user-mute-video 30001 0"));
    QCOMPARE(latecomer.take(QStringLiteral("user-mute-video"), 10000), QStringLiteral("user-mute-video 30001 0"));
    QTRY_VERIFY_WITH_TIMEOUT(frames(student, 30001) > muted + 5, 15000);

    QCOMPARE(latecomer.finish(), 0);
    QCOMPARE(student.finish(), 0);
    QCOMPARE(teacher.finish(), 0);
}

QTEST_MAIN(TestRtcVideo)
#include "tst_rtcvideo.moc"
