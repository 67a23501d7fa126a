// The class page's signalling session against a real broker: a lost
// connection that the signalling library cannot restore ends the session,
// and the page logs in again every 2000 ms (one "sig_relogin" record each
// time) until the broker answers, then joins the class channel again.

#include "actionlogreader.h"
#include "messagecatcher.h"
#include "mosquittobroker.h"
#include "scopedtimescale.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/appcontext.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "utility/actionlog.h"
#include "widget/classwidget.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestClassWidgetSignalling : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signallingReloginEvery2000ms();

private:
    QVector<ActionLogReader::Record> loginAttempts(int from) const;

    // The 2000 ms re-login pause in 100 ms.
    static constexpr double kScale = 0.05;
    ScopedTimeScale m_fast{ kScale };
    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    ActionLogReader m_actions;
};

void TestClassWidgetSignalling::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    QVERIFY(ActionLog::instance()->init(m_actions.use(m_dir.filePath(QStringLiteral("signalling.action.log")))));
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    Singleton<AppContext>::instance()->setClassId(QStringLiteral("10001"));
    // As the program starts them.
    AgoraIMSdk::instance()->init();
    MqttImSdk::instance()->init(user.id);
}

QVector<ActionLogReader::Record> TestClassWidgetSignalling::loginAttempts(int from) const
{
    return m_actions.named(QStringLiteral("sig_login_start")).mid(from);
}

void TestClassWidgetSignalling::signallingReloginEvery2000ms()
{
    ClassWidget page;
    QSignalSpy joined(AgoraIMChannelMgr::instance(), &AgoraIMChannelMgr::signal_onChannelJoined);
    QSignalSpy lost(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onDisconnected);
    page.loginIM(QStringLiteral("sig-key"));
    QTRY_COMPARE_WITH_TIMEOUT(joined.count(), 1, 10000);
    QCOMPARE(joined.first().at(0).toString(), QStringLiteral("10001"));

    // The broker goes away: the library tries to restore the connection
    // five times (about 7.5 s), then ends the session and reports the loss.
    MessageCatcher log;
    const int attemptsBefore = m_actions.named(QStringLiteral("sig_login_start")).size();
    const int reloginsBefore = m_actions.named(QStringLiteral("sig_relogin")).size();
    m_broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(lost.count() >= 1, 20000);
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("slot_onDisconnected ecode:102")));
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("relogin 2000 milliseconds later")));

    // Every failed login is tried again after the pause, never sooner.
    QTRY_VERIFY_WITH_TIMEOUT(loginAttempts(attemptsBefore).size() >= 4, 20000);
    const QVector<ActionLogReader::Record> attempts = loginAttempts(attemptsBefore);
    const qint64 pause = qint64(2000 * kScale);
    for (int i = 1; i < attempts.size(); ++i) {
        const qint64 gap = attempts.at(i).atMs - attempts.at(i - 1).atMs;
        // A coarse timer may fire a little early; a busy machine late.
        QVERIFY2(gap >= pause * 95 / 100 && gap <= pause + 3000,
                 qPrintable(QStringLiteral("attempt %1 came %2 ms after the one before").arg(i).arg(gap)));
    }
    const QVector<ActionLogReader::Record> relogins = m_actions.named(QStringLiteral("sig_relogin")).mid(reloginsBefore);
    QVERIFY(relogins.size() >= attempts.size());
    QCOMPARE(relogins.last().info, QStringLiteral("{uid:20001}"));
    QVERIFY(log.count(QtWarningMsg, QStringLiteral("start agora im relogin")) >= attempts.size());

    // Back: logged in and in the class channel again.
    QVERIFY(m_broker.start());
    QTRY_COMPARE_WITH_TIMEOUT(joined.count(), 2, 20000);
    QCOMPARE(joined.last().at(0).toString(), QStringLiteral("10001"));
    page.destoryMode();
}

QTEST_MAIN(TestClassWidgetSignalling)
#include "tst_classwidgetsignalling.moc"
