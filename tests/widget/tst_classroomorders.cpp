// The student's classroom window in a real class: a teacher and a
// classmate in processes of their own and the service's back end over a
// real broker. The window follows the teacher's mode, obeys the teacher's
// microphone orders on the engine and on its own tile, answers a device
// request to the asker alone, and shows the back end's notices and applies
// its video profile, each only when it is the addressee. What a classmate
// or a stranger sends in the teacher's or the back end's place changes
// nothing.

#include "classroompeerprocess.h"
#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "mosquittobroker.h"
#include "testutil.h"
#include "topicwatcher.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/message/classordergate.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/translatelanguage.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/classwidget.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace ClassroomTestSupport;

class TestClassroomOrders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void followsTheTeachersMode();
    void microphoneOrdersReachTheEngineAndTheOwnTile();
    void deviceRequestIsAnsweredToTheAsker();
    void backEndOrders_data();
    void backEndOrders();
    void teacherOrdersOfOthersAreDropped_data();
    void teacherOrdersOfOthersAreDropped();
    void backEndOrdersOfAClassmateAreDropped();

private:
    // Publishes an order on the class topic as the service's back end does,
    // in the name of sender.
    bool publishOrder(int type, const QJsonObject &payload, const QString &sender = QStringLiteral("console"));
    int modeMessagesSent() const;
    QStringList toastTexts() const;
    static QString text(const char *key) { return Translatelanguage::instance()->getText(QString::fromLatin1(key)); }

    // Waits until the gate has dropped an order of type from sender.
    bool waitForDrop(const MessageCatcher &log, int type, const QString &sender);
    QString lastAward(const QString &uid) const;
    bool videoWindowOpen() const;

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    ClassroomPeerProcess m_teacher;
    ClassroomPeerProcess m_classmate;
    QPointer<WidgetClassRoom> m_room;
};

void TestClassroomOrders::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    signInStudent();
    // As the program starts them.
    AgoraIMSdk::instance()->init();
    VideoSDK::instance()->init();
    MqttImSdk::instance()->init(QString::fromLatin1(kStudentId));

    QSignalSpy mqttIn(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    QSignalSpy sigIn(AgoraIMChannelMgr::instance(), &AgoraIMChannelMgr::signal_onChannelJoined);
    m_room = new WidgetClassRoom;
    m_room->startClass(classInfo());
    QTRY_VERIFY_WITH_TIMEOUT(mqttIn.count() >= 1 && sigIn.count() >= 1, 15000);
    QVERIFY(m_teacher.start(ClassroomPeerProcess::Teacher, QString::fromLatin1(kTeacherId), QString::fromLatin1(kClassId)));
    QVERIFY(m_classmate.start(ClassroomPeerProcess::Student, QString::fromLatin1(kClassmateId), QString::fromLatin1(kClassId)));
}

void TestClassroomOrders::cleanupTestCase()
{
    QVERIFY(m_teacher.finish());
    QVERIFY(m_classmate.finish());
    delete m_room;
}

void TestClassroomOrders::init()
{
    // Each case starts with the back end's whole allowance.
    ClassOrderGate::instance()->forgetAllowancesForTests();
}

void TestClassroomOrders::cleanup()
{
    for (promptMessageWidget *toast : m_room->findChildren<promptMessageWidget *>())
        delete toast;
}

int TestClassroomOrders::modeMessagesSent() const
{
    int sent = 0;
    for (const QString &line : MessageCatcher::lines())
        sent += line.startsWith(QLatin1String("send IM")) && line.contains(QLatin1String("\"type\":410"));
    return sent;
}

bool TestClassroomOrders::publishOrder(int type, const QJsonObject &payload, const QString &sender)
{
    const QString topic = QStringLiteral("tp/velmo/signal/channel/%1/message").arg(QString::fromLatin1(kClassId));
    return TopicWatcher::publish(m_broker.port(), topic, TestUtil::classroomEnvelope(type, sender, payload));
}

QStringList TestClassroomOrders::toastTexts() const
{
    QStringList texts;
    for (const promptMessageWidget *toast : m_room->findChildren<promptMessageWidget *>())
        texts << toast->shownText();
    return texts;
}

void TestClassroomOrders::followsTheTeachersMode()
{
    MessageCatcher log;
    m_teacher.send(410, { { "type", 1 }, { "classid", kClassId } });
    QTRY_COMPARE_WITH_TIMEOUT(m_room->currentMode()->getClassMode(), int(WidgetClassMode::PrizeMode), 10000);
    m_teacher.send(410, { { "type", 0 }, { "classid", kClassId } });
    QTRY_COMPARE_WITH_TIMEOUT(m_room->currentMode(), static_cast<WidgetClassMode *>(m_room->classWidget()), 10000);
    // The student's window never sends the mode itself.
    QCOMPARE(modeMessagesSent(), 0);
}

