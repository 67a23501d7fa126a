// The signalling client and its login, channel and message managers, on
// our signalling library over a real broker; the other side of the class is
// a second library object in this process.

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/agoramsgmgr.h"
#include "mgr/singleton.h"
#include "mosquittobroker.h"
#include "platform/signalling/signaltesthooks.h"
#include "signallingclient.h"
#include "utility/actionlog.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>
#include <vector>

using namespace agora_sdk_win;

namespace {

const int kWaitMs = 10000;
const QString kStudent = QStringLiteral("20001");
const QString kTeacher = QStringLiteral("30001");
const QString kClass = QStringLiteral("10001");
const QString kKey = QStringLiteral("sig-key-of-class");

// The library's callbacks log on its own thread, so the lines are caught
// under a lock (MessageCatcher is for the GUI thread only).
QMutex s_logMutex;
QStringList s_logLines;
QtMessageHandler s_previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker locker(&s_logMutex);
        s_logLines.append(message);
    }
    if (type == QtFatalMsg && s_previousHandler)
        s_previousHandler(type, context, message);
}

QStringList logLines()
{
    QMutexLocker locker(&s_logMutex);
    return s_logLines;
}

bool logged(const QString &line)
{
    return logLines().contains(line);
}

void clearLog()
{
    QMutexLocker locker(&s_logMutex);
    s_logLines.clear();
}

} // namespace

class TestAgoraSignalling : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    // Before anything has logged in.
    void loginFailureBeforeAnySuccess();

    // AgoraIMSdk
    void initAgainKeepsTheLibraryObject();
    void callbackGuards();
    void textsAreReadUpToTheirLength_data();
    void textsAreReadUpToTheirLength();
    void queuedTextsAreCopies();
    void destructionStopsAndJoinsTheNetworkThread();

    // AgoraLoginMgr
    void loginSuccess();
    void logoutCodes_data();
    void logoutCodes();
    void normalLogoutAndKick();
    void lostConnectionReconnectsOrDisconnects();
    void uidBeyondSignedRange();

    // AgoraIMChannelMgr
    void joinFailsWhenNotLoggedIn();
    void joinLeaveAndMembers();
    void joinedCallbackForAnotherChannelReplacesIt();

    // AgoraMsgMgr
    void sendsRefusedOutsideAChannel();
    void channelAndPeerSendsAndReceives();
    void failedMessageIsResentUnderItsId();
    void resendRefusals();

private:
    bool loginStudent(const QString &account = kStudent);
    bool enterClass();
    QStringList records() const;
    bool hasRecord(const QString &kind, const QString &name, const QString &info) const;

    QTemporaryDir m_dir;
    QString m_actionLogPath;
    MosquittoBroker m_broker;
    std::unique_ptr<SignallingClient> m_teacher;
};

void TestAgoraSignalling::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    m_actionLogPath = m_dir.filePath(QStringLiteral("test.action.log"));
    QVERIFY(ActionLog::instance()->init(m_actionLogPath));
    s_previousHandler = qInstallMessageHandler(captureMessage);

    AgoraIMSdk::instance()->init();
    QVERIFY(AgoraIMSdk::instance()->getAgoraAPI());
    QTRY_VERIFY_WITH_TIMEOUT(logged("begin runAgoraNetworkThread"), kWaitMs);

    m_teacher = std::make_unique<SignallingClient>(m_broker.host(), m_broker.port(), AgoraIMSdk::getAppId());
    m_teacher->login(kTeacher);
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("loginSuccess 30001"), kWaitMs);
    m_teacher->enterChannel(kClass);
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("joined 10001"), kWaitMs);
}

void TestAgoraSignalling::init()
{
    // Callbacks played by hand may have left a channel joined: leave it,
    // and let the library's answer pass before the test starts.
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    if (channels->isInChannel()) {
        QSignalSpy left(channels, &AgoraIMChannelMgr::signal_onChannelLeaved);
        channels->leaveChannel();
        QVERIFY(left.wait(kWaitMs));
    }
    clearLog();
    m_teacher->clearEvents();
}

