// Measures the classroom message path:
//  - envelope encode (buildMsgText) and decode (header, then the typed
//    envelope) per second, and receiveMsg as a whole (both parses, the
//    repeat check, the log line, the action record and the signal);
//  - one message from a teacher process (lessonry-classroom-peer-teacher,
//    "stamp": the wall-clock time of its send in the text) to
//    signal_receiveTextMsg in this process, over a mosquitto broker of its
//    own, p50 and p99;
//  - beside it, in the same run, the broker's own hop: a raw Paho
//    publisher to a raw Paho subscriber (time from the publish call to the
//    library's arrival callback).
// The log is on, in a temporary data folder, as the client runs.

#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/logmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <MQTTAsync.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

const int kCodecRounds = 20000;
const int kHops = 1000;

qint64 nowMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

struct Percentiles
{
    double p50 = 0;
    double p99 = 0;
};

Percentiles percentiles(std::vector<qint64> samples)
{
    Percentiles result;
    if (samples.empty())
        return result;
    std::sort(samples.begin(), samples.end());
    result.p50 = samples[samples.size() / 2];
    result.p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    return result;
}

DrawUnitData sampleStroke()
{
    DrawUnitData draw;
    draw.objecttype = 1;
    draw.atPage = 3;
    draw.classid = QStringLiteral("10001");
    draw.mtlid = QStringLiteral("m-4711");
    QString points;
    for (int i = 0; i < 50; ++i)
        points += (i ? QStringLiteral(",") : QString()) + QString::number(65536 * (100 + i) + 200 + i);
    draw.objectdetail = QStringLiteral(R"({"element":{"color":4294901760,"page":3,"ptArray":[%1],"size":3,"type":1},"version":1})").arg(points);
    return draw;
}

void codecFigures()
{
    SendAndReceiveMsg *layer = SendAndReceiveMsg::instance();
    const DrawUnitData draw = sampleStroke();
    QElapsedTimer timer;

    timer.start();
    QString text;
    for (int i = 0; i < kCodecRounds; ++i)
        text = layer->buildMsgText(draw, IM_WBDraw, QStringLiteral("30001"));
    const double encode = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    timer.restart();
    for (int i = 0; i < kCodecRounds; ++i) {
        BaseMessageEntity header;
        MessageEntity<DrawUnitData> entity;
        fromJson(text, header);
        fromJson(text, entity);
    }
    const double decode = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    // Fresh uuids, so every text passes the repeat check.
    QStringList texts;
    for (int i = 0; i < kCodecRounds; ++i)
        texts << layer->buildMsgText(draw, IM_WBDraw, QStringLiteral("30001"));
    int received = 0;
    // The counter lives on this frame: the connection ends with it, or a
    // later stroke would write into whatever frame is there then.
    QObject scope;
    QObject::connect(layer, &SendAndReceiveMsg::signal_receiveDrawMsg, &scope, [&received] { ++received; });
    timer.restart();
    for (const QString &t : qAsConst(texts))
        layer->receiveMsg(t);
    const double receive = kCodecRounds / (timer.nsecsElapsed() / 1e9);

    std::printf("envelope of a 50-point stroke: %d bytes\n", int(text.toUtf8().size()));
    std::printf("%-44s %10.0f /s\n", "encode (buildMsgText)", encode);
    std::printf("%-44s %10.0f /s\n", "decode (header + typed envelope)", decode);
    std::printf("%-44s %10.0f /s  (%d signals)\n", "receiveMsg, whole", receive, received);
}

// --- the broker's own hop with raw Paho clients -------------------------

struct RawHop
{
    QSemaphore arrived;
    std::atomic<qint64> arrivalMicros{ 0 };
};

int rawArrived(void *context, char *topic, int, MQTTAsync_message *message)
{
    auto *hop = static_cast<RawHop *>(context);
    hop->arrivalMicros = nowMicros();
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topic);
    hop->arrived.release();
    return 1;
}

void rawConnected(void *context, MQTTAsync_successData *)
{
    static_cast<QSemaphore *>(context)->release();
}

bool rawConnect(MQTTAsync client, QSemaphore *done)
{
    MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
    options.cleansession = 1;
    options.onSuccess = rawConnected;
    options.context = done;
    return MQTTAsync_connect(client, &options) == MQTTASYNC_SUCCESS && done->tryAcquire(1, 10000);
}

