#include <QFileInfo>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "lessonservice.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "testenvironment.h"
#include "utility/serverconfig.h"

// What every test process starts with: its own servers file whose every
// address is a port the process itself holds, so a test never reaches a
// service it did not start.
class TestTestEnvironment : public QObject
{
    Q_OBJECT

private slots:
    void startsOnItsOwnServersFile();
    void deadAddressRefusesAtOnce();
    void deadPortCannotBeTaken();
    void stoppedServiceLeavesTheDeadAddress();
};

void TestTestEnvironment::startsOnItsOwnServersFile()
{
    QCOMPARE(ServerConfig::filePath(), TestEnvironment::defaultServersIni());
    QVERIFY(QFileInfo::exists(TestEnvironment::defaultServersIni()));

    const ServerConfig config = ServerConfig::current();
    QVERIFY2(config.isValid(), qPrintable(config.errorString()));
    for (ServerConfig::ApiHost host : { ServerConfig::MainApi, ServerConfig::UnitedStatesApi, ServerConfig::EuropeApi,
                                        ServerConfig::SingaporeApi, ServerConfig::DevelopmentApi })
        QCOMPARE(config.apiBaseUrl(host), TestEnvironment::deadBaseUrl());
    QCOMPARE(config.webSite(), TestEnvironment::deadBaseUrl());
    QCOMPARE(config.productionMqttBroker().port, TestEnvironment::deadPort());
    QCOMPARE(config.developmentMqttBroker().port, TestEnvironment::deadPort());
}

void TestTestEnvironment::deadAddressRefusesAtOnce()
{
    QTcpSocket socket;
    QSignalSpy failed(&socket, &QAbstractSocket::errorOccurred);
    socket.connectToHost(QHostAddress::LocalHost, TestEnvironment::deadPort());
    QVERIFY(failed.wait(5000));
    QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);
}

void TestTestEnvironment::deadPortCannotBeTaken()
{
    // Another server (the demo, another test) can never listen there.
    QTcpServer other;
    QVERIFY(!other.listen(QHostAddress::LocalHost, TestEnvironment::deadPort()));
    QCOMPARE(other.serverError(), QAbstractSocket::AddressInUseError);
}

void TestTestEnvironment::stoppedServiceLeavesTheDeadAddress()
{
    Singleton<HttpMgr>::instance()->init();
    {
        LessonService service;
        QVERIFY(service.start());
        QCOMPARE(ServerConfig::filePath(), service.serversIniPath());
    }
    QCOMPARE(ServerConfig::filePath(), TestEnvironment::defaultServersIni());

    // A request to the configured host is refused; it reaches no one.
    QObject owner;
    auto *holder = new EntityNetworkReplyHolder(
        &owner, Singleton<HttpMgr>::instance()->get(
                    ServerConfig::current().apiBaseUrl(ServerConfig::MainApi) + QStringLiteral("/QXV1/Public/test"), {}, -1));
    int code = 0;
    connect(holder, &EntityNetworkReplyHolder::signal_onFailure, this,
            [&code](const BaseEntity &error) { code = error.errorCode; });
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(5000));
    QCOMPARE(code, -1);
}

QTEST_GUILESS_MAIN(TestTestEnvironment)
#include "tst_testenvironment.moc"
