#include "topicwatcher.h"

#include "testutil.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUuid>

TopicWatcher::TopicWatcher(QObject *parent)
    : QObject(parent)
{
}

TopicWatcher::~TopicWatcher()
{
    stop();
}

bool TopicWatcher::start(quint16 port, const QString &filter)
{
    stop();
    m_port = port;
    m_process.reset(new QProcess);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process.data(), &QProcess::readyReadStandardOutput, this, &TopicWatcher::readLines);
    const QString readyTopic = QStringLiteral("tp/velmo/watcher-ready");
    m_process->start(QStringLiteral("mosquitto_sub"),
                     { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
                       QStringLiteral("-q"), QStringLiteral("1"), QStringLiteral("-v"), QStringLiteral("-t"), filter,
                       QStringLiteral("-t"), readyTopic });
    if (!m_process->waitForStarted(5000)) {
        qWarning("cannot start mosquitto_sub");
        return false;
    }
    // mosquitto_sub says nothing when its subscription is in force: send
    // markers until one comes back.
    const QString marker = QUuid::createUuid().toString();
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        publish(port, readyTopic, marker, 0);
        if (waitFor([&marker](const Message &m) { return m.payload == marker; }, 200)) {
            clear();
            return true;
        }
    }
    qWarning("mosquitto_sub did not get ready");
    return false;
}

void TopicWatcher::stop()
{
    if (!m_process)
        return;
    m_process->disconnect(this);
    TestUtil::stopHelper(*m_process, QStringLiteral("mosquitto_sub"));
    m_process.reset();
}

QVector<TopicWatcher::Message> TopicWatcher::on(const QString &topic) const
{
    QVector<Message> result;
    for (const Message &message : m_messages) {
        if (message.topic == topic)
            result.append(message);
    }
    return result;
}

bool TopicWatcher::waitFor(const std::function<bool(const Message &)> &match, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    int checked = 0;
    while (true) {
        for (; checked < m_messages.size(); ++checked) {
            if (match(m_messages.at(checked)))
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(qMax<qint64>(1, qMin<qint64>(20, deadline.remainingTime())), &loop, &QEventLoop::quit);
        connect(m_process.data(), &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        loop.exec();
        readLines();
    }
}

void TopicWatcher::readLines()
{
    if (!m_process)
        return;
    m_pending += m_process->readAllStandardOutput();
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
        const int space = line.indexOf(QLatin1Char(' '));
        Message message;
        message.topic = space < 0 ? line : line.left(space);
        message.payload = space < 0 ? QString() : line.mid(space + 1);
        m_messages.append(message);
    }
}

bool TopicWatcher::publishAll(quint16 port, const QString &topic, const QStringList &payloads, int qos)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("mosquitto_pub"),
                  { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
                    QStringLiteral("-q"), QString::number(qos), QStringLiteral("-t"), topic, QStringLiteral("-l") });
    if (!process.waitForStarted(5000))
        return false;
    process.write((payloads.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    process.closeWriteChannel();
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool TopicWatcher::publish(quint16 port, const QString &topic, const QString &payload, int qos)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("mosquitto_pub"),
                  { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
                    QStringLiteral("-q"), QString::number(qos), QStringLiteral("-t"), topic, QStringLiteral("-m"), payload });
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
