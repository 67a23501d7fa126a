// Our signalling library against a real broker: two library objects in
// this process, and a peer in a process of its own.

#include "mosquittobroker.h"
#include "platform/tcpnodelay.h"
#include "platform/signalling/signaltesthooks.h"
#include "signallingclient.h"
#include "testenvironment.h"
#include "testutil.h"

#include <QProcess>
#include <QTest>

#include <memory>

using namespace agora_sdk_win;

namespace {

const int kWaitMs = 10000;

} // namespace

class TestSignallingLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void factoryTakesOnlyAnApplicationId_data();
    void factoryTakesOnlyAnApplicationId();
    void membersSeeEachOtherJoinAndLeave();
    void channelAndPeerTextsReachOnlyTheOthers();
    void secondLoginOfAnAccountKicksTheFirst();
    void logoutIsNormalAndLeavesChannels();
    void refusedRequestsReportTheirCode_data();
    void refusedRequestsReportTheirCode();
    void loginFailsWhenTheServerIsDown();
    void testHooksBringAboutTheServiceCallbacks();
    void reconnectsAfterTheBrokerRestarts();
    void sessionEndsWhenTheBrokerStaysAway();
    void sessionEndsAfterItsAttempts();
    void tcpNoDelayAfterConnectAndReconnect();
    void releaseWithoutLoopAndWhileLoggedIn();
    void unreadablePayloadsAreReportedAndDropped();
    void peerProcessTalksAndItsDeathIsSeen();

private:
    std::unique_ptr<SignallingClient> newClient() const
    {
        return std::make_unique<SignallingClient>(m_broker.host(), m_broker.port());
    }
    // Logs in and, when channel is set, joins it.
    static bool loginAndEnter(SignallingClient &client, const QString &account, const QString &channel = QString());

    MosquittoBroker m_broker;
};

bool TestSignallingLibrary::loginAndEnter(SignallingClient &client, const QString &account, const QString &channel)
{
    client.login(account);
    if (!QTest::qWaitFor([&]() { return !client.eventsStartingWith(QStringLiteral("loginSuccess")).isEmpty(); },
                         kWaitMs)) {
        qWarning() << "login failed:" << client.events();
        return false;
    }
    if (channel.isEmpty())
        return true;
    client.enterChannel(channel);
    if (!QTest::qWaitFor([&]() { return client.hasEvent(QStringLiteral("joined ") + channel); }, kWaitMs)) {
        qWarning() << "join failed:" << client.events();
        return false;
    }
    return true;
}

void TestSignallingLibrary::initTestCase()
{
    QVERIFY(m_broker.start());
}

void TestSignallingLibrary::factoryTakesOnlyAnApplicationId_data()
{
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("created");
    QTest::newRow("32 lowercase hex") << QByteArray("0123456789abcdef0123456789abcdef") << 32 << true;
    QTest::newRow("read only the given length") << QByteArray("0123456789abcdef0123456789abcdefXYZ") << 32 << true;
    QTest::newRow("too short") << QByteArray("0123456789abcdef") << 16 << false;
    QTest::newRow("upper case") << QByteArray("0123456789ABCDEF0123456789ABCDEF") << 32 << false;
    QTest::newRow("not hex") << QByteArray("0123456789abcdef0123456789abcdeg") << 32 << false;
    QTest::newRow("negative length") << QByteArray("0123456789abcdef0123456789abcdef") << -1 << false;
}

void TestSignallingLibrary::factoryTakesOnlyAnApplicationId()
{
    QFETCH(QByteArray, id);
    QFETCH(int, length);
    QFETCH(bool, created);
    SignalApi *api = getAgoraSDKInstanceWin(id.constData(), length);
    QCOMPARE(api != nullptr, created);
    if (api)
        api->release();
    QCOMPARE(getAgoraSDKInstanceWin(nullptr, 32), nullptr);
}

