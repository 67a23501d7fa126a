#include "rtcwebrtcpeer.h"

#include "rtcgstpipeline.h"

#include "rtcenginelog.h"

#include <QHash>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QTimer>

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/sdp/sdp.h>
#define GST_USE_UNSTABLE_API
#include <gst/webrtc/webrtc.h>

#include <cmath>
#include <mutex>

namespace {

// Level reports of the sound, in ns.
const guint64 kLevelIntervalNs = 50 * GST_MSECOND;
// The candidates of loopback come at once; this is the most we wait for
// the rest before the description goes out with what it has.
const int kGatherTimeoutMs = 2000;
// Received media wait this long for late packets (webrtcbin's default is
// 200). The speaker plays each sound this much after it arrived, so it is
// most of the received side's share of mouth-to-ear time. 20 ms took about
// 20 ms off beside 40 (bench_rtcmedia) but left more gaps in the sound in
// every turn on a loaded machine: an unbroken voice is worth the 20 ms.
const guint kJitterLatencyMs = 40;

void ensureGstreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// A peak in dB (0 at full scale) on the 0-255 scale of volume reports.
int scaledLevel(double peakDb)
{
    if (!std::isfinite(peakDb))
        return 0;
    const double amplitude = std::pow(10.0, peakDb / 20.0);
    return qBound(0, int(std::lround(amplitude * 255.0)), 255);
}

void releaseImage(gpointer image)
{
    delete static_cast<QImage *>(image);
}

} // namespace

