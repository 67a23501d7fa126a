#include "mqttimsdk.h"

#include "mgr/singleton.h"
#include "rolepolicy.h"

#include <QDebug>

MqttImSdk::MqttImSdk(QObject *parent)
    : QObject(parent)
{
}

MqttImSdk::~MqttImSdk()
{
    destory();
}

MqttImSdk *MqttImSdk::instance()
{
    return Singleton<MqttImSdk>::instance();
}

void MqttImSdk::init(const QString &uid)
{
    m_clientId = RolePolicy::current().mqttClientIdPrefix + uid;
    qInfo("init mqtt client, clientId:%s", qUtf8Printable(m_clientId));
    m_hasClient = true;
}

void MqttImSdk::destory()
{
    qInfo("destory mqtt client!");
    m_hasClient = false;
}

bool MqttImSdk::hasClient() const
{
    return m_hasClient;
}

QString MqttImSdk::clientId() const
{
    return m_clientId;
}
