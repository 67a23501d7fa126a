#include "scopedtimescale.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"
#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/appdirs.h"
#include "widget/devicedetectingwidget.h"
#include "widget/widgetvideo.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

// The pre-class device test walked through as a user would.
class TestDeviceDetectingWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void formSizes();
    void everyStepConfirmedSavesEachKindAndReportsAllSet();
    void emptyMicrophoneListSavesNoDeviceAsMicrophone();
    void closingDuringTheCameraStepStopsTheCameraTest();
    void windowSystemCloseRunsTheCloseSequenceOnce();

private:
    void click(DeviceDetectingWidget &window, const char *button);
    agora::rtc::IRtcEngine *m_engine = nullptr;
    ScopedTimeScale m_fast { 0.05 };
};

void TestDeviceDetectingWidget::initTestCase()
{
    VideoSDK::instance()->initVideoEngine();
    m_engine = VideoSDK::instance()->getRtcEngine();
    QVERIFY(m_engine);
}

void TestDeviceDetectingWidget::init()
{
    RtcTestHooks::setDevices(agora::rtc::AUDIO_PLAYOUT_DEVICE, { { "spk-1", "Speakers" }, { "spk-2", "Headset" } });
    RtcTestHooks::setDevices(agora::rtc::AUDIO_RECORDING_DEVICE, { { "mic-1", "Built-in Mic" } });
    RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, { { "cam-1", "Front Camera" } });
    QFile::remove(getDeviceConfigFilePath());
    AgoraDeviceDetecting *service = Singleton<AgoraDeviceDetecting>::instance();
    QSignalSpy done(service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    service->startEnumDevices();
    QTRY_VERIFY_WITH_TIMEOUT(done.count() > 0, 5000); // emitted on the enumeration thread
}

void TestDeviceDetectingWidget::click(DeviceDetectingWidget &window, const char *button)
{
    auto *b = window.findChild<QPushButton *>(QLatin1String(button));
    QVERIFY2(b, button);
    b->click();
}

void TestDeviceDetectingWidget::formSizes()
{
    DeviceDetectingWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(707, 500));
    auto *outer = window.findChild<QTabWidget *>("tabWidgetOut");
    auto *inner = window.findChild<QTabWidget *>("tabWidgetIn");
    QCOMPARE(outer->minimumHeight(), 500);
    QCOMPARE(outer->maximumHeight(), 500);
    // The form makes the wizard's pages 460 high at most (what the title
    // and the step header leave of the window when that is less), as wide
    // as the wizard.
    QCOMPARE(inner->maximumHeight(), 460);
    QCOMPARE(inner->minimumWidth(), 0);
    QCOMPARE(inner->maximumWidth(), QWIDGETSIZE_MAX);
    // Laid out in the 500-pixel window with the title and the step header
    // above them, every answer button of every page stays in view.
    outer->setCurrentIndex(1);
    for (int page = 0; page < inner->count(); ++page) {
        inner->setCurrentIndex(page);
        QCoreApplication::processEvents();
        QCOMPARE(inner->width(), outer->currentWidget()->width());
        const QList<QPushButton *> buttons = inner->widget(page)->findChildren<QPushButton *>();
        QVERIFY(!buttons.isEmpty());
        for (QPushButton *button : buttons) {
            const QRect onWindow(button->mapTo(&window, QPoint()), button->size());
            QVERIFY2(window.rect().contains(onWindow), qPrintable(button->objectName()));
        }
    }
}

