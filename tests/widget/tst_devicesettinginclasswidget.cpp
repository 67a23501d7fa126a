#include "scopedtimescale.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/im/agora/videosdk.h"
#include "biz/login/studentlogindataentity.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/appdirs.h"
#include "utility/translatelanguage.h"
#include "widget/classwidgetsetting.h"
#include "widget/devicesettinginclasswidget.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <memory>

// The in-class device window: lists, choices and the remote switch (605).
class TestDeviceSettingInClassWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void listsShowTheDevicesInUse();
    void edgesDoNotResize_data();
    void edgesDoNotResize();
    void choosingAppliesAndRemembers_data();
    void choosingAppliesAndRemembers();
    void remoteSwitchIsAppliedByNameAfterItsDelay();
    void remoteSwitchesThatChangeNothing_data();
    void remoteSwitchesThatChangeNothing();
    void emptyCollectionKeepsTheList();
    void barOwnsOneWindow();
    void barTellsOfEveryPlugAndUnplug_data();
    void barTellsOfEveryPlugAndUnplug();

private:
    static SwitchDevice switchOf(const QString &uid, int type, const QString &name);
    AgoraDeviceDetecting *m_service = nullptr;
    ScopedTimeScale m_fast { 0.02 }; // the 5000 ms delay takes 100 ms
};

void TestDeviceSettingInClassWidget::initTestCase()
{
    VideoSDK::instance()->initVideoEngine();
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    m_service = Singleton<AgoraDeviceDetecting>::instance();
}

void TestDeviceSettingInClassWidget::init()
{
    RtcTestHooks::setDevices(agora::rtc::AUDIO_PLAYOUT_DEVICE, { { "spk-1", "Speakers" }, { "spk-2", "Headset" } });
    RtcTestHooks::setDevices(agora::rtc::AUDIO_RECORDING_DEVICE, { { "mic-1", "Built-in Mic" }, { "mic-2", "USB Mic" } });
    RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, { { "cam-1", "Front Camera" }, { "cam-2", "USB Camera" } });
    QFile::remove(getDeviceConfigFilePath());
    m_service->setPlayoutDevice("spk-1");
    m_service->setRecordingDevice("mic-1");
    m_service->setVideoDevice("cam-1");
    QSignalSpy done(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    m_service->startEnumDevices();
    QTRY_VERIFY_WITH_TIMEOUT(done.count() > 0, 5000); // emitted on the enumeration thread
    QTRY_COMPARE(m_service->getAgoraVideoDeviceName(), QStringLiteral("Front Camera"));
}

SwitchDevice TestDeviceSettingInClassWidget::switchOf(const QString &uid, int type, const QString &name)
{
    SwitchDevice s;
    s.uid = uid;
    s.classid = QStringLiteral("c1");
    s.deviceType = type;
    s.deviceId = QStringLiteral("ignored");
    s.deviceName = name;
    s.alertMsg = QStringLiteral("switching");
    return s;
}

void TestDeviceSettingInClassWidget::listsShowTheDevicesInUse()
{
    DeviceSettingInClassWidget window;
    QCOMPARE(window.findChild<QComboBox *>("AiBoxPlayer")->count(), 2);
    QCOMPARE(window.findChild<QComboBox *>("AiBoxPlayer")->currentText(), QStringLiteral("Speakers"));
    QCOMPARE(window.findChild<QComboBox *>("AiBoxMicro")->currentText(), QStringLiteral("Built-in Mic"));
    QCOMPARE(window.findChild<QComboBox *>("AiBoxCamera")->currentText(), QStringLiteral("Front Camera"));
}

void TestDeviceSettingInClassWidget::edgesDoNotResize_data()
{
    QTest::addColumn<QPoint>("grip"); // from the bottom-right corner, inside the 5-pixel band
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("bottom-right corner") << QPoint(-2, -2) << QPoint(40, 30);
    QTest::newRow("right edge") << QPoint(-2, -100) << QPoint(40, 0);
    QTest::newRow("bottom edge") << QPoint(-100, -2) << QPoint(0, 40);
}

void TestDeviceSettingInClassWidget::edgesDoNotResize()
{
    QFETCH(QPoint, grip);
    QFETCH(QPoint, offset);
    DeviceSettingInClassWidget window;
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize size = window.size();
    QWindow *handle = window.windowHandle();
    const QPoint at = QPoint(size.width(), size.height()) + grip;
    // No resize cursor over the band, and a drag from it keeps the size.
    QTest::mouseMove(handle, at);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, at);
    for (int i = 1; i <= 10; ++i)
        QTest::mouseMove(handle, at + offset * i / 10 - (window.pos() - QPoint(100, 100)));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, at + offset - (window.pos() - QPoint(100, 100)));
    QCOMPARE(window.size(), size);
}

