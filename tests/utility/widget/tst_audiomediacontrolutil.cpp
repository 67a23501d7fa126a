// The audio rows' control without a row: the whole time from the media
// storage's answer, positions on the slider and label, a reset that never
// started the engine, and the state machine's clicks.

#include "messagecatcher.h"
#include "mixingcalls.h"

#include "utility/widget/audiomediawithagoramixingcontrolutil.h"

#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

class TestAudioMediaControlUtil : public QObject
{
    Q_OBJECT

private slots:
    void wholeTimeFromTheStorage();
    void positionsMoveSliderAndLabel_data();
    void positionsMoveSliderAndLabel();
    void resetWithoutMixingStopsNoEngine();
    void clicksDriveEngineAndButton();
};

void TestAudioMediaControlUtil::wholeTimeFromTheStorage()
{
    QSlider slider;
    QLabel current;
    QLabel total;
    AudioMediaWithAgoraMixingControlUtil control;
    control.init(nullptr, nullptr, &slider, &current, &total);
    QCOMPARE(slider.minimum(), 1);
    control.slot_onSuccess_getAvInfoFromQiNiu(QStringLiteral(R"({"format":{"duration":"75.5"}})"));
    QCOMPARE(control.wholeDuration(), 75500);
    QCOMPARE(slider.maximum(), 75500);
    QCOMPARE(total.text(), QStringLiteral("01:15"));
    // A number where a text belongs is refused and changes nothing.
    MessageCatcher catcher;
    control.slot_onSuccess_getAvInfoFromQiNiu(QStringLiteral(R"({"format":{"duration":12}})"));
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("duration is wrong")));
    QCOMPARE(control.wholeDuration(), 75500);
}

void TestAudioMediaControlUtil::positionsMoveSliderAndLabel_data()
{
    QTest::addColumn<qlonglong>("position");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("value");
    QTest::newRow("zero changes nothing") << 0LL << "00:00" << 1;
    QTest::newRow("negative changes nothing") << -5LL << "00:00" << 1;
    QTest::newRow("two seconds") << 2000LL << "00:02" << 2000;
    QTest::newRow("an hour on") << 3723000LL << "01:02:03" << 3723000;
}

void TestAudioMediaControlUtil::positionsMoveSliderAndLabel()
{
    QFETCH(qlonglong, position);
    QFETCH(QString, label);
    QFETCH(int, value);
    QSlider slider;
    slider.setMaximum(4000000);
    QLabel current(QStringLiteral("00:00"));
    AudioMediaWithAgoraMixingControlUtil control;
    control.init(nullptr, nullptr, &slider, &current, nullptr);
    slider.setValue(1);
    control.slot_positionChanged(position);
    QCOMPARE(current.text(), label);
    QCOMPARE(slider.value(), value);
    QCOMPARE(slider.styleSheet().contains(QLatin1String("#ff8278")), position > 0);
    // The time alone goes back to the start; the slider stays.
    control.resetCurTime();
    QCOMPARE(current.text(), QStringLiteral("00:00"));
    QCOMPARE(slider.value(), value);
}

void TestAudioMediaControlUtil::resetWithoutMixingStopsNoEngine()
{
    MessageCatcher catcher;
    QMediaPlayer player;
    AudioMediaWithAgoraMixingControlUtil control;
    control.init(&player, nullptr, nullptr, nullptr, nullptr);
    QSignalSpy finished(&control, &AudioMediaControlUtil::signal_onFinished);
    control.reset();
    QCOMPARE(finished.size(), 1);
    QVERIFY(catcher.has(QtWarningMsg, QStringLiteral("bStartAudioMixing is not started")));
    QVERIFY(mixingCalls().isEmpty());
}

void TestAudioMediaControlUtil::clicksDriveEngineAndButton()
{
    MessageCatcher catcher;
    QPushButton button;
    AudioMediaWithAgoraMixingControlUtil control;
    control.init(nullptr, &button, nullptr, nullptr, nullptr);
    control.setAudioFile(QString(), QStringLiteral("/tmp/tone.mp3"));
    control.onPlayButtonClicked();
    QVERIFY(control.getIsPlaying());
    QVERIFY(button.styleSheet().contains(QLatin1String("icon_audio_pause.png")));
    control.onPlayButtonClicked();
    QVERIFY(control.getIsPaused());
    QVERIFY(button.styleSheet().contains(QLatin1String("icon_audio_play.png")));
    control.onPlayButtonClicked();
    QVERIFY(!control.getIsPaused());
    control.onFinished();
    QVERIFY(!control.getIsPlaying());
    const QStringList calls = mixingCalls();
    QCOMPARE(calls.size(), 4);
    QVERIFY(calls.at(0).startsWith(QLatin1String("startAudioMixing filePath:/tmp/tone.mp3")));
    QVERIFY(calls.at(1).startsWith(QLatin1String("pauseAudioMixing")));
    QVERIFY(calls.at(2).startsWith(QLatin1String("resumeAudioMixing")));
    // The audio rows stop whatever the engine plays.
    QCOMPARE(calls.at(3), QStringLiteral("stopAudioMixing"));
}

QTEST_MAIN(TestAudioMediaControlUtil)
#include "tst_audiomediacontrolutil.moc"
