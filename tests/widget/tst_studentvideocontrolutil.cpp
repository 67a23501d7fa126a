// A student's side of the lesson videos, with the messages coming through
// the message layer and a player whose backend the test drives: the window
// opened on the start message (downloaded copy or address), readiness and
// the 4000 ms fallback, pause, resume and end, a second start closing the
// first, what is refused (another class, an unknown video, messages beyond
// the bounds) and the window's size on a screen.

#include "fakeplayerbackend.h"
#include "messagecatcher.h"
#include "mixingcalls.h"
#include "scopedtimescale.h"

#include "biz/login/studentlogindataentity.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/message/classordergate.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/message/videocontrolprotocol.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "platform/player/audiooutput.h"
#include "platform/player/avplayer.h"
#include "platform/player/videooutput.h"
#include "utility/appdirs.h"
#include "widget/student/studentvideocontrolutil.h"
#include "widget/studentvideoplayerwidget.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kClass = QStringLiteral("10001");
const QString kMid = QStringLiteral("m-7");

VideoMaterial video(const QString &id, const QString &voice = QStringLiteral("https://media.example/v/sound.mp3"))
{
    VideoMaterial material;
    material.id = id;
    material.video = QStringLiteral("https://media.example/v/%1.mp4").arg(id);
    material.voice = voice;
    material.name = QStringLiteral("Video ") + id;
    return material;
}

ProtocolVideoControl message(int type, const QString &videoId = QStringLiteral("V-1"))
{
    ProtocolVideoControl protocol;
    protocol.type = type;
    protocol.classid = kClass;
    protocol.mid = kMid;
    protocol.videoid = videoId;
    protocol.video = video(videoId).video;
    protocol.voice = video(videoId).voice;
    protocol.name = video(videoId).name;
    return protocol;
}

// A message as it comes from the teacher over any transport.
void deliver(const ProtocolVideoControl &protocol, const QString &sender = kTeacher)
{
    SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
    messages->receiveMsg(messages->buildMsgText(protocol, IM_VideoControl, sender));
}

void putOnDisk(const QString &url)
{
    QFile file(NetWorkDownloadReplyHolder::getFilePath(url, getDownloadResourceDir()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("media");
}

} // namespace

class TestStudentVideoControlUtil : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void downloadedVideoPlaysLocallyWithItsSound_data();
    void downloadedVideoPlaysLocallyWithItsSound();
    void followsPlayPauseResumeAndEnd();
    void playsByItselfWhenNoPlayComes();
    void secondStartClosesTheFirst();
    void refusals_data();
    void refusals();
    void unknownVideoLeavesNoWindow();
    void pauseBeforePlayIsRefused();
    void otherVideosEndLeavesTheWindow();
    void classPageClosingClosesTheWindow();
    void windowSize_data();
    void windowSize();

private:
    ClassInfoEntity classInfo() const;
    StudentVideoPlayerWidget *openWindow(StudentVideoControlUtil &control);
};

void TestStudentVideoControlUtil::initTestCase()
{
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    // As the classroom window sets it when the class starts.
    ClassOrderGate::instance()->setClass(kClass, kTeacher, { kTeacher, user.id, QStringLiteral("20002") });
}

void TestStudentVideoControlUtil::init()
{
    QDir(getDownloadResourceDir()).removeRecursively();
    QDir().mkpath(getDownloadResourceDir());
}

void TestStudentVideoControlUtil::cleanup()
{
    // No window outlives a case.
    SignalQueueMgr::instance()->signalClassWidgetClosed();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ClassInfoEntity TestStudentVideoControlUtil::classInfo() const
{
    ClassInfoEntity info;
    info.class_id = kClass;
    info.material.mid = kMid;
    info.material.videos = { video(QStringLiteral("V-0")), video(QStringLiteral("V-1")),
                             video(QStringLiteral("V-2"), QString()) };
    return info;
}

StudentVideoPlayerWidget *TestStudentVideoControlUtil::openWindow(StudentVideoControlUtil &control)
{
    control.setClassInfo(classInfo());
    deliver(message(VIDEO_INIT));
    return control.playerWidget();
}

void TestStudentVideoControlUtil::downloadedVideoPlaysLocallyWithItsSound_data()
{
    QTest::addColumn<bool>("videoDownloaded");
    QTest::addColumn<bool>("soundDownloaded");
    QTest::addColumn<bool>("local");
    QTest::addColumn<bool>("playerMuted");
    QTest::newRow("video and sound") << true << true << true << true;
    QTest::newRow("video without its sound") << true << false << true << false;
    QTest::newRow("nothing downloaded: the address") << false << true << false << false;
}

void TestStudentVideoControlUtil::downloadedVideoPlaysLocallyWithItsSound()
{
    QFETCH(bool, videoDownloaded);
    QFETCH(bool, soundDownloaded);
    QFETCH(bool, local);
    QFETCH(bool, playerMuted);
    const VideoMaterial material = video(QStringLiteral("V-1"));
    if (videoDownloaded)
        putOnDisk(material.video);
    if (soundDownloaded)
        putOnDisk(material.voice);
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    StudentVideoPlayerWidget *window = openWindow(control);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("播放视频"));
    QCOMPARE(window->isLocalPlay(), local);
    FakePlayerBackend *backend = install.last();
    QVERIFY(backend);
    const QString expected = local ? QUrl::fromLocalFile(NetWorkDownloadReplyHolder::getFilePath(
                                                             material.video, getDownloadResourceDir()))
                                         .toString()
                                   : material.video;
    QCOMPARE(backend->source.toString(), expected);
    QCOMPARE(window->player()->audio()->isMute(), playerMuted);
    QCOMPARE(catcher.has(QtCriticalMsg, QStringLiteral("isAudioDownloaded false")), local && !playerMuted);
    // Ready at once; the sound file joins the engine when playback starts.
    QVERIFY(catcher.has(QtInfoMsg, QStringLiteral("sendVideoControlProtocol:video_protocol:type:VIDEO_STUDENT_READY, "
                                                  "classId:10001, mid:m-7, videoid:V-1")));
    deliver(message(VIDEO_PLAY));
    QVERIFY(window->hasPlayStarted());
    QCOMPARE(backend->state, int(QtAV::PlayerBackend::Playing));
    const QStringList mixing = mixingCalls();
    QCOMPARE(mixing.size(), playerMuted ? 1 : 0);
    if (playerMuted)
        QVERIFY(mixing.first().contains(NetWorkDownloadReplyHolder::getFilePath(material.voice, getDownloadResourceDir())));
}

