// The student's classroom window in a real class: a teacher in a process
// of its own and the service's back end over a real broker. The window
// follows the teacher's mode, obeys the teacher's microphone orders on the
// engine and on its own tile, answers a device request to the asker alone,
// and shows the back end's notices and applies its video profile, each
// only when it is the addressee.

#include "classroompeerprocess.h"
#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "mosquittobroker.h"
#include "topicwatcher.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/translatelanguage.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/classwidget.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"

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
    void cleanup();

    void followsTheTeachersMode();
    void microphoneOrdersReachTheEngineAndTheOwnTile();
    void deviceRequestIsAnsweredToTheAsker();
    void backEndOrders_data();
    void backEndOrders();

private:
    // Publishes an order on the class topic as the service's back end does,
    // in the name of sender.
    bool publishOrder(int type, const QJsonObject &payload, const QString &sender = QStringLiteral("console"));
    int modeMessagesSent() const;
    QStringList toastTexts() const;
    static QString text(const char *key) { return Translatelanguage::instance()->getText(QString::fromLatin1(key)); }

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    ClassroomPeerProcess m_teacher;
    QPointer<WidgetClassRoom> m_room;
    int m_sequence = 0;
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
}

void TestClassroomOrders::cleanupTestCase()
{
    QVERIFY(m_teacher.finish());
    delete m_room;
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
    const QJsonObject envelope{ { "version", 2 }, { "sequence", m_sequence++ }, { "type", type }, { "src", 2 },
                                { "sender", sender }, { "uuid", QUuid::createUuid().toString(QUuid::WithoutBraces) },
                                { "data", payload } };
    const QString topic = QStringLiteral("tp/velmo/signal/channel/%1/message").arg(QString::fromLatin1(kClassId));
    return TopicWatcher::publish(m_broker.port(), topic,
                                 QString::fromUtf8(QJsonDocument(envelope).toJson(QJsonDocument::Compact)));
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
    const int mark = m_teacher.lineCount();
    // The back end asks in the teacher's name. Asked for another student:
    // no answer.
    const QString asker = QString::fromLatin1(kTeacherId);
    QVERIFY(publishOrder(603, { { "classid", kClassId }, { "uid", kClassmateId } }, asker));
    // A numeric uid is the same participant.
    QVERIFY(publishOrder(603, { { "classid", kClassId }, { "uid", 20001 } }, asker));
    const QString prefix = QStringLiteral("recv signal_receiveResponseDeviceInfo %1 ").arg(QString::fromLatin1(kStudentId));
    QVERIFY(m_teacher.waitForLine([&](const QString &line) { return line.startsWith(prefix); }, 10000, mark));
    const QStringList answers = m_teacher.linesStartingWith(prefix);
    QCOMPARE(answers.size(), 1);
    const QJsonObject answer = QJsonDocument::fromJson(answers.first().mid(prefix.size()).toUtf8()).object();
    QCOMPARE(answer.value("classid").toString(), QString::fromLatin1(kClassId));
    QCOMPARE(answer.value("uid").toString(), QString::fromLatin1(kTeacherId));
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
    QCOMPARE(dialogs.boxes, box.isEmpty() ? QStringList() : QStringList{ box.replace(QStringLiteral("velmo"), text("velmo")) });
    QCOMPARE(VideoSDK::instance()->videoProfile(), profile < 0 ? profileBefore : profile);
    if (payload.value("uid").toString() != QString::fromLatin1(kStudentId) && type == 601)
        QVERIFY(log.has(QtInfoMsg, QStringLiteral("this msg is not send to me.")));
}

QTEST_MAIN(TestClassroomOrders)
#include "tst_classroomorders.moc"
