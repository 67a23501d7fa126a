#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/globaldatamgr.h"
#include "mgr/logeventmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "mgr/upgrademgr.h"
#include "widget/upgradedialogs.h"
#include "widget/classwidget.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<void()>)

class TestAppState : public QObject
{
    Q_OBJECT

private slots:
    void freshContext();
    void configurationTexts_data();
    void configurationTexts();
    void resetKeepsConfiguration();

    void restartState();
    void uidFollowsStudentRoleOnly();
    void eventPathOfStudent();

    void busEmitsAndLogs_data();
    void busEmitsAndLogs();
    void busPassesArguments();

    void classPageRegistersItself();
    void mqttClientIdByRole();
    void upgradePromptWidget();
    void newResourceDownloadAbortsRunningOne();
};

void TestAppState::freshContext()
{
    AppContext context;
    QCOMPARE(context.getDownloadTimeout(), 15);
    QCOMPARE(context.getProxyServer(), QString());
    QVERIFY(context.isAudioMixingEnabled());
    QVERIFY(!context.isInClass());
    QCOMPARE(context.getServerTimeOffset(), qint64(0));
}

// The server sends texts; the getters read them as numbers.
void TestAppState::configurationTexts_data()
{
    QTest::addColumn<QString>("stagnateTimeout");
    QTest::addColumn<QString>("audioMixing");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("mixing");
    QTest::newRow("both empty") << "" << "" << 15 << true;
    QTest::newRow("30, mixing 0") << "30" << "0" << 30 << false;
    QTest::newRow("not numbers") << "abc" << "on" << 0 << false;
    QTest::newRow("mixing 1") << "15" << "1" << 15 << true;
    QTest::newRow("mixing 2") << "15" << "2" << 15 << true;
}

void TestAppState::configurationTexts()
{
    QFETCH(QString, stagnateTimeout);
    QFETCH(QString, audioMixing);
    QFETCH(int, seconds);
    QFETCH(bool, mixing);
    AppContext context;
    AppConfigData config;
    config.materialStagnateTimeout = stagnateTimeout;
    config.videoPlayAudiomixing = audioMixing;
    context.setAppConfig(config);
    QCOMPARE(context.getDownloadTimeout(), seconds);
    QCOMPARE(context.isAudioMixingEnabled(), mixing);
}

void TestAppState::resetKeepsConfiguration()
{
    AppContext context;
    AppConfigData config;
    config.materialStagnateTimeout = QStringLiteral("30");
    config.materialProxyServer = QStringLiteral("http://127.0.0.1:3128/");
    config.videoPlayAudiomixing = QStringLiteral("0");
    context.setAppConfig(config);
    context.setClassId(QStringLiteral("4711"));
    context.setClassBeginTime(1510700000u);
    context.setClassLength(1500);
    context.setServerTimeOffset(-2500);
    context.setInClass(true);

    context.resetClassInfo();
    QVERIFY(!context.isInClass());
    QCOMPARE(context.getClassId(), QString());
    QCOMPARE(context.getClassBeginTime(), 0u);
    QCOMPARE(context.getClassLength(), 0);
    QCOMPARE(context.getServerTimeOffset(), qint64(0));
    QCOMPARE(context.getAppConfig().materialStagnateTimeout, QStringLiteral("30"));
    QCOMPARE(context.getProxyServer(), QStringLiteral("http://127.0.0.1:3128/"));
    QVERIFY(!context.isAudioMixingEnabled());
}

void TestAppState::restartState()
{
    AppRestart restart;
    QVERIFY(!restart.isAppRestart());
    QTest::ignoreMessage(QtInfoMsg, "setAppRestart, value:1");
    restart.setAppRestart(true);
    QTest::ignoreMessage(QtInfoMsg, "setCurClassId, classId:4711");
    restart.setCurClassId(QStringLiteral("4711"));
    QVERIFY(restart.isAppRestart());
    QCOMPARE(restart.getCurClassId(), QStringLiteral("4711"));
}