void TestStudentVideoControlUtil::followsPlayPauseResumeAndEnd()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    QSignalSpy microphone(SignalQueueMgr::instance(), &SignalQueueMgr::signal_playingVideo);
    QPointer<StudentVideoPlayerWidget> window = openWindow(control);
    QVERIFY(window);
    FakePlayerBackend *backend = install.last();
    // The player draws into the video widget, first in the window.
    QVERIFY(window->videoWidget());
    QCOMPARE(window->player()->renderer()->widget(), window->videoWidget());
    QCOMPARE(window->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout"))->indexOf(window->videoWidget()), 0);
    QCOMPARE(window->player()->videoDecoderPriority(), QStringList{ QStringLiteral("FFmpeg") });

    deliver(message(VIDEO_PLAY));
    QCOMPARE(backend->state, int(QtAV::PlayerBackend::Playing));
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(microphone.last().at(0).toBool(), true);

    deliver(message(VIDEO_PAUSE));
    QCOMPARE(backend->state, int(QtAV::PlayerBackend::Paused));
    QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(microphone.last().at(0).toBool(), false);
    deliver(message(VIDEO_PAUSE));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("already paused")));

    deliver(message(VIDEO_RESUME));
    QCOMPARE(backend->state, int(QtAV::PlayerBackend::Playing));
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(microphone.last().at(0).toBool(), true);
    deliver(message(VIDEO_RESUME));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("not paused")));

    // A second play is refused: playback is not restarted.
    const int calls = backend->calls.size();
    deliver(message(VIDEO_PLAY));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("onplay:didVideoPlayMsgReceived is already true")));
    QCOMPARE(backend->calls.size(), calls);

    deliver(message(VIDEO_FINISHED));
    QVERIFY(!control.playerWidget());
    QCOMPARE(microphone.last().at(0).toBool(), false);
    QTRY_VERIFY(!window);
    // Messages with no window are dropped.
    deliver(message(VIDEO_PAUSE));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("playerWidget is empty")));
}

void TestStudentVideoControlUtil::playsByItselfWhenNoPlayComes()
{
    ScopedTimeScale fast(0.05);
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    StudentVideoPlayerWidget *window = openWindow(control);
    FakePlayerBackend *backend = install.last();
    QTRY_VERIFY(window->hasPlayStarted());
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("onplay:didVideoPlayMsgReceived not, play it myself")));
    QCOMPARE(backend->calls.count(QStringLiteral("play")), 1);
    // The late play changes nothing.
    deliver(message(VIDEO_PLAY));
    QCOMPARE(backend->calls.count(QStringLiteral("play")), 1);
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("onplay:didVideoPlayMsgReceived is already true")));
}

void TestStudentVideoControlUtil::secondStartClosesTheFirst()
{
    FakePlayerBackend::Install install;
    StudentVideoControlUtil control;
    QPointer<StudentVideoPlayerWidget> first = openWindow(control);
    deliver(message(VIDEO_PLAY));
    QVERIFY(first->hasPlayStarted());
    deliver(message(VIDEO_INIT, QStringLiteral("v-0"))); // ids match whatever their case
    QVERIFY(!first || !first->isVisible());
    StudentVideoPlayerWidget *second = control.playerWidget();
    QVERIFY(second);
    QVERIFY(second != first);
    QCOMPARE(second->material().id, QStringLiteral("V-0"));
    QTRY_VERIFY(!first);
}

