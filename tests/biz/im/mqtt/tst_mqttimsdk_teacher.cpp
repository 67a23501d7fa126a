// What the teacher build puts on the wire differently: client id, broker
// user name and the envelope's "src".

#include "mqttconnectprobe.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/message/sendandreceivemsg.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestMqttImSdkTeacher : public QObject
{
    Q_OBJECT

private slots:
    void connectAsTeacher();
};

void TestMqttImSdkTeacher::connectAsTeacher()
{
    MqttConnectProbe probe;
    QVERIFY(probe.listen());
    MqttImSdk client;
    QVERIFY(probe.initClient(client, QStringLiteral("30001")));
    QCOMPARE(client.clientId(), QStringLiteral("client_teacher_30001"));
    client.login(QStringLiteral("10001"), QStringLiteral("30001"), QStringLiteral("sess"));

    MqttConnectProbe::ConnectPacket packet;
    QVERIFY(probe.readConnect(packet));
    QCOMPARE(packet.clientId, QStringLiteral("client_teacher_30001"));
    QCOMPARE(packet.userName, QStringLiteral("username_teacher_30001"));
    QCOMPARE(packet.password, QByteArray("sess"));
    const QJsonObject will = QJsonDocument::fromJson(packet.willMessage.toUtf8()).object();
    QCOMPARE(will.value("src").toInt(), 0);
    QCOMPARE(will.value("sender").toString(), QStringLiteral("30001"));
    QCOMPARE(SendAndReceiveMsg::getMsgSrc(), 0);
}

QTEST_GUILESS_MAIN(TestMqttImSdkTeacher)
#include "tst_mqttimsdk_teacher.moc"