bool RtcWebrtcPeer::pulseDeviceUsable(const char *factory, const QByteArray &device)
{
    ensureGstreamer();
    static QMutex mutex;
    static QHash<QByteArray, bool> known;
    const QByteArray key = QByteArray(factory) + '/' + device;
    QMutexLocker lock(&mutex);
    const auto it = known.constFind(key);
    if (it != known.cend())
        return *it;
    bool usable = false;
    if (GstElement *element = gst_element_factory_make(factory, nullptr)) {
        if (!device.isEmpty())
            g_object_set(element, "device", device.constData(), nullptr);
        // READY connects to the sound server (and, for a device, finds it).
        usable = gst_element_set_state(element, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        gst_element_set_state(element, GST_STATE_NULL);
        gst_object_unref(element);
    }
    known.insert(key, usable);
    return usable;
}

RtcWebrtcPeer::RtcWebrtcPeer(RtcEngineLog *log)
    : m_log(log)
    , m_gatherTimer(new QTimer(this))
{
    m_gatherTimer->setSingleShot(true);
    m_gatherTimer->setInterval(kGatherTimeoutMs);
    connect(m_gatherTimer, &QTimer::timeout, this, &RtcWebrtcPeer::sendLocalDescription);
}

RtcWebrtcPeer::~RtcWebrtcPeer()
{
    if (m_pipeline) {
        // No callback of this peer runs after it.
        RtcGstPipeline::stop(m_pipeline);
    }
    for (GstElement *element : { m_webrtc, m_video, m_playout, m_microphone, m_playback, m_pipeline }) {
        if (element)
            gst_object_unref(element);
    }
}

RtcWebrtcPeer *RtcWebrtcPeer::createPublisher(const SendOptions &options, RtcEngineLog *log, QString *error)
{
    ensureGstreamer();
    auto *peer = new RtcWebrtcPeer(log);
    peer->m_videoSize = options.videoSize;
    peer->m_tone = options.microphone.isEmpty() || !pulseDeviceUsable("pulsesrc", options.microphone);
    const QByteArray source = peer->m_tone
        ? QByteArray("audiotestsrc is-live=true samplesperbuffer=480 wave=sine volume=0.5 freq=") + QByteArray::number(options.toneHz)
        : QByteArray("pulsesrc name=pulse buffer-time=40000 latency-time=10000");
    const QByteArray size = "width=" + QByteArray::number(options.videoSize.width()) + ",height="
        + QByteArray::number(options.videoSize.height());
    const QByteArray fps = QByteArray::number(options.framesPerSecond);
    // Named in the offer, so the server knows each stream's packets from
    // the first one (it drops packets of sources it was not told of).
    const QByteArray audioSsrc = QByteArray::number(QRandomGenerator::global()->bounded(1u, 0x7fffffffu));
    const QByteArray videoSsrc = QByteArray::number(QRandomGenerator::global()->bounded(1u, 0x7fffffffu));
    const QByteArray description =
        "webrtcbin name=webrtc bundle-policy=max-bundle "
        + source + " ! audioconvert ! audioresample ! audio/x-raw,rate=48000,channels=1 "
        "! volume name=microphone ! queue max-size-time=40000000 leaky=downstream ! audiomixer name=mix "
        "! audioconvert ! level name=sendlevel post-messages=true interval=" + QByteArray::number(qulonglong(kLevelIntervalNs)) +
        " ! opusenc bitrate=48000 frame-size=10 ! rtpopuspay name=audiopay pt=111 ssrc=" + audioSsrc +
        " ! application/x-rtp,media=audio,encoding-name=OPUS,clock-rate=48000,encoding-params=(string)2,payload=111,ssrc=(uint)"
        + audioSsrc + " ! webrtc. "
        "appsrc name=playout is-live=true format=time do-timestamp=true "
        "caps=audio/x-raw,format=S16LE,layout=interleaved,rate=48000,channels=1 ! queue ! mix. "
        "appsrc name=video is-live=true format=time do-timestamp=true max-bytes=4000000 "
        "caps=video/x-raw,format=BGRx," + size + ",framerate=" + fps + "/1 "
        "! queue max-size-buffers=2 leaky=downstream ! videoconvert ! videoscale add-borders=true "
        "! video/x-raw,format=I420," + size + ",pixel-aspect-ratio=1/1 "
        // One encoder thread: libvpx's extra threads wait for work by
        // spinning, most of a core for a 640x480 camera.
        "! vp8enc deadline=1 cpu-used=8 threads=1 end-usage=cbr keyframe-max-dist=" + QByteArray::number(options.framesPerSecond * 2) +
        " target-bitrate=" + QByteArray::number(options.videoKbps * 1000) +
        " ! rtpvp8pay name=videopay pt=96 picture-id-mode=15-bit ssrc=" + videoSsrc +
        " ! application/x-rtp,media=video,encoding-name=VP8,clock-rate=90000,payload=96,ssrc=(uint)" + videoSsrc + " ! webrtc.";
    if (!peer->start(description, error)) {
        delete peer;
        return nullptr;
    }
    if (!peer->m_tone) {
        GstElement *pulse = gst_bin_get_by_name(GST_BIN(peer->m_pipeline), "pulse");
        g_object_set(pulse, "device", options.microphone.constData(), nullptr);
        gst_object_unref(pulse);
    }
    peer->m_video = gst_bin_get_by_name(GST_BIN(peer->m_pipeline), "video");
    peer->m_playout = gst_bin_get_by_name(GST_BIN(peer->m_pipeline), "playout");
    peer->m_microphone = gst_bin_get_by_name(GST_BIN(peer->m_pipeline), "microphone");
    // What is sent, counted as it leaves the payloaders (for the stats).
    const std::pair<const char *, std::atomic<quint64> *> counters[] = { { "audiopay", &peer->m_audioBytes },
                                                                         { "videopay", &peer->m_videoBytes } };
    for (const auto &counted : counters) {
        GstElement *payloader = gst_bin_get_by_name(GST_BIN(peer->m_pipeline), counted.first);
        GstPad *pad = gst_element_get_static_pad(payloader, "src");
        // The video payloader hands on lists of packets.
        const auto probe = GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST);
        gst_pad_add_probe(pad, probe, [](GstPad *, GstPadProbeInfo *info, gpointer bytes) {
            auto *count = static_cast<std::atomic<quint64> *>(bytes);
            if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER_LIST)
                *count += gst_buffer_list_calculate_size(GST_PAD_PROBE_INFO_BUFFER_LIST(info));
            else
                *count += gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info));
            return GST_PAD_PROBE_OK;
        }, counted.second, nullptr);
        gst_object_unref(pad);
        gst_object_unref(payloader);
    }
    // Our feed is sent, never received.
    GArray *transceivers = nullptr;
    g_signal_emit_by_name(peer->m_webrtc, "get-transceivers", &transceivers);
    for (guint i = 0; transceivers && i < transceivers->len; ++i) {
        GstWebRTCRTPTransceiver *transceiver = g_array_index(transceivers, GstWebRTCRTPTransceiver *, i);
        g_object_set(transceiver, "direction", GST_WEBRTC_RTP_TRANSCEIVER_DIRECTION_SENDONLY, nullptr);
    }
    if (transceivers)
        g_array_unref(transceivers);
    if (gst_element_set_state(peer->m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *error = QStringLiteral("our feed's pipeline did not start");
        delete peer;
        return nullptr;
    }
    return peer;
}