void TestAgoraSignalling::cleanupTestCase()
{
    m_teacher.reset();
    clearLog();
    // As at the end of main(): the network thread ends before its owner.
    releaseSingletons();
    QVERIFY(logged("end runAgoraNetworkThread"));
    qInstallMessageHandler(s_previousHandler);
    ActionLog::instance()->close();
}

QStringList TestAgoraSignalling::records() const
{
    QFile file(m_actionLogPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool TestAgoraSignalling::hasRecord(const QString &kind, const QString &name, const QString &info) const
{
    for (const QString &line : records()) {
        if (line.startsWith(kind + QLatin1Char(',')) && line.endsWith(QLatin1Char(',') + name + QLatin1Char(',') + info))
            return true;
    }
    return false;
}

bool TestAgoraSignalling::loginStudent(const QString &account)
{
    QSignalSpy success(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onLoginSuccess);
    AgoraLoginMgr::instance()->login(account, kKey);
    return success.wait(kWaitMs) || success.count() > 0;
}

bool TestAgoraSignalling::enterClass()
{
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    if (channels->isInChannel())
        return true;
    QSignalSpy joined(channels, &AgoraIMChannelMgr::signal_onChannelJoined);
    channels->joinChannel(kClass);
    return joined.wait(kWaitMs) || joined.count() > 0;
}

// --- AgoraIMSdk ------------------------------------------------------------

void TestAgoraSignalling::initAgainKeepsTheLibraryObject()
{
    AgoraIMSdk *sdk = AgoraIMSdk::instance();
    SignalApi *api = sdk->getAgoraAPI();
    QCOMPARE(sdk->qt_metacast("agora_sdk_win::ICallBack"), static_cast<void *>(static_cast<ICallBack *>(sdk)));
    QCOMPARE(sdk->qt_metacast("AgoraIMSdk"), static_cast<void *>(sdk));
    // The restart loop runs every manager's init again.
    sdk->init();
    QVERIFY(logged("agoraAPI is already inited"));
    QCOMPARE(sdk->getAgoraAPI(), api);

    // Still one connection per signal: one outcome, once.
    QSignalSpy success(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onLoginSuccess);
    QSignalSpy received(AgoraMsgMgr::instance(), &AgoraMsgMgr::signal_onMessagePeerReceive);
    sdk->onLoginSuccess(20001, 1);
    sdk->onMessageInstantReceive("30001", 5, 30001, "hi", 2);
    QCOMPARE(success.count(), 1);
    QCOMPARE(received.count(), 1);
}

void TestAgoraSignalling::callbackGuards()
{
    AgoraIMSdk *sdk = AgoraIMSdk::instance();
    QSignalSpy joined(sdk, &AgoraIMSdk::signal_onChannelJoined);
    QSignalSpy userJoined(sdk, &AgoraIMSdk::signal_onChannelUserJoined);
    QSignalSpy sendOk(sdk, &AgoraIMSdk::signal_onMessageSendSuccess);
    QSignalSpy channelText(sdk, &AgoraIMSdk::signal_onMessageChannelReceive);

    sdk->onChannelJoined(nullptr, 5);
    QVERIFY(logged("channleId is null"));
    sdk->onChannelUserJoined(nullptr, 5, 1);
    QVERIFY(logged("account is null"));
    sdk->onMessageSendSuccess(nullptr, 3);
    sdk->onMessageChannelReceive("10001", 5, "30001", 5, 30001, nullptr, 3);
    QCOMPARE(joined.count() + userJoined.count() + sendOk.count() + channelText.count(), 0);

    // Only null is refused: an empty account still travels.
    sdk->onMessageChannelReceive("10001", 5, "", 0, 0, "text", 4);
    QCOMPARE(channelText.count(), 1);
    QCOMPARE(channelText.at(0).at(1).toString(), QString());
    QCOMPARE(channelText.at(0).at(2).toString(), QStringLiteral("text"));

    sdk->onError("net", 3, 7, nullptr, 0);
    QVERIFY(logged("onError"));
    sdk->onError("net", 3, 7, "broken", 6);
    QVERIFY(logged("agora:onError, name:net, ecode:7, desc:broken"));
}

void TestAgoraSignalling::textsAreReadUpToTheirLength_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no NUL within the length") << QByteArray("10001", 5) << 5 << "10001";
    QTest::newRow("shorter length than the bytes") << QByteArray("10001XYZ", 8) << 5 << "10001";
    QTest::newRow("NUL before the length") << QByteArray("100\0XYZ", 7) << 7 << "100";
    QTest::newRow("zero length") << QByteArray("abc", 3) << 0 << "";
    QTest::newRow("multi-byte UTF-8") << QByteArray("课堂") << 6 << QStringLiteral("课堂");
}

void TestAgoraSignalling::textsAreReadUpToTheirLength()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, length);
    QFETCH(QString, expected);
    // A buffer of exactly the given bytes, with nothing after them.
    std::vector<char> buffer(bytes.constData(), bytes.constData() + bytes.size());
    QSignalSpy joined(AgoraIMSdk::instance(), &AgoraIMSdk::signal_onChannelJoined);
    AgoraIMSdk::instance()->onChannelJoined(buffer.data(), size_t(length));
    QCOMPARE(joined.count(), 1);
    QCOMPARE(joined.at(0).at(0).toString(), expected);
}