void TestSignallingLibrary::membersSeeEachOtherJoinAndLeave()
{
    auto teacher = newClient();
    auto student = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    QVERIFY(teacher->hasEvent("loginSuccess 30001"));
    // Someone already there is reported right after the join.
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("userJoined 30001 30001"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userJoined 20001 20001"), kWaitMs);
    const QStringList studentEvents = student->events();
    QVERIFY(studentEvents.indexOf("joined 10001") < studentEvents.indexOf("userJoined 30001 30001"));
    // Nobody hears of himself.
    QVERIFY(teacher->eventsStartingWith("userJoined 30001").isEmpty());

    student->exitChannel("10001");
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("leaved 10001 0"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userLeft 20001 20001"), kWaitMs);

    // A second channel is a world of its own.
    teacher->clearEvents();
    student->enterChannel("10002");
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("joined 10002"), kWaitMs);
    // The student was announced in 10002 before this marker left: had the
    // teacher heard of it, that would have come first.
    student->sendPeerText("30001", "marker", "{k}");
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("peerText 20001 marker"), kWaitMs);
    QVERIFY(teacher->eventsStartingWith("userJoined").isEmpty());
}

void TestSignallingLibrary::channelAndPeerTextsReachOnlyTheOthers()
{
    auto teacher = newClient();
    auto student = newClient();
    auto classmate = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    QVERIFY(loginAndEnter(*classmate, "20002", "10001"));

    const QString text = QStringLiteral("{\"type\":300,\"data\":\"笔画 ✓\"}");
    teacher->sendChannelText("10001", text, "{m1}");
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("sendOk {m1}"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("channelText 10001 30001 " + text), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(classmate->hasEvent("channelText 10001 30001 " + text), kWaitMs);

    student->sendPeerText("30001", "to the teacher", "{m2}");
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("sendOk {m2}"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("peerText 20001 to the teacher"), kWaitMs);

    // Markers sent after everything above: a stray copy would come first.
    classmate->sendChannelText("10001", "marker", "{k1}");
    teacher->sendPeerText("20002", "marker", "{k2}");
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("channelText 10001 20002 marker"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(classmate->hasEvent("peerText 30001 marker"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("channelText 10001 20002 marker"), kWaitMs);
    QCOMPARE(teacher->eventsStartingWith("channelText"), QStringList { "channelText 10001 20002 marker" });
    QCOMPARE(classmate->eventsStartingWith("peerText"), QStringList { "peerText 30001 marker" });
    QCOMPARE(classmate->eventsStartingWith("channelText").size(), 1);
    QCOMPARE(student->eventsStartingWith("channelText").size(), 2);
    QVERIFY(student->eventsStartingWith("peerText").isEmpty());
}

void TestSignallingLibrary::secondLoginOfAnAccountKicksTheFirst()
{
    auto first = newClient();
    auto second = newClient();
    auto teacher = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    QVERIFY(loginAndEnter(*first, "20001", "10001"));
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userJoined 20001 20001"), kWaitMs);

    QVERIFY(loginAndEnter(*second, "20001"));
    QTRY_VERIFY_WITH_TIMEOUT(first->hasEvent("logout 103"), kWaitMs);
    QVERIFY(!second->eventsStartingWith("logout").size());

    // The kicked session is gone from the channel; the new one takes over.
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userLeft 20001 20001"), kWaitMs);
    second->enterChannel("10001");
    QTRY_VERIFY_WITH_TIMEOUT(second->hasEvent("joined 10001"), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(teacher->eventsStartingWith("userJoined 20001").size(), 2, kWaitMs);
    teacher->sendPeerText("20001", "hello again", "{p1}");
    QTRY_VERIFY_WITH_TIMEOUT(second->hasEvent("peerText 30001 hello again"), kWaitMs);
    QVERIFY(first->eventsStartingWith("peerText").isEmpty());
    first->sendChannelText("10001", "late", "{late}");
    QTRY_VERIFY_WITH_TIMEOUT(first->hasEvent(QStringLiteral("sendError {late} %1").arg(SEND_E_NOT_LOGGED_IN)),
                             kWaitMs);
}

void TestSignallingLibrary::logoutIsNormalAndLeavesChannels()
{
    auto teacher = newClient();
    auto student = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userJoined 20001 20001"), kWaitMs);

    student->logout();
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("logout 101"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userLeft 20001 20001"), kWaitMs);

    // A logged-out object can log in again, with the same account.
    student->clearEvents();
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    QTRY_COMPARE_WITH_TIMEOUT(teacher->eventsStartingWith("userJoined 20001").size(), 2, kWaitMs);
}

void TestSignallingLibrary::refusedRequestsReportTheirCode_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty account") << false << "login" << "" << QString("loginFailed %1").arg(LOGIN_E_ACCOUNT);
    QTest::newRow("account with a slash") << false << "login" << "a/b" << QString("loginFailed %1").arg(LOGIN_E_ACCOUNT);
    QTest::newRow("account with a wildcard") << false << "login" << "a+" << QString("loginFailed %1").arg(LOGIN_E_ACCOUNT);
    QTest::newRow("join before login") << false << "enter" << "10001"
                                       << QString("joinFailed 10001 %1").arg(CHANNEL_E_NOT_LOGGED_IN);
    QTest::newRow("channel text before login") << false << "channel" << "10001"
                                               << QString("sendError id %1").arg(SEND_E_NOT_LOGGED_IN);
    QTest::newRow("peer text before login") << false << "peer" << "30001"
                                            << QString("sendError id %1").arg(SEND_E_NOT_LOGGED_IN);
    QTest::newRow("channel name with a wildcard") << true << "enter" << "10#01"
                                                  << QString("joinFailed 10#01 %1").arg(CHANNEL_E_NAME);
    QTest::newRow("text to a channel not joined") << true << "channel" << "10001"
                                                  << QString("sendError id %1").arg(SEND_E_NOT_IN_CHANNEL);
    QTest::newRow("peer account with a slash") << true << "peer" << "30/01"
                                               << QString("sendError id %1").arg(SEND_E_PEER);
    QTest::newRow("peer account #") << true << "peer" << "#" << QString("sendError id %1").arg(SEND_E_PEER);
    QTest::newRow("peer account +") << true << "peer" << "+" << QString("sendError id %1").arg(SEND_E_PEER);
    QTest::newRow("peer account with a control character") << true << "peer" << "300\x01"
                                                            << QString("sendError id %1").arg(SEND_E_PEER);
    const QString longName(300, QLatin1Char('1'));
    QTest::newRow("channel name over the length limit") << true << "enter" << longName
                                                        << QString("joinFailed %1 %2").arg(longName).arg(CHANNEL_E_NAME);
    QTest::newRow("leave a channel not joined") << true << "exit" << "10001"
                                                << QString("leaved 10001 %1").arg(CHANNEL_E_NOT_IN_CHANNEL);
}

void TestSignallingLibrary::refusedRequestsReportTheirCode()
{
    QFETCH(bool, loggedIn);
    QFETCH(QString, request);
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    auto client = newClient();
    if (loggedIn)
        QVERIFY(loginAndEnter(*client, "20001"));
    if (request == "login")
        client->login(argument);
    else if (request == "enter")
        client->enterChannel(argument);
    else if (request == "exit")
        client->exitChannel(argument);
    else if (request == "channel")
        client->sendChannelText(argument, "text", "id");
    else if (request == "peer")
        client->sendPeerText(argument, "text", "id");
    QTRY_VERIFY2_WITH_TIMEOUT(client->hasEvent(expected), qPrintable(client->events().join(" | ")), kWaitMs);
}

void TestSignallingLibrary::loginFailsWhenTheServerIsDown()
{
    // Nothing listens on the process's dead port, and nobody can take it.
    SignallingClient nowhere(m_broker.host(), TestEnvironment::deadPort());
    nowhere.login("20001");
    QTRY_VERIFY_WITH_TIMEOUT(nowhere.hasEvent(QString("loginFailed %1").arg(LOGIN_E_NET)), 15000);

    SignallingClient unset(QString(), 0);
    unset.login("20001");
    QTRY_VERIFY_WITH_TIMEOUT(unset.hasEvent(QString("loginFailed %1").arg(LOGIN_E_NO_SERVER)), kWaitMs);

    // An application id other than the object's own.
    auto client = newClient();
    const QByteArray otherId("ffffffffffffffffffffffffffffffff");
    client->api()->loginUser(otherId.constData(), 32, "20001", 5, "", 0, 0, "", 0, 30, 5);
    QTRY_VERIFY_WITH_TIMEOUT(client->hasEvent(QString("loginFailed %1").arg(LOGIN_E_APPID)), kWaitMs);
}

void TestSignallingLibrary::testHooksBringAboutTheServiceCallbacks()
{
    auto teacher = newClient();
    auto student = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    QVERIFY(loginAndEnter(*student, "20001", "10001"));

    // A send error, once.
    QVERIFY(SignalTestHooks::failNextSends(student->api(), 777, 1));
    student->sendChannelText("10001", "first", "{f1}");
    student->sendChannelText("10001", "second", "{f2}");
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("sendError {f1} 777"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("sendOk {f2}"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("channelText 10001 20001 second"), kWaitMs);
    QVERIFY(!teacher->hasEvent("channelText 10001 20001 first"));

    // A network drop that heals: the member stays, texts flow again.
    teacher->clearEvents();
    QVERIFY(SignalTestHooks::loseConnection(student->api(), true));
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("reconnected"), kWaitMs);
    QVERIFY(student->hasEvent("reconnecting 1"));
    student->sendChannelText("10001", "back", "{b1}");
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("channelText 10001 20001 back"), kWaitMs);
    QVERIFY(teacher->eventsStartingWith("userLeft").isEmpty());

    // A drop that does not heal ends the session as lost, and the others
    // see the member leave.
    QVERIFY(SignalTestHooks::loseConnection(student->api(), false));
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent(QString("logout %1").arg(LOGOUT_E_NET)), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!teacher->eventsStartingWith("userLeft").isEmpty(), kWaitMs);

    // A kick by the service.
    QVERIFY(SignalTestHooks::kick(teacher->api()));
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent(QString("logout %1").arg(LOGOUT_E_KICKED)), kWaitMs);
}

void TestSignallingLibrary::reconnectsAfterTheBrokerRestarts()
{
    auto teacher = newClient();
    auto student = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userJoined 20001 20001"), kWaitMs);

    m_broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("reconnecting 1"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("reconnecting 1"), kWaitMs);
    QVERIFY(m_broker.start());
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("reconnected"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("reconnected"), 20000);

    // Subscriptions and membership were renewed.
    student->sendChannelText("10001", "after the restart", "{r1}");
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("channelText 10001 20001 after the restart"), kWaitMs);
    teacher->sendPeerText("20001", "peer after the restart", "{r2}");
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("peerText 30001 peer after the restart"), kWaitMs);
    auto late = newClient();
    QVERIFY(loginAndEnter(*late, "20002", "10001"));
    QTRY_VERIFY_WITH_TIMEOUT(late->hasEvent("userJoined 30001 30001"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(late->hasEvent("userJoined 20001 20001"), kWaitMs);
}

// Texts leave at once: every socket of the library to the broker has
// TCP_NODELAY once connected, and again after the reconnect.
void TestSignallingLibrary::tcpNoDelayAfterConnectAndReconnect()
{
    auto student = newClient();
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    const auto allSet = [this]() {
        const std::vector<int> sockets = TcpNoDelay::socketsConnectedTo("127.0.0.1", m_broker.port());
        if (sockets.size() < 2) // the session's and the channel's
            return false;
        for (int fd : sockets) {
            if (!TcpNoDelay::isSet(fd))
                return false;
        }
        return true;
    };
    QVERIFY(allSet());
    m_broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("reconnecting 1"), kWaitMs);
    QVERIFY(m_broker.start());
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("reconnected"), 20000);
    QVERIFY(allSet());
}

