#include "mqttconnectprobe.h"

#include "testutil.h"

#include <QDeadlineTimer>
#include <QSettings>
#include <QTcpSocket>

bool MqttConnectProbe::writeServersIni(const QString &path) const
{
    if (!TestUtil::writeServersIni(path, { QStringLiteral("http://127.0.0.1:9"), {}, {}, {}, {}, {} }))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QStringLiteral("mqtt/production_port"), QString::number(port()));
    settings.setValue(QStringLiteral("mqtt/development_port"), QString::number(port()));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool MqttConnectProbe::readConnect(ConnectPacket &packet, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    if (!m_server.waitForNewConnection(timeoutMs))
        return false;
    m_socket = m_server.nextPendingConnection();
    QByteArray data;
    while (!parse(data, packet)) {
        if (deadline.hasExpired())
            return false;
        m_socket->waitForReadyRead(50);
        data += m_socket->readAll();
    }
    return true;
}

void MqttConnectProbe::answer(int returnCode)
{
    if (!m_socket)
        return;
    const char connack[] = { 0x20, 0x02, 0x00, char(returnCode) };
    m_socket->write(connack, sizeof(connack));
    m_socket->flush();
}

void MqttConnectProbe::dropConnection()
{
    if (!m_socket)
        return;
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}

bool MqttConnectProbe::parse(const QByteArray &data, ConnectPacket &packet)
{
    if (data.size() < 2 || quint8(data.at(0)) != 0x10)
        return false;
    int pos = 1;
    int multiplier = 1;
    int remaining = 0;
    quint8 byte;
    do {
        if (pos >= data.size())
            return false;
        byte = quint8(data.at(pos++));
        remaining += (byte & 127) * multiplier;
        multiplier *= 128;
    } while (byte & 128);
    if (data.size() < pos + remaining)
        return false;
    const auto u16 = [&]() {
        const int value = (quint8(data.at(pos)) << 8) | quint8(data.at(pos + 1));
        pos += 2;
        return value;
    };
    const auto bytes = [&]() {
        const int length = u16();
        const QByteArray value = data.mid(pos, length);
        pos += length;
        return value;
    };
    if (bytes() != "MQTT")
        return false;
    packet.protocolLevel = quint8(data.at(pos++));
    const quint8 flags = quint8(data.at(pos++));
    packet.keepAlive = u16();
    packet.cleanSession = flags & 0x02;
    packet.hasWill = flags & 0x04;
    packet.willQos = (flags >> 3) & 0x03;
    packet.willRetain = flags & 0x20;
    packet.hasPassword = flags & 0x40;
    packet.hasUserName = flags & 0x80;
    packet.clientId = QString::fromUtf8(bytes());
    if (packet.hasWill) {
        packet.willTopic = QString::fromUtf8(bytes());
        packet.willMessage = QString::fromUtf8(bytes());
    }
    if (packet.hasUserName)
        packet.userName = QString::fromUtf8(bytes());
    if (packet.hasPassword)
        packet.password = bytes();
    return true;
}
