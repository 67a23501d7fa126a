#ifndef DEVICEITEM_H
#define DEVICEITEM_H

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// One audio or video device as the device service lists it. On the wire
// (device answers) the keys are "deviceId", "deviceName" and "deviceType".
struct DeviceItem
{
    QString id;
    QString name;
    int type = 0; // 1 speaker, 2 microphone, 3 camera
};

void readJson(const QJsonValue &value, DeviceItem &out);
QJsonObject toJson(const DeviceItem &item);

#endif // DEVICEITEM_H