void TestAgoraSignalling::queuedTextsAreCopies()
{
    QSignalSpy received(AgoraMsgMgr::instance(), &AgoraMsgMgr::signal_onMessageChannelReceive);
    // From a library thread, with a buffer that is gone once the call returns.
    std::thread library([]() {
        char channel[] = "10001";
        char account[] = "30001";
        char msg[] = "{\"type\":300}";
        AgoraIMSdk::instance()->onMessageChannelReceive(channel, 5, account, 5, 30001, msg, sizeof(msg) - 1);
        std::fill(std::begin(msg), std::end(msg), 'X');
        std::fill(std::begin(channel), std::end(channel), 'X');
    });
    library.join();
    QVERIFY(received.wait(kWaitMs));
    QCOMPARE(received.at(0), (QVariantList { kClass, kTeacher, QStringLiteral("{\"type\":300}") }));
}

void TestAgoraSignalling::destructionStopsAndJoinsTheNetworkThread()
{
    auto *sdk = new AgoraIMSdk;
    sdk->initAgora();
    QVERIFY(sdk->getAgoraAPI());
    QVERIFY(sdk->getAgoraAPI() != AgoraIMSdk::instance()->getAgoraAPI());
    QTRY_COMPARE_WITH_TIMEOUT(logLines().count("begin runAgoraNetworkThread"), 1, kWaitMs);
    // A QThread deleted while running would abort the process here.
    delete sdk;
    QCOMPARE(logLines().count("end runAgoraNetworkThread"), 1);
}

// --- AgoraLoginMgr -----------------------------------------------------------

void TestAgoraSignalling::loginFailureBeforeAnySuccess()
{
    QSignalSpy failed(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onLoginFailed);
    QSignalSpy network(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_networkStatusChanged);
    AgoraLoginMgr::instance()->login(QStringLiteral("20/01"), kKey);
    QVERIFY(failed.wait(kWaitMs));
    QCOMPARE(failed.at(0).at(0).toInt(), int(LOGIN_E_ACCOUNT));
    QVERIFY(network.isEmpty());
    QVERIFY(hasRecord("normal", "sig_login_start", "{uid:20/01}"));
    // No login has succeeded yet: the uid is empty.
    QVERIFY(hasRecord("error", "sig_login_failure", QStringLiteral("{uid:, code:%1}").arg(LOGIN_E_ACCOUNT)));
    QVERIFY(logged(QStringLiteral("actionError -> actionName:sig_login_failure, actionInfo:{uid:, code:%1}")
                       .arg(LOGIN_E_ACCOUNT)));
}

