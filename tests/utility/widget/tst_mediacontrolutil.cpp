// The video players' control: the play/pause state machine over a player
// whose backend the test drives, the time texts, the slider and labels,
// the media storage's duration answer (asked by the audio rows' control
// too), end of media and the RTC mixing of the separate sound file.
#include "fakeplayerbackend.h"
#include "lessonservice.h"
#include "messagecatcher.h"
#include "mixingcalls.h"
#include "utility/widget/audiomediawithagoramixingcontrolutil.h"
#include "utility/widget/mediawithagoramixingcontrolutil.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

class TestMediaControlUtil : public QObject
{
    Q_OBJECT

private slots:
    void formatsDurations_data();
    void formatsDurations();
    void readsAvInfo_data();
    void readsAvInfo();
    void clicksDriveThePlayer();
    void positionsMoveLabelAndSlider();
    void endOfMediaWhilePausedResets();
    void resetWithoutPlayerDoesNothing();
    void mediumThatCannotBePlayedEndsThePlay_data();
    void mediumThatCannotBePlayedEndsThePlay();
    void resetWithoutMixingStopsNoEngine();
    void durationFromMediaStorage_data();
    void durationFromMediaStorage();
};

void TestMediaControlUtil::formatsDurations_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "00:00";
    QTest::newRow("just under a minute") << 59999 << "00:59";
    QTest::newRow("75.5 s") << 75500 << "01:15";
    QTest::newRow("one hour") << 3600000 << "01:00:00";
    QTest::newRow("1:02:03") << 3723000 << "01:02:03";
}

void TestMediaControlUtil::formatsDurations()
{
    QFETCH(int, ms);
    QFETCH(QString, text);
    QCOMPARE(MediaControlUtil::formatAudioDuration(ms), text);
}

void TestMediaControlUtil::readsAvInfo_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("duration"); // -1: refused
    QTest::addColumn<QString>("log");
    QTest::newRow("text of seconds") << R"({"format":{"duration":"75.5"}})" << 75500 << "duration:75500";
    QTest::newRow("number") << R"({"format":{"duration":75.5}})" << -1 << "duration is wrong";
    QTest::newRow("not json") << "<html>" << -1 << "parse json error";
    QTest::newRow("empty root") << "{}" << -1 << "root is empty";
    QTest::newRow("format not object") << R"({"format":"x"})" << -1 << "error formatJsonValue";
    QTest::newRow("empty format") << R"({"format":{}})" << -1 << "formatObj is empty";
    QTest::newRow("not a number") << R"({"format":{"duration":"abc"}})" << -1 << "duration is wrong";
    QTest::newRow("negative") << R"({"format":{"duration":"-3"}})" << -1 << "duration is wrong";
    QTest::newRow("beyond a day") << R"({"format":{"duration":"1e12"}})" << -1 << "duration is wrong";
    QTest::newRow("infinite") << R"({"format":{"duration":"inf"}})" << -1 << "duration is wrong";
    QTest::newRow("too long an answer") << QStringLiteral("{\"format\":{\"duration\":\"1\",\"x\":\"%1\"}}")
                                                .arg(QString(MediaControlUtil::kMaxAvInfoLength, QLatin1Char('a')))
                                        << -1 << "avinfo answer too long";
}

void TestMediaControlUtil::readsAvInfo()
{
    QFETCH(QString, answer);
    QFETCH(int, duration);
    QFETCH(QString, log);
    MessageCatcher catcher;
    QSlider slider;
    QLabel total;
    MediaWithAgoraMixingControlUtil control;
    control.init(nullptr, nullptr, &slider, nullptr, &total);
    const int maximumBefore = slider.maximum();
    control.slot_onSuccess_getAvInfoFromQiNiu(answer);
    QVERIFY2(catcher.count(QtInfoMsg, log) + catcher.count(QtCriticalMsg, log) > 0, qPrintable(log));
    if (duration < 0) {
        QCOMPARE(control.wholeDuration(), 1);
        QCOMPARE(slider.maximum(), maximumBefore);
        QVERIFY(total.text().isEmpty());
    } else {
        QCOMPARE(control.wholeDuration(), duration);
        QCOMPARE(slider.maximum(), duration);
        QCOMPARE(total.text(), MediaControlUtil::formatAudioDuration(duration));
    }
}

