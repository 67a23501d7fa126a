// The observer's classroom in a real class over a real broker, the teacher
// in a process of its own: the observer watches and never draws, erases or
// speaks, whatever the teacher's presence in the RTC channel does (a
// student's page gives its pen back when the teacher leaves) and whatever
// the teacher orders.

#include "classroompeerprocess.h"
#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/message/classordergate.h"
#include "platform/rtc/rtctesthooks.h"
#include "widget/student/supervisionclasswidget.h"
#include "widget/supervisionclass.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetwhiteboard.h"

#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ClassroomTestSupport;

class TestObserverClass : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void neverDrawsNorSpeaks();

private:
    // Empty when the observer can neither draw, erase nor be heard; else
    // what it could.
    QString whatTheObserverCan() const;

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    QPointer<WidgetClassRoom> m_room;
};

void TestObserverClass::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    signInStudent();
    SupervisionClass::analysisSupervisionParameter(
        QStringLiteral("velmo://supervisionClass/?token=supervisor-token&classId=10001"));
    QVERIFY(SupervisionClass::getSupervisionClassFlag());
    // As the program starts them.
    AgoraIMSdk::instance()->init();
    VideoSDK::instance()->init();
    MqttImSdk::instance()->init(QString::fromLatin1(kStudentId));

    QSignalSpy mqttIn(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    QSignalSpy rtcIn(VideoSDK::instance(), &VideoSDK::signal_joinVideoChannelSuccess);
    m_room = new WidgetClassRoom;
    QVERIFY(qobject_cast<SupervisionClassWidget *>(m_room->classWidget()));
    m_room->startClass(classInfo());
    QTRY_VERIFY_WITH_TIMEOUT(mqttIn.count() >= 1 && rtcIn.count() >= 1, 15000);
}

void TestObserverClass::cleanupTestCase()
{
    delete m_room;
}

QString TestObserverClass::whatTheObserverCan() const
{
    QStringList can;
    for (const char *name : { "btnPen", "btnErase", "btnColor" }) {
        auto *button = m_room->classWidget()->findChild<QPushButton *>(QString::fromLatin1(name));
        if (!button || button->isEnabled())
            can << QString::fromLatin1(name);
    }
    if (m_room->classWidget()->getWhiteBoard()->isPenOn())
        can << QStringLiteral("pen on");
    const QJsonValue muted = RtcTestHooks::parameter(VideoSDK::instance()->getRtcEngine(), QStringLiteral("rtc.audio.mute_me"));
    if (!muted.toBool(false))
        can << QStringLiteral("microphone");
    return can.join(QLatin1Char(' '));
}

void TestObserverClass::neverDrawsNorSpeaks()
{
    QCOMPARE(whatTheObserverCan(), QString());
    QSignalSpy joined(VideoSDK::instance(), &VideoSDK::signal_UserJoined);
    QSignalSpy left(VideoSDK::instance(), &VideoSDK::signal_UserOffline);
    QSignalSpy ordered(ClassOrderGate::instance(), &ClassOrderGate::signal_receiveFunctionControl);
    const QString teacher = QString::fromLatin1(kTeacherId);
    const QString me = QString::fromLatin1(kStudentId);

    for (int round = 0; round < 2; ++round) {
        // The teacher comes (back) ...
        ClassroomPeerProcess teacherPeer;
        QVERIFY(teacherPeer.start(ClassroomPeerProcess::Teacher, teacher, QString::fromLatin1(kClassId)));
        QTRY_VERIFY_WITH_TIMEOUT(joined.contains(QVariantList{ teacher }), 15000);
        joined.clear();
        TestUtil::drainEvents();
        QCOMPARE(whatTheObserverCan(), QString());
        // ... gives the pen and the microphone, which the observer's page
        // takes as a student's would ...
        ordered.clear();
        teacherPeer.send(402, { { "classid", kClassId }, { "type", 9 }, { "uid", me }, { "enabled", 1 } }, me);
        QTRY_VERIFY_WITH_TIMEOUT(ordered.count() >= 1, 10000);
        TestUtil::drainEvents();
        QCOMPARE(whatTheObserverCan(), QString());
        // ... and leaves: the student's page gives its pen back then.
        QVERIFY(teacherPeer.quit());
        QTRY_VERIFY_WITH_TIMEOUT(left.contains(QVariantList{ teacher }), 15000);
        left.clear();
        TestUtil::drainEvents();
        QCOMPARE(whatTheObserverCan(), QString());
    }
}

QTEST_MAIN(TestObserverClass)
#include "tst_observerclass.moc"
