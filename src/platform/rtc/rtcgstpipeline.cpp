#include "rtcgstpipeline.h"

#include <gst/gst.h>

namespace RtcGstPipeline {

void stop(GstElement *pipeline)
{
    gst_element_set_state(pipeline, GST_STATE_NULL);
    GstBus *bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
}

QImage imageFromSample(GstSample *sample, int maxSide)
{
    GstCaps *caps = gst_sample_get_caps(sample);
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    const GstStructure *s = caps ? gst_caps_get_structure(caps, 0) : nullptr;
    int width = 0;
    int height = 0;
    if (!s || !buffer || !gst_structure_get_int(s, "width", &width) || !gst_structure_get_int(s, "height", &height)
        || width <= 0 || height <= 0 || width > maxSide || height > maxSide)
        return QImage();
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return QImage();
    const int stride = width * 4;
    QImage image;
    // BGRx in memory is 32-bit RGB on a little-endian machine; copied, as
    // the buffer goes back to its element.
    if (map.size >= gsize(stride) * gsize(height))
        image = QImage(map.data, width, height, stride, QImage::Format_RGB32).copy();
    gst_buffer_unmap(buffer, &map);
    return image;
}

} // namespace RtcGstPipeline
