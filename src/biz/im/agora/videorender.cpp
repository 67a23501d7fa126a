#include "videorender.h"

#include <QDebug>
#include <QHash>
#include <QMutex>
#include <QThread>

namespace {

// The views alive now, each with the engine's callback of the render that
// shows it (null while none does). Renders are made and released on the
// engine's video thread, views are destroyed on the GUI thread: both look
// here under the one lock, so a render never reaches a view that is gone
// and a view never calls a callback that is gone. Never freed: the engine
// may release its renders while the process exits.
QMutex &viewsLock()
{
    static auto *lock = new QMutex;
    return *lock;
}

QHash<QObject *, agora::media::IExternalVideoRenderCallback *> &liveViews()
{
    static auto *views = new QHash<QObject *, agora::media::IExternalVideoRenderCallback *>;
    return *views;
}

} // namespace

VideoRender::VideoRender(const agora::media::ExternalVideoRenerContext &context)
    : m_view(static_cast<QObject *>(context.view))
    , m_callback(context.renderCallback)
{
    qRegisterMetaType<agora::media::IVideoFrame *>("agora::media::IVideoFrame*");
    qInfo("myvideo:create video render:%p for view %p", static_cast<void *>(this), context.view);
    if (!m_view) {
        qCritical("m_view is null");
        return;
    }
    QMutexLocker hold(&viewsLock());
    const auto it = liveViews().find(m_view);
    if (it == liveViews().end()) {
        // Destroyed while the binding was on its way: initialize() says so
        // and the engine binds nothing.
        qWarning("myvideo:view %p is gone, render %p shows nothing", context.view, static_cast<void *>(this));
        m_view = nullptr;
        return;
    }
    // Connecting is safe from this thread while the view cannot go.
    *it = m_callback;
    connectSignal(m_view);
}

VideoRender::~VideoRender()
{
    qInfo("myvideo:video render:%p gone", static_cast<void *>(this));
    if (m_view) {
        QMutexLocker hold(&viewsLock());
        const auto it = liveViews().find(m_view);
        if (it != liveViews().end() && *it == m_callback)
            *it = nullptr;
    }
    // The view forgets the frame before it is freed.
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
    // Frames are emitted on this render's thread.
    const Qt::ConnectionType type = view->thread() == thread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
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
    return m_view ? 0 : -1;
}

void VideoRender::addView(QObject *view)
{
    QMutexLocker hold(&viewsLock());
    liveViews().insert(view, nullptr);
}

void VideoRender::removeView(QObject *view)
{
    QMutexLocker hold(&viewsLock());
    if (agora::media::IExternalVideoRenderCallback *callback = liveViews().take(view))
        callback->onViewDestroyed();
}

void VideoRender::viewResized(QObject *view, int width, int height)
{
    QMutexLocker hold(&viewsLock());
    if (agora::media::IExternalVideoRenderCallback *callback = liveViews().value(view))
        callback->onViewSizeChanged(width, height);
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