void TestMediaControlUtil::clicksDriveThePlayer()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    QtAV::AVPlayer player;
    player.setFile(QStringLiteral("/tmp/clip.mp4"));
    FakePlayerBackend *backend = install.last();
    QPushButton button;
    MediaWithAgoraMixingControlUtil control;
    control.init(&player, &button, nullptr, nullptr, nullptr);
    control.setAudioFile(QString(), QStringLiteral("/tmp/clip-sound.mp3"));
    QSignalSpy plays(&control, &MediaPlayPauseControlUtil::signal_onPlay);
    QSignalSpy pauses(&control, &MediaPlayPauseControlUtil::signal_onPause);
    QSignalSpy resumes(&control, &MediaPlayPauseControlUtil::signal_onResume);

    control.onPlayButtonClicked();
    QVERIFY(control.getIsPlaying() && !control.getIsPaused());
    QVERIFY(button.styleSheet().contains(QLatin1String("icon_audio_pause.png")));
    control.onPlayButtonClicked();
    QVERIFY(control.getIsPlaying() && control.getIsPaused());
    QVERIFY(button.styleSheet().contains(QLatin1String("icon_audio_play.png")));
    control.onPlayButtonClicked();
    QVERIFY(control.getIsPlaying() && !control.getIsPaused());
    QCOMPARE(plays.size(), 1);
    QCOMPARE(pauses.size(), 1);
    QCOMPARE(resumes.size(), 1);
    QCOMPARE(backend->calls.mid(1), (QStringList{ "play", "pause", "play" }));
    QVERIFY(control.isAudioMixingStarted());
    // The separate sound follows in the engine, in the same order.
    const QStringList mixing = mixingCalls();
    QCOMPARE(mixing.size(), 3);
    QVERIFY(mixing.at(0).startsWith(QLatin1String("startAudioMixing filePath:/tmp/clip-sound.mp3")));
    QVERIFY(mixing.at(1).startsWith(QLatin1String("pauseAudioMixing")));
    QVERIFY(mixing.at(2).startsWith(QLatin1String("resumeAudioMixing")));
    // A video player's control stops only its own file.
    control.onFinished();
    QVERIFY(!control.isAudioMixingStarted());
    QCOMPARE(mixingCalls().value(3), QStringLiteral("stopAudioMixing filePath:/tmp/clip-sound.mp3"));
}

void TestMediaControlUtil::positionsMoveLabelAndSlider()
{
    FakePlayerBackend::Install install;
    QtAV::AVPlayer player;
    QSlider slider(Qt::Horizontal);
    slider.setMaximum(100000);
    QLabel current;
    current.setText(QStringLiteral("00:00"));
    MediaControlUtil control;
    control.init(&player, nullptr, &slider, &current, nullptr);
    QCOMPARE(slider.minimum(), 1);
    install.last()->reportPosition(0);
    QCOMPARE(current.text(), QStringLiteral("00:00"));
    QCOMPARE(slider.value(), 1);
    install.last()->reportPosition(61500);
    QCOMPARE(current.text(), QStringLiteral("01:01"));
    QCOMPARE(slider.value(), 61500);
    QVERIFY(slider.styleSheet().contains(QLatin1String("#ff8278")));
    // The time alone goes back to the start; the slider stays.
    control.resetCurTime();
    QCOMPARE(current.text(), QStringLiteral("00:00"));
    QCOMPARE(slider.value(), 61500);
}

void TestMediaControlUtil::endOfMediaWhilePausedResets()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    QtAV::AVPlayer player;
    player.setFile(QStringLiteral("/tmp/clip.mp4"));
    QPushButton button;
    QSlider slider(Qt::Horizontal);
    slider.setMaximum(10000);
    QLabel current;
    MediaWithAgoraMixingControlUtil control;
    control.init(&player, &button, &slider, &current, nullptr);
    control.setAudioFile(QString(), QStringLiteral("/tmp/clip-sound.mp3"));
    QSignalSpy finished(&control, &MediaControlUtil::signal_onFinished);
    control.onPlayButtonClicked();
    install.last()->reportPosition(2000);
    control.onPlayButtonClicked();
    install.last()->reportStatus(QtAV::EndOfMedia);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!control.getIsPlaying() && !control.getIsPaused());
    QCOMPARE(current.text(), QStringLiteral("00:00"));
    QCOMPARE(slider.value(), 1);
    QVERIFY(button.styleSheet().contains(QLatin1String("icon_audio_play.png")));
    QVERIFY(!control.isAudioMixingStarted());
    QVERIFY(mixingCalls().last().startsWith(QLatin1String("stopAudioMixing filePath:/tmp/clip-sound.mp3")));
    QVERIFY(install.last()->calls.endsWith(QStringLiteral("stop")));
    // The player is forgotten: a second reset and later reports do nothing.
    QVERIFY(!control.player());
    control.reset();
    install.last()->reportStatus(QtAV::EndOfMedia);
    QCOMPARE(finished.size(), 1);
}

