#ifndef CONTROLMESSAGES_H
#define CONTROLMESSAGES_H

#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QString>
#include <QVector>

// Payload records of the control messages that only the service's back end
// sends; this system reads them and never builds one. Each names in "uid"
// the one participant it is meant for. Every number is preset: an absent
// "video_profile" reads as -1, which is no video profile.

// A system notice (601): level 1 in a message box, 2 as a timed prompt.
struct SendSysMsg
{
    QString classid;
    QString uid;
    int level = 0;
    QString content;
};

// Re-enter the classroom (type 2) or restart the program (type 3) (602).
struct RefreshApp
{
    QString classid;
    int type = 0;
    QString uid;
    QString alertMsg;
};

// A request for the participant's device lists (603).
struct RequestDeivceInfo
{
    QString classid;
    QString uid;
};

// Switch one device of the participant (605); deviceType 1 speaker, 2 microphone, 3 camera.
struct SwitchDevice
{
    QString uid;
    QString classid;
    int deviceType = 0;
    QString deviceId;
    QString deviceName;
    QString alertMsg;
};

// Apply an RTC video profile (606).
struct SetVideoProfileMsg
{
    QString classid;
    QString uid;
    int video_profile = -1;
};

void readJson(const QJsonValue &value, SendSysMsg &out);
void readJson(const QJsonValue &value, RefreshApp &out);
void readJson(const QJsonValue &value, RequestDeivceInfo &out);
void readJson(const QJsonValue &value, SwitchDevice &out);
void readJson(const QJsonValue &value, SetVideoProfileMsg &out);

Q_DECLARE_METATYPE(SendSysMsg)
Q_DECLARE_METATYPE(RefreshApp)
Q_DECLARE_METATYPE(RequestDeivceInfo)
Q_DECLARE_METATYPE(SwitchDevice)
Q_DECLARE_METATYPE(SetVideoProfileMsg)

#endif // CONTROLMESSAGES_H