RtcWebrtcPeer *RtcWebrtcPeer::createSubscriber(const QByteArray &speaker, const FrameSink &frames, RtcEngineLog *log,
                                               QString *error)
{
    ensureGstreamer();
    auto *peer = new RtcWebrtcPeer(log);
    peer->m_frames = frames;
    peer->m_silentSpeaker = speaker.isEmpty() || !pulseDeviceUsable("pulsesink", speaker);
    peer->m_speaker = speaker;
    if (!peer->start("webrtcbin name=webrtc bundle-policy=max-bundle latency=" + QByteArray::number(kJitterLatencyMs), error)) {
        delete peer;
        return nullptr;
    }
    g_signal_connect(peer->m_webrtc, "pad-added", G_CALLBACK(&RtcWebrtcPeer::onPadAdded), peer);
    if (gst_element_set_state(peer->m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *error = QStringLiteral("a received feed's pipeline did not start");
        delete peer;
        return nullptr;
    }
    return peer;
}

bool RtcWebrtcPeer::start(const QByteArray &description, QString *error)
{
    GError *parseError = nullptr;
    m_pipeline = gst_parse_launch(description.constData(), &parseError);
    if (!m_pipeline || parseError) {
        *error = QStringLiteral("the media pipeline was not made: %1")
                     .arg(QString::fromUtf8(parseError ? parseError->message : "unknown"));
        if (parseError)
            g_error_free(parseError);
        return false;
    }
    gst_object_ref_sink(m_pipeline);
    if (!GST_IS_PIPELINE(m_pipeline)) {
        // A description of one element is that element: it gets a pipeline.
        GstElement *only = m_pipeline;
        m_pipeline = gst_pipeline_new(nullptr);
        gst_object_ref_sink(m_pipeline);
        gst_bin_add(GST_BIN(m_pipeline), only);
        gst_object_unref(only);
    }
    m_webrtc = gst_bin_get_by_name(GST_BIN(m_pipeline), "webrtc");
    g_signal_connect(m_webrtc, "notify::ice-gathering-state", G_CALLBACK(&RtcWebrtcPeer::onGatheringState), this);
    watchBus();
    return true;
}

void RtcWebrtcPeer::watchBus()
{
    GstBus *bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, [](GstBus *, GstMessage *message, gpointer self) {
        static_cast<RtcWebrtcPeer *>(self)->onBusMessage(message);
        return GST_BUS_DROP;
    }, this, nullptr);
    gst_object_unref(bus);
}

void RtcWebrtcPeer::onBusMessage(GstMessage *message)
{
    // On the pipeline's threads.
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        GError *error = nullptr;
        gchar *debug = nullptr;
        gst_message_parse_error(message, &error, &debug);
        const QString why = QStringLiteral("%1: %2").arg(QString::fromUtf8(GST_OBJECT_NAME(message->src)),
                                                          QString::fromUtf8(error ? error->message : ""));
        g_clear_error(&error);
        g_free(debug);
        QMetaObject::invokeMethod(this, [this, why] { emit failed(why); }, Qt::QueuedConnection);
        break;
    }
    case GST_MESSAGE_ELEMENT: {
        const GstStructure *s = gst_message_get_structure(message);
        if (!s || !gst_structure_has_name(s, "level"))
            break;
        const GValue *peaks = gst_structure_get_value(s, "peak");
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        if (!peaks || !G_VALUE_HOLDS(peaks, g_value_array_get_type()))
            break;
        GValueArray *array = static_cast<GValueArray *>(g_value_get_boxed(peaks));
        double peak = -INFINITY;
        for (guint i = 0; array && i < array->n_values; ++i)
            peak = std::max(peak, g_value_get_double(g_value_array_get_nth(array, i)));
        G_GNUC_END_IGNORE_DEPRECATIONS
        m_level = scaledLevel(peak);
        break;
    }
    default:
        break;
    }
}

