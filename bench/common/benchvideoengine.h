#ifndef BENCHVIDEOENGINE_H
#define BENCHVIDEOENGINE_H

// The RTC engine as the video benchmarks set it up: video on, remote and
// local views drawn by the client's own renders, the relay on a broker of
// the benchmark's own, the join awaited through the handler's flag.

#include "janusserver.h"
#include "mosquittobroker.h"

#include "biz/im/agora/videorender.h"
#include "platform/rtc/mediaengine.h"
#include "platform/rtc/rtcengine.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <memory>

class BenchJoinHandler : public agora::rtc::IRtcEngineEventHandler
{
public:
    void onJoinChannelSuccess(const char *, agora::rtc::uid_t, int) override { joined = true; }
    std::atomic<bool> joined { false };
};

// The client's render, counting the frames the engine hands it: what
// reached the view's render, shown or not.
class BenchCountingRender : public VideoRender
{
public:
    BenchCountingRender(const agora::media::ExternalVideoRenerContext &context, std::shared_ptr<std::atomic<int>> delivered)
        : VideoRender(context)
        , m_delivered(std::move(delivered))
    {
    }
    int deliverFrame(const agora::media::IVideoFrame &frame, int rotation, bool mirrored) override
    {
        ++*m_delivered;
        return VideoRender::deliverFrame(frame, rotation, mirrored);
    }

private:
    std::shared_ptr<std::atomic<int>> m_delivered;
};

class BenchRenderFactory : public agora::media::IExternalVideoRenderFactory
{
public:
    agora::media::IExternalVideoRender *createRenderInstance(const agora::media::ExternalVideoRenerContext &context) override
    {
        if (!context.view)
            return nullptr;
        QMutexLocker hold(&m_lock);
        const auto counter = m_delivered.value(context.view);
        return counter ? new BenchCountingRender(context, counter) : new VideoRender(context);
    }
    // Frames handed to the render of view from now on; before it is bound.
    std::shared_ptr<std::atomic<int>> countFramesFor(void *view)
    {
        QMutexLocker hold(&m_lock);
        auto &counter = m_delivered[view];
        if (!counter)
            counter = std::make_shared<std::atomic<int>>(0);
        return counter;
    }

private:
    QMutex m_lock;
    QHash<void *, std::shared_ptr<std::atomic<int>>> m_delivered;
};

// The engine with video enabled and the client's renders, or nullptr when
// it does not start. The handler must outlive the engine.
inline BenchRenderFactory &benchRenderFactory()
{
    static BenchRenderFactory factory;
    return factory;
}

inline agora::rtc::IRtcEngine *startBenchVideoEngine(BenchJoinHandler *handler)
{
    BenchRenderFactory &factory = benchRenderFactory();
    agora::rtc::IRtcEngine *engine = createAgoraRtcEngine();
    const agora::rtc::RtcEngineContext context { handler, "0123456789abcdef0123456789abcdef" };
    if (engine->initialize(context) != 0)
        return nullptr;
    void *inter = nullptr;
    engine->queryInterface(agora::rtc::AGORA_IID_MEDIA_ENGINE, &inter);
    agora::util::AutoPtr<agora::media::IMediaEngine> media(static_cast<agora::media::IMediaEngine *>(inter));
    media->registerVideoRenderFactory(&factory);
    engine->enableVideo();
    return engine;
}

inline agora::util::AutoPtr<agora::rtc::IRtcEngineParameter> benchEngineParameters(agora::rtc::IRtcEngine *engine)
{
    void *inter = nullptr;
    engine->queryInterface(agora::rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &inter);
    return agora::util::AutoPtr<agora::rtc::IRtcEngineParameter>(static_cast<agora::rtc::IRtcEngineParameter *>(inter));
}

// Starts broker and the media server and points the engine's relay and
// media at them; false, said on standard error, when one does not start.
inline bool startBenchRelay(agora::rtc::IRtcEngine *engine, MosquittoBroker &broker, JanusServer &janus)
{
    if (!broker.start() || !janus.start()) {
        std::fprintf(stderr, "no broker or no Janus\n");
        return false;
    }
    const QByteArray relay = QStringLiteral("{\"host\":\"127.0.0.1\",\"port\":%1}").arg(broker.port()).toUtf8();
    benchEngineParameters(engine)->setObject("rtc.relay_server", relay.constData());
    const QByteArray media = QStringLiteral("{\"url\":\"%1\"}").arg(janus.url()).toUtf8();
    benchEngineParameters(engine)->setObject("rtc.media_server", media.constData());
    return true;
}

// Joins channel as uid and waits for the join; false, said on standard
// error, when it does not complete within 10 s.
inline bool joinBenchChannel(agora::rtc::IRtcEngine *engine, const BenchJoinHandler &handler, const char *channel,
                             agora::rtc::uid_t uid)
{
    engine->joinChannel(nullptr, channel, nullptr, uid);
    QElapsedTimer clock;
    clock.start();
    while (!handler.joined && clock.elapsed() < 10000)
        QTest::qWait(20);
    if (!handler.joined)
        std::fprintf(stderr, "the join did not complete\n");
    return handler.joined;
}

#endif // BENCHVIDEOENGINE_H