void TestStudentVideoControlUtil::refusals_data()
{
    QTest::addColumn<ProtocolVideoControl>("protocol");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("log");
    // The start of a video with one thing changed.
    const auto row = [](const char *name, const std::function<void(ProtocolVideoControl &)> &change, const char *log,
                        int level = QtCriticalMsg, const QString &sender = kTeacher) {
        ProtocolVideoControl protocol = message(VIDEO_INIT);
        change(protocol);
        QTest::newRow(name) << protocol << sender << level << QString::fromLatin1(log);
    };
    const auto same = [](ProtocolVideoControl &) {};
    // Only the teacher of this class starts a video on a student's screen.
    row("from a classmate", same, "class order dropped: type 501 from 20002: not the teacher", QtWarningMsg,
        QStringLiteral("20002"));
    row("from a stranger", same, "class order dropped: type 501 from 77777: not the teacher", QtWarningMsg,
        QStringLiteral("77777"));
    row("another class", [](ProtocolVideoControl &p) { p.classid = QStringLiteral("10002"); },
        "class order dropped: type 501 from 30001: another class", QtWarningMsg);
    row("another material set", [](ProtocolVideoControl &p) { p.mid = QStringLiteral("m-8"); },
        "different mid, from protocol:m-8, current:m-7");
    const char refused[] = "video control refused";
    row("id beyond its bound",
        [](ProtocolVideoControl &p) { p.videoid = QString(VideoControlProtocol::kMaxIdLength + 1, QLatin1Char('a')); }, refused);
    row("video that is no web address", [](ProtocolVideoControl &p) { p.video = QStringLiteral("file:///etc/passwd"); }, refused);
    row("name beyond its bound",
        [](ProtocolVideoControl &p) { p.name = QString(VideoControlProtocol::kMaxNameLength + 1, QLatin1Char('n')); }, refused);
    row("name with a control character", [](ProtocolVideoControl &p) { p.name = QStringLiteral("a\nb"); }, refused);
    row("unknown type", [](ProtocolVideoControl &p) { p.type = 99; }, "no video control type", QtWarningMsg);
}

void TestStudentVideoControlUtil::refusals()
{
    QFETCH(ProtocolVideoControl, protocol);
    QFETCH(QString, sender);
    QFETCH(int, level);
    QFETCH(QString, log);
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    control.setClassInfo(classInfo());
    deliver(protocol, sender);
    QVERIFY2(catcher.has(QtMsgType(level), log), qPrintable(MessageCatcher::lines().join('\n')));
    QVERIFY(!control.playerWidget());
    QVERIFY(install.made.isEmpty());
}

void TestStudentVideoControlUtil::unknownVideoLeavesNoWindow()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    control.setClassInfo(classInfo());
    deliver(message(VIDEO_INIT, QStringLiteral("V-9")));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("findMatchedVideoUrl failed")));
    // No window, so no readiness and nothing for the later messages.
    QVERIFY(!control.playerWidget());
    QVERIFY(install.made.isEmpty());
    QVERIFY(!catcher.has(QtInfoMsg, QStringLiteral("VIDEO_STUDENT_READY")));
    deliver(message(VIDEO_PLAY, QStringLiteral("V-9")));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("playerWidget is empty")));
}

void TestStudentVideoControlUtil::pauseBeforePlayIsRefused()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    StudentVideoPlayerWidget *window = openWindow(control);
    deliver(message(VIDEO_PAUSE));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("not playing")));
    QVERIFY(!window->hasPlayStarted());
    QVERIFY(!install.last()->calls.contains(QStringLiteral("pause")));
}

void TestStudentVideoControlUtil::otherVideosEndLeavesTheWindow()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    StudentVideoControlUtil control;
    StudentVideoPlayerWidget *window = openWindow(control);
    deliver(message(VIDEO_FINISHED, QStringLiteral("V-2")));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("different video id, not this video")));
    QCOMPARE(control.playerWidget(), window);
    QVERIFY(window->isVisible());
}

void TestStudentVideoControlUtil::classPageClosingClosesTheWindow()
{
    FakePlayerBackend::Install install;
    StudentVideoControlUtil control;
    QPointer<StudentVideoPlayerWidget> window = openWindow(control);
    deliver(message(VIDEO_PLAY));
    SignalQueueMgr::instance()->signalClassWidgetClosed();
    QVERIFY(!control.playerWidget());
    QCOMPARE(install.last()->state, int(QtAV::PlayerBackend::Stopped));
    QTRY_VERIFY(!window);
}

void TestStudentVideoControlUtil::windowSize_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << QSize(1344, 756);
    QTest::newRow("2560 x 1440") << QSize(2560, 1440) << QSize(1792, 1007);
    QTest::newRow("800 x 600") << QSize(800, 600) << QSize(800, 600);
    QTest::newRow("1024 x 600") << QSize(1024, 600) << QSize(800, 600);
}

void TestStudentVideoControlUtil::windowSize()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QCOMPARE(StudentVideoPlayerWidget::windowSizeFor(screen.width(), screen.height()), window);
    // Only Windows before 7 keeps the separate sound out.
    QVERIFY(!StudentVideoPlayerWidget::isOldOSVersion());
}

QTEST_MAIN(TestStudentVideoControlUtil)
#include "tst_studentvideocontrolutil.moc"
