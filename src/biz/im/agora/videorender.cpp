#include "videorender.h"

#include <QDebug>
#include <QThread>

namespace {

Qt::ConnectionType handOver(QObject *view)
{
    // The engine calls in on its own threads and waits for the view; a
    // view on the calling thread (only in tests) is called directly.
    return view->thread() == QThread::currentThread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
}

} // namespace

VideoRender::VideoRender(const agora::media::ExternalVideoRenerContext &context)
    : m_view(static_cast<QObject *>(context.view))
{
    qRegisterMetaType<agora::media::IVideoFrame *>("agora::media::IVideoFrame*");
    qInfo("myvideo:create video render:%p for view %p", static_cast<void *>(this), context.view);
    if (!m_view) {
        qCritical("m_view is null");
        return;
    }
    QMetaObject::invokeMethod(m_view, "setRenderCallback", handOver(m_view),
                              Q_ARG(void *, static_cast<void *>(context.renderCallback)));
    connectSignal(m_view);
}

VideoRender::~VideoRender()
{
    qInfo("myvideo:video render:%p gone", static_cast<void *>(this));
    // The view forgets the frame and the callback before anything is freed.
    emit signal_delete();
    for (agora::media::IVideoFrame *&frame : m_frames) {
        if (frame) {
            qInfo("myvideo:cleanup:%p release frame", static_cast<void *>(this));
            frame->release();
            frame = nullptr;
        }
    }
}

void VideoRender::connectSignal(QObject *view)
{
    qInfo("myvideo:WidgetVideo %p connectSignal this:%p", static_cast<void *>(view), static_cast<void *>(this));
    if (!view) {
        qCritical("myvideo:WidgetVideo:%p NULL video render", static_cast<void *>(this));
        return;
    }
    const Qt::ConnectionType type = handOver(view);
    connect(this, SIGNAL(signal_deliverFrame(agora::media::IVideoFrame*,int,bool)), view,
            SLOT(slot_deliverFrame(agora::media::IVideoFrame*,int,bool)), type);
    connect(this, SIGNAL(signal_delete()), view, SLOT(slot_video_render_delete()), type);
}

void VideoRender::release()
{
    qInfo("myvideo:VideoRender release:%p", static_cast<void *>(this));
    delete this;
}

int VideoRender::initialize()
{
    return 0;
}

int VideoRender::deliverFrame(const agora::media::IVideoFrame &videoFrame, int rotation, bool mirrored)
{
    if (videoFrame.isZeroSize()) {
        qCritical("videoFrame isZeroSize");
        return -1;
    }
    if (videoFrame.copyFrame(&m_frames[m_back]) != 0) {
        qCritical("videoFrame copyFrame failed");
        return -1;
    }
    // Returns once the view holds this copy; from then on the view reads
    // it, so the next frame goes into the other one.
    emit signal_deliverFrame(m_frames[m_back], rotation, mirrored);
    m_back ^= 1;
    return -1;
}