void TestAppState::uidFollowsStudentRoleOnly()
{
    StudentLoginDataEntity student;
    student.id = QStringLiteral("s-1");
    student.avatar = QStringLiteral("http://127.0.0.1/a.png");
    student.sdk_type = 2;
    Singleton<StudentCurrentUser>::instance()->setUserInfo(student);
    TeacherLoginDataEntity teacher;
    teacher.id = QStringLiteral("t-1");
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(teacher);

    QCOMPARE(Singleton<GlobalCurrentUser>::instance()->getUid(), QStringLiteral("s-1"));
    QCOMPARE(Singleton<StudentCurrentUser>::instance()->getAvatarUrl(), student.avatar);
    QCOMPARE(Singleton<StudentCurrentUser>::instance()->getUserInfo().sdk_type, 2);
}

void TestAppState::eventPathOfStudent()
{
    QCOMPARE(LogEventMgr::instance()->eventPath(), QStringLiteral("win/student/1.1.5.1/event"));
}

void TestAppState::busEmitsAndLogs_data()
{
    QTest::addColumn<std::function<void()>>("emitter");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QString>("logText");
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    auto row = [](const char *name, std::function<void()> emitter, const char *signal, const char *logText) {
        QTest::newRow(name) << emitter << QByteArray(signal) << QString::fromLatin1(logText);
    };
    row("video player start", [bus] { bus->signalVideoPlayerStart(); }, SIGNAL(signal_videoplayer_start()), "signalVideoPlayerStart");
    row("audio list closed", [bus] { bus->signalAudioListWidgetClosed(); }, SIGNAL(signal_audio_list_widget_closed()), "signalAudioListWidgetClosed");
    row("class widget closed", [bus] { bus->signalClassWidgetClosed(); }, SIGNAL(signal_class_widget_closed()), "signalClassWidgetClosed");
    row("class widget opened", [bus] { bus->signalClassWidgetOpened(); }, SIGNAL(signal_class_widget_opened()), "signalClassWidgetOpened");
    row("classroom close", [bus] { bus->signalClassroomClose(); }, SIGNAL(signal_classroom_close()), "signalClassroomClose");
    row("classroom open", [bus] { bus->signalClassroomOpen(); }, SIGNAL(signal_classroom_open()), "signalClassroomOpen");
    row("screen sharing", [bus] { bus->signalScreenSharingStart(); }, SIGNAL(signal_screen_sharing_start()), "signalScreenSharingStart");
    row("audio play", [bus] { bus->signalAudioPlay(); }, SIGNAL(signal_audio_play()), "signalAudioPlay");
    row("login ok", [bus] { bus->signalOnLoginOk(); }, SIGNAL(signal_on_login_ok()), "signalOnLoginOk");
    row("student video", [bus] { bus->signalStudentVideoPlay(); }, SIGNAL(signal_student_video_play()), "signalStudentVideoPlay");
    row("switch mode", [bus] { bus->signalSwitchMode(1); }, SIGNAL(signal_switchClassMode(int)), "signalSwitchMode, mode:1");
    row("playing video off", [bus] { bus->signalplayingVideo(false); }, SIGNAL(signal_playingVideo(bool)), "signalplayingVideo, bPlaying:0");
    row("re-enter", [bus] { bus->signalReEnterClassroom(); }, SIGNAL(signal_classroom_reEnter()), "signalReEnterClassroom");
    row("logout to re-enter", [bus] { bus->signalLogoutMqttToReEnterClassroom(); }, SIGNAL(signal_logoutMqttToReEnterClassroom()), "signalLogoutMqttToReEnterClassroom");
}

void TestAppState::busEmitsAndLogs()
{
    QFETCH(std::function<void()>, emitter);
    QFETCH(QByteArray, signal);
    QFETCH(QString, logText);
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    // Every signal of the bus, so a wrong emission shows up as well.
    QList<QSignalSpy *> spies;
    const QMetaObject *meta = bus->metaObject();
    QSignalSpy *wanted = nullptr;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Signal)
            continue;
        auto *spy = new QSignalSpy(bus, QByteArray("2" + method.methodSignature()).constData());
        if (QByteArray("2" + method.methodSignature()) == signal)
            wanted = spy;
        spies << spy;
    }
    QVERIFY(wanted);
    QCOMPARE(spies.size(), 16);
    QTest::ignoreMessage(QtInfoMsg, logText.toUtf8().constData());
    emitter();
    for (QSignalSpy *spy : spies)
        QCOMPARE(spy->count(), spy == wanted ? 1 : 0);
    qDeleteAll(spies);
}