void TestClassroomOrders::microphoneOrdersReachTheEngineAndTheOwnTile()
{
    WidgetVideoItem *own = m_room->classWidget()->getVideoItemList()->findWidgetByUid(QString::fromLatin1(kStudentId));
    QPushButton *button = own ? own->findChild<QPushButton *>(QStringLiteral("btnAudio")) : nullptr;
    QVERIFY(button);
    const QString me = QString::fromLatin1(kStudentId);
    auto engineMuted = [] {
        return RtcTestHooks::parameter(VideoSDK::instance()->getRtcEngine(), QStringLiteral("rtc.audio.mute_me")).toBool(false);
    };
    struct Order
    {
        int type;
        int enabled;
        bool muted;
    };
    // Each order changes the state, so its arrival shows on the engine;
    // the own tile's microphone button (checked = off) must say the same.
    const Order orders[] = { { 8, 0, true }, { 8, 1, false }, { 9, 0, true }, { 9, 1, false } };
    for (const Order &order : orders) {
        m_teacher.send(402, { { "classid", kClassId }, { "type", order.type }, { "uid", me }, { "enabled", order.enabled } }, me);
        QTRY_COMPARE_WITH_TIMEOUT(engineMuted(), order.muted, 10000);
        QCOMPARE(button->isChecked(), order.muted);
    }
}

void TestClassroomOrders::deviceRequestIsAnsweredToTheAsker()
{
    // The back end asks as a uid of its own and is answered on that uid's
    // topic. Asked for another student: no answer.
    const QString asker = QStringLiteral("90001");
    TopicWatcher wire;
    QVERIFY(wire.start(m_broker.port()));
    QVERIFY(publishOrder(603, { { "classid", kClassId }, { "uid", kClassmateId } }, asker));
    // A numeric uid is the same participant.
    QVERIFY(publishOrder(603, { { "classid", kClassId }, { "uid", 20001 } }, asker));
    const QString topic = QStringLiteral("tp/velmo/signal/p2p/%1/channel/%2").arg(asker, QString::fromLatin1(kClassId));
    const auto isAnswer = [&](const TopicWatcher::Message &m) {
        return m.topic == topic && QJsonDocument::fromJson(m.payload.toUtf8()).object().value("type").toInt() == 604;
    };
    QVERIFY(wire.waitFor(isAnswer, 10000));
    QCOMPARE(wire.on(topic).size(), 1);
    const QJsonObject envelope = QJsonDocument::fromJson(wire.on(topic).first().payload.toUtf8()).object();
    QCOMPARE(envelope.value("sender").toString(), QString::fromLatin1(kStudentId));
    const QJsonObject answer = envelope.value("data").toObject();
    QCOMPARE(answer.value("classid").toString(), QString::fromLatin1(kClassId));
    QCOMPARE(answer.value("uid").toString(), asker);
    QVERIFY(answer.value("speackers").isArray());
    QVERIFY(answer.value("microphones").isArray());
    QVERIFY(answer.value("cameras").isArray());
}

void TestClassroomOrders::backEndOrders_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QJsonObject>("payload");
    QTest::addColumn<QString>("box");   // "title|text" of the message box, empty for none
    QTest::addColumn<QString>("toast"); // the notice after the flag, empty for none
    QTest::addColumn<int>("profile");   // the engine's video profile after it, -1 for unchanged
    const QString me = QString::fromLatin1(kStudentId);
    const QString other = QString::fromLatin1(kClassmateId);
    QTest::newRow("601 box") << 601 << QJsonObject{ { "uid", me }, { "level", 1 }, { "content", "Class ends soon" } }
                             << QStringLiteral("velmo|Class ends soon") << QString() << -1;
    QTest::newRow("601 toast") << 601 << QJsonObject{ { "uid", me }, { "level", 2 }, { "content", "Hello" } } << QString()
                               << QStringLiteral("Hello") << -1;
    QTest::newRow("601 level 3") << 601 << QJsonObject{ { "uid", me }, { "level", 3 }, { "content", "x" } } << QString()
                                 << QString() << -1;
    QTest::newRow("601 other") << 601 << QJsonObject{ { "uid", other }, { "level", 1 }, { "content", "x" } } << QString()
                               << QString() << -1;
    QTest::newRow("602 re-enter") << 602 << QJsonObject{ { "uid", me }, { "type", 2 }, { "alertMsg", "Re-entering" } }
                                  << QString() << QStringLiteral("Re-entering") << -1;
    QTest::newRow("602 restart") << 602 << QJsonObject{ { "uid", me }, { "type", 3 }, { "alertMsg", "Restarting" } }
                                 << QString() << QStringLiteral("Restarting") << -1;
    QTest::newRow("602 type 1") << 602 << QJsonObject{ { "uid", me }, { "type", 1 }, { "alertMsg", "x" } } << QString()
                                << QString() << -1;
    QTest::newRow("602 other") << 602 << QJsonObject{ { "uid", other }, { "type", 2 }, { "alertMsg", "x" } } << QString()
                               << QString() << -1;
    QTest::newRow("605") << 605 << QJsonObject{ { "uid", me }, { "deviceType", 2 }, { "deviceId", "m2" }, { "alertMsg", "New mic" } }
                         << QString() << QStringLiteral("New mic") << -1;
    QTest::newRow("605 other") << 605 << QJsonObject{ { "uid", other }, { "deviceType", 2 }, { "alertMsg", "x" } } << QString()
                               << QString() << -1;
    QTest::newRow("606") << 606 << QJsonObject{ { "uid", me }, { "video_profile", 30 } } << QString() << QString() << 30;
    QTest::newRow("606 other") << 606 << QJsonObject{ { "uid", other }, { "video_profile", 30 } } << QString() << QString()
                               << -1;
    QTest::newRow("606 negative") << 606 << QJsonObject{ { "uid", me }, { "video_profile", -5 } } << QString() << QString()
                                  << -1;
}

