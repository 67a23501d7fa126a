#ifndef FUZZJANUSSERVER_H
#define FUZZJANUSSERVER_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// Janus's HTTP API as far as the client uses it, on a free port of
// 127.0.0.1 in the fuzzing process itself: every POST is answered at once
// as Janus would (a session, a handle, an acknowledgement), unless an
// answer has been planted for the next request of a kind; a long poll is
// held until answerPoll() gives it the events to carry. Each answer closes
// its connection, so the client reads it whole.
class FuzzJanusServer : public QObject
{
    Q_OBJECT

public:
    // What a POST asks for, by the order in which a client starts.
    enum Request { Create, Attach, Message, Other };

    explicit FuzzJanusServer(QObject *parent = nullptr);

    bool listen();
    // "http://127.0.0.1:<port>/janus".
    QString baseUrl() const;

    // The next POST of kind request gets body as it is.
    void plantAnswer(Request request, const QByteArray &body);
    bool hasPlantedAnswer() const { return m_planted >= 0; }
    // Forgets the long poll of an earlier session: call before a start.
    void newSession();
    // The handle the session's first attach was given: the publisher's.
    quint64 publisherHandle() const { return m_publisherHandle; }
    // Plugin messages answered since the last create: the room's and the
    // join's make a session up.
    int messagesSinceCreate() const { return m_messages; }
    // Whether a long poll is waiting for its events.
    bool isPollHeld() const { return !m_poll.isNull(); }
    // Answers the held long poll with body; false when none is held.
    bool answerPoll(const QByteArray &body);

signals:
    void requestAnswered(FuzzJanusServer::Request request);
    void pollArrived();

private:
    void readRequest(QTcpSocket *socket);
    void answerPost(QTcpSocket *socket, const QByteArray &path, const QByteArray &body);
    static void reply(QTcpSocket *socket, const QByteArray &body);
    // Whether path ("/janus/<session>[/<handle>]") is of the session now.
    bool isCurrent(const QByteArray &path) const;

    QTcpServer m_server;
    QPointer<QTcpSocket> m_poll;
    int m_planted = -1;
    QByteArray m_plantedBody;
    // Handle ids start again with each session: its publisher's is 2, its
    // subscribers' 3 and on, so an input can name them. Session ids go on
    // counting, so what an earlier session still asks for is told apart
    // (and refused).
    quint64 m_session = 1000;
    quint64 m_nextId = 0;
    quint64 m_publisherHandle = 0;
    bool m_attached = false;
    int m_messages = 0;
};

#endif // FUZZJANUSSERVER_H