void TestDeviceDetectingWidget::everyStepConfirmedSavesEachKindAndReportsAllSet()
{
    Singleton<AgoraDeviceDetecting>::instance()->writeDeviceConfig(AGORA_DEVICE_SPEAKER, "Headset", "spk-2");
    DeviceDetectingWidget window;
    window.show();
    auto *outer = window.findChild<QTabWidget *>("tabWidgetOut");
    auto *inner = window.findChild<QTabWidget *>("tabWidgetIn");
    QCOMPARE(outer->currentIndex(), 0);

    click(window, "pushButtonStart");
    QCOMPARE(outer->currentIndex(), 1);
    QCOMPARE(inner->currentIndex(), 1);
    // The remembered speaker is selected and applied.
    QCOMPARE(window.findChild<QComboBox *>("AiBoxPlayer")->currentText(), QStringLiteral("Headset"));

    click(window, "pushButtonPlayStart");
    QCOMPARE(RtcTestHooks::playbackTestFile(m_engine), window.getAudioTestFile());
    QVERIFY(QFile::exists(window.getAudioTestFile()));
    click(window, "pushButtonPlayerOn");
    QCOMPARE(inner->currentIndex(), 2);
    QVERIFY(RtcTestHooks::playbackTestFile(m_engine).isEmpty()); // leaving the step stops the sound
    // The level meter follows the microphone test's reports.
    auto *meter = window.findChild<QProgressBar *>("progressBarSpeaker");
    QTRY_VERIFY_WITH_TIMEOUT(meter->value() > 0, 5000);

    click(window, "pushButtonSpeakerOn");
    QCOMPARE(inner->currentIndex(), 3);
    // The camera's picture reaches the view.
    auto *view = window.findChild<WidgetVideo *>("widgetVideo");
    QTRY_VERIFY_WITH_TIMEOUT(view->grab().toImage().pixel(125, 20) != view->grab().toImage().pixel(5, 170), 5000);

    click(window, "pushButtonVideoOn");
    QCOMPARE(inner->currentIndex(), 4);
    QVERIFY(window.findChild<QLabel *>("labelClassType")->isVisibleTo(&window));
    QVERIFY(!window.findChild<QLabel *>("labelDeviceFault")->isVisibleTo(&window));
    QVERIFY(!window.findChild<QPushButton *>("pushButtonRestart")->isVisibleTo(&window));

    QSettings saved(getDeviceConfigFilePath(), QSettings::IniFormat);
    QCOMPARE(saved.value("MySpk").toString(), QStringLiteral("Headset"));
    QCOMPARE(saved.value("MySpkGuid").toString(), QStringLiteral("spk-2"));
    QCOMPARE(saved.value("MyMic").toString(), QStringLiteral("Built-in Mic"));
    QCOMPARE(saved.value("MyCam").toString(), QStringLiteral("Front Camera"));

    QSignalSpy closed(&window, &DeviceDetectingWidget::signal_close);
    click(window, "pushButtonFinish");
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window.isVisible());
}

void TestDeviceDetectingWidget::emptyMicrophoneListSavesNoDeviceAsMicrophone()
{
    RtcTestHooks::setDevices(agora::rtc::AUDIO_RECORDING_DEVICE, {});
    AgoraDeviceDetecting *service = Singleton<AgoraDeviceDetecting>::instance();
    QSignalSpy done(service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    service->startEnumDevices();
    QTRY_VERIFY_WITH_TIMEOUT(done.count() > 0, 5000); // emitted on the enumeration thread

    DeviceDetectingWidget window;
    click(window, "pushButtonStart");
    click(window, "pushButtonPlayerOn");
    click(window, "pushButtonSpeakerOn"); // confirms a step that had nothing to choose
    QSettings saved(getDeviceConfigFilePath(), QSettings::IniFormat);
    QCOMPARE(saved.value("MySpk").toString(), QStringLiteral("Speakers"));
    QVERIFY(!saved.contains("MyMic"));
    QVERIFY(!saved.contains("MyMicGuid"));
}

void TestDeviceDetectingWidget::closingDuringTheCameraStepStopsTheCameraTest()
{
    auto *window = new DeviceDetectingWidget;
    window->show();
    click(*window, "pushButtonStart");
    click(*window, "pushButtonPlayerOff");
    click(*window, "pushButtonSpeakerOff");
    auto *view = window->findChild<WidgetVideo *>("widgetVideo");
    QTRY_VERIFY_WITH_TIMEOUT(view->grab().toImage().pixel(125, 20) != view->grab().toImage().pixel(5, 170), 5000);
    QVERIFY(RtcTestHooks::cameraTestRunning(m_engine));
    QSignalSpy closed(window, &DeviceDetectingWidget::signal_close);
    click(*window, "pushButtonClose");
    QCOMPARE(closed.count(), 1);
    // The close ends the camera test before the view goes, so the engine
    // never draws into freed memory.
    QVERIFY(!RtcTestHooks::cameraTestRunning(m_engine));
    delete window;
    QVERIFY(!RtcTestHooks::cameraTestRunning(m_engine));
}

void TestDeviceDetectingWidget::windowSystemCloseRunsTheCloseSequenceOnce()
{
    DeviceDetectingWidget window;
    window.show();
    QSignalSpy closed(&window, &DeviceDetectingWidget::signal_close);
    window.close(); // as Alt+F4 would
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window.isVisible());
    window.close();
    QCOMPARE(closed.count(), 1);
}

QTEST_MAIN(TestDeviceDetectingWidget)
#include "tst_devicedetectingwidget.moc"
