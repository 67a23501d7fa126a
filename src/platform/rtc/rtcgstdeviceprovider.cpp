#include "rtcgstdeviceprovider.h"

#include "rtcdevice.h"

#include <QByteArray>

#include <gst/gst.h>

namespace {

const char kStopMessage[] = "lessonry-device-provider-stop";
// A burst is handed on after at most this many settle times, settled or not.
const int kMaxBurstSettles = 5;

struct DeviceClass
{
    const char *classes;
    int kind;
};

const DeviceClass kClasses[] = {
    { "Audio/Source", agora::rtc::AUDIO_RECORDING_DEVICE },
    { "Audio/Sink", agora::rtc::AUDIO_PLAYOUT_DEVICE },
    { "Video/Source", agora::rtc::VIDEO_CAPTURE_DEVICE },
};

// A property's value as a text gst_util_set_object_arg takes back. Only
// plain values (texts, numbers, truth values, enumerations, flags) name a
// device; objects, structures and the like are left out.
QByteArray valueText(const GValue *value, bool *ok)
{
    *ok = false;
    if (G_VALUE_HOLDS_STRING(value)) {
        *ok = true;
        return QByteArray(g_value_get_string(value));
    }
    const GType fundamental = G_TYPE_FUNDAMENTAL(G_VALUE_TYPE(value));
    if (fundamental == G_TYPE_BOXED || fundamental == G_TYPE_OBJECT || fundamental == G_TYPE_POINTER
        || fundamental == G_TYPE_PARAM || fundamental == G_TYPE_INTERFACE || fundamental == G_TYPE_VARIANT)
        return QByteArray();
    gchar *text = gst_value_serialize(value);
    *ok = text != nullptr;
    const QByteArray result(text);
    g_free(text);
    return result;
}

bool readProperty(GObject *object, GParamSpec *property, QByteArray *text)
{
    GValue value = G_VALUE_INIT;
    g_value_init(&value, property->value_type);
    g_object_get_property(object, property->name, &value);
    bool ok = false;
    *text = valueText(&value, &ok);
    g_value_unset(&value);
    return ok;
}

// What the device's element has set apart from a plain element of its
// factory: that is what opens this device.
QList<QPair<QByteArray, QByteArray>> settingsOf(GstElement *element)
{
    QList<QPair<QByteArray, QByteArray>> settings;
    GstElementFactory *factory = gst_element_get_factory(element);
    GstElement *plain = factory ? gst_element_factory_create(factory, nullptr) : nullptr;
    if (!plain)
        return settings;
    gst_object_ref_sink(plain);
    guint count = 0;
    GParamSpec **properties = g_object_class_list_properties(G_OBJECT_GET_CLASS(element), &count);
    for (guint i = 0; i < count; ++i) {
        GParamSpec *property = properties[i];
        const GParamFlags needed = GParamFlags(G_PARAM_READABLE | G_PARAM_WRITABLE);
        if ((property->flags & needed) != needed || (property->flags & G_PARAM_CONSTRUCT_ONLY)
            || g_str_equal(property->name, "name") || g_str_equal(property->name, "parent"))
            continue;
        QByteArray mine;
        QByteArray theirs;
        if (readProperty(G_OBJECT(element), property, &mine) && readProperty(G_OBJECT(plain), property, &theirs)
            && mine != theirs)
            settings.append({ QByteArray(property->name), mine });
    }
    g_free(properties);
    gst_object_unref(plain);
    return settings;
}

} // namespace

RtcGstDeviceProvider::RtcGstDeviceProvider(int settleMs)
    : m_settleMs(settleMs)
{
}

RtcGstDeviceProvider::~RtcGstDeviceProvider()
{
    stop();
}

bool RtcGstDeviceProvider::describe(GstDevice *device, int *kind, RtcDevice *entry)
{
    int found = -1;
    for (const DeviceClass &deviceClass : kClasses) {
        if (gst_device_has_classes(device, deviceClass.classes)) {
            found = deviceClass.kind;
            break;
        }
    }
    if (found < 0)
        return false;
    GstElement *element = gst_device_create_element(device, nullptr);
    if (!element)
        return false;
    gst_object_ref_sink(element);
    GstElementFactory *factory = gst_element_get_factory(element);
    RtcDevice result;
    result.element = factory ? QByteArray(GST_OBJECT_NAME(factory)) : QByteArray();
    result.properties = settingsOf(element);
    gst_object_unref(element);
    if (result.element.isEmpty())
        return false;
    gchar *name = gst_device_get_display_name(device);
    result.name = QByteArray(name);
    g_free(name);
    // The element and what opens it name the device; the sound server's
    // name (or the camera's node) stays when the device comes back.
    QByteArrayList values;
    for (const auto &setting : qAsConst(result.properties))
        values.append(setting.second);
    result.id = result.element + ':' + (values.isEmpty() ? result.name : values.join(';'));
    *kind = found;
    *entry = result;
    return true;
}