void TestSignallingLibrary::sessionEndsWhenTheBrokerStaysAway()
{
    auto student = newClient();
    student->login("20001", 2, 2);
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("loginSuccess 20001"), kWaitMs);
    m_broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent(QString("logout %1").arg(LOGOUT_E_NET)), 15000);
    QVERIFY(student->eventsStartingWith("reconnecting").size() >= 2);
    QVERIFY(!student->hasEvent("reconnected"));
    QVERIFY(m_broker.start());
}

void TestSignallingLibrary::sessionEndsAfterItsAttempts()
{
    // Three attempts within a window of 30 s: the session ends after the
    // third, long before the window, so the caller can log in again.
    auto student = newClient();
    student->login("20001", 30, 3);
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("loginSuccess 20001"), kWaitMs);
    m_broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent(QString("logout %1").arg(LOGOUT_E_NET)), 15000);
    QCOMPARE(student->eventsStartingWith("reconnecting"),
             (QStringList { QStringLiteral("reconnecting 1"), QStringLiteral("reconnecting 2"), QStringLiteral("reconnecting 3") }));
    QVERIFY(!student->hasEvent("reconnected"));
    QVERIFY(m_broker.start());
}

void TestSignallingLibrary::releaseWithoutLoopAndWhileLoggedIn()
{
    // Never looped: release returns at once.
    const QByteArray id = SignallingClient::defaultAppId().toUtf8();
    SignalApi *idle = getAgoraSDKInstanceWin(id.constData(), 32);
    QVERIFY(idle);
    idle->loginUser(id.constData(), 32, "20001", 5, "", 0, 0, "", 0, 30, 5);
    idle->release();

    // Logged in and in a channel: the others see the member leave.
    auto teacher = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));
    {
        SignallingClient student(m_broker.host(), m_broker.port());
        QVERIFY(loginAndEnter(student, "20001", "10001"));
        QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userJoined 20001 20001"), kWaitMs);
    }
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userLeft 20001 20001"), kWaitMs);
}

