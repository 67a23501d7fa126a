#ifndef RTCDEVICEENTRY_H
#define RTCDEVICEENTRY_H

#include <QByteArray>
#include <QList>
#include <QPair>

// One device as the engine lists it, and how to open exactly that device.
//
// The id is unique within its kind and stays the same while the device is
// there (and when it comes back): "<element>:<value of its device
// property>" for the machine's devices, e.g. "pulsesrc:alsa_input.usb-0d8c.mono",
// "pulsesink:alsa_output.pci-0000_00_1f.3.analog-stereo",
// "v4l2src:/dev/video0"; the synthetic devices have ids of their own
// (RtcDeviceList::kSynthetic...Id).
//
// element and properties open the device with GStreamer: make the element
// of that factory and set the properties in order with
// gst_util_set_object_arg (values are texts as it takes them); or let
// RtcDeviceList::createElement do both. For pulsesrc, pulsesink and
// v4l2src the one property is "device".
struct RtcDevice
{
    QByteArray id;
    QByteArray name; // what the user sees
    QByteArray element; // GStreamer element factory
    QList<QPair<QByteArray, QByteArray>> properties;
};

#endif // RTCDEVICEENTRY_H