void TestAgoraSignalling::loginSuccess()
{
    QSignalSpy success(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onLoginSuccess);
    QSignalSpy network(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_networkStatusChanged);
    AgoraLoginMgr::instance()->login(kStudent, kKey);
    QVERIFY(success.wait(kWaitMs));
    QCOMPARE(success.at(0).at(0).value<uint32_t>(), uint32_t(20001));
    QCOMPARE(network.count(), 1);
    QCOMPARE(network.at(0).at(0).toBool(), true);
    QVERIFY(hasRecord("normal", "sig_login_start", "{uid:20001}"));
    QVERIFY(hasRecord("normal", "sig_login_success", "{uid:20001}"));
    QVERIFY(logged("slot_onLoginSuccess, uid_:20001"));
    // The class's key opens the class: it is not written to the log.
    QVERIFY(logged(QStringLiteral("im:login uid:20001, token:****(%1)").arg(kKey.size())));
    for (const QString &line : logLines())
        QVERIFY2(!line.contains(kKey), qPrintable(line));
}

void TestAgoraSignalling::logoutCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("normal") << 101 << QStringList { "normal" };
    QTest::newRow("kicked") << 103 << QStringList { "kicked" };
    QTest::newRow("lost") << 102 << QStringList { "disconnected 102", "network false" };
    QTest::newRow("zero") << 0 << QStringList { "disconnected 0", "network false" };
}

void TestAgoraSignalling::logoutCodes()
{
    QFETCH(int, code);
    QFETCH(QStringList, expected);
    AgoraLoginMgr *mgr = AgoraLoginMgr::instance();
    QStringList emitted;
    QObject guard;
    connect(mgr, &AgoraLoginMgr::signal_onNormalLogut, &guard, [&]() { emitted << "normal"; });
    connect(mgr, &AgoraLoginMgr::signal_onKicked, &guard, [&]() { emitted << "kicked"; });
    connect(mgr, &AgoraLoginMgr::signal_onDisconnected, &guard,
            [&](int ecode) { emitted << QStringLiteral("disconnected %1").arg(ecode); });
    connect(mgr, &AgoraLoginMgr::signal_networkStatusChanged, &guard,
            [&](bool connected) { emitted << QStringLiteral("network %1").arg(connected ? "true" : "false"); });
    mgr->slot_onLogout(code);
    QCOMPARE(emitted, expected);
    QVERIFY(hasRecord("normal", "sig_login_logout", QStringLiteral("{uid:20001, code:%1}").arg(code)));
}

void TestAgoraSignalling::normalLogoutAndKick()
{
    QVERIFY(loginStudent());
    QSignalSpy normal(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onNormalLogut);
    AgoraLoginMgr::instance()->logout();
    QVERIFY(normal.wait(kWaitMs));
    QVERIFY(logged("im:logout"));
    QVERIFY(logged("normal logout"));

    // The same account logs in elsewhere.
    QVERIFY(loginStudent());
    QSignalSpy kicked(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onKicked);
    QSignalSpy disconnected(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onDisconnected);
    SignallingClient elsewhere(m_broker.host(), m_broker.port(), AgoraIMSdk::getAppId());
    elsewhere.login(kStudent);
    QVERIFY(kicked.wait(kWaitMs));
    QVERIFY(logged("kicked by someone else"));
    QVERIFY(hasRecord("normal", "sig_login_logout", "{uid:20001, code:103}"));
    QVERIFY(disconnected.isEmpty());
}

