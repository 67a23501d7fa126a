#ifndef CLASSROOMPAYLOADS_H
#define CLASSROOMPAYLOADS_H

#include "biz/device/agora/deviceitem.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QString>
#include <QVector>

// Payload records of the classroom messages that this system sends and
// receives (chat, classroom control, awards, video control, device answers,
// help-desk reports, MQTT presence). Each is written as one JSON object with
// one key per field and read back with the tolerant readers: an absent key
// keeps the preset value, so every field starts defined.

// Chat line (type 1).
struct TextMessage
{
    QString nickname;
    QString classid;
    QString content;
};

// Chat picture (type 2).
struct ImageMessage
{
    QString nickname;
    QString classid;
    QString type;
    QString url;
    QString md5;
    QString backurl;
    QString to;
};

// A participant entered (103) or left (104) the class.
struct ProtocolEnterOrLeaveClass
{
    QString classid;
    QString source;
    QString clientVersion;
    int video_local_play_capability = 0;
};

// The teacher started or stopped sharing the desktop (401).
struct SharingDesktop
{
    int type = 0;
    int status = 0;
    QString classid;
    int width = 0;
    int height = 0;
};

// A classroom control switched for one participant (402).
struct FunctionControl
{
    QString classid;
    int type = 0;
    QString uid;
    int enabled = 0;
};

// Praise for one participant (403).
struct EncourageMessage
{
    QString classid;
    int type = 0;
    QString uid;
    QString animation;
    QString name;
    int score = 0;
};

// One participant highlighted or not (404).
struct HighlightPerson
{
    QString classid;
    QString uid;
    int highlight = 0;
};

// An award given in award mode (405).
struct PrizeModelAwardControl
{
    QString classid;
    QString tid;
    QVector<QString> sids;
    int awardid = 0;
};

// Switch between class mode and award mode (410).
struct ClassModelControl
{
    int type = 0;
    QString classid;
};

// The teacher's control of a lesson video (501).
struct ProtocolVideoControl
{
    int type = 0;
    QString classid;
    QString mid;
    QString videoid;
    QString video;
    QString voice;
    QString name;
};

// A participant's device lists, answering a device request (604).
struct ResponseDeviceInfo
{
    QString classid;
    QString uid;
    QString curSpeakerId;
    QString curMicrophoneId;
    QString curCameraId;
    QVector<DeviceItem> speackers;
    QVector<DeviceItem> microphones;
    QVector<DeviceItem> cameras;
};

// One participant named in a help-desk report.
struct HelpdeskUser
{
    QString uid;
    int userType = 0;
};

// A help-desk report, sent to the server topic only (610).
struct HelpdeskTeacherEntiry
{
    QString classid;
    QVector<HelpdeskUser> users;
    QVector<int> issueTags;
    QString description;
    QVector<QString> descriptionImages;
};

// The class of an MQTT presence notice (111, 112, 113).
struct ChannelPresenceData
{
    QString classid;
};

void readJson(const QJsonValue &value, TextMessage &out);
void readJson(const QJsonValue &value, ImageMessage &out);
void readJson(const QJsonValue &value, ProtocolEnterOrLeaveClass &out);
void readJson(const QJsonValue &value, SharingDesktop &out);
void readJson(const QJsonValue &value, FunctionControl &out);
void readJson(const QJsonValue &value, EncourageMessage &out);
void readJson(const QJsonValue &value, HighlightPerson &out);
void readJson(const QJsonValue &value, PrizeModelAwardControl &out);
void readJson(const QJsonValue &value, ClassModelControl &out);
void readJson(const QJsonValue &value, ProtocolVideoControl &out);
void readJson(const QJsonValue &value, ResponseDeviceInfo &out);
void readJson(const QJsonValue &value, HelpdeskUser &out);
void readJson(const QJsonValue &value, HelpdeskTeacherEntiry &out);
void readJson(const QJsonValue &value, ChannelPresenceData &out);

QJsonObject toJson(const TextMessage &record);
QJsonObject toJson(const ImageMessage &record);
QJsonObject toJson(const ProtocolEnterOrLeaveClass &record);
QJsonObject toJson(const SharingDesktop &record);
QJsonObject toJson(const FunctionControl &record);
QJsonObject toJson(const EncourageMessage &record);
QJsonObject toJson(const HighlightPerson &record);
QJsonObject toJson(const PrizeModelAwardControl &record);
QJsonObject toJson(const ClassModelControl &record);
QJsonObject toJson(const ProtocolVideoControl &record);
QJsonObject toJson(const ResponseDeviceInfo &record);
QJsonObject toJson(const HelpdeskUser &record);
QJsonObject toJson(const HelpdeskTeacherEntiry &record);
QJsonObject toJson(const ChannelPresenceData &record);

Q_DECLARE_METATYPE(TextMessage)
Q_DECLARE_METATYPE(ImageMessage)
Q_DECLARE_METATYPE(ProtocolEnterOrLeaveClass)
Q_DECLARE_METATYPE(SharingDesktop)
Q_DECLARE_METATYPE(FunctionControl)
Q_DECLARE_METATYPE(EncourageMessage)
Q_DECLARE_METATYPE(HighlightPerson)
Q_DECLARE_METATYPE(PrizeModelAwardControl)
Q_DECLARE_METATYPE(ClassModelControl)
Q_DECLARE_METATYPE(ProtocolVideoControl)
Q_DECLARE_METATYPE(ResponseDeviceInfo)
Q_DECLARE_METATYPE(HelpdeskUser)
Q_DECLARE_METATYPE(HelpdeskTeacherEntiry)
Q_DECLARE_METATYPE(ChannelPresenceData)

#endif // CLASSROOMPAYLOADS_H