void TestClassroomOrders::backEndOrders()
{
    QFETCH(int, type);
    QFETCH(QJsonObject, payload);
    QFETCH(QString, box);
    QFETCH(QString, toast);
    QFETCH(int, profile);
    const int profileBefore = 7;
    QCOMPARE(VideoSDK::instance()->setVideoProfile(profileBefore), 0);
    CourseDialogsRecorder dialogs;
    MessageCatcher log;
    payload.insert(QStringLiteral("classid"), QString::fromLatin1(kClassId));
    QVERIFY(publishOrder(type, payload));
    // Then an order that always shows itself, as a marker that the first
    // one has been handled.
    QVERIFY(publishOrder(601, { { "classid", kClassId }, { "uid", kStudentId }, { "level", 2 }, { "content", "marker" } }));
    const QString flag = text("backendSysFlag");
    QTRY_VERIFY_WITH_TIMEOUT(toastTexts().join('\n').contains(flag + QStringLiteral("marker")), 10000);
    QStringList toasts;
    for (const QString &shown : toastTexts()) {
        if (!shown.contains(QStringLiteral("marker")))
            toasts << shown;
    }
    if (toast.isEmpty()) {
        QVERIFY2(toasts.isEmpty(), qPrintable(toasts.join('|')));
    } else {
        QCOMPARE(toasts.size(), 1);
        // Shown with its countdown from 5 seconds.
        QVERIFY2(toasts.first().startsWith(QStringLiteral("%1%2 (").arg(flag, toast)), qPrintable(toasts.first()));
    }
    // The box shows from the event loop, after the order's slot.
    if (!box.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.boxes.size(), 1, 10000);
    TestUtil::drainEvents();
    QCOMPARE(dialogs.boxes, box.isEmpty() ? QStringList() : QStringList{ box.replace(QStringLiteral("velmo"), text("velmo")) });
    QCOMPARE(VideoSDK::instance()->videoProfile(), profile < 0 ? profileBefore : profile);
    if (payload.value("uid").toString() != QString::fromLatin1(kStudentId) && type == 601)
        QVERIFY(log.has(QtInfoMsg, QStringLiteral("this msg is not send to me.")));
}

bool TestClassroomOrders::waitForDrop(const MessageCatcher &log, int type, const QString &sender)
{
    const QString line = QStringLiteral("class order dropped: type %1 from %2").arg(type).arg(sender);
    QElapsedTimer clock;
    clock.start();
    while (!log.has(QtWarningMsg, line) && clock.elapsed() < 10000)
        QTest::qWait(20);
    return log.has(QtWarningMsg, line);
}

QString TestClassroomOrders::lastAward(const QString &uid) const
{
    UserInfo user;
    m_room->getUserList()->getUserInfoByUid(uid, user);
    return user.lastAwardInfo.award_id;
}

bool TestClassroomOrders::videoWindowOpen() const
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->inherits("StudentVideoPlayerWidget"))
            return true;
    }
    return false;
}

void TestClassroomOrders::teacherOrdersOfOthersAreDropped_data()
{
    QTest::addColumn<QString>("sender");
    QTest::newRow("classmate") << QString::fromLatin1(kClassmateId);
    QTest::newRow("stranger") << QStringLiteral("77777");
}