QList<RtcDeviceEvent> RtcGstDeviceProvider::start(const Listener &listener)
{
    QList<RtcDeviceEvent> initial;
    if (m_monitor)
        return initial;
    GError *error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        qWarning("rtc devices: GStreamer cannot start: %s", error ? error->message : "?");
        g_clear_error(&error);
        return initial;
    }
    m_listener = listener;
    m_monitor = gst_device_monitor_new();
    for (const DeviceClass &deviceClass : kClasses)
        gst_device_monitor_add_filter(m_monitor, deviceClass.classes, nullptr);
    if (!gst_device_monitor_start(m_monitor)) {
        qWarning("rtc devices: GStreamer's device monitor does not start; only the synthetic devices are listed");
        gst_object_unref(m_monitor);
        m_monitor = nullptr;
        return initial;
    }
    GList *devices = gst_device_monitor_get_devices(m_monitor);
    for (GList *item = devices; item; item = item->next) {
        GstDevice *device = GST_DEVICE(item->data);
        RtcDeviceEvent event { RtcDeviceEvent::Added, 0, {} };
        if (!describe(device, &event.kind, &event.device))
            continue;
        initial.append(event);
        m_listed.insert(GST_DEVICE(gst_object_ref(device)), { event.kind, event.device.id });
    }
    g_list_free_full(devices, gst_object_unref);
    m_bus = gst_device_monitor_get_bus(m_monitor);
    m_reader = std::thread([this] { readMessages(); });
    return initial;
}

void RtcGstDeviceProvider::stop()
{
    if (!m_monitor)
        return;
    if (m_reader.joinable()) {
        GstStructure *body = gst_structure_new_empty(kStopMessage);
        gst_bus_post(m_bus, gst_message_new_application(nullptr, body));
        m_reader.join();
    }
    gst_device_monitor_stop(m_monitor);
    if (m_bus)
        gst_object_unref(m_bus);
    gst_object_unref(m_monitor);
    m_bus = nullptr;
    m_monitor = nullptr;
    for (auto it = m_listed.cbegin(); it != m_listed.cend(); ++it)
        gst_object_unref(it.key());
    m_listed.clear();
}

void RtcGstDeviceProvider::readMessages()
{
    const GstMessageType wanted = GstMessageType(GST_MESSAGE_DEVICE_ADDED | GST_MESSAGE_DEVICE_REMOVED
                                                 | GST_MESSAGE_DEVICE_CHANGED | GST_MESSAGE_APPLICATION);
    QList<RtcDeviceEvent> burst;
    gint64 burstEnd = 0; // a device that keeps coming and going is still reported
    for (;;) {
        // Wait for the first message of a burst as long as it takes, for
        // each further one until the burst has settled.
        GstClockTime timeout = GST_CLOCK_TIME_NONE;
        if (!burst.isEmpty()) {
            const gint64 left = burstEnd - g_get_monotonic_time();
            timeout = qMin<GstClockTime>(GstClockTime(m_settleMs) * GST_MSECOND, GstClockTime(qMax<gint64>(0, left)) * GST_USECOND);
        }
        GstMessage *message = timeout == 0 ? nullptr : gst_bus_timed_pop_filtered(m_bus, timeout, wanted);
        if (!message) {
            m_listener(burst);
            burst.clear();
            continue;
        }
        const bool stopping = GST_MESSAGE_TYPE(message) == GST_MESSAGE_APPLICATION
            && gst_structure_has_name(gst_message_get_structure(message), kStopMessage);
        const bool opens = burst.isEmpty();
        if (!stopping && eventsOf(message, &burst) && opens)
            burstEnd = g_get_monotonic_time() + gint64(kMaxBurstSettles) * m_settleMs * 1000;
        gst_message_unref(message);
        if (stopping)
            return;
    }
}

bool RtcGstDeviceProvider::eventsOf(void *data, QList<RtcDeviceEvent> *events)
{
    GstMessage *message = static_cast<GstMessage *>(data);
    GstDevice *device = nullptr;
    GstDevice *before = nullptr;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_DEVICE_ADDED:
        gst_message_parse_device_added(message, &device);
        break;
    case GST_MESSAGE_DEVICE_REMOVED:
        gst_message_parse_device_removed(message, &before);
        break;
    case GST_MESSAGE_DEVICE_CHANGED:
        // The same device told anew (its name, or whether it is the
        // default one): the old object goes, the new one comes.
        gst_message_parse_device_changed(message, &device, &before);
        break;
    default:
        return false;
    }
    const int count = events->size();
    QByteArray gone;
    if (before) {
        const auto it = m_listed.find(before);
        if (it != m_listed.end()) {
            gone = it->second;
            events->append({ RtcDeviceEvent::Removed, it->first, RtcDevice { gone, {}, {}, {} } });
            gst_object_unref(it.key());
            m_listed.erase(it);
        }
        gst_object_unref(before);
    }
    if (device) {
        RtcDeviceEvent event { RtcDeviceEvent::Added, 0, {} };
        if (!m_listed.contains(device) && describe(device, &event.kind, &event.device)) {
            // Changed in place: it keeps its place in the list.
            if (!gone.isEmpty() && event.device.id == gone)
                events->removeLast();
            events->append(event);
            m_listed.insert(GST_DEVICE(gst_object_ref(device)), { event.kind, event.device.id });
        }
        gst_object_unref(device);
    }
    return events->size() > count;
}
