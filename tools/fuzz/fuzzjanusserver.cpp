#include "fuzzjanusserver.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

namespace {

// A request larger than any the client sends is not ours: dropped.
const int kMaxRequestBytes = 1024 * 1024;
const char kBufferProperty[] = "fuzzRequestBuffer";
const char kNoSuchSession[] = R"({"janus":"error","error":{"code":458,"reason":"No such session"}})";

} // namespace

FuzzJanusServer::FuzzJanusServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool FuzzJanusServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString FuzzJanusServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/janus").arg(m_server.serverPort());
}

void FuzzJanusServer::plantAnswer(Request request, const QByteArray &body)
{
    m_planted = request;
    m_plantedBody = body;
}

void FuzzJanusServer::newSession()
{
    m_messages = 0;
    m_publisherHandle = 0;
    if (!m_poll.isNull())
        m_poll->abort();
    m_poll.clear();
}

bool FuzzJanusServer::answerPoll(const QByteArray &body)
{
    if (m_poll.isNull())
        return false;
    QTcpSocket *poll = m_poll;
    m_poll.clear();
    reply(poll, body);
    return true;
}

void FuzzJanusServer::readRequest(QTcpSocket *socket)
{
    QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
    if (buffer.size() > kMaxRequestBytes) {
        socket->abort();
        return;
    }
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        socket->setProperty(kBufferProperty, buffer);
        return;
    }
    int contentLength = 0;
    for (const QByteArray &line : buffer.left(headerEnd).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.toLower().startsWith("content-length:"))
            contentLength = trimmed.mid(int(sizeof("content-length:")) - 1).trimmed().toInt();
    }
    if (buffer.size() < headerEnd + 4 + contentLength) {
        socket->setProperty(kBufferProperty, buffer);
        return;
    }
    socket->setProperty(kBufferProperty, QByteArray());
    const QByteArray path = buffer.left(buffer.indexOf("\r\n")).split(' ').value(1);
    if (buffer.startsWith("GET ")) {
        if (!isCurrent(path.left(path.indexOf('?')))) {
            reply(socket, kNoSuchSession);
            return;
        }
        // One long poll at a time, as the client keeps it.
        if (!m_poll.isNull())
            reply(m_poll, "[]");
        m_poll = socket;
        emit pollArrived();
        return;
    }
    answerPost(socket, path, buffer.mid(headerEnd + 4, contentLength));
}

void FuzzJanusServer::answerPost(QTcpSocket *socket, const QByteArray &path, const QByteArray &body)
{
    const QJsonObject request = QJsonDocument::fromJson(body).object();
    const QString verb = request.value(QStringLiteral("janus")).toString();
    Request kind = Other;
    if (verb == QLatin1String("create"))
        kind = Create;
    else if (verb == QLatin1String("attach"))
        kind = Attach;
    else if (verb == QLatin1String("message"))
        kind = Message;

    if (kind != Create && !isCurrent(path)) {
        reply(socket, kNoSuchSession);
        return;
    }
    if (kind == Create) {
        m_nextId = 1;
        m_publisherHandle = 0;
        m_attached = false;
        m_messages = 0;
    } else if (kind == Message) {
        ++m_messages;
    }
    if (m_planted == kind) {
        m_planted = -1;
        // The session is the one the answer names, if any.
        if (kind == Create)
            m_session = quint64(QJsonDocument::fromJson(m_plantedBody).object().value(QStringLiteral("data")).toObject()
                                    .value(QStringLiteral("id")).toDouble());
        reply(socket, m_plantedBody);
        emit requestAnswered(kind);
        return;
    }
    QJsonObject answer;
    answer.insert(QStringLiteral("transaction"), request.value(QStringLiteral("transaction")));
    if (kind == Create) {
        answer.insert(QStringLiteral("janus"), QStringLiteral("success"));
        answer.insert(QStringLiteral("data"), QJsonObject{ { QStringLiteral("id"), double(++m_session) } });
    } else if (kind == Attach) {
        answer.insert(QStringLiteral("janus"), QStringLiteral("success"));
        answer.insert(QStringLiteral("data"), QJsonObject{ { QStringLiteral("id"), double(++m_nextId) } });
        if (kind == Attach && !m_attached) {
            m_attached = true;
            m_publisherHandle = m_nextId;
        }
    } else if (kind == Message) {
        answer.insert(QStringLiteral("janus"), QStringLiteral("ack"));
    } else {
        answer.insert(QStringLiteral("janus"), QStringLiteral("success"));
    }
    reply(socket, QJsonDocument(answer).toJson(QJsonDocument::Compact));
    emit requestAnswered(kind);
}

bool FuzzJanusServer::isCurrent(const QByteArray &path) const
{
    const QList<QByteArray> levels = path.split('/');
    return levels.size() > 2 && levels.at(2).toULongLong() == m_session;
}

void FuzzJanusServer::reply(QTcpSocket *socket, const QByteArray &body)
{
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
                  + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
}
