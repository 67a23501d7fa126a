// The broker's own hop for bench_boardroundtrip, in a process of its own
// as the board peers are: a plain Paho asynchronous client at the
// classroom's QoS (1), with TCP_NODELAY set after the connect as the
// client does. Same line protocol as the board peers:
//   --role sub: prints "inchannel" once subscribed, then
//               "painted raw <topic> <µs>" as each message arrives;
//   --role pub: prints "inchannel" once connected; the command "pub"
//               prints "sent <µs>" and publishes a stroke-sized envelope.
// Standard input closing ends it.
#include "stdincommands.h"

#include "platform/tcpnodelay.h"

#include <MQTTAsync.h>

#include <QCommandLineParser>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>

namespace {

const char kTopic[] = "bench/rawhop";

qint64 wallMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void emitLine(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

std::string g_uri;

void onSubscribed(void *, MQTTAsync_successData *)
{
    emitLine(QStringLiteral("inchannel"));
}

void onConnected(void *context, MQTTAsync_successData *)
{
    TcpNoDelay::setOnConnectionsToUri(g_uri);
    auto client = static_cast<MQTTAsync>(context);
    if (!client) {
        emitLine(QStringLiteral("inchannel"));
        return;
    }
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = onSubscribed;
    MQTTAsync_subscribe(client, kTopic, 1, &options);
}

int onArrived(void *, char *topic, int, MQTTAsync_message *message)
{
    const qint64 now = wallMicros();
    emitLine(QStringLiteral("painted raw %1 %2").arg(QString::fromUtf8(topic)).arg(now));
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topic);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Broker port."), QStringLiteral("port"));
    const QCommandLineOption roleOption(QStringLiteral("role"), QStringLiteral("pub or sub."), QStringLiteral("role"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Payload bytes."), QStringLiteral("bytes"),
                                        QStringLiteral("800"));
    parser.addOptions({ portOption, roleOption, sizeOption });
    parser.process(app);
    const bool subscriber = parser.value(roleOption) == QLatin1String("sub");
    g_uri = "tcp://127.0.0.1:" + parser.value(portOption).toStdString();
    const std::string clientId = subscriber ? "bench-rawhop-sub" : "bench-rawhop-pub";

    MQTTAsync client = nullptr;
    if (MQTTAsync_create(&client, g_uri.c_str(), clientId.c_str(), MQTTCLIENT_PERSISTENCE_NONE, nullptr) != MQTTASYNC_SUCCESS)
        return 1;
    MQTTAsync_setCallbacks(client, nullptr, nullptr, onArrived, nullptr);
    MQTTAsync_connectOptions connect = MQTTAsync_connectOptions_initializer;
    connect.cleansession = 1;
    connect.keepAliveInterval = 60;
    connect.onSuccess = onConnected;
    connect.context = subscriber ? client : nullptr;
    if (MQTTAsync_connect(client, &connect) != MQTTASYNC_SUCCESS)
        return 1;

    const QByteArray payload(parser.value(sizeOption).toInt(), 'x');
    StdinCommands commands(
        [&](const QString &line) {
            if (line != QLatin1String("pub"))
                return;
            MQTTAsync_message message = MQTTAsync_message_initializer;
            message.payload = const_cast<char *>(payload.constData());
            message.payloadlen = payload.size();
            message.qos = 1;
            const qint64 sent = wallMicros();
            MQTTAsync_sendMessage(client, kTopic, &message, nullptr);
            emitLine(QStringLiteral("sent %1").arg(sent));
        },
        [] { QCoreApplication::quit(); });
    const int code = app.exec();
    MQTTAsync_disconnectOptions disconnect = MQTTAsync_disconnectOptions_initializer;
    disconnect.timeout = 1000;
    MQTTAsync_disconnect(client, &disconnect);
    MQTTAsync_destroy(&client);
    return code;
}
