#include "rtcfileplayout.h"

#include "rtcgstpipeline.h"

#include "rtcwebrtcpeer.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

RtcFilePlayout::RtcFilePlayout(const QString &filePath, bool loopback, int cycle, const QByteArray &speaker,
                               const SampleSink &sink, QObject *parent)
    : QObject(parent)
    , m_filePath(filePath)
    , m_loopback(loopback)
    , m_cyclesLeft(cycle == 0 ? 1 : cycle)
    , m_speaker(speaker)
    , m_sink(sink)
{
}

RtcFilePlayout::~RtcFilePlayout()
{
    if (!m_pipeline)
        return;
    RtcGstPipeline::stop(m_pipeline);
    gst_object_unref(m_pipeline);
}

bool RtcFilePlayout::start(QString *why)
{
    const QFileInfo info(m_filePath);
    if (!info.isFile() || !info.isReadable()) {
        *why = QStringLiteral("the file cannot be read");
        return false;
    }
    const bool speaker = !m_speaker.isEmpty() && RtcWebrtcPeer::pulseDeviceUsable("pulsesink", m_speaker);
    QByteArray description = "filesrc name=file ! decodebin ! audioconvert ! audioresample "
                             "! audio/x-raw,format=S16LE,layout=interleaved,rate=48000,channels=1 ! tee name=t "
                             "t. ! queue ! ";
    description += speaker ? QByteArray("pulsesink name=speaker") : QByteArray("fakesink sync=true");
    if (!m_loopback)
        description += " t. ! queue ! appsink name=class emit-signals=true sync=true max-buffers=50";
    GError *error = nullptr;
    m_pipeline = gst_parse_launch(description.constData(), &error);
    if (!m_pipeline || error) {
        *why = QString::fromUtf8(error ? error->message : "no pipeline");
        g_clear_error(&error);
        if (m_pipeline) {
            gst_object_unref(m_pipeline);
            m_pipeline = nullptr;
        }
        return false;
    }
    gst_object_ref_sink(m_pipeline);
    GstElement *file = gst_bin_get_by_name(GST_BIN(m_pipeline), "file");
    g_object_set(file, "location", QFile::encodeName(m_filePath).constData(), nullptr);
    gst_object_unref(file);
    if (GstElement *sink = gst_bin_get_by_name(GST_BIN(m_pipeline), "speaker")) {
        g_object_set(sink, "device", m_speaker.constData(), nullptr);
        gst_object_unref(sink);
    }
    if (GstElement *sink = gst_bin_get_by_name(GST_BIN(m_pipeline), "class")) {
        g_signal_connect(sink, "new-sample", G_CALLBACK(&RtcFilePlayout::onNewSample), this);
        gst_object_unref(sink);
    }
    GstBus *bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, [](GstBus *, GstMessage *message, gpointer self) {
        auto *playout = static_cast<RtcFilePlayout *>(self);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            QMetaObject::invokeMethod(playout, [playout] { playout->endOfPass(); }, Qt::QueuedConnection);
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            GError *error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            const QString why = QString::fromUtf8(error ? error->message : "");
            g_clear_error(&error);
            QMetaObject::invokeMethod(playout, [playout, why] { emit playout->failed(why); }, Qt::QueuedConnection);
        }
        return GST_BUS_DROP;
    }, this, nullptr);
    gst_object_unref(bus);
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *why = QStringLiteral("the file cannot be played");
        return false;
    }
    return true;
}

void RtcFilePlayout::setPaused(bool paused)
{
    if (!m_pipeline || paused == m_paused)
        return;
    m_paused = paused;
    gst_element_set_state(m_pipeline, paused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
}

void RtcFilePlayout::endOfPass()
{
    if (m_cyclesLeft > 0)
        --m_cyclesLeft;
    if (m_cyclesLeft == 0) {
        emit finished();
        return;
    }
    gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
}

int RtcFilePlayout::onNewSample(GstElement *sink, void *self)
{
    GstSample *sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
    if (!sample)
        return GST_FLOW_OK;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const QByteArray samples(reinterpret_cast<const char *>(map.data), int(map.size));
        gst_buffer_unmap(buffer, &map);
        auto *playout = static_cast<RtcFilePlayout *>(self);
        if (playout->m_sink)
            playout->m_sink(samples);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}
