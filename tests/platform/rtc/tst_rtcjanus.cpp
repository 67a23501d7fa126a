#include "mosquittobroker.h"
#include "rtcpeerprocess.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// What the engine does with a media server that answers badly or with
// hostile content: each answer is refused with a clear line in the
// engine's log, and the engine carries on (the channel stays joined, the
// session is made again after a fatal answer, the next events are still
// fetched after a dropped one).
class TestRtcJanus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hostileAnswersAreRefused_data();
    void hostileAnswersAreRefused();

private:
    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
};

namespace {

// A stand-in for Janus's HTTP API that plays along up to the join and
// then hands out one chosen answer to the first long poll.
class FakeJanus : public QObject
{
public:
    explicit FakeJanus(const QByteArray &hostile) : m_hostile(hostile)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/janus").arg(m_server.serverPort()); }
    int sessionsMade() const { return m_sessions; }
    // Polls after the one that had the chosen answer.
    int pollsAfter() const { return m_delivered ? m_polls - m_pollsAtDelivery : 0; }

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QByteArray head = buffer.left(headerEnd);
        int length = 0;
        for (const QByteArray &line : head.split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toInt();
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        const QByteArray body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        const QList<QByteArray> requestLine = head.left(head.indexOf('\r')).split(' ');
        answer(socket, requestLine.value(0), requestLine.value(1), QJsonDocument::fromJson(body).object());
    }

    void answer(QTcpSocket *socket, const QByteArray &method, const QByteArray &path, const QJsonObject &request)
    {
        QByteArray reply;
        if (method == "GET") {
            ++m_polls;
            if (m_joined && !m_delivered) {
                m_delivered = true;
                m_pollsAtDelivery = m_polls;
                reply = m_hostile;
            } else {
                // Later polls find nothing new for a moment.
                QPointer<QTcpSocket> later = socket;
                QTimer::singleShot(200, this, [later] {
                    if (later)
                        send(later, R"({"janus":"keepalive"})");
                });
                return;
            }
        } else {
            const QString kind = request.value(QStringLiteral("janus")).toString();
            const QString request_ = request.value(QStringLiteral("body")).toObject().value(QStringLiteral("request")).toString();
            if (kind == QLatin1String("create")) {
                ++m_sessions;
                reply = R"({"janus":"success","data":{"id":1}})";
            } else if (kind == QLatin1String("attach")) {
                reply = R"({"janus":"success","data":{"id":2}})";
            } else if (request_ == QLatin1String("create")) {
                reply = R"({"janus":"success","plugindata":{"plugin":"janus.plugin.videoroom","data":{"videoroom":"created"}}})";
            } else {
                if (request_ == QLatin1String("join"))
                    m_joined = true;
                reply = R"({"janus":"ack"})";
            }
        }
        Q_UNUSED(path)
        send(socket, reply);
    }

    static void send(QTcpSocket *socket, const QByteArray &body)
    {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\n\r\n" + body);
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QByteArray m_hostile;
    bool m_joined = false;
    bool m_delivered = false;
    int m_pollsAtDelivery = 0;
    int m_sessions = 0;
    int m_polls = 0;
};

QByteArray joinedWith(const QByteArray &publishers)
{
    return R"({"janus":"event","sender":2,"plugindata":{"plugin":"janus.plugin.videoroom","data":{"videoroom":"joined","room":"hostile","id":"x","publishers":)"
        + publishers + "}}}";
}

} // namespace

void TestRtcJanus::initTestCase()
{
    QVERIFY(m_broker.start());
}

void TestRtcJanus::hostileAnswersAreRefused_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<bool>("fatal"); // the session is made again

    QTest::newRow("oversized") << QByteArray(2 * 1024 * 1024, ' ') + "{}"
                               << QStringLiteral("an answer of more than 1048576 bytes was refused") << true;
    QTest::newRow("not JSON") << QByteArray("<html>busy</html>") << QStringLiteral("an answer that is not JSON was refused")
                              << true;
    QTest::newRow("not an object") << QByteArray("42") << QStringLiteral("an answer that is not JSON was refused") << true;
    QTest::newRow("event not an object") << QByteArray("[1]") << QStringLiteral("an event that is not an object was dropped")
                                         << false;
    QTest::newRow("publishers not a list") << joinedWith("\"all\"")
                                           << QStringLiteral("a publishers list that is not a list was dropped") << false;
    QTest::newRow("publisher without a uid") << joinedWith(R"([{"id":"a","display":"Ms. Green"}])")
                                             << QStringLiteral("a publisher was dropped: its display name is not a uid") << false;
    QTest::newRow("publisher id not a text") << joinedWith(R"([{"id":7,"display":"30001"}])")
                                             << QStringLiteral("a publisher was dropped: its id is not a text") << false;
    QTest::newRow("publisher id too long") << joinedWith(R"([{"id":")" + QByteArray(200, 'a') + R"(","display":"30001"}])")
                                           << QStringLiteral("a publisher was dropped: its id is not a text") << false;
    QTest::newRow("too many publishers") << joinedWith("[" + QByteArray("{},").repeated(300) + "{}]")
                                         << QStringLiteral("a list of 301 publishers was refused") << false;
    QTest::newRow("unknown handle") << QByteArray(R"({"janus":"event","sender":99,"plugindata":{"data":{"videoroom":"attached"}}})")
                                    << QStringLiteral("an event for an unknown handle was dropped") << false;
    QTest::newRow("answer not SDP") << QByteArray(R"({"janus":"event","sender":2,"plugindata":{"data":{"videoroom":"event"}},"jsep":{"type":"answer","sdp":"hello"}})")
                                    << QStringLiteral("our feed's answer was refused: not an SDP text") << true;
    QTest::newRow("answer SDP oversized") << QByteArray(R"({"janus":"event","sender":2,"plugindata":{"data":{"videoroom":"event"}},"jsep":{"type":"answer","sdp":"v=0)"
                                                        + QByteArray(70000, 'x') + "\"}}")
                                          << QStringLiteral("our feed's answer was refused: an SDP of more than 65536 bytes")
                                          << true;
    QTest::newRow("answer mistyped") << QByteArray(R"({"janus":"event","sender":2,"plugindata":{"data":{"videoroom":"event"}},"jsep":{"type":"answer","sdp":5}})")
                                     << QStringLiteral("our feed's answer was refused: no SDP text") << true;
}

void TestRtcJanus::hostileAnswersAreRefused()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, logged);
    QFETCH(bool, fatal);
    FakeJanus janus(answer);
    const QString logPath = m_dir.filePath(QStringLiteral("%1.log").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
    RtcPeerProcess peer(m_broker.port(), 20001);
    peer.setMedia(janus.url(), 440);
    peer.setLog(logPath);
    QVERIFY(peer.start());
    peer.command(QStringLiteral("join hostile"));
    QCOMPARE(peer.take(QStringLiteral("join-result")), QStringLiteral("join-result 0"));
    const auto log = [&logPath] {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(log().contains(logged), qPrintable(log()), 15000);
    // The engine carries on: a new session after a fatal answer, the next
    // events fetched after a dropped one.
    if (fatal)
        QTRY_VERIFY_WITH_TIMEOUT(janus.sessionsMade() >= 2, 15000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(janus.pollsAfter() >= 1, 15000);
    QVERIFY(!peer.take(QStringLiteral("joined hostile")).isEmpty());
    QCOMPARE(peer.finish(), 0);
}

QTEST_GUILESS_MAIN(TestRtcJanus)
#include "tst_rtcjanus.moc"
