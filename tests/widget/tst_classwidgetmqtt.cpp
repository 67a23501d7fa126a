// The class page's MQTT session against a real broker: joining after each
// login, logging in again after a failed login or a lost connection, and
// leaving the class.

#include "messagecatcher.h"
#include "mosquittobroker.h"
#include "scopedtimescale.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/appcontext.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "widget/classwidget.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestClassWidgetMqtt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reloginUntilTheBrokerAnswers();
    void reloginAfterConnectionLost();
    void leavingTheClassEndsTheSession();
    void reEntryWaitsForTheLogout();
    void reEntryGoesOnAfterARefusedLogout();

private:
    bool inClass(QSignalSpy &joined, int count);

    // The 2000 ms re-login pause in 50 ms.
    ScopedTimeScale m_fast{ 0.025 };
    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
};

void TestClassWidgetMqtt::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    Singleton<AppContext>::instance()->setClassId(QStringLiteral("10001"));
    MqttImSdk::instance()->init(user.id);
}

bool TestClassWidgetMqtt::inClass(QSignalSpy &joined, int count)
{
    for (int i = 0; i < 100 && joined.count() < count; ++i)
        joined.wait(100);
    return joined.count() == count && MqttImSdk::instance()->isInChannel();
}

void TestClassWidgetMqtt::reloginUntilTheBrokerAnswers()
{
    MessageCatcher log;
    m_broker.stop();
    ClassWidget page;
    QSignalSpy failed(MqttImSdk::instance(), &MqttImSdk::signal_loginFailure);
    QSignalSpy joined(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    page.loginIM(QStringLiteral("sig-key"));
    QTRY_VERIFY_WITH_TIMEOUT(failed.count() >= 2, 10000);
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("relogin 2000 milliseconds later")));
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("start mqtt relogin")));

    QVERIFY(m_broker.start());
    QVERIFY(inClass(joined, 2));
    QCOMPARE(joined.first().at(0).toString(), QStringLiteral("10001"));
    page.destoryMode();
}

void TestClassWidgetMqtt::reloginAfterConnectionLost()
{
    MessageCatcher log;
    ClassWidget page;
    QSignalSpy joined(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    page.loginIM(QStringLiteral("sig-key"));
    QVERIFY(inClass(joined, 2));

    QSignalSpy lost(MqttImSdk::instance(), &MqttImSdk::signal_connectionLost);
    m_broker.stop();
    QVERIFY(lost.wait(10000));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("connect lost, cause:")));
    QVERIFY(m_broker.start());
    // Joined again on the new connection: the broker forgot the old one's
    // subscriptions.
    QVERIFY(inClass(joined, 4));
    page.destoryMode();
}

void TestClassWidgetMqtt::leavingTheClassEndsTheSession()
{
    ClassWidget page;
    QSignalSpy joined(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    QSignalSpy loggedOut(MqttImSdk::instance(), &MqttImSdk::signal_logoutSuccess);
    QSignalSpy reEnter(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_reEnter);
    page.loginIM(QStringLiteral("sig-key"));
    QVERIFY(inClass(joined, 2));
    page.destoryMode();
    QVERIFY(loggedOut.wait(5000));
    QVERIFY(!MqttImSdk::instance()->isConnected());
    // A plain leave is no re-entry.
    QCOMPARE(reEnter.count(), 0);
}

void TestClassWidgetMqtt::reEntryWaitsForTheLogout()
{
    ClassWidget page;
    QSignalSpy joined(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    QSignalSpy reEnter(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_reEnter);
    page.loginIM(QStringLiteral("sig-key"));
    QVERIFY(inClass(joined, 2));
    SignalQueueMgr::instance()->signalLogoutMqttToReEnterClassroom();
    QCOMPARE(reEnter.count(), 0);
    QVERIFY(reEnter.wait(5000));
    QVERIFY(!MqttImSdk::instance()->isConnected());
}

void TestClassWidgetMqtt::reEntryGoesOnAfterARefusedLogout()
{
    ClassWidget page;
    QSignalSpy joined(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    QSignalSpy reEnter(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_reEnter);
    page.loginIM(QStringLiteral("sig-key"));
    QVERIFY(inClass(joined, 2));
    // The logout waits for the leave's requests; meanwhile the broker goes
    // and the library sees it go, so it refuses the disconnect at once.
    MessageCatcher log;
    SignalQueueMgr::instance()->signalLogoutMqttToReEnterClassroom();
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("connectMqtt: logout waits for")));
    m_broker.stop();
    // The GUI thread does not run meanwhile: the logout is still waiting.
    QDeadlineTimer deadline(10000);
    while (MqttImSdk::instance()->isConnected() && !deadline.hasExpired())
        QThread::msleep(5);
    QVERIFY(!MqttImSdk::instance()->isConnected());

    QVERIFY(reEnter.wait(5000));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("MQTTAsync_disconnect, errCode:")));
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("<reEnterClassroom> logout mqtt failure")));
    QCOMPARE(reEnter.count(), 1);
    QVERIFY(m_broker.start());
    page.destoryMode();
}

QTEST_MAIN(TestClassWidgetMqtt)
#include "tst_classwidgetmqtt.moc"
