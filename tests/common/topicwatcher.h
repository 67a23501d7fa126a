#ifndef TOPICWATCHER_H
#define TOPICWATCHER_H

#include <QObject>
#include <QProcess>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Watches topics of a test broker with the broker's own command-line
// subscriber (mosquitto_sub), so a test sees exactly what went over the
// wire; publish() puts a message there with mosquitto_pub.
class TopicWatcher : public QObject
{
    Q_OBJECT

public:
    struct Message
    {
        QString topic;
        QString payload;
    };

    explicit TopicWatcher(QObject *parent = nullptr);
    ~TopicWatcher() override;

    // Subscribes to filter and returns once the subscription is in force.
    bool start(quint16 port, const QString &filter = QStringLiteral("tp/velmo/#"));
    void stop();

    QVector<Message> messages() const { return m_messages; }
    QVector<Message> on(const QString &topic) const;
    void clear() { m_messages.clear(); }
    // Runs the event loop until a message matches, or timeoutMs passed.
    bool waitFor(const std::function<bool(const Message &)> &match, int timeoutMs = 30000);

    static bool publish(quint16 port, const QString &topic, const QString &payload, int qos = 1);
    // Every payload in turn from one mosquitto_pub (one line each: a payload
    // holds no line break), as fast as the broker takes them.
    static bool publishAll(quint16 port, const QString &topic, const QStringList &payloads, int qos = 1);

private:
    void readLines();

    QScopedPointer<QProcess> m_process;
    QByteArray m_pending;
    QVector<Message> m_messages;
    quint16 m_port = 0;
};

#endif // TOPICWATCHER_H
