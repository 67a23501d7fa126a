#include "videorender.h"

#include "videotileimage.h"

#include <QDebug>
#include <QHash>
#include <QMutex>

namespace {

struct LiveView
{
    // The engine's callback of the render that shows the view, null while none does.
    agora::media::IExternalVideoRenderCallback *callback = nullptr;
    std::shared_ptr<VideoFrameMailbox> mailbox;
};

// The views alive now. Renders are made and released on the engine's video
// thread, views are destroyed on the GUI thread: both look here under the
// one lock, so a render never reaches a view that is gone and a view never
// calls a callback that is gone. Never freed: the engine may release its
// renders while the process exits.
QMutex &viewsLock()
{
    static auto *lock = new QMutex;
    return *lock;
}

QHash<QObject *, LiveView> &liveViews()
{
    static auto *views = new QHash<QObject *, LiveView>;
    return *views;
}

} // namespace

VideoRender::VideoRender(const agora::media::ExternalVideoRenerContext &context)
    : m_view(static_cast<QObject *>(context.view))
    , m_callback(context.renderCallback)
{
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
    it->callback = m_callback;
    m_mailbox = it->mailbox;
    connectSignal(m_view);
}

VideoRender::~VideoRender()
{
    qInfo("myvideo:video render:%p gone", static_cast<void *>(this));
    if (m_view) {
        QMutexLocker hold(&viewsLock());
        const auto it = liveViews().find(m_view);
        if (it != liveViews().end() && it->callback == m_callback)
            it->callback = nullptr;
    }
    // The view forgets this render's picture; a later render's picture,
    // put after this, wins.
    if (m_mailbox && m_mailbox->put(VideoFrameMailbox::Picture()))
        tellView(&VideoRender::signal_delete);
}

void VideoRender::connectSignal(QObject *view)
{
    qInfo("myvideo:WidgetVideo %p connectSignal this:%p", static_cast<void *>(view), static_cast<void *>(this));
    if (!view) {
        qCritical("myvideo:WidgetVideo:%p NULL video render", static_cast<void *>(this));
        return;
    }
    // Queued even on one thread: the view takes the picture from its
    // event loop, never inside the engine's call.
    connect(this, SIGNAL(signal_deliverFrame()), view, SLOT(slot_deliverFrame()), Qt::QueuedConnection);
    connect(this, SIGNAL(signal_delete()), view, SLOT(slot_video_render_delete()), Qt::QueuedConnection);
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

void VideoRender::addView(QObject *view, const std::shared_ptr<VideoFrameMailbox> &mailbox)
{
    QMutexLocker hold(&viewsLock());
    liveViews().insert(view, LiveView { nullptr, mailbox });
}

void VideoRender::removeView(QObject *view)
{
    QMutexLocker hold(&viewsLock());
    if (agora::media::IExternalVideoRenderCallback *callback = liveViews().take(view).callback)
        callback->onViewDestroyed();
}

void VideoRender::viewResized(QObject *view, int width, int height)
{
    QMutexLocker hold(&viewsLock());
    if (agora::media::IExternalVideoRenderCallback *callback = liveViews().value(view).callback)
        callback->onViewSizeChanged(width, height);
}

void VideoRender::tellView(void (VideoRender::*signal)())
{
    QMutexLocker hold(&viewsLock());
    if (liveViews().contains(m_view))
        (this->*signal)();
}

int VideoRender::deliverFrame(const agora::media::IVideoFrame &videoFrame, int rotation, bool mirrored)
{
    if (videoFrame.isZeroSize()) {
        qCritical("videoFrame isZeroSize");
        return -1;
    }
    if (!m_mailbox)
        return -1;
    VideoFrameMailbox::Picture picture;
    // An ARGB32 image's rows are w x 4 bytes without padding, as the
    // engine writes them.
    picture.frame = QImage(videoFrame.width(), videoFrame.height(), QImage::Format_ARGB32);
    if (picture.frame.isNull() || videoFrame.convertFrame(agora::media::VIDEO_TYPE_ARGB, int(picture.frame.sizeInBytes()),
                                                         picture.frame.bits()) != 0) {
        qCritical("videoFrame copyFrame failed");
        return -1;
    }
    picture.rotation = rotation;
    picture.mirrored = mirrored;
    picture.crop = m_mailbox->cropToFit();
    picture.shown = VideoTileImage::make(picture.frame, m_mailbox->viewSize(), picture.crop, rotation, mirrored);
    if (m_mailbox->put(picture))
        tellView(&VideoRender::signal_deliverFrame);
    return -1;
}