void TestDeviceSettingInClassWidget::choosingAppliesAndRemembers_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("guid");
    QTest::newRow("speaker") << "AiBoxPlayer" << int(AGORA_DEVICE_SPEAKER) << "Headset" << "MySpk" << "spk-2";
    QTest::newRow("microphone") << "AiBoxMicro" << int(AGORA_DEVICE_MICROPHONE) << "USB Mic" << "MyMic" << "mic-2";
    QTest::newRow("camera") << "AiBoxCamera" << int(AGORA_DEVICE_CAMERA) << "USB Camera" << "MyCam" << "cam-2";
}

void TestDeviceSettingInClassWidget::choosingAppliesAndRemembers()
{
    QFETCH(QString, box);
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(QString, key);
    QFETCH(QString, guid);
    QSignalSpy listed(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    DeviceSettingInClassWidget window;
    // The window asks for a fresh enumeration; its refill comes first.
    QTRY_VERIFY_WITH_TIMEOUT(listed.count() >= 1, 5000);
    QCoreApplication::processEvents();
    window.findChild<QComboBox *>(box)->setCurrentIndex(1);
    const auto inUse = [this, type] {
        if (type == AGORA_DEVICE_SPEAKER)
            return m_service->getAgoraPlaybackDeviceName();
        if (type == AGORA_DEVICE_MICROPHONE)
            return m_service->getAgoraRecordingDeviceName();
        return m_service->getAgoraVideoDeviceName();
    };
    QTRY_COMPARE(inUse(), name);
    QSettings saved(getDeviceConfigFilePath(), QSettings::IniFormat);
    QCOMPARE(saved.value(key).toString(), name);
    QCOMPARE(saved.value(key + QStringLiteral("Guid")).toString(), guid);
}

void TestDeviceSettingInClassWidget::remoteSwitchIsAppliedByNameAfterItsDelay()
{
    QSignalSpy listed(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    DeviceSettingInClassWidget window;
    QTRY_VERIFY_WITH_TIMEOUT(listed.count() >= 1, 5000);
    QCoreApplication::processEvents();
    auto *micro = window.findChild<QComboBox *>("AiBoxMicro");
    QElapsedTimer clock;
    clock.start();
    emit SendAndReceiveMsg::instance()->signal_receiveSwitchDevice(ImMsgInfo(), switchOf("20001", 2, "USB Mic"));
    QCOMPARE(micro->currentText(), QStringLiteral("Built-in Mic")); // not yet
    QTRY_COMPARE(micro->currentText(), QStringLiteral("USB Mic"));
    QVERIFY(clock.elapsed() >= 90);
    QTRY_COMPARE(m_service->getAgoraRecordingDeviceName(), QStringLiteral("USB Mic"));
    QSettings saved(getDeviceConfigFilePath(), QSettings::IniFormat);
    QCOMPARE(saved.value("MyMic").toString(), QStringLiteral("USB Mic"));

    // Two switches in a row: both timers apply the second one.
    emit SendAndReceiveMsg::instance()->signal_receiveSwitchDevice(ImMsgInfo(), switchOf("20001", 1, "Speakers"));
    emit SendAndReceiveMsg::instance()->signal_receiveSwitchDevice(ImMsgInfo(), switchOf("20001", 1, "Headset"));
    QTRY_COMPARE(window.findChild<QComboBox *>("AiBoxPlayer")->currentText(), QStringLiteral("Headset"));
    QTest::qWait(150);
    QCOMPARE(window.findChild<QComboBox *>("AiBoxPlayer")->currentText(), QStringLiteral("Headset"));
}

void TestDeviceSettingInClassWidget::remoteSwitchesThatChangeNothing_data()
{
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("another user") << "30001" << 3 << "USB Camera";
    QTest::newRow("type 4") << "20001" << 4 << "USB Camera";
    QTest::newRow("type 0") << "20001" << 0 << "USB Camera";
    QTest::newRow("unknown name") << "20001" << 3 << "No Such Camera";
}

void TestDeviceSettingInClassWidget::remoteSwitchesThatChangeNothing()
{
    QFETCH(QString, uid);
    QFETCH(int, type);
    QFETCH(QString, name);
    DeviceSettingInClassWidget window;
    emit SendAndReceiveMsg::instance()->signal_receiveSwitchDevice(ImMsgInfo(), switchOf(uid, type, name));
    QTest::qWait(200);
    QCOMPARE(window.findChild<QComboBox *>("AiBoxCamera")->currentText(), QStringLiteral("Front Camera"));
    QVERIFY(!QFile::exists(getDeviceConfigFilePath()));
}

void TestDeviceSettingInClassWidget::emptyCollectionKeepsTheList()
{
    DeviceSettingInClassWidget window;
    window.slot_videoDeviceCollection(QVariantMap());
    QCOMPARE(window.findChild<QComboBox *>("AiBoxCamera")->count(), 2);
    // A refill whose device in use is gone selects and sets the first one.
    RtcTestHooks::setDevices(agora::rtc::VIDEO_CAPTURE_DEVICE, { { "cam-9", "Other Camera" }, { "cam-2", "USB Camera" } });
    QSignalSpy done(m_service, &AgoraDeviceDetecting::signal_videoDeviceCollection);
    m_service->startEnumDevices();
    QTRY_VERIFY_WITH_TIMEOUT(done.count() > 0, 5000); // emitted on the enumeration thread
    QTRY_COMPARE(window.findChild<QComboBox *>("AiBoxCamera")->currentText(), QStringLiteral("Other Camera"));
    QTRY_COMPARE(m_service->getAgoraVideoDeviceId(), QStringLiteral("cam-9"));
}

void TestDeviceSettingInClassWidget::barOwnsOneWindow()
{
    auto bar = std::make_unique<ClassWidgetSetting>();
    QPointer<DeviceSettingInClassWidget> window = bar->deviceSettingWindow();
    QVERIFY(window);
    QCOMPARE(window->parent(), nullptr); // a window of its own
    QVERIFY(window->isHidden());

    // Each button shows that one window, modal, and the bar waits until it
    // is closed; the next showing is the same window again.
    struct Showing
    {
        DeviceSettingInClassWidget *shown = nullptr;
        bool visible = false;
        Qt::WindowModality modality = Qt::NonModal;
    };
    QVector<Showing> showings;
    for (const char *button : { "btnCamera", "btnAudio", "btnCamera" }) {
        // Runs inside the bar's wait: notes what shows, then closes it.
        QTimer::singleShot(0, this, [&showings, &window]() {
            Showing showing;
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *shown = qobject_cast<DeviceSettingInClassWidget *>(top); shown && shown->isVisible())
                    showing.shown = shown;
            }
            showing.visible = window && window->isVisible();
            showing.modality = window ? window->windowModality() : Qt::NonModal;
            showings.append(showing);
            if (window)
                window->findChild<QPushButton *>(QStringLiteral("closePushButton"))->click();
        });
        bar->findChild<QPushButton *>(QLatin1String(button))->click();
        QVERIFY2(window && window->isHidden(), button);
        QCOMPARE(bar->deviceSettingWindow(), window.data());
    }
    QCOMPARE(showings.size(), 3);
    for (const Showing &showing : showings) {
        QCOMPARE(showing.shown, window.data());
        QVERIFY(showing.visible);
        QCOMPARE(showing.modality, Qt::ApplicationModal);
    }

    // The window goes with the bar.
    bar.reset();
    QVERIFY(!window);
}