void TestSignallingLibrary::unreadablePayloadsAreReportedAndDropped()
{
    auto student = newClient();
    QVERIFY(loginAndEnter(*student, "20001", "10001"));
    const QString root = "lessonry-signal/" + SignallingClient::defaultAppId();
    // Someone else's bytes on our topics: a stray publisher, not a client.
    const QList<QStringList> strays = {
        { root + "/channel/10001/text", "not a frame" },
        { root + "/channel/10001/member/30001/abc", "LSG1P\x00" },
        { root + "/user/20001/inbox", "LSG1I" },
    };
    for (const QStringList &stray : strays) {
        QProcess publisher;
        publisher.start("mosquitto_pub", { "-h", m_broker.host(), "-p", QString::number(m_broker.port()), "-t",
                                           stray.at(0), "-m", stray.at(1) });
        QVERIFY(publisher.waitForFinished(kWaitMs));
        QCOMPARE(publisher.exitCode(), 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(student->eventsStartingWith("error frame").size(), 3, kWaitMs);
    QVERIFY(student->eventsStartingWith("channelText").isEmpty());
    QVERIFY(student->eventsStartingWith("peerText").isEmpty());
    QVERIFY(student->eventsStartingWith("userJoined").isEmpty());

    // And the session carries on.
    student->sendChannelText("10001", "still here", "{s1}");
    QTRY_VERIFY_WITH_TIMEOUT(student->hasEvent("sendOk {s1}"), kWaitMs);
}

void TestSignallingLibrary::peerProcessTalksAndItsDeathIsSeen()
{
    auto teacher = newClient();
    QVERIFY(loginAndEnter(*teacher, "30001", "10001"));

    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(TestUtil::binDir() + "/helper_signallingpeer",
               { m_broker.host(), QString::number(m_broker.port()) });
    QVERIFY2(peer.waitForStarted(kWaitMs), qPrintable(peer.errorString()));
    QString output;
    auto seen = [&](const QString &line) {
        output += QString::fromUtf8(peer.readAllStandardOutput());
        return output.split('\n').contains(line);
    };
    QTRY_VERIFY_WITH_TIMEOUT(seen("ready"), kWaitMs);
    peer.write("login 20001\n");
    QTRY_VERIFY_WITH_TIMEOUT(seen("loginSuccess 20001"), kWaitMs);
    peer.write("enter 10001\n");
    QTRY_VERIFY_WITH_TIMEOUT(seen("joined 10001"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(seen("userJoined 30001 30001"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userJoined 20001 20001"), kWaitMs);

    peer.write("channel 10001 {c1} hello from the student\npeer 30001 {c2} just for you\n");
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("channelText 10001 20001 hello from the student"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("peerText 20001 just for you"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(seen("sendOk {c1}") && seen("sendOk {c2}"), kWaitMs);

    teacher->sendChannelText("10001", "hello from the teacher", "{t1}");
    teacher->sendPeerText("20001", "see me after class", "{t2}");
    QTRY_VERIFY_WITH_TIMEOUT(seen("channelText 10001 30001 hello from the teacher"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(seen("peerText 30001 see me after class"), kWaitMs);

    // Killed without a word: its will tells the channel.
    peer.kill();
    QVERIFY(peer.waitForFinished(kWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(teacher->hasEvent("userLeft 20001 20001"), kWaitMs);
}

QTEST_GUILESS_MAIN(TestSignallingLibrary)
#include "tst_signallinglibrary.moc"
