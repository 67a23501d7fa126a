// The media player over Qt Multimedia, on the files the build made:
// local files with and without sound, a sound file alone, the same file
// over http from the lesson service, and the addresses it refuses.
#include "lessonservice.h"
#include "platform/player/audiooutput.h"
#include "platform/player/avplayer.h"
#include "platform/player/videooutput.h"

#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

using namespace QtAV;

namespace {

QString media(const char *name)
{
    return QStringLiteral(LESSONRY_TEST_MEDIA_DIR "/") + QLatin1String(name);
}

bool waitForStatus(QSignalSpy &spy, MediaStatus status, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        for (const QList<QVariant> &args : qAsConst(spy)) {
            if (args.at(0).value<MediaStatus>() == status)
                return true;
        }
        spy.wait(200);
    }
    return false;
}

// True when some pixel of what the widget shows is not black.
bool showsPicture(QWidget *widget)
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); y += 4) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 4) {
            if (qGray(line[x]) > 16)
                return true;
        }
    }
    return false;
}

} // namespace

class TestAVPlayer : public QObject
{
    Q_OBJECT

private slots:
    // First: it needs a process that has not loaded GStreamer yet.
    void preparesBackendWithoutAPlayer();
    void rendererWidget();
    void playsLocalFileToEnd_data();
    void playsLocalFileToEnd();
    void pauseAndResume();
    void playsOnlineFromLessonService();
    void refusesOtherAddresses_data();
    void refusesOtherAddresses();
    void missingFileReportsError();
};

void TestAVPlayer::preparesBackendWithoutAPlayer()
{
    // GStreamer keeps its plugin cache in the user's cache folder, which
    // the test's own profile starts without. The test runner points every
    // test at one shared cache instead; this test wants the user's own.
    qunsetenv("GST_REGISTRY");
    const QDir cache(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                     + QStringLiteral("/gstreamer-1.0"));
    const auto cacheFiles = [&cache] { return cache.entryList({ QStringLiteral("registry.*") }, QDir::Files); };
    if (!cacheFiles().isEmpty())
        QSKIP("GStreamer's plugin cache is there already");
    AVPlayer::prepareBackend();
    AVPlayer::prepareBackend();
    QTRY_VERIFY_WITH_TIMEOUT(!cacheFiles().isEmpty(), 60000);
}

void TestAVPlayer::rendererWidget()
{
    VideoOutput widgetOutput(QStringLiteral("Widget"));
    QVERIFY(widgetOutput.widget());
    VideoOutput otherOutput(QStringLiteral("OpenGLWidget2"));
    QVERIFY(!otherOutput.widget());
}

void TestAVPlayer::playsLocalFileToEnd_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("withPicture");
    QTest::newRow("video with its sound") << media("clip.mp4") << true;
    QTest::newRow("video without sound") << media("clip-silent.mp4") << true;
    QTest::newRow("sound alone, muted") << media("clip-sound.mp3") << false;
}

void TestAVPlayer::playsLocalFileToEnd()
{
    QFETCH(QString, file);
    QFETCH(bool, withPicture);
    QWidget window;
    window.resize(320, 240);
    AVPlayer player;
    VideoOutput output(QStringLiteral("Widget"));
    if (withPicture) {
        output.widget()->setParent(&window);
        output.widget()->resize(320, 240);
        player.setRenderer(&output);
        window.show();
    } else {
        player.audio()->setMute(true);
        QVERIFY(player.audio()->isMute());
    }
    QSignalSpy positions(&player, &AVPlayer::positionChanged);
    QSignalSpy durations(&player, &AVPlayer::durationChanged);
    QSignalSpy statuses(&player, &AVPlayer::mediaStatusChanged);
    QSignalSpy errors(&player, &AVPlayer::error);
    player.setFile(file);
    QVERIFY(!player.isPlaying());
    player.play();
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 10000);
    QVERIFY(!player.isPaused());
    // The decoded pictures reach the widget and are painted in it.
    if (withPicture)
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(output.widget()), 10000);
    QVERIFY2(waitForStatus(statuses, EndOfMedia, 30000), "no end of media");
    QVERIFY2(errors.isEmpty(), qPrintable(errors.isEmpty() ? QString() : errors.first().at(0).value<AVError>().string()));
    QTRY_VERIFY(!player.isPlaying());
    QVERIFY(!durations.isEmpty());
    QVERIFY2(qAbs(player.duration() - 3000) < 300, qPrintable(QString::number(player.duration())));
    // About every 200 ms over three seconds, rising.
    QVERIFY2(positions.size() >= 5, qPrintable(QString::number(positions.size())));
    qint64 last = -1;
    for (const QList<QVariant> &args : qAsConst(positions)) {
        QVERIFY(args.at(0).toLongLong() >= last);
        last = args.at(0).toLongLong();
    }
    QVERIFY(last > 1500);
}

