#ifndef BENCHVIDEOENGINE_H
#define BENCHVIDEOENGINE_H

// The RTC engine as the video benchmarks set it up: video on, remote and
// local views drawn by the client's own renders, the join awaited through
// the handler's flag.

#include "biz/im/agora/videorender.h"
#include "platform/rtc/mediaengine.h"
#include "platform/rtc/rtcengine.h"

#include <atomic>

class BenchJoinHandler : public agora::rtc::IRtcEngineEventHandler
{
public:
    void onJoinChannelSuccess(const char *, agora::rtc::uid_t, int) override { joined = true; }
    std::atomic<bool> joined { false };
};

class BenchRenderFactory : public agora::media::IExternalVideoRenderFactory
{
public:
    agora::media::IExternalVideoRender *createRenderInstance(const agora::media::ExternalVideoRenerContext &context) override
    {
        return context.view ? new VideoRender(context) : nullptr;
    }
};

// The engine with video enabled and the client's renders, or nullptr when
// it does not start. The handler must outlive the engine.
inline agora::rtc::IRtcEngine *startBenchVideoEngine(BenchJoinHandler *handler)
{
    static BenchRenderFactory factory;
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

#endif // BENCHVIDEOENGINE_H
