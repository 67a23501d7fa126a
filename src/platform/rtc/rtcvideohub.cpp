#include "rtcvideohub.h"

#include "rtcvideoframe.h"

#include <QAtomicInt>
#include <QMetaObject>
#include <QPointer>

// What the view's owner uses to talk back to the engine. Called on the
// owner's thread; the news is handed to the video thread.
class RtcRenderCallback : public agora::media::IExternalVideoRenderCallback
{
public:
    RtcRenderCallback(RtcVideoHub *hub, void *view) : m_hub(hub), m_view(view) {}

    void onViewSizeChanged(int width, int height) override
    {
        m_width.storeRelaxed(width);
        m_height.storeRelaxed(height);
    }

    void onViewDestroyed() override
    {
        QPointer<RtcVideoHub> hub = m_hub;
        void *view = m_view;
        QMetaObject::invokeMethod(m_hub, [hub, view] {
            if (hub)
                hub->viewDestroyed(view);
        }, Qt::QueuedConnection);
    }

private:
    RtcVideoHub *m_hub;
    void *m_view;
    QAtomicInt m_width;
    QAtomicInt m_height;
};

RtcVideoHub::RtcVideoHub(QObject *parent)
    : QObject(parent)
{
}

RtcVideoHub::~RtcVideoHub()
{
    releaseAll();
}

void RtcVideoHub::setFactory(agora::media::IExternalVideoRenderFactory *factory)
{
    m_factory = factory;
}

void RtcVideoHub::bind(agora::rtc::uid_t uid, void *view, int renderMode)
{
    unbind(uid);
    if (!view)
        return;
    // One view shows one video.
    for (auto it = m_renders.cbegin(); it != m_renders.cend(); ++it) {
        if (it->view == view) {
            unbind(it.key());
            break;
        }
    }
    Binding binding;
    binding.view = view;
    if (m_factory) {
        binding.callback = new RtcRenderCallback(this, view);
        agora::media::ExternalVideoRenerContext context { binding.callback, view, renderMode, 0, 0.f, 0.f, 1.f, 1.f };
        binding.render = m_factory->createRenderInstance(context);
        if (binding.render)
            binding.render->initialize();
    }
    m_renders.insert(uid, binding);
}

void RtcVideoHub::deliverFrame(agora::rtc::uid_t uid, int width, int height, const QByteArray &argb, int rotation, bool mirrored)
{
    const auto it = m_renders.constFind(uid);
    if (it == m_renders.cend() || !it->render)
        return;
    const RtcVideoFrame frame(width, height, argb);
    it->render->deliverFrame(frame, rotation, mirrored);
}

void RtcVideoHub::viewDestroyed(void *view)
{
    for (auto it = m_renders.cbegin(); it != m_renders.cend(); ++it) {
        if (it->view == view) {
            unbind(it.key());
            return;
        }
    }
}

void RtcVideoHub::releaseAll()
{
    while (!m_renders.isEmpty())
        unbind(m_renders.cbegin().key());
}

void RtcVideoHub::unbind(agora::rtc::uid_t uid)
{
    const Binding binding = m_renders.take(uid);
    // The render lets go of the callback while it is released, so the
    // callback goes last.
    if (binding.render)
        binding.render->release();
    delete binding.callback;
}
