#ifndef MQTTIMSDK_H
#define MQTTIMSDK_H

#include <QObject>
#include <QString>

// The classroom's MQTT transport. A client is set up anew for every
// signed-in user; the classroom connects it later.
class MqttImSdk : public QObject
{
    Q_OBJECT

public:
    explicit MqttImSdk(QObject *parent = nullptr);
    ~MqttImSdk() override;

    static MqttImSdk *instance();

    // Creates the client for uid without connecting it.
    void init(const QString &uid);
    // Destroys the client, if any.
    void destory();

    bool hasClient() const;
    QString clientId() const;

private:
    QString m_clientId;
    bool m_hasClient = false;
};

#endif // MQTTIMSDK_H