Percentiles rawPahoHop(quint16 port)
{
    const QByteArray uri = "tcp://127.0.0.1:" + QByteArray::number(port);
    MQTTAsync publisher = nullptr;
    MQTTAsync subscriber = nullptr;
    RawHop hop;
    QSemaphore done;
    MQTTAsync_create(&publisher, uri.constData(), "bench_pub", MQTTCLIENT_PERSISTENCE_NONE, nullptr);
    MQTTAsync_create(&subscriber, uri.constData(), "bench_sub", MQTTCLIENT_PERSISTENCE_NONE, nullptr);
    MQTTAsync_setCallbacks(subscriber, &hop, nullptr, rawArrived, nullptr);
    std::vector<qint64> samples;
    if (rawConnect(publisher, &done) && rawConnect(subscriber, &done)) {
        MQTTAsync_responseOptions subscribed = MQTTAsync_responseOptions_initializer;
        subscribed.onSuccess = rawConnected;
        subscribed.context = &done;
        MQTTAsync_subscribe(subscriber, "bench/hop", 1, &subscribed);
        done.tryAcquire(1, 10000);
        const QByteArray payload = SendAndReceiveMsg::instance()
                                       ->buildMsgText(TextMessage{ "stamp", "10001", "1700000000000000" }, IM_Text, "30001")
                                       .toUtf8();
        for (int i = 0; i < kHops + 50; ++i) {
            MQTTAsync_message message = MQTTAsync_message_initializer;
            message.payload = const_cast<char *>(payload.constData());
            message.payloadlen = payload.size();
            message.qos = 1;
            const qint64 sent = nowMicros();
            MQTTAsync_sendMessage(publisher, "bench/hop", &message, nullptr);
            if (!hop.arrived.tryAcquire(1, 5000))
                break;
            if (i >= 50) // warm-up
                samples.push_back(hop.arrivalMicros - sent);
        }
    }
    MQTTAsync_destroy(&publisher);
    MQTTAsync_destroy(&subscriber);
    return percentiles(samples);
}

// --- client process to typed signal -------------------------------------

Percentiles clientToSignal(quint16 port, const QString &classId)
{
    Q_UNUSED(port)
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->init(user.id);
    QSignalSpy loggedIn(mqtt, &MqttImSdk::signal_loginSuccess);
    QSignalSpy joined(mqtt, &MqttImSdk::signal_joinChannelSuccess);
    mqtt->login(classId, user.id, QStringLiteral("session"));
    if (!loggedIn.wait(10000))
        return {};
    mqtt->joinChannel(classId, user.id);
    while (joined.count() < 2 && joined.wait(5000)) {
    }

    ClassroomPeerProcess teacher;
    if (!teacher.start(ClassroomPeerProcess::Teacher, QStringLiteral("30001"), classId))
        return {};

    std::vector<qint64> samples;
    qint64 latest = -1;
    QEventLoop loop;
    // Ends with the loop: a stamp that comes late finds no dead frame.
    QObject::connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveTextMsg, &loop,
                     [&](ImMsgInfo, TextMessage text) {
                         if (text.nickname == QLatin1String("stamp")) {
                             latest = nowMicros() - text.content.toLongLong();
                             loop.quit();
                         }
                     });
    for (int i = 0; i < kHops + 50; ++i) {
        latest = -1;
        teacher.command(QStringLiteral("stamp"));
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        if (latest < 0)
            break;
        if (i >= 50)
            samples.push_back(latest);
    }
    teacher.finish();
    return percentiles(samples);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    Singleton<LogMgr>::instance()->init();

    std::printf("== envelope encode and decode (%d rounds)\n", kCodecRounds);
    codecFigures();

    MosquittoBroker broker;
    const QString ini = home.filePath(QStringLiteral("servers.ini"));
    if (!broker.start() || !TestUtil::useServersIni(ini, { QStringLiteral("http://127.0.0.1:9"), {}, {}, {}, {}, {} })
        || !broker.useInServersIni(ini)) {
        std::printf("cannot start a broker\n");
        return 1;
    }
    std::printf("\n== one message, %d times, one at a time (microseconds)\n", kHops);
    const Percentiles raw = rawPahoHop(broker.port());
    const Percentiles ours = clientToSignal(broker.port(), QStringLiteral("bench"));
    std::printf("%-44s p50 %7.0f  p99 %7.0f\n", "raw Paho publish -> raw Paho arrival", raw.p50, raw.p99);
    std::printf("%-44s p50 %7.0f  p99 %7.0f\n", "teacher sendMsg -> signal_receiveTextMsg", ours.p50, ours.p99);
    MqttImSdk::instance()->destory();
    return 0;
}
