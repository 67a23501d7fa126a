#include "classroompayloads.h"

#include "utility/jsonutil.h"

void readJson(const QJsonValue &value, TextMessage &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("nickname")), out.nickname);
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("content")), out.content);
}

QJsonObject toJson(const TextMessage &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("nickname"), record.nickname);
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("content"), record.content);
    return object;
}

void readJson(const QJsonValue &value, ImageMessage &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("nickname")), out.nickname);
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("url")), out.url);
    readJson(object.value(QStringLiteral("md5")), out.md5);
    readJson(object.value(QStringLiteral("backurl")), out.backurl);
    readJson(object.value(QStringLiteral("to")), out.to);
}

QJsonObject toJson(const ImageMessage &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("nickname"), record.nickname);
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("type"), record.type);
    object.insert(QStringLiteral("url"), record.url);
    object.insert(QStringLiteral("md5"), record.md5);
    object.insert(QStringLiteral("backurl"), record.backurl);
    object.insert(QStringLiteral("to"), record.to);
    return object;
}

void readJson(const QJsonValue &value, ProtocolEnterOrLeaveClass &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("source")), out.source);
    readJson(object.value(QStringLiteral("clientVersion")), out.clientVersion);
    readJson(object.value(QStringLiteral("video_local_play_capability")), out.video_local_play_capability);
}

QJsonObject toJson(const ProtocolEnterOrLeaveClass &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("source"), record.source);
    object.insert(QStringLiteral("clientVersion"), record.clientVersion);
    object.insert(QStringLiteral("video_local_play_capability"), record.video_local_play_capability);
    return object;
}

void readJson(const QJsonValue &value, SharingDesktop &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("status")), out.status);
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("width")), out.width);
    readJson(object.value(QStringLiteral("height")), out.height);
}

QJsonObject toJson(const SharingDesktop &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("type"), record.type);
    object.insert(QStringLiteral("status"), record.status);
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("width"), record.width);
    object.insert(QStringLiteral("height"), record.height);
    return object;
}

void readJson(const QJsonValue &value, FunctionControl &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("enabled")), out.enabled);
}

QJsonObject toJson(const FunctionControl &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("type"), record.type);
    object.insert(QStringLiteral("uid"), record.uid);
    object.insert(QStringLiteral("enabled"), record.enabled);
    return object;
}

void readJson(const QJsonValue &value, EncourageMessage &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("animation")), out.animation);
    readJson(object.value(QStringLiteral("name")), out.name);
    readJson(object.value(QStringLiteral("score")), out.score);
}

QJsonObject toJson(const EncourageMessage &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("type"), record.type);
    object.insert(QStringLiteral("uid"), record.uid);
    object.insert(QStringLiteral("animation"), record.animation);
    object.insert(QStringLiteral("name"), record.name);
    object.insert(QStringLiteral("score"), record.score);
    return object;
}

void readJson(const QJsonValue &value, HighlightPerson &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("highlight")), out.highlight);
}

QJsonObject toJson(const HighlightPerson &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("uid"), record.uid);
    object.insert(QStringLiteral("highlight"), record.highlight);
    return object;
}

void readJson(const QJsonValue &value, PrizeModelAwardControl &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("tid")), out.tid);
    readJson(object.value(QStringLiteral("sids")), out.sids);
    readJson(object.value(QStringLiteral("awardid")), out.awardid);
}

QJsonObject toJson(const PrizeModelAwardControl &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("tid"), record.tid);
    object.insert(QStringLiteral("sids"), toJsonArray(record.sids));
    object.insert(QStringLiteral("awardid"), record.awardid);
    return object;
}

void readJson(const QJsonValue &value, ClassModelControl &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("classid")), out.classid);
}

QJsonObject toJson(const ClassModelControl &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("type"), record.type);
    object.insert(QStringLiteral("classid"), record.classid);
    return object;
}

void readJson(const QJsonValue &value, ProtocolVideoControl &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("mid")), out.mid);
    readJson(object.value(QStringLiteral("videoid")), out.videoid);
    readJson(object.value(QStringLiteral("video")), out.video);
    readJson(object.value(QStringLiteral("voice")), out.voice);
    readJson(object.value(QStringLiteral("name")), out.name);
}

QJsonObject toJson(const ProtocolVideoControl &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("type"), record.type);
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("mid"), record.mid);
    object.insert(QStringLiteral("videoid"), record.videoid);
    object.insert(QStringLiteral("video"), record.video);
    object.insert(QStringLiteral("voice"), record.voice);
    object.insert(QStringLiteral("name"), record.name);
    return object;
}

void readJson(const QJsonValue &value, ResponseDeviceInfo &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("curSpeakerId")), out.curSpeakerId);
    readJson(object.value(QStringLiteral("curMicrophoneId")), out.curMicrophoneId);
    readJson(object.value(QStringLiteral("curCameraId")), out.curCameraId);
    readJson(object.value(QStringLiteral("speackers")), out.speackers);
    readJson(object.value(QStringLiteral("microphones")), out.microphones);
    readJson(object.value(QStringLiteral("cameras")), out.cameras);
}

QJsonObject toJson(const ResponseDeviceInfo &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("uid"), record.uid);
    object.insert(QStringLiteral("curSpeakerId"), record.curSpeakerId);
    object.insert(QStringLiteral("curMicrophoneId"), record.curMicrophoneId);
    object.insert(QStringLiteral("curCameraId"), record.curCameraId);
    object.insert(QStringLiteral("speackers"), toJsonArray(record.speackers));
    object.insert(QStringLiteral("microphones"), toJsonArray(record.microphones));
    object.insert(QStringLiteral("cameras"), toJsonArray(record.cameras));
    return object;
}

void readJson(const QJsonValue &value, HelpdeskUser &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("userType")), out.userType);
}

QJsonObject toJson(const HelpdeskUser &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("uid"), record.uid);
    object.insert(QStringLiteral("userType"), record.userType);
    return object;
}

void readJson(const QJsonValue &value, HelpdeskTeacherEntiry &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("users")), out.users);
    readJson(object.value(QStringLiteral("issueTags")), out.issueTags);
    readJson(object.value(QStringLiteral("description")), out.description);
    readJson(object.value(QStringLiteral("descriptionImages")), out.descriptionImages);
}

QJsonObject toJson(const HelpdeskTeacherEntiry &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("users"), toJsonArray(record.users));
    object.insert(QStringLiteral("issueTags"), toJsonArray(record.issueTags));
    object.insert(QStringLiteral("description"), record.description);
    object.insert(QStringLiteral("descriptionImages"), toJsonArray(record.descriptionImages));
    return object;
}

void readJson(const QJsonValue &value, ChannelPresenceData &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
}

QJsonObject toJson(const ChannelPresenceData &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    return object;
}