void TestClassroomOrders::teacherOrdersOfOthersAreDropped()
{
    QFETCH(QString, sender);
    // The classmate sends as its own client does, on every transport; the
    // stranger publishes on the class topic.
    const auto sendAs = [&](int type, const QJsonObject &payload) {
        if (sender == QString::fromLatin1(kClassmateId))
            m_classmate.send(type, payload);
        else
            QVERIFY(publishOrder(type, payload, sender));
    };
    const QString me = QString::fromLatin1(kStudentId);
    WidgetClassMode *classPage = m_room->classWidget();
    QCOMPARE(m_room->currentMode(), classPage);

    // The award page.
    MessageCatcher log;
    sendAs(410, { { "type", 1 }, { "classid", kClassId } });
    QVERIFY(waitForDrop(log, 410, sender));
    QCOMPARE(m_room->currentMode(), classPage);
    m_teacher.send(410, { { "type", 1 }, { "classid", kClassId } });
    QTRY_COMPARE_WITH_TIMEOUT(m_room->currentMode()->getClassMode(), int(WidgetClassMode::PrizeMode), 10000);

    // A prize on the own tile: only the teacher's is kept.
    const QString before = lastAward(me);
    sendAs(405, { { "classid", kClassId }, { "tid", kTeacherId }, { "sids", QJsonArray{ me } }, { "awardid", 3 } });
    QVERIFY(waitForDrop(log, 405, sender));
    QCOMPARE(lastAward(me), before);
    m_teacher.send(405, { { "classid", kClassId }, { "tid", kTeacherId }, { "sids", QJsonArray{ me } }, { "awardid", 2 } });
    QTRY_COMPARE_WITH_TIMEOUT(lastAward(me), QStringLiteral("2"), 10000);
    m_teacher.send(410, { { "type", 0 }, { "classid", kClassId } });
    QTRY_COMPARE_WITH_TIMEOUT(m_room->currentMode(), classPage, 10000);

    // A lesson video: no window opens, the microphone stays as it was.
    const QJsonObject start{ { "type", 5 }, { "classid", kClassId }, { "mid", "m1" }, { "videoid", "v1" },
                             { "video", "http://127.0.0.1:1/v1.mp4" }, { "name", "Video" } };
    sendAs(501, start);
    QVERIFY(waitForDrop(log, 501, sender));
    QVERIFY(!videoWindowOpen());
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("onVideoInit")));
    // The teacher's reaches the student's video control (this class has no
    // such video, so it opens nothing either).
    m_teacher.send(501, start);
    QTRY_VERIFY_WITH_TIMEOUT(log.has(QtInfoMsg, QStringLiteral("onVideoInit")), 10000);
}

void TestClassroomOrders::backEndOrdersOfAClassmateAreDropped()
{
    CourseDialogsRecorder dialogs;
    MessageCatcher log;
    TopicWatcher wire;
    QVERIFY(wire.start(m_broker.port()));
    const QString me = QString::fromLatin1(kStudentId);
    const QString classmate = QString::fromLatin1(kClassmateId);
    // A classmate's re-entry, notice and device requests, published on the
    // class topic in its own name (its client has no such message to
    // send): nothing shown, nothing answered.
    QVERIFY(publishOrder(602, { { "classid", kClassId }, { "type", 2 }, { "uid", me }, { "alertMsg", "Leave now" } }, classmate));
    QVERIFY(waitForDrop(log, 602, classmate));
    QVERIFY(publishOrder(601, { { "classid", kClassId }, { "uid", me }, { "level", 1 }, { "content", "Boo" } }, classmate));
    QVERIFY(waitForDrop(log, 601, classmate));
    for (int i = 0; i < 20; ++i)
        QVERIFY(publishOrder(603, { { "classid", kClassId }, { "uid", me } }, classmate));
    QTRY_COMPARE_WITH_TIMEOUT(log.count(QtWarningMsg, QStringLiteral("class order dropped: type 603 from %1").arg(classmate)), 20, 10000);
    QVERIFY(toastTexts().isEmpty());
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("<switchDevice> before send msg")));
    // The back end's own request is answered, to the back end.
    QVERIFY(publishOrder(603, { { "classid", kClassId }, { "uid", kStudentId } }, QStringLiteral("90001")));
    const QString topic = QStringLiteral("tp/velmo/signal/p2p/90001/channel/%1").arg(QString::fromLatin1(kClassId));
    QVERIFY(wire.waitFor([&](const TopicWatcher::Message &m) { return m.topic == topic; }, 10000));
    // Nothing went to the classmate's topic.
    QVERIFY(wire.on(QStringLiteral("tp/velmo/signal/p2p/%1/channel/%2").arg(classmate, QString::fromLatin1(kClassId))).isEmpty());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestClassroomOrders)
#include "tst_classroomorders.moc"
