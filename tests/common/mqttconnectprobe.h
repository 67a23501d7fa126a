#ifndef MQTTCONNECTPROBE_H
#define MQTTCONNECTPROBE_H

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>

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
    // Creates an MQTT client (MqttImSdk) for uid against this listener
    // instead of the broker of the servers file in force.
    template<typename Client>
    bool initClient(Client &client, const QString &uid)
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("probe.ini"));
        if (!writeServersIni(ini))
            return false;
        const QByteArray saved = qgetenv("LESSONRY_SERVERS_INI");
        qputenv("LESSONRY_SERVERS_INI", ini.toUtf8());
        client.init(uid);
        qputenv("LESSONRY_SERVERS_INI", saved);
        return client.hasClient();
    }
    // A servers file whose brokers are this listener.
    bool writeServersIni(const QString &path) const;
    // Waits for a client and reads its CONNECT.
    bool readConnect(ConnectPacket &packet, int timeoutMs = 10000);
    // Answers with a CONNACK carrying returnCode (5: not authorised).
    void answer(int returnCode);
    // Ends the connection of the last CONNECT read, as a broker that goes
    // away would; the next client can connect again.
    void dropConnection();

    static bool parse(const QByteArray &data, ConnectPacket &packet);

private:
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
};

#endif // MQTTCONNECTPROBE_H