void RtcWebrtcPeer::makeOffer()
{
    GstPromise *promise = gst_promise_new_with_change_func(
        [](GstPromise *p, gpointer self) { onOfferCreated(p, self); }, this, nullptr);
    g_signal_emit_by_name(m_webrtc, "create-offer", nullptr, promise);
}

void RtcWebrtcPeer::onOfferCreated(void *promisePointer, void *self)
{
    auto *peer = static_cast<RtcWebrtcPeer *>(self);
    GstPromise *promise = static_cast<GstPromise *>(promisePointer);
    const GstStructure *reply = gst_promise_get_reply(promise);
    GstWebRTCSessionDescription *offer = nullptr;
    if (reply)
        gst_structure_get(reply, "offer", GST_TYPE_WEBRTC_SESSION_DESCRIPTION, &offer, nullptr);
    gst_promise_unref(promise);
    if (!offer) {
        QMetaObject::invokeMethod(peer, [peer] { emit peer->failed(QStringLiteral("no offer was made")); }, Qt::QueuedConnection);
        return;
    }
    g_signal_emit_by_name(peer->m_webrtc, "set-local-description", offer, nullptr);
    gst_webrtc_session_description_free(offer);
    QMetaObject::invokeMethod(peer, [peer] { peer->descriptionSet(); }, Qt::QueuedConnection);
}

void RtcWebrtcPeer::acceptAnswer(const QString &sdp)
{
    GstSDPMessage *message = nullptr;
    if (gst_sdp_message_new_from_text(sdp.toUtf8().constData(), &message) != GST_SDP_OK || !message) {
        emit failed(QStringLiteral("the server's answer is not a readable SDP"));
        return;
    }
    GstWebRTCSessionDescription *answer = gst_webrtc_session_description_new(GST_WEBRTC_SDP_TYPE_ANSWER, message);
    g_signal_emit_by_name(m_webrtc, "set-remote-description", answer, nullptr);
    gst_webrtc_session_description_free(answer);
}

void RtcWebrtcPeer::answerOffer(const QString &sdp)
{
    GstSDPMessage *message = nullptr;
    if (gst_sdp_message_new_from_text(sdp.toUtf8().constData(), &message) != GST_SDP_OK || !message
        || gst_sdp_message_medias_len(message) == 0) {
        if (message)
            gst_sdp_message_free(message);
        emit failed(QStringLiteral("the server's offer is not a readable SDP"));
        return;
    }
    GstWebRTCSessionDescription *offer = gst_webrtc_session_description_new(GST_WEBRTC_SDP_TYPE_OFFER, message);
    GstPromise *promise = gst_promise_new_with_change_func(
        [](GstPromise *p, gpointer self) { onRemoteOfferSet(p, self); }, this, nullptr);
    g_signal_emit_by_name(m_webrtc, "set-remote-description", offer, promise);
    gst_webrtc_session_description_free(offer);
}

void RtcWebrtcPeer::onRemoteOfferSet(void *promisePointer, void *self)
{
    auto *peer = static_cast<RtcWebrtcPeer *>(self);
    gst_promise_unref(static_cast<GstPromise *>(promisePointer));
    GstPromise *promise = gst_promise_new_with_change_func(
        [](GstPromise *p, gpointer s) { onAnswerCreated(p, s); }, peer, nullptr);
    g_signal_emit_by_name(peer->m_webrtc, "create-answer", nullptr, promise);
}

