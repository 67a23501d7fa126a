#include "fuzzjanusreceiver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QUrl>

namespace {

// Far longer than a loopback exchange takes on a busy machine; a client
// that neither asks again nor gives up within it hangs.
const int kRunDeadlineMs = 20000;
const char kOwnFeed[] = "20001-fuzz";
const char kSdp[] = "v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=-\r\nt=0 0\r\n";

} // namespace

FuzzJanusReceiver::FuzzJanusReceiver()
    : m_client(&m_log)
{
    // Straight to the stand-in on 127.0.0.1, whatever proxy the machine names.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    m_server.listen();
    QObject::connect(&m_client, &RtcJanusClient::failed, [this] { m_failed = true; });
    QObject::connect(&m_client, &RtcJanusClient::joined, [this] {
        m_joined = true;
        m_client.publish(QString::fromLatin1(kSdp));
    });
    // As the media session does: every feed taken up, every offer answered.
    QObject::connect(&m_client, &RtcJanusClient::feedsAppeared, [this](const QList<RtcJanusClient::Feed> &feeds) {
        for (const RtcJanusClient::Feed &feed : feeds)
            m_client.subscribe(feed);
    });
    QObject::connect(&m_client, &RtcJanusClient::subscriberOffer, [this](const QString &feedId, const QString &) {
        m_client.startSubscription(feedId, QString::fromLatin1(kSdp));
    });
}

template<typename Done>
bool FuzzJanusReceiver::waitFor(Done done)
{
    const QDeadlineTimer deadline(kRunDeadlineMs);
    while (!m_failed && !done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

bool FuzzJanusReceiver::ensureSession()
{
    if (m_client.isActive() && m_server.isPollHeld() && m_joined)
        return true;
    m_failed = false;
    m_joined = false;
    m_server.newSession();
    m_client.start(QUrl(m_server.baseUrl()), QStringLiteral("10001"), 20001, QString::fromLatin1(kOwnFeed));
    // Up: the room made and the join asked for; then the "joined" event
    // the client waits for, on its long poll (again, should a poll of the
    // session stopped above have taken it).
    if (!waitFor([this] { return m_server.messagesSinceCreate() >= 2; }))
        return false;
    const QByteArray joined = R"({"janus":"event","sender":)" + QByteArray::number(m_server.publisherHandle())
        + R"(,"plugindata":{"data":{"videoroom":"joined"}}})";
    return waitFor([this, &joined] {
        if (!m_joined && m_server.isPollHeld())
            m_server.answerPoll(joined);
        return m_joined && m_server.isPollHeld();
    });
}

bool FuzzJanusReceiver::answer(int step, const QByteArray &body)
{
    m_client.stop();
    m_failed = false;
    m_joined = false;
    m_server.newSession();
    m_server.plantAnswer(FuzzJanusServer::Request(qBound(0, step, 2)), body);
    m_client.start(QUrl(m_server.baseUrl()), QStringLiteral("10001"), 20001, QString::fromLatin1(kOwnFeed));
    // Handled: the client asked for what comes after it (the room's
    // answer leads to the join) or gave up.
    bool answered = false;
    bool next = false;
    const QMetaObject::Connection watch =
        QObject::connect(&m_server, &FuzzJanusServer::requestAnswered, [&](FuzzJanusServer::Request request) {
            // Goodbyes of the session stopped above say nothing of this one.
            if (request == FuzzJanusServer::Other)
                return;
            if (answered)
                next = true;
            else if (!m_server.hasPlantedAnswer())
                answered = true;
        });
    const bool handled = waitFor([&] { return next; });
    QObject::disconnect(watch);
    return handled;
}

bool FuzzJanusReceiver::events(const QByteArray &body)
{
    if (!ensureSession())
        return false;
    if (m_failed)
        return true;
    m_server.answerPoll(body);
    return waitFor([this] { return m_server.isPollHeld(); });
}
