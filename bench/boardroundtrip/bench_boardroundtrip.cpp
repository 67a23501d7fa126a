// A stroke from one client's whiteboard to another's screen over a real
// broker: the teacher's board peer finishes a stroke (pen released) and the
// student's board peer repaints with it; p50 and p99 of the wall-clock
// difference, measured on one machine. Beside it, in the same run, the
// broker's own hop: a message published by one plain MQTT client until
// another receives it.
#include "classroompeerprocess.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include <MQTTClient.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void printPercentiles(const char *what, std::vector<double> samples)
{
    if (samples.empty()) {
        std::printf("%-44s %s\n", what, "no samples");
        return;
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double share) { return samples[std::min(samples.size() - 1, size_t(share * samples.size()))]; };
    std::printf("%-44s p50 %7.2f ms   p99 %7.2f ms   (%zu)\n", what, at(0.5), at(0.99), samples.size());
}

std::vector<double> brokerHop(quint16 port, int rounds)
{
    std::vector<double> samples;
    const QByteArray address = "tcp://127.0.0.1:" + QByteArray::number(port);
    MQTTClient publisher = nullptr;
    MQTTClient subscriber = nullptr;
    MQTTClient_create(&publisher, address.constData(), "bench-hop-pub", MQTTCLIENT_PERSISTENCE_NONE, nullptr);
    MQTTClient_create(&subscriber, address.constData(), "bench-hop-sub", MQTTCLIENT_PERSISTENCE_NONE, nullptr);
    MQTTClient_connectOptions options = MQTTClient_connectOptions_initializer;
    options.cleansession = 1;
    if (MQTTClient_connect(publisher, &options) != MQTTCLIENT_SUCCESS
        || MQTTClient_connect(subscriber, &options) != MQTTCLIENT_SUCCESS
        || MQTTClient_subscribe(subscriber, "bench/hop", 0) != MQTTCLIENT_SUCCESS) {
        std::printf("broker hop: cannot connect\n");
        return samples;
    }
    const QByteArray body(600, 'x'); // about the size of a stroke envelope
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        MQTTClient_publish(publisher, "bench/hop", body.size(), body.constData(), 0, 0, nullptr);
        char *topic = nullptr;
        int topicLength = 0;
        MQTTClient_message *message = nullptr;
        MQTTClient_receive(subscriber, &topic, &topicLength, &message, 2000);
        if (message) {
            samples.push_back(timer.nsecsElapsed() / 1e6);
            MQTTClient_freeMessage(&message);
            MQTTClient_free(topic);
        }
    }
    MQTTClient_disconnect(publisher, 1000);
    MQTTClient_disconnect(subscriber, 1000);
    MQTTClient_destroy(&publisher);
    MQTTClient_destroy(&subscriber);
    return samples;
}

std::vector<double> strokeRoundTrip(int rounds)
{
    std::vector<double> samples;
    ClassroomPeerProcess teacher;
    ClassroomPeerProcess student;
    const QString dir = TestUtil::binDir();
    if (!student.startProgram(QDir(dir).filePath("lessonry-board-peer-student"), { "--uid", "20001", "--class", "bench" })
        || !teacher.startProgram(QDir(dir).filePath("lessonry-board-peer-teacher"), { "--uid", "30001", "--class", "bench" })) {
        std::printf("stroke round trip: the board peers did not join\n");
        return samples;
    }
    for (int i = 0; i < rounds; ++i) {
        const int teacherFrom = teacher.lineCount();
        const int studentFrom = student.lineCount();
        const int y = 1000 + (i % 80) * 100;
        teacher.command(QStringLiteral("stroke 1000,%1 3000,%2 5000,%1 7000,%2").arg(y).arg(y + 50));
        QString sent;
        QString painted;
        const bool ok = teacher.waitForLine([&sent](const QString &line) {
            if (!line.startsWith("sent "))
                return false;
            sent = line;
            return true;
        }, 10000, teacherFrom) && student.waitForLine([&painted](const QString &line) {
            if (!line.startsWith("painted draw "))
                return false;
            painted = line;
            return true;
        }, 10000, studentFrom);
        if (!ok)
            break;
        const qint64 start = sent.section(' ', 1, 1).toLongLong();
        const qint64 end = painted.section(' ', 3, 3).toLongLong();
        samples.push_back((end - start) / 1000.0);
        // Now and then a clean page, so the boards stay light.
        if (i % 50 == 49)
            teacher.command(QStringLiteral("erase"));
    }
    teacher.command("quit");
    student.command("quit");
    teacher.finish();
    student.finish();
    return samples;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(20, atoi(argv[1])) : 300;
    MosquittoBroker broker;
    QTemporaryDir dir;
    const QString ini = dir.filePath("servers.ini");
    if (!broker.start() || !TestUtil::useServersIni(ini, { "http://127.0.0.1:9", {}, {}, {}, {}, {} })
        || !broker.useInServersIni(ini)) {
        std::printf("cannot start a broker\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::printf("%d rounds over mosquitto on 127.0.0.1\n", rounds);
    printPercentiles("stroke: pen released to repainted elsewhere", strokeRoundTrip(rounds));
    printPercentiles("broker hop: plain MQTT publish to receive", brokerHop(broker.port(), rounds));
    return 0;
}