void RtcWebrtcPeer::onAnswerCreated(void *promisePointer, void *self)
{
    auto *peer = static_cast<RtcWebrtcPeer *>(self);
    GstPromise *promise = static_cast<GstPromise *>(promisePointer);
    const GstStructure *reply = gst_promise_get_reply(promise);
    GstWebRTCSessionDescription *answer = nullptr;
    if (reply)
        gst_structure_get(reply, "answer", GST_TYPE_WEBRTC_SESSION_DESCRIPTION, &answer, nullptr);
    gst_promise_unref(promise);
    if (!answer) {
        QMetaObject::invokeMethod(peer, [peer] { emit peer->failed(QStringLiteral("the server's offer could not be answered")); },
                                  Qt::QueuedConnection);
        return;
    }
    g_signal_emit_by_name(peer->m_webrtc, "set-local-description", answer, nullptr);
    gst_webrtc_session_description_free(answer);
    QMetaObject::invokeMethod(peer, [peer] { peer->descriptionSet(); }, Qt::QueuedConnection);
}

void RtcWebrtcPeer::descriptionSet()
{
    GstWebRTCICEGatheringState state = GST_WEBRTC_ICE_GATHERING_STATE_NEW;
    g_object_get(m_webrtc, "ice-gathering-state", &state, nullptr);
    if (state == GST_WEBRTC_ICE_GATHERING_STATE_COMPLETE)
        sendLocalDescription();
    else
        m_gatherTimer->start();
}

void RtcWebrtcPeer::onGatheringState(GstElement *webrtc, void *, void *self)
{
    auto *peer = static_cast<RtcWebrtcPeer *>(self);
    GstWebRTCICEGatheringState state = GST_WEBRTC_ICE_GATHERING_STATE_NEW;
    g_object_get(webrtc, "ice-gathering-state", &state, nullptr);
    if (state == GST_WEBRTC_ICE_GATHERING_STATE_COMPLETE)
        QMetaObject::invokeMethod(peer, [peer] { peer->sendLocalDescription(); }, Qt::QueuedConnection);
}

void RtcWebrtcPeer::sendLocalDescription()
{
    if (m_sent)
        return;
    GstWebRTCSessionDescription *local = nullptr;
    g_object_get(m_webrtc, "local-description", &local, nullptr);
    if (!local)
        return; // gathering ended before the description was set: it follows
    m_sent = true;
    m_gatherTimer->stop();
    gchar *text = gst_sdp_message_as_text(local->sdp);
    const QString sdp = QString::fromUtf8(text);
    g_free(text);
    gst_webrtc_session_description_free(local);
    emit localDescription(sdp);
}

void RtcWebrtcPeer::onPadAdded(GstElement *, void *pad, void *self)
{
    static_cast<RtcWebrtcPeer *>(self)->remotePadAdded(pad);
}