void TestMediaControlUtil::mediumThatCannotBePlayedEndsThePlay_data()
{
    QTest::addColumn<bool>("playing");
    QTest::newRow("before the play") << false;
    QTest::newRow("while it plays") << true;
}

void TestMediaControlUtil::mediumThatCannotBePlayedEndsThePlay()
{
    // A broken lesson video used to announce its play all the same: the
    // players sent "Play" and kept the microphones off until closed.
    QFETCH(bool, playing);
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    QtAV::AVPlayer player;
    player.setFile(QStringLiteral("/tmp/broken.mp4"));
    MediaWithAgoraMixingControlUtil control;
    control.init(&player, nullptr, nullptr, nullptr, nullptr);
    control.setAudioFile(QString(), QStringLiteral("/tmp/broken-sound.mp3"));
    QSignalSpy played(&control, &MediaPlayPauseControlUtil::signal_onPlay);
    QSignalSpy failed(&control, &MediaControlUtil::signal_onFailed);
    QSignalSpy finished(&control, &MediaControlUtil::signal_onFinished);
    if (playing)
        control.onPlayButtonClicked();
    install.last()->reportStatus(QtAV::InvalidMedia);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!control.getIsPlaying());
    QVERIFY(!control.isAudioMixingStarted());
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("the medium cannot be played: /tmp/broken.mp4")));
    // Asked to play after that: nothing starts and nobody is told it plays.
    const int playsBefore = played.size();
    control.onPlayButtonClicked();
    QCOMPARE(played.size(), playsBefore);
    QVERIFY(!control.isAudioMixingStarted());
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("no medium to play")));
}

void TestMediaControlUtil::resetWithoutPlayerDoesNothing()
{
    MessageCatcher catcher;
    MediaControlUtil control;
    QSignalSpy finished(&control, &MediaControlUtil::signal_onFinished);
    control.reset();
    QVERIFY(catcher.has(QtWarningMsg, QStringLiteral("mediaPlayer is null")));
    QVERIFY(finished.isEmpty());
}

void TestMediaControlUtil::resetWithoutMixingStopsNoEngine()
{
    FakePlayerBackend::Install install;
    MessageCatcher catcher;
    QtAV::AVPlayer player;
    MediaWithAgoraMixingControlUtil control;
    control.init(&player, nullptr, nullptr, nullptr, nullptr);
    control.onPlayButtonClicked(); // no sound file: nothing mixed
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("audioFilePath is empty")));
    control.reset();
    QVERIFY(catcher.has(QtWarningMsg, QStringLiteral("bStartAudioMixing is not started")));
    QVERIFY(mixingCalls().isEmpty());
}

namespace {

// The whole time a control shows from the stand-in storage's answer.
template<typename Control>
void takesDurationFromStorage()
{
    LessonService service;
    QVERIFY(service.start());
    QLabel total;
    QSlider slider;
    Control control;
    control.init(nullptr, nullptr, &slider, nullptr, &total);
    control.setAudioFile(service.fixtureUrl(QStringLiteral("clip-sound.mp3")), QStringLiteral("/tmp/x.mp3"));
    QCOMPARE(control.getAudioFilePath(), QStringLiteral("/tmp/x.mp3"));
    QTRY_COMPARE(total.text(), QStringLiteral("00:03"));
    QVERIFY(qAbs(control.wholeDuration() - 3000) < 100);
    QCOMPARE(slider.maximum(), control.wholeDuration());
    QVERIFY(service.lastRequest(QStringLiteral("/files/clip-sound.mp3"))
                .value(QStringLiteral("query")).toObject().contains(QStringLiteral("avinfo")));
}

} // namespace

void TestMediaControlUtil::durationFromMediaStorage_data()
{
    QTest::addColumn<bool>("audioRow");
    QTest::newRow("video player's control") << false;
    QTest::newRow("audio row's control") << true;
}

void TestMediaControlUtil::durationFromMediaStorage()
{
    QFETCH(bool, audioRow);
    if (audioRow)
        takesDurationFromStorage<AudioMediaWithAgoraMixingControlUtil>();
    else
        takesDurationFromStorage<MediaWithAgoraMixingControlUtil>();
}

QTEST_MAIN(TestMediaControlUtil)
#include "tst_mediacontrolutil.moc"