void TestAVPlayer::pauseAndResume()
{
    AVPlayer player;
    player.audio()->setMute(true);
    QSignalSpy statuses(&player, &AVPlayer::mediaStatusChanged);
    QSignalSpy positions(&player, &AVPlayer::positionChanged);
    player.pause(true); // stopped: nothing happens
    QVERIFY(!player.isPaused());
    player.setFile(media("clip.mp4"));
    player.play();
    QVERIFY(positions.wait(10000));
    player.pause(true);
    QTRY_VERIFY(player.isPaused());
    QVERIFY(player.isPlaying());
    const qint64 pausedAt = player.position();
    player.pause(false);
    QTRY_VERIFY(!player.isPaused());
    QVERIFY(player.isPlaying());
    QVERIFY(waitForStatus(statuses, EndOfMedia, 30000));
    QVERIFY(player.position() >= pausedAt);
    player.stop();
    QVERIFY(!player.isPlaying());
}

void TestAVPlayer::playsOnlineFromLessonService()
{
    LessonService service;
    QVERIFY(service.start());
    AVPlayer player;
    player.audio()->setMute(true);
    QSignalSpy statuses(&player, &AVPlayer::mediaStatusChanged);
    player.setFile(service.fixtureUrl(QStringLiteral("clip.mp4")));
    player.play();
    QVERIFY2(waitForStatus(statuses, EndOfMedia, 30000), "no end of media online");
    bool fetched = false;
    for (const QJsonValue &request : service.requests())
        fetched = fetched || request.toObject().value(QStringLiteral("path")).toString() == QLatin1String("/files/clip.mp4");
    QVERIFY(fetched);
}

void TestAVPlayer::refusesOtherAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString();
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/clip.mp4");
    QTest::newRow("file scheme") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("rtsp") << QStringLiteral("rtsp://127.0.0.1/clip");
    QTest::newRow("http without host") << QStringLiteral("http:///clip.mp4");
    QTest::newRow("data") << QStringLiteral("data:video/mp4;base64,AAAA");
}

void TestAVPlayer::refusesOtherAddresses()
{
    QFETCH(QString, address);
    AVPlayer player;
    QSignalSpy errors(&player, &AVPlayer::error);
    QSignalSpy statuses(&player, &AVPlayer::mediaStatusChanged);
    player.setFile(address);
    player.play();
    QVERIFY(errors.wait(5000));
    QCOMPARE(errors.first().at(0).value<AVError>().error(), int(AVError::UnsupportedAddress));
    QVERIFY(waitForStatus(statuses, InvalidMedia, 5000));
    QVERIFY(!player.isPlaying());
}

void TestAVPlayer::missingFileReportsError()
{
    AVPlayer player;
    QSignalSpy errors(&player, &AVPlayer::error);
    player.setFile(media("no-such-file.mp4"));
    player.play();
    QVERIFY(errors.wait(10000));
    QVERIFY(errors.first().at(0).value<AVError>().error() != AVError::NoError);
}

QTEST_MAIN(TestAVPlayer)
#include "tst_avplayer.moc"