void RtcWebrtcPeer::remotePadAdded(void *padPointer)
{
    // On a streaming thread: builds the branch that plays or shows it.
    GstPad *pad = static_cast<GstPad *>(padPointer);
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC)
        return;
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure *s = caps ? gst_caps_get_structure(caps, 0) : nullptr;
    const QByteArray encoding = s ? QByteArray(gst_structure_get_string(s, "encoding-name")).toUpper() : QByteArray();
    if (caps)
        gst_caps_unref(caps);

    QByteArray description;
    if (encoding == "OPUS") {
        description = "queue ! rtpopusdepay ! opusdec plc=true ! audioconvert ! audioresample "
                      "! level name=recvlevel post-messages=true interval=" + QByteArray::number(qulonglong(kLevelIntervalNs)) +
                      " ! volume name=playback ! ";
        description += m_silentSpeaker ? QByteArray("fakesink sync=true")
                                       : QByteArray("pulsesink name=speaker buffer-time=40000 latency-time=10000");
    } else if (encoding == "VP8") {
        description = "queue ! rtpvp8depay ! vp8dec ! videoconvert ! video/x-raw,format=BGRx "
                      "! appsink name=frames emit-signals=true max-buffers=1 drop=true sync=false";
    } else {
        m_log->write(QStringLiteral("media: a received stream of kind \"%1\" is not played").arg(QString::fromUtf8(encoding)));
        return;
    }
    GError *error = nullptr;
    GstElement *branch = gst_parse_bin_from_description(description.constData(), TRUE, &error);
    if (!branch || error) {
        m_log->write(QStringLiteral("media: a received stream has no player: %1").arg(QString::fromUtf8(error ? error->message : "")));
        g_clear_error(&error);
        return;
    }
    if (GstElement *speaker = gst_bin_get_by_name(GST_BIN(branch), "speaker")) {
        g_object_set(speaker, "device", m_speaker.constData(), nullptr);
        gst_object_unref(speaker);
    }
    if (GstElement *playback = gst_bin_get_by_name(GST_BIN(branch), "playback")) {
        QMutexLocker lock(&m_playbackMutex);
        g_object_set(playback, "mute", gboolean(m_playbackMuted), nullptr);
        if (!m_playback)
            m_playback = playback;
        else
            gst_object_unref(playback);
    }
    if (GstElement *sink = gst_bin_get_by_name(GST_BIN(branch), "frames")) {
        g_signal_connect(sink, "new-sample", G_CALLBACK(&RtcWebrtcPeer::onNewSample), this);
        gst_object_unref(sink);
    }
    gst_bin_add(GST_BIN(m_pipeline), branch);
    gst_element_sync_state_with_parent(branch);
    GstPad *sinkPad = gst_element_get_static_pad(branch, "sink");
    if (gst_pad_link(pad, sinkPad) != GST_PAD_LINK_OK)
        m_log->write(QStringLiteral("media: a received %1 stream could not be linked").arg(QString::fromUtf8(encoding)));
    gst_object_unref(sinkPad);
}

int RtcWebrtcPeer::onNewSample(GstElement *sink, void *self)
{
    GstSample *sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
    if (sample) {
        static_cast<RtcWebrtcPeer *>(self)->frameDecoded(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

void RtcWebrtcPeer::frameDecoded(void *samplePointer)
{
    const QImage image = RtcGstPipeline::imageFromSample(static_cast<GstSample *>(samplePointer), 4096);
    if (image.isNull())
        return;
    if (m_frames)
        m_frames(image);
    if (!m_firstFrame.exchange(true))
        QMetaObject::invokeMethod(this, [this, size = image.size()] { emit firstFrame(size.width(), size.height()); },
                                  Qt::QueuedConnection);
}

void RtcWebrtcPeer::pushFrame(const QImage &image)
{
    if (!m_video || image.isNull())
        return;
    auto *frame = new QImage(image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                                 ? image : image.convertToFormat(QImage::Format_RGB32));
    if (frame->size() != m_lastPushed) {
        m_lastPushed = frame->size();
        GstCaps *caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT, frame->width(),
                                            "height", G_TYPE_INT, frame->height(), "framerate", GST_TYPE_FRACTION, 0, 1, nullptr);
        gst_app_src_set_caps(GST_APP_SRC(m_video), caps);
        gst_caps_unref(caps);
    }
    const gsize bytes = gsize(frame->bytesPerLine()) * gsize(frame->height());
    GstBuffer *buffer = gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY, const_cast<uchar *>(frame->constBits()),
                                                    bytes, 0, bytes, frame, &releaseImage);
    gst_app_src_push_buffer(GST_APP_SRC(m_video), buffer);
}

void RtcWebrtcPeer::pushPlayout(const QByteArray &samples)
{
    if (!m_playout || samples.isEmpty())
        return;
    GstBuffer *buffer = gst_buffer_new_memdup(samples.constData(), gsize(samples.size()));
    gst_app_src_push_buffer(GST_APP_SRC(m_playout), buffer);
}

void RtcWebrtcPeer::setMicrophoneMuted(bool muted)
{
    if (m_microphone)
        g_object_set(m_microphone, "mute", gboolean(muted), nullptr);
}

void RtcWebrtcPeer::setPlaybackMuted(bool muted)
{
    QMutexLocker lock(&m_playbackMutex);
    m_playbackMuted = muted;
    if (m_playback)
        g_object_set(m_playback, "mute", gboolean(muted), nullptr);
}
