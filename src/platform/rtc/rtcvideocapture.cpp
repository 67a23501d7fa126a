#include "rtcvideocapture.h"

#include "rtcgstpipeline.h"

#include <QMetaObject>
#include <QMutexLocker>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <mutex>

namespace {

// The largest picture taken from a source; anything claiming more is
// refused rather than allocated.
const int kMaxSourceSide = 8192;

void ensureCaptureGstreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

} // namespace

RtcVideoCapture *RtcVideoCapture::create(GstElement *source, const Format &format, QString *why)
{
    ensureCaptureGstreamer();
    if (!source) {
        *why = QStringLiteral("the source element was not made");
        return nullptr;
    }
    auto *capture = new RtcVideoCapture;
    if (!capture->start(source, format, why)) {
        delete capture;
        return nullptr;
    }
    return capture;
}

RtcVideoCapture *RtcVideoCapture::createScreen(const QByteArray &display, quintptr windowId, const QRect &rect,
                                               const Format &format, QString *why)
{
    ensureCaptureGstreamer();
    GstElement *source = gst_element_factory_make("ximagesrc", nullptr);
    if (!source) {
        *why = QStringLiteral("GStreamer has no ximagesrc");
        return nullptr;
    }
    // Damage events only help a remote display; every picture is taken whole.
    g_object_set(source, "use-damage", FALSE, nullptr);
    if (!display.isEmpty())
        g_object_set(source, "display-name", display.constData(), nullptr);
    if (windowId)
        g_object_set(source, "xid", gulong(windowId), nullptr);
    if (!rect.isEmpty()) {
        // The corners are inclusive.
        g_object_set(source, "startx", guint(qMax(0, rect.left())), "starty", guint(qMax(0, rect.top())), "endx",
                     guint(qMax(0, rect.right())), "endy", guint(qMax(0, rect.bottom())), nullptr);
    }
    return create(source, format, why);
}

RtcVideoCapture::~RtcVideoCapture()
{
    if (!m_pipeline)
        return;
    RtcGstPipeline::stop(m_pipeline);
    gst_object_unref(m_pipeline);
}

bool RtcVideoCapture::start(GstElement *source, const Format &format, QString *why)
{
    m_pipeline = gst_pipeline_new(nullptr);
    gst_object_ref_sink(m_pipeline);
    gst_bin_add(GST_BIN(m_pipeline), source);

    QByteArray caps = "video/x-raw,format=BGRx,framerate=" + QByteArray::number(qMax(1, format.framesPerSecond)) + "/1";
    if (format.size.isValid())
        caps += ",width=" + QByteArray::number(format.size.width()) + ",height=" + QByteArray::number(format.size.height())
            + ",pixel-aspect-ratio=1/1";
    // Paced first, so only the pictures kept are converted and scaled.
    const QByteArray description = "videorate ! videoconvert ! videoscale add-borders=true ! " + caps
        + " ! appsink name=frames emit-signals=true max-buffers=1 drop=true";
    GError *error = nullptr;
    GstElement *rest = gst_parse_bin_from_description(description.constData(), TRUE, &error);
    if (!rest || error) {
        *why = QStringLiteral("the capture pipeline was not made: %1").arg(QString::fromUtf8(error ? error->message : ""));
        g_clear_error(&error);
        if (rest)
            gst_object_unref(rest);
        return false;
    }
    gst_bin_add(GST_BIN(m_pipeline), rest);
    if (!gst_element_link(source, rest)) {
        *why = QStringLiteral("the source gives no pictures");
        return false;
    }
    GstElement *sink = gst_bin_get_by_name(GST_BIN(rest), "frames");
    g_signal_connect(sink, "new-sample", G_CALLBACK(&RtcVideoCapture::onNewSample), this);
    gst_object_unref(sink);

    GstBus *bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, [](GstBus *, GstMessage *message, gpointer self) {
        static_cast<RtcVideoCapture *>(self)->onBusMessage(message);
        return GST_BUS_DROP;
    }, this, nullptr);
    gst_object_unref(bus);

    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        // The error message says why; it came on this thread.
        QMutexLocker lock(&m_mutex);
        *why = m_firstError.isEmpty() ? QStringLiteral("the source cannot be opened") : m_firstError;
        return false;
    }
    return true;
}

void RtcVideoCapture::onBusMessage(GstMessage *message)
{
    // On the pipeline's threads, or on the caller's while it starts. A
    // source that ends (a camera gone) fails as well: its last picture
    // would otherwise stand still for good.
    QString why;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        why = QStringLiteral("the source ended");
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError *error = nullptr;
        gchar *debug = nullptr;
        gst_message_parse_error(message, &error, &debug);
        why = QStringLiteral("%1: %2").arg(QString::fromUtf8(GST_OBJECT_NAME(message->src)),
                                           QString::fromUtf8(error ? error->message : ""));
        g_clear_error(&error);
        g_free(debug);
    } else {
        return;
    }
    {
        QMutexLocker lock(&m_mutex);
        if (!m_firstError.isEmpty())
            return; // one failure is told once
        m_firstError = why;
    }
    QMetaObject::invokeMethod(this, [this, why] { emit failed(why); }, Qt::QueuedConnection);
}

int RtcVideoCapture::onNewSample(GstElement *sink, void *self)
{
    GstSample *sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
    if (sample) {
        static_cast<RtcVideoCapture *>(self)->pictureArrived(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

void RtcVideoCapture::pictureArrived(void *samplePointer)
{
    const QImage image = RtcGstPipeline::imageFromSample(static_cast<GstSample *>(samplePointer), kMaxSourceSide);
    if (image.isNull())
        return;
    QMutexLocker lock(&m_mutex);
    m_latest = image;
}

QImage RtcVideoCapture::latest() const
{
    QMutexLocker lock(&m_mutex);
    return m_latest;
}
