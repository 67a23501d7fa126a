#include "videorender.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

namespace {

// Views live on the GUI thread. The engine calls in on its own threads
// and waits for the view; a call on the GUI thread (only in tests) goes
// directly.
Qt::ConnectionType handOver()
{
    QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() != application->thread() ? Qt::BlockingQueuedConnection
                                                                             : Qt::DirectConnection;
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
    // Everything that touches the view runs on the view's own thread, in
    // one call: a view destroyed before it runs is never touched.
    QObject *view = m_view;
    void *callback = static_cast<void *>(context.renderCallback);
    QMetaObject::invokeMethod(view, [this, view, callback] {
        QMetaObject::invokeMethod(view, "setRenderCallback", Qt::DirectConnection, Q_ARG(void *, callback));
        connectSignal(view);
    }, handOver());
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
