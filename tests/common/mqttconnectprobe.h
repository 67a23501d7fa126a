#ifndef MQTTCONNECTPROBE_H
#define MQTTCONNECTPROBE_H

#include <QByteArray>
#include <QString>
#include <QTcpServer>

class MqttImSdk;

// A listener in place of an MQTT broker that speaks just enough of the
// protocol to read a client's CONNECT packet and answer it.
class MqttConnectProbe
{
public:
    struct ConnectPacket
    {
        int protocolLevel = -1;
        bool cleanSession = false;
        int keepAlive = -1;
        QString clientId;
        bool hasWill = false;
        int willQos = -1;
        bool willRetain = true;
        QString willTopic;
        QString willMessage;
        bool hasUserName = false;
        QString userName;
        bool hasPassword = false;
        QByteArray password;
    };

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    // Creates the client for uid against this listener instead of the
    // broker of the servers file in force.
    bool initClient(MqttImSdk &client, const QString &uid);
    // Waits for a client and reads its CONNECT.
    bool readConnect(ConnectPacket &packet, int timeoutMs = 10000);
    // Answers with a CONNACK carrying returnCode (5: not authorised).
    void answer(int returnCode);

    static bool parse(const QByteArray &data, ConnectPacket &packet);

private:
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
};

#endif // MQTTCONNECTPROBE_H
