#include "rtcvideohub.h"

#include "rtcdevice.h"
#include "rtcdevicelist.h"
#include "rtcengine.h"
#include "rtcenginelog.h"
#include "rtcvideocapture.h"
#include "rtcvideoframe.h"
#include "rtcvideosource.h"

#include <QAtomicInt>
#include <QGuiApplication>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>

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

namespace {

// Whether the video threads may make and hand on pictures: while the
// application lives. Its destructor closes the gate, waiting for the
// picture in hand, before the toolkit's fonts and display connection go;
// the next application (a new pass of the main loop) opens it again. Never
// freed: a video thread may look at it while the process exits.
struct VideoGate
{
    QMutex mutex;
    bool open = true;
};

VideoGate &videoGate()
{
    static auto *gate = new VideoGate;
    return *gate;
}

void closeVideoGate()
{
    VideoGate &gate = videoGate();
    QMutexLocker hold(&gate.mutex);
    gate.open = false;
}

// Runs as each application is made.
void openVideoGate()
{
    {
        VideoGate &gate = videoGate();
        QMutexLocker hold(&gate.mutex);
        gate.open = true;
    }
    // Post routines run once, as the application goes (after its windows,
    // before its fonts and display connection): added for each.
    qAddPostRoutine(closeVideoGate);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(openVideoGate)

RtcVideoHub::RtcVideoHub(QObject *parent)
    : QObject(parent)
    , m_captureTimer(new QTimer(this))
{
    m_captureTimer->setInterval(1000 / RtcVideoSource::kFramesPerSecond);
    connect(m_captureTimer, &QTimer::timeout, this, &RtcVideoHub::captureTick);
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
    const Binding binding = makeBinding(view, renderMode);
    if (binding.view)
        m_renders.insert(uid, binding);
}

RtcVideoHub::Binding RtcVideoHub::makeBinding(void *view, int renderMode)
{
    Binding binding;
    binding.view = view;
    if (m_factory) {
        binding.callback = new RtcRenderCallback(this, view);
        agora::media::ExternalVideoRenerContext context { binding.callback, view, renderMode, 0, 0.f, 0.f, 1.f, 1.f };
        binding.render = m_factory->createRenderInstance(context);
        if (binding.render && binding.render->initialize() != 0) {
            // The render cannot show this view (its owner freed it before
            // the binding got here): nothing is bound.
            releaseBinding(binding);
            return Binding();
        }
    }
    return binding;
}

void RtcVideoHub::releaseBinding(const Binding &binding)
{
    // The render lets go of the callback while it is released, so the
    // callback goes last.
    if (binding.render)
        binding.render->release();
    delete binding.callback;
}

void RtcVideoHub::setCapture(const RtcCaptureState &state)
{
    const bool screenChanged =
        state.screen != m_capture.screen || state.windowId != m_capture.windowId || state.rect != m_capture.rect;
    // Another camera chosen is tried even after one failed.
    if (state.cameraId != m_capture.cameraId)
        m_cameraFailed.clear();
    m_capture = state;
    if (!state.screen)
        m_screen = QImage();
    if (screenChanged) {
        closeScreen();
        m_screenFailed = false;
    }
    updateTimer();
}

void RtcVideoHub::setTestView(void *view)
{
    const Binding old = m_test;
    m_test = Binding();
    releaseBinding(old);
    if (view)
        m_test = makeBinding(view, agora::rtc::RENDER_MODE_HIDDEN);
    updateTimer();
}

void RtcVideoHub::setSender(const std::function<void(const QImage &)> &sender)
{
    m_sender = sender;
}

void RtcVideoHub::setWarningSink(const std::function<void(const QString &)> &sink)
{
    m_warningSink = sink;
}

void RtcVideoHub::setScreenImage(const QImage &image)
{
    m_grabPending = false;
    if (m_capture.screen)
        m_screen = image;
}

void RtcVideoHub::updateTimer()
{
    const bool active = m_capture.preview || m_capture.send || m_test.view;
    m_captureTimer->setInterval(1000 / qBound(1, m_capture.framesPerSecond, 60));
    if (active && !m_captureTimer->isActive())
        m_captureTimer->start();
    else if (!active)
        m_captureTimer->stop();
    updateSources();
}

void RtcVideoHub::updateSources()
{
    const bool active = m_capture.preview || m_capture.send || m_test.view;
    const QByteArray camera = m_capture.cameraId;
    // The camera stays open while the screen is shared: it comes back at
    // once when the sharing ends.
    const bool wantCamera = active && !camera.isEmpty() && !RtcDeviceList::isSynthetic(camera);
    if (m_camera
        && (!wantCamera || m_cameraOpen != camera || m_cameraSize != m_capture.videoSize
            || m_cameraRate != m_capture.framesPerSecond))
        closeCamera();
    // A capture started again tries a camera that failed before.
    if (!active)
        m_cameraFailed.clear();
    if (wantCamera && !m_camera && m_cameraFailed != camera) {
        RtcVideoCapture::Format format;
        format.size = m_capture.videoSize;
        format.framesPerSecond = m_capture.framesPerSecond;
        QString why;
        GstElement *element = RtcDeviceList::createElement(agora::rtc::VIDEO_CAPTURE_DEVICE, camera);
        m_camera = element ? RtcVideoCapture::create(element, format, &why) : nullptr;
        if (!element)
            why = QStringLiteral("it is not listed any more, or GStreamer cannot make its element");
        if (!m_camera) {
            m_cameraFailed = camera;
            warnCamera(camera, why);
        } else {
            m_cameraOpen = camera;
            m_cameraSize = format.size;
            m_cameraRate = format.framesPerSecond;
            if (m_log)
                m_log->write(QStringLiteral("video: capturing the camera %1 at %2x%3, %4 a second")
                                 .arg(QString::fromUtf8(camera))
                                 .arg(format.size.width())
                                 .arg(format.size.height())
                                 .arg(format.framesPerSecond));
            connect(m_camera, &RtcVideoCapture::failed, this, &RtcVideoHub::cameraFailed);
        }
    }

    const bool wantScreen = m_capture.screen && (m_capture.send || m_capture.preview);
    if (!wantScreen) {
        closeScreen();
    } else if (!m_screenCapture && !m_screenFailed) {
        RtcVideoCapture::Format format;
        format.size = QSize(); // as large as it is; the sender scales it
        format.framesPerSecond = m_capture.framesPerSecond;
        QString why;
        // X is read only where the program itself shows on X: under
        // Wayland or offscreen, DISPLAY is not the screen the user sees.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            m_screenCapture = RtcVideoCapture::createScreen(QByteArray(), m_capture.windowId, m_capture.rect, format, &why);
        else
            why = QStringLiteral("the program does not show on X");
        if (!m_screenCapture) {
            m_screenFailed = true;
            if (m_log)
                m_log->write(QStringLiteral("video: the X screen cannot be captured (%1); the screen is grabbed through Qt").arg(why));
        } else {
            if (m_log)
                m_log->write(QStringLiteral("video: capturing the X screen (window %1)").arg(m_capture.windowId));
            connect(m_screenCapture, &RtcVideoCapture::failed, this, [this](const QString &failure) {
                if (m_log)
                    m_log->write(QStringLiteral("video: the screen capture failed (%1); the screen is grabbed through Qt").arg(failure));
                m_screenFailed = true;
                closeScreen(true);
            });
        }
    }
}

void RtcVideoHub::closeCamera(bool fromItsSignal)
{
    if (!m_camera)
        return;
    // Closed at once, so the device is free for whatever opens next
    // (the same camera at another size); from its own signal it goes
    // once that is done.
    m_camera->disconnect(this);
    if (fromItsSignal)
        m_camera->deleteLater();
    else
        delete m_camera;
    m_camera = nullptr;
    m_cameraOpen.clear();
}

void RtcVideoHub::closeScreen(bool fromItsSignal)
{
    if (!m_screenCapture)
        return;
    m_screenCapture->disconnect(this);
    if (fromItsSignal)
        m_screenCapture->deleteLater();
    else
        delete m_screenCapture;
    m_screenCapture = nullptr;
}

void RtcVideoHub::cameraFailed(const QString &why)
{
    const QByteArray camera = m_cameraOpen;
    closeCamera(true);
    m_cameraFailed = camera;
    warnCamera(camera, why);
}

void RtcVideoHub::warnCamera(const QByteArray &camera, const QString &why)
{
    const QString text = QStringLiteral("the camera \"%1\" (%2) cannot be used: %3; the synthetic picture is used instead")
                             .arg(QString::fromUtf8(RtcDeviceList::nameOf(agora::rtc::VIDEO_CAPTURE_DEVICE, camera)),
                                  QString::fromUtf8(camera), why);
    if (m_log)
        m_log->write(QStringLiteral("video: ") + text);
    if (m_warningSink)
        m_warningSink(text);
}

void RtcVideoHub::requestScreenGrab()
{
    // The screen can only be read on the GUI thread; the grab comes back
    // queued and is sent from the next tick on. Nothing here waits for it.
    QCoreApplication *application = QCoreApplication::instance();
    if (m_grabPending || !qobject_cast<QGuiApplication *>(application))
        return;
    m_grabPending = true;
    QPointer<RtcVideoHub> hub = this;
    const quintptr windowId = m_capture.windowId;
    const QRect rect = m_capture.rect;
    QMetaObject::invokeMethod(application, [hub, windowId, rect] {
        QImage image;
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            image = rect.isEmpty() ? screen->grabWindow(WId(windowId)).toImage()
                                   : screen->grabWindow(WId(windowId), rect.x(), rect.y(), rect.width(), rect.height()).toImage();
        }
        if (image.isNull()) {
            // Nothing to read on this display: say so in the picture.
            image = QImage(RtcVideoSource::kFrameWidth, RtcVideoSource::kFrameHeight, QImage::Format_ARGB32);
            image.fill(QColor(90, 90, 90));
            QPainter p(&image);
            p.setPen(Qt::white);
            p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("screen not readable"));
        }
        if (image.width() > RtcVideoSource::kMaxFrameWidth || image.height() > RtcVideoSource::kMaxFrameHeight)
            image = image.scaled(RtcVideoSource::kMaxFrameWidth, RtcVideoSource::kMaxFrameHeight, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
        image = image.convertToFormat(QImage::Format_ARGB32);
        if (hub)
            QMetaObject::invokeMethod(hub.data(), [hub, image] {
                if (hub)
                    hub->setScreenImage(image);
            }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void RtcVideoHub::captureTick()
{
    VideoGate &gate = videoGate();
    QMutexLocker hold(&gate.mutex);
    if (!gate.open)
        return;
    QImage picture;
    if (m_capture.screen) {
        if (m_screenCapture) {
            picture = m_screenCapture->latest();
        } else {
            requestScreenGrab();
            picture = m_screen;
        }
    }
    // The synthetic picture also while the camera opens.
    QImage camera = m_camera ? m_camera->latest() : QImage();
    if (camera.isNull())
        camera = RtcVideoSource::syntheticFrame(m_frameNumber++, m_capture.userId, m_capture.cameraName);
    if (picture.isNull() && !m_capture.screen)
        picture = camera;
    if (m_test.render) {
        const RtcVideoFrame frame(camera);
        m_test.render->deliverFrame(frame, 0, false);
    }
    if (picture.isNull())
        return;
    if (m_capture.preview) {
        const auto it = m_renders.constFind(0);
        if (it != m_renders.cend() && it->render) {
            const RtcVideoFrame frame(picture);
            it->render->deliverFrame(frame, 0, false);
        }
    }
    if (m_capture.send && m_sender)
        m_sender(picture);
}

void RtcVideoHub::deliverFrame(agora::rtc::uid_t uid, const RtcVideoFrame &frame, int rotation, bool mirrored)
{
    VideoGate &gate = videoGate();
    QMutexLocker hold(&gate.mutex);
    if (!gate.open)
        return;
    const auto it = m_renders.constFind(uid);
    if (it == m_renders.cend() || !it->render)
        return;
    it->render->deliverFrame(frame, rotation, mirrored);
}

void RtcVideoHub::viewDestroyed(void *view)
{
    if (m_test.view == view) {
        setTestView(nullptr);
        return;
    }
    for (auto it = m_renders.cbegin(); it != m_renders.cend(); ++it) {
        if (it->view == view) {
            unbind(it.key());
            return;
        }
    }
}

void RtcVideoHub::releaseAll()
{
    m_captureTimer->stop();
    closeCamera();
    closeScreen();
    while (!m_renders.isEmpty())
        unbind(m_renders.cbegin().key());
    const Binding test = m_test;
    m_test = Binding();
    releaseBinding(test);
}

void RtcVideoHub::unbind(agora::rtc::uid_t uid)
{
    releaseBinding(m_renders.take(uid));
}