void TestAgoraSignalling::lostConnectionReconnectsOrDisconnects()
{
    QVERIFY(loginStudent());
    SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI();
    QVERIFY(SignalTestHooks::loseConnection(api, true));
    QTRY_VERIFY_WITH_TIMEOUT(logged("slot_onReconnecting nretry:1"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(logLines().filter(QRegularExpression("^slot_onReconnecting slot_onReconnected, fd:\\d+$"))
                                 .size() == 1,
                             kWaitMs);
    QVERIFY(logged("onReconnecting nretry:1"));

    QSignalSpy disconnected(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onDisconnected);
    QSignalSpy network(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_networkStatusChanged);
    QVERIFY(SignalTestHooks::loseConnection(api, false));
    QVERIFY(disconnected.wait(kWaitMs));
    QCOMPARE(disconnected.at(0).at(0).toInt(), int(LOGOUT_E_NET));
    QCOMPARE(network.count(), 1);
    QCOMPARE(network.at(0).at(0).toBool(), false);
    QVERIFY(logged("disconnected"));
}

void TestAgoraSignalling::uidBeyondSignedRange()
{
    QVERIFY(loginStudent(QStringLiteral("3000000000")));
    QVERIFY(hasRecord("normal", "sig_login_success", "{uid:3000000000}"));
    QVERIFY(logged("slot_onLoginSuccess, uid_:-1294967296"));
    QSignalSpy failed(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onLoginFailed);
    AgoraLoginMgr::instance()->slot_onLoginFailed(7);
    QVERIFY(hasRecord("error", "sig_login_failure", "{uid:3000000000, code:7}"));
    QSignalSpy normal(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onNormalLogut);
    AgoraLoginMgr::instance()->logout();
    QVERIFY(normal.wait(kWaitMs));
}

// --- AgoraIMChannelMgr ---------------------------------------------------------

void TestAgoraSignalling::joinFailsWhenNotLoggedIn()
{
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    QSignalSpy failed(channels, &AgoraIMChannelMgr::signal_onChannelJoinFailed);
    channels->joinChannel(kClass);
    QVERIFY(failed.wait(kWaitMs));
    QCOMPARE(failed.at(0), (QVariantList { kClass, int(CHANNEL_E_NOT_LOGGED_IN) }));
    QVERIFY(!channels->isInChannel());
    QVERIFY(hasRecord("normal", "sig_joinchannel", "{channelid:10001}"));
    QVERIFY(hasRecord("error", "sig_joinchannel_failure",
                      QStringLiteral("{channelid:10001, code:%1}").arg(CHANNEL_E_NOT_LOGGED_IN)));
    QVERIFY(logged(QStringLiteral("im:slot_onChannelJoinFailed channleId:10001,ecode:%1").arg(CHANNEL_E_NOT_LOGGED_IN)));
}

void TestAgoraSignalling::joinLeaveAndMembers()
{
    QVERIFY(loginStudent());
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    QSignalSpy joined(channels, &AgoraIMChannelMgr::signal_onChannelJoined);
    QSignalSpy userJoined(channels, &AgoraIMChannelMgr::signal_onChannelUserJoined);
    channels->joinChannel(kClass);
    // Joined only once the library says so.
    QVERIFY(!channels->isInChannel());
    QVERIFY(joined.wait(kWaitMs));
    QCOMPARE(joined.at(0).at(0).toString(), kClass);
    QVERIFY(channels->isInChannel());
    QCOMPARE(channels->getChannelId(), kClass);
    QVERIFY(hasRecord("normal", "sig_joinchannel_success", "{channelid:10001}"));
    // The teacher was there first.
    QTRY_VERIFY_WITH_TIMEOUT(!userJoined.isEmpty(), kWaitMs);
    QCOMPARE(userJoined.at(0).at(0).toString(), kTeacher);
    QVERIFY(hasRecord("normal", "rtc_ChannelUserJoined", "uid=30001"));
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("userJoined 20001 20001"), kWaitMs);

    // A classmate comes and goes.
    QSignalSpy userLeft(channels, &AgoraIMChannelMgr::signal_onChannelUserLeaved);
    {
        SignallingClient classmate(m_broker.host(), m_broker.port(), AgoraIMSdk::getAppId());
        classmate.login("20002");
        QTRY_VERIFY_WITH_TIMEOUT(classmate.hasEvent("loginSuccess 20002"), kWaitMs);
        classmate.enterChannel(kClass);
        QTRY_VERIFY_WITH_TIMEOUT(userJoined.count() == 2, kWaitMs);
        QCOMPARE(userJoined.at(1).at(0).toString(), QStringLiteral("20002"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!userLeft.isEmpty(), kWaitMs);
    QCOMPARE(userLeft.at(0).at(0).toString(), QStringLiteral("20002"));
    QVERIFY(hasRecord("normal", "rtc_ChannelUserJLeaved", "uid=20002"));
    QVERIFY(logged("im:slot_onChannelUserLeaved uid:20002"));

    // Leaving counts at once; the library's answer follows.
    QSignalSpy left(channels, &AgoraIMChannelMgr::signal_onChannelLeaved);
    channels->leaveChannel();
    QVERIFY(!channels->isInChannel());
    QVERIFY(hasRecord("normal", "sig_exitchannel", "{channelid:10001}"));
    QVERIFY(left.wait(kWaitMs));
    QCOMPARE(left.at(0), (QVariantList { kClass, 0 }));
    QVERIFY(hasRecord("normal", "rtc_ChannelLeaved", "channelId=10001,code=0"));
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("userLeft 20001 20001"), kWaitMs);

    clearLog();
    channels->leaveChannel();
    QVERIFY(logged("already not in channel"));
    QVERIFY(hasRecord("normal", "sig_exitchannel", "{channelid:}"));
}

void TestAgoraSignalling::joinedCallbackForAnotherChannelReplacesIt()
{
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    channels->slot_onChannelJoined(QStringLiteral("10009"));
    QCOMPARE(channels->getChannelId(), QStringLiteral("10009"));
    // A join failure and the library's left callback change nothing.
    channels->slot_onChannelJoinFailed(kClass, 1);
    channels->slot_onChannelLeaved(QStringLiteral("10009"), 0);
    QCOMPARE(channels->getChannelId(), QStringLiteral("10009"));
    channels->leaveChannel();
    QVERIFY(!channels->isInChannel());
}

// --- AgoraMsgMgr -------------------------------------------------------------------

void TestAgoraSignalling::sendsRefusedOutsideAChannel()
{
    QVERIFY(loginStudent());
    AgoraMsgMgr *messages = AgoraMsgMgr::instance();
    QVERIFY(!AgoraIMChannelMgr::instance()->isInChannel());
    QCOMPARE(messages->sendChannelMsg(QStringLiteral("nobody hears")), QString());
    QVERIFY(logged("not in channel"));

    // A peer message needs no channel.
    QSignalSpy sent(messages, &AgoraMsgMgr::signal_onMessageSendSuccess);
    const QString id = messages->sendPeerMsg(kTeacher, QStringLiteral("a word before class"));
    QVERIFY(!id.isEmpty());
    AgoraMsgRecord record;
    QVERIFY(messages->getMsg(id, record));
    QCOMPARE(record.peerId, kTeacher);
    QCOMPARE(record.content, QStringLiteral("a word before class"));
    QVERIFY(logged("sendPeerMsg:" + record.toString()));
    QVERIFY(sent.wait(kWaitMs));
    QCOMPARE(sent.at(0).at(0).toString(), id);
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("peerText 20001 a word before class"), kWaitMs);
}

void TestAgoraSignalling::channelAndPeerSendsAndReceives()
{
    QVERIFY(loginStudent());
    QVERIFY(enterClass());
    AgoraMsgMgr *messages = AgoraMsgMgr::instance();
    QSignalSpy sent(messages, &AgoraMsgMgr::signal_onMessageSendSuccess);

    const QString text = QStringLiteral("{\"type\":1,\"data\":{\"content\":\"你好\"}}");
    const QString first = messages->sendChannelMsg(text);
    const QString second = messages->sendChannelMsg(text);
    QVERIFY(QRegularExpression("^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$").match(first).hasMatch());
    QVERIFY(first != second);
    AgoraMsgRecord record;
    QVERIFY(messages->getMsg(first, record));
    QCOMPARE(record.id, first);
    QCOMPARE(record.peerId, kClass);
    QCOMPARE(record.content, text);
    QVERIFY(qAbs(record.timestamp - QDateTime::currentMSecsSinceEpoch()) < 60000);
    QVERIFY(logged("send channel msg:" + record.toString()));
    QTRY_COMPARE_WITH_TIMEOUT(sent.count(), 2, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_teacher->eventsStartingWith("channelText 10001 20001 " + text).size(), 2, kWaitMs);

    // Confirmed records are the message layer's to remove.
    messages->removeMsg(first);
    QVERIFY(!messages->getMsg(first, record));
    QVERIFY(messages->getMsg(second, record));

    QSignalSpy channelText(messages, &AgoraMsgMgr::signal_onMessageChannelReceive);
    QSignalSpy peerText(messages, &AgoraMsgMgr::signal_onMessagePeerReceive);
    m_teacher->sendChannelText(kClass, QStringLiteral("turn to page 2"), "{t1}");
    m_teacher->sendPeerText(kStudent, QStringLiteral("well done"), "{t2}");
    QVERIFY(channelText.wait(kWaitMs));
    QCOMPARE(channelText.at(0), (QVariantList { kClass, kTeacher, QStringLiteral("turn to page 2") }));
    QTRY_COMPARE_WITH_TIMEOUT(peerText.count(), 1, kWaitMs);
    QCOMPARE(peerText.at(0), (QVariantList { kTeacher, QStringLiteral("well done") }));
    QVERIFY(logged("slot_onMessagePeerReceive, peerId:30001, msg:well done"));
}

void TestAgoraSignalling::failedMessageIsResentUnderItsId()
{
    QVERIFY(loginStudent());
    QVERIFY(enterClass());
    AgoraMsgMgr *messages = AgoraMsgMgr::instance();
    QSignalSpy failed(messages, &AgoraMsgMgr::signal_onMessageSendError);
    QSignalSpy sent(messages, &AgoraMsgMgr::signal_onMessageSendSuccess);

    QVERIFY(SignalTestHooks::failNextSends(AgoraIMSdk::instance()->getAgoraAPI(), 555, 1));
    const QString id = messages->sendChannelMsg(QStringLiteral("first try"));
    QVERIFY(failed.wait(kWaitMs));
    QCOMPARE(failed.at(0), (QVariantList { id, 555 }));
    QVERIFY(logged(QStringLiteral("onMessageSendError msgID:%1, ecode:555").arg(id)));
    AgoraMsgRecord before;
    QVERIFY(messages->getMsg(id, before));

    QVERIFY(messages->resendChannelMsg(id));
    QVERIFY(sent.wait(kWaitMs));
    QCOMPARE(sent.at(0).at(0).toString(), id);
    AgoraMsgRecord after;
    QVERIFY(messages->getMsg(id, after));
    QCOMPARE(after.timestamp, before.timestamp);
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("channelText 10001 20001 first try"), kWaitMs);

    // A peer message's id sends its text to the channel joined now.
    const QString peerId = messages->sendPeerMsg(kTeacher, QStringLiteral("private note"));
    QVERIFY(messages->resendChannelMsg(peerId));
    QTRY_VERIFY_WITH_TIMEOUT(m_teacher->hasEvent("channelText 10001 20001 private note"), kWaitMs);
}

void TestAgoraSignalling::resendRefusals()
{
    QVERIFY(loginStudent());
    QVERIFY(enterClass());
    AgoraMsgMgr *messages = AgoraMsgMgr::instance();
    QVERIFY(!messages->resendChannelMsg(QStringLiteral("{unknown}")));
    QVERIFY(logged("no such msgId:{unknown}"));

    const QString id = messages->sendChannelMsg(QStringLiteral("kept"));
    AgoraIMChannelMgr::instance()->leaveChannel();
    clearLog();
    QCOMPARE(messages->sendChannelMsg(QStringLiteral("after leaving")), QString());
    QVERIFY(!messages->resendChannelMsg(id));
    QCOMPARE(logLines().count("not in channel"), 2);
}

QTEST_MAIN(TestAgoraSignalling)
#include "tst_agorasignalling.moc"