void TestDeviceSettingInClassWidget::barTellsOfEveryPlugAndUnplug_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<bool>("plug");
    QTest::newRow("microphone unplugged") << int(agora::rtc::AUDIO_RECORDING_DEVICE) << QByteArray("mic-2") << false;
    QTest::newRow("speaker plugged") << int(agora::rtc::AUDIO_PLAYOUT_DEVICE) << QByteArray("spk-3") << true;
    QTest::newRow("camera plugged") << int(agora::rtc::VIDEO_CAPTURE_DEVICE) << QByteArray("cam-3") << true;
    QTest::newRow("camera unplugged") << int(agora::rtc::VIDEO_CAPTURE_DEVICE) << QByteArray("cam-2") << false;
}

void TestDeviceSettingInClassWidget::barTellsOfEveryPlugAndUnplug()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, id);
    QFETCH(bool, plug);
    ClassWidgetSetting bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QToolTip::hideText();
    agora::rtc::IRtcEngine *engine = VideoSDK::instance()->getRtcEngine();
    QSignalSpy reported(VideoSDK::instance(), kind == agora::rtc::VIDEO_CAPTURE_DEVICE
                                                  ? &VideoSDK::signal_VideoDeviceStateChanged
                                                  : &VideoSDK::signal_AudioDeviceStateChanged);
    QVERIFY(plug ? RtcTestHooks::plugDevice(engine, kind, { id, "New Device" })
                 : RtcTestHooks::unplugDevice(engine, kind, id));
    QTRY_COMPARE(reported.count(), 1);
    QTRY_COMPARE(QToolTip::text(), Translatelanguage::instance()->getText(QStringLiteral("pluggedout"),
                                                                         Translatelanguage::LanguageDefault));
    QToolTip::hideText();
}

QTEST_MAIN(TestDeviceSettingInClassWidget)
#include "tst_devicesettinginclasswidget.moc"
