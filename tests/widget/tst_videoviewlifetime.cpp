// Video views and the engine's video thread: a view may be destroyed while
// the engine is still on its way to bind it, and the engine may be
// released while views are bound, at exit too, also when the display went
// away while video played.

#include "biz/im/agora/videosdk.h"
#include "platform/rtc/rtctesthooks.h"
#include "widget/widgetvideo.h"
#include "xvfbdisplay.h"

#include <QProcess>
#include <QTest>

#include <signal.h>

class TestVideoViewLifetime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void viewDestroyedBeforeItsBindingIsMade_data();
    void viewDestroyedBeforeItsBindingIsMade();
    void rebindingAfterADestroyedViewShowsTheNewView();
    void engineReleasedAfterTheApplicationWithAViewStillBound();
    void displayLostWhileVideoTilesPlay();
};

void TestVideoViewLifetime::initTestCase()
{
    VideoSDK::instance()->initVideoEngine();
    QVERIFY(VideoSDK::instance()->getRtcEngine());
}

void TestVideoViewLifetime::viewDestroyedBeforeItsBindingIsMade_data()
{
    QTest::addColumn<uint>("uid");
    QTest::newRow("local view") << 0u;
    QTest::newRow("remote view") << 4321u;
}

void TestVideoViewLifetime::viewDestroyedBeforeItsBindingIsMade()
{
    QFETCH(uint, uid);
    VideoSDK *sdk = VideoSDK::instance();
    agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
    // Each binding is still queued on the video thread when its view goes;
    // many rounds, so freed views' memory is reused meanwhile.
    for (int round = 0; round < 50; ++round) {
        auto *view = new WidgetVideo;
        view->resize(64, 48);
        QVERIFY(uid == 0 ? sdk->setupLocalVideo(view, uid) : sdk->setupRemoteVideo(view, uid));
        delete view;
    }
    // No binding is left to a view that is gone.
    QVERIFY(!RtcTestHooks::hasVideoBinding(engine, uid));
}

void TestVideoViewLifetime::rebindingAfterADestroyedViewShowsTheNewView()
{
    VideoSDK *sdk = VideoSDK::instance();
    agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
    auto *gone = new WidgetVideo;
    QVERIFY(sdk->setupRemoteVideo(gone, 99));
    delete gone;
    WidgetVideo view;
    view.resize(40, 40);
    QVERIFY(sdk->setupRemoteVideo(&view, 99));
    QVERIFY(RtcTestHooks::hasVideoBinding(engine, 99));
    const QByteArray red(8 * 8 * 4, char(0xff));
    QVERIFY(RtcTestHooks::deliverVideoFrame(engine, 99, 8, 8, red));
    QTRY_COMPARE(view.grab().toImage().pixel(20, 20), 0xffffffffu);
    QVERIFY(sdk->setupRemoteVideo(nullptr, 99));
    QVERIFY(!RtcTestHooks::hasVideoBinding(engine, 99));
}

void TestVideoViewLifetime::engineReleasedAfterTheApplicationWithAViewStillBound()
{
    // The program's end in another process: the application goes first,
    // then the engine, while a view it forgot still shows the preview.
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(LESSONRY_BIN_DIR "/helper_videoviewexit"), {});
    QVERIFY(helper.waitForStarted());
    const bool ended = helper.waitForFinished(60000);
    if (!ended) {
        helper.kill();
        helper.waitForFinished();
    }
    QVERIFY2(ended, "the engine's release hung");
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
    QVERIFY(helper.readAllStandardOutput().contains("bound"));
}

void TestVideoViewLifetime::displayLostWhileVideoTilesPlay()
{
    // The X server ends while the video thread paints the tiles' pictures:
    // the toolkit ends the program at once (status 1, from inside its event
    // loop), and the video thread must be stopped before the toolkit's
    // globals it paints with are destroyed.
    XvfbDisplay display;
    QVERIFY(display.start());
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), display.display());
    helper.setProcessEnvironment(environment);
    helper.start(QStringLiteral(LESSONRY_BIN_DIR "/helper_videotilesexit"), {});
    QVERIFY(helper.waitForStarted());
    QByteArray output;
    QDeadlineTimer deadline(120000);
    while (!output.contains("playing\n") && helper.state() == QProcess::Running && !deadline.hasExpired()) {
        helper.waitForReadyRead(1000);
        output += helper.readAllStandardOutput();
    }
    QVERIFY2(output.contains("playing\n"), helper.readAllStandardError().constData());

    // Ended as a display server is ended; it goes without a word to its clients.
    QCOMPARE(::kill(pid_t(display.processId()), SIGTERM), 0);
    const bool ended = helper.waitForFinished(120000);
    const QByteArray problems = helper.readAllStandardError();
    if (!ended) {
        helper.kill();
        helper.waitForFinished();
    }
    QVERIFY2(ended, "the program did not end without its display");
    QVERIFY2(helper.exitStatus() == QProcess::NormalExit, problems.constData());
    QVERIFY2(problems.contains("Did the X11 server die?"), problems.constData());
    QVERIFY2(!problems.contains("Sanitizer"), problems.constData());
    QCOMPARE(helper.exitCode(), 1);
}

QTEST_MAIN(TestVideoViewLifetime)
#include "tst_videoviewlifetime.moc"