void TestAppState::busPassesArguments()
{
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    QSignalSpy mode(bus, &SignalQueueMgr::signal_switchClassMode);
    QSignalSpy playing(bus, &SignalQueueMgr::signal_playingVideo);
    QSignalSpy key(bus, &SignalQueueMgr::signal_keyEvent);
    bus->signalSwitchMode(1);
    bus->signalplayingVideo(true);
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    bus->signalKeyEvent(&event);
    QCOMPARE(mode.value(0).value(0).toInt(), 1);
    QCOMPARE(playing.value(0).value(0).toBool(), true);
    QCOMPARE(key.count(), 1);
}

void TestAppState::classPageRegistersItself()
{
    GlobalDataMgr *data = Singleton<GlobalDataMgr>::instance();
    QSignalSpy opened(SignalQueueMgr::instance(), &SignalQueueMgr::signal_class_widget_opened);
    auto *page = new ClassWidget();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(data->getCurrentClassWidget(), page);
    QSignalSpy reEnter(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_reEnter);
    SignalQueueMgr::instance()->signalLogoutMqttToReEnterClassroom();
    QCOMPARE(reEnter.count(), 1);
    delete page;
    // No dangling pointer once the page is gone.
    QCOMPARE(data->getCurrentClassWidget(), nullptr);
}

void TestAppState::mqttClientIdByRole()
{
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->init(QStringLiteral("42"));
    QVERIFY(mqtt->hasClient());
    QCOMPARE(mqtt->clientId(), QStringLiteral("client_student_42"));
    QTest::ignoreMessage(QtInfoMsg, "destory mqtt client!");
    mqtt->destory();
    QVERIFY(!mqtt->hasClient());
}

void TestAppState::upgradePromptWidget()
{
    UpgradeMgr upgrade;
    upgrade.setUi(std::make_unique<UpgradeDialogs>());
    QWidget course;
    QWidget other;
    upgrade.setPromptWidget(&course);
    QTest::ignoreMessage(QtCriticalMsg, "diffrent prompt widget");
    upgrade.clearPromptWidget(&other);
    QCOMPARE(upgrade.promptWidget(), &course);
    upgrade.clearPromptWidget(&course);
    QCOMPARE(upgrade.promptWidget(), nullptr);

    // A window that goes away without clearing itself leaves nothing behind.
    {
        QWidget gone;
        upgrade.setPromptWidget(&gone);
    }
    QCOMPARE(upgrade.promptWidget(), nullptr);
}

void TestAppState::newResourceDownloadAbortsRunningOne()
{
    DownloadResourceMgr downloads;
    QSignalSpy aborted(&downloads, &DownloadResourceMgr::signal_abort);
    downloads.abort();
    QCOMPARE(aborted.count(), 0);

    downloads.download(QStringLiteral("r1"), {{QStringLiteral("http://127.0.0.1/a.mp3"), QStringLiteral("/tmp")}});
    QCOMPARE(downloads.currentResourceId(), QStringLiteral("r1"));
    downloads.download(QStringLiteral("r2"), {});
    QCOMPARE(aborted.count(), 1);
    QCOMPARE(aborted.at(0).at(0).toString(), QStringLiteral("r1"));
    QCOMPARE(downloads.currentResourceId(), QStringLiteral("r2"));

    QTest::ignoreMessage(QtInfoMsg, "resourcedownload:abort download resourceid:r2");
    downloads.abort();
    QCOMPARE(aborted.count(), 2);
    QCOMPARE(downloads.currentResourceId(), QString());
}

QTEST_MAIN(TestAppState)

#include "tst_appstate.moc"
