// Latency of one text from one signalling library object to another over a
// real mosquitto broker on 127.0.0.1 (channel and peer texts), next to the
// broker's own hop: a raw Paho publisher and subscriber, QoS 1, on the same
// broker. Texts go one at a time; each is timed from the send call to its
// arrival callback. Medians and 99th percentiles in microseconds.

#include "mosquittobroker.h"
#include "platform/signalling/signalapi.h"

#include <MQTTAsync.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const int kRounds = 2000;
const char kAppId[] = "0123456789abcdef0123456789abcdef";
const std::string kText(300, 'x'); // about the size of a stroke envelope

// Counts arrivals; the sender waits for the next one.
class Arrivals
{
public:
    void arrived()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_count;
        m_changed.notify_all();
    }
    int count()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_count;
    }
    bool waitFor(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&]() { return m_count >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count = 0;
};

class Participant : public agora_sdk_win::ICallBack
{
public:
    Participant(const std::string &host, int port)
    {
        m_api = getAgoraSDKInstanceWin(kAppId, 32);
        m_api->setServerAddress(host.c_str(), host.size(), port);
        m_api->registerCallback(this);
        m_loop = std::thread([this]() { m_api->runLoop(); });
    }
    ~Participant() override
    {
        m_api->release();
        m_loop.join();
    }
    bool login(const std::string &account, const std::string &channel)
    {
        m_api->loginUser(kAppId, 32, account.c_str(), account.size(), "", 0, 0, "", 0, 30, 5);
        if (!m_ready.waitFor(1))
            return false;
        m_api->enterChannel(channel.c_str(), channel.size());
        return m_ready.waitFor(2);
    }
    agora_sdk_win::SignalApi *api() const { return m_api; }
    Arrivals &texts() { return m_texts; }

    void onLoginSuccess(uint32_t, int) override { m_ready.arrived(); }
    void onChannelJoined(const char *, size_t) override { m_ready.arrived(); }
    void onMessageChannelReceive(const char *, size_t, const char *, size_t, uint32_t, const char *, size_t) override
    {
        m_texts.arrived();
    }
    void onMessageInstantReceive(const char *, size_t, uint32_t, const char *, size_t) override { m_texts.arrived(); }

private:
    agora_sdk_win::SignalApi *m_api = nullptr;
    std::thread m_loop;
    Arrivals m_ready;
    Arrivals m_texts;
};

struct Figures
{
    double median = 0;
    double p99 = 0;
};

Figures figuresOf(std::vector<double> micros)
{
    std::sort(micros.begin(), micros.end());
    if (micros.empty())
        return {};
    return { micros[micros.size() / 2], micros[std::min(micros.size() - 1, micros.size() * 99 / 100)] };
}

// Sends kRounds texts with send(), waiting for each in arrivals.
template<typename Send>
Figures timeRounds(Arrivals &arrivals, Send send)
{
    std::vector<double> micros;
    const int before = arrivals.count();
    for (int i = 1; i <= kRounds; ++i) {
        const Clock::time_point start = Clock::now();
        send(i);
        if (!arrivals.waitFor(before + i))
            return {};
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return figuresOf(micros);
}

// The raw hop: one Paho client publishes, another subscribes.
class RawHop
{
public:
    RawHop(const std::string &host, int port)
    {
        const std::string uri = "tcp://" + host + ":" + std::to_string(port);
        MQTTAsync_create(&m_publisher, uri.c_str(), "bench-raw-pub", MQTTCLIENT_PERSISTENCE_NONE, nullptr);
        MQTTAsync_create(&m_subscriber, uri.c_str(), "bench-raw-sub", MQTTCLIENT_PERSISTENCE_NONE, nullptr);
        MQTTAsync_setCallbacks(m_subscriber, this, nullptr, &RawHop::arrived, nullptr);
        connect(m_publisher);
        connect(m_subscriber);
        MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
        options.context = this;
        options.onSuccess = [](void *context, MQTTAsync_successData *) {
            static_cast<RawHop *>(context)->m_ready.arrived();
        };
        MQTTAsync_subscribe(m_subscriber, "bench/raw", 1, &options);
    }
    ~RawHop()
    {
        MQTTAsync_destroy(&m_publisher);
        MQTTAsync_destroy(&m_subscriber);
    }
    bool ready() { return m_ready.waitFor(3); }
    void publish()
    {
        MQTTAsync_message message = MQTTAsync_message_initializer;
        message.payload = const_cast<char *>(kText.data());
        message.payloadlen = int(kText.size());
        message.qos = 1;
        MQTTAsync_sendMessage(m_publisher, "bench/raw", &message, nullptr);
    }
    Arrivals &texts() { return m_texts; }

private:
    void connect(MQTTAsync client)
    {
        MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
        options.cleansession = 1;
        options.context = this;
        options.onSuccess = [](void *context, MQTTAsync_successData *) {
            static_cast<RawHop *>(context)->m_ready.arrived();
        };
        MQTTAsync_connect(client, &options);
        // One at a time, so each new socket is looked at promptly.
        m_ready.waitFor(++m_expected);
    }
    static int arrived(void *context, char *topic, int, MQTTAsync_message *message)
    {
        MQTTAsync_freeMessage(&message);
        MQTTAsync_free(topic);
        static_cast<RawHop *>(context)->m_texts.arrived();
        return 1;
    }

    MQTTAsync m_publisher = nullptr;
    MQTTAsync m_subscriber = nullptr;
    Arrivals m_ready;
    Arrivals m_texts;
    int m_expected = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    MosquittoBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "cannot start mosquitto\n");
        return 1;
    }
    const std::string host = broker.host().toStdString();
    const int port = broker.port();

    Figures raw;
    {
        RawHop hop(host, port);
        if (!hop.ready()) {
            std::fprintf(stderr, "raw Paho clients did not connect\n");
            return 1;
        }
        raw = timeRounds(hop.texts(), [&](int) { hop.publish(); });
    }

    Figures channel;
    Figures peer;
    {
        Participant teacher(host, port);
        Participant student(host, port);
        if (!teacher.login("30001", "10001") || !student.login("20001", "10001")) {
            std::fprintf(stderr, "signalling participants did not log in\n");
            return 1;
        }
        channel = timeRounds(student.texts(), [&](int i) {
            const std::string id = "c" + std::to_string(i);
            teacher.api()->sendChannelText("10001", 5, kText.data(), kText.size(), id.c_str(), id.size());
        });
        peer = timeRounds(student.texts(), [&](int i) {
            const std::string id = "p" + std::to_string(i);
            teacher.api()->sendPeerText("20001", 5, 0, kText.data(), kText.size(), id.c_str(), id.size());
        });
    }

    if (raw.median == 0 || channel.median == 0 || peer.median == 0) {
        std::fprintf(stderr, "a text did not arrive\n");
        return 1;
    }
    std::printf("%d texts of %zu bytes each, one at a time, send call to arrival callback (microseconds)\n",
                kRounds, kText.size());
    std::printf("raw Paho publisher -> subscriber, QoS 1:   median %8.1f   p99 %8.1f\n", raw.median, raw.p99);
    std::printf("signalling library, channel text:          median %8.1f   p99 %8.1f\n", channel.median, channel.p99);
    std::printf("signalling library, peer text:             median %8.1f   p99 %8.1f\n", peer.median, peer.p99);
    return 0;
}
