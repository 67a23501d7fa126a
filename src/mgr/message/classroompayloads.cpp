#include "classroompayloads.h"

#include "utility/jsonutil.h"

namespace {

template<typename R, typename F>
void textMessageFields(R &record, F &&field)
{
    field("nickname", record.nickname);
    field("classid", record.classid);
    field("content", record.content);
}

template<typename R, typename F>
void imageMessageFields(R &record, F &&field)
{
    field("nickname", record.nickname);
    field("classid", record.classid);
    field("type", record.type);
    field("url", record.url);
    field("md5", record.md5);
    field("backurl", record.backurl);
    field("to", record.to);
}

template<typename R, typename F>
void protocolEnterOrLeaveClassFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("source", record.source);
    field("clientVersion", record.clientVersion);
    field("video_local_play_capability", record.video_local_play_capability);
}

template<typename R, typename F>
void sharingDesktopFields(R &record, F &&field)
{
    field("type", record.type);
    field("status", record.status);
    field("classid", record.classid);
    field("width", record.width);
    field("height", record.height);
}

template<typename R, typename F>
void functionControlFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("type", record.type);
    field("uid", record.uid);
    field("enabled", record.enabled);
}

template<typename R, typename F>
void encourageMessageFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("type", record.type);
    field("uid", record.uid);
    field("animation", record.animation);
    field("name", record.name);
    field("score", record.score);
}

template<typename R, typename F>
void highlightPersonFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("uid", record.uid);
    field("highlight", record.highlight);
}

template<typename R, typename F>
void prizeModelAwardControlFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("tid", record.tid);
    field("sids", record.sids);
    field("awardid", record.awardid);
}

template<typename R, typename F>
void classModelControlFields(R &record, F &&field)
{
    field("type", record.type);
    field("classid", record.classid);
}

template<typename R, typename F>
void protocolVideoControlFields(R &record, F &&field)
{
    field("type", record.type);
    field("classid", record.classid);
    field("mid", record.mid);
    field("videoid", record.videoid);
    field("video", record.video);
    field("voice", record.voice);
    field("name", record.name);
}

template<typename R, typename F>
void responseDeviceInfoFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("uid", record.uid);
    field("curSpeakerId", record.curSpeakerId);
    field("curMicrophoneId", record.curMicrophoneId);
    field("curCameraId", record.curCameraId);
    field("speackers", record.speackers);
    field("microphones", record.microphones);
    field("cameras", record.cameras);
}

template<typename R, typename F>
void helpdeskUserFields(R &record, F &&field)
{
    field("uid", record.uid);
    field("userType", record.userType);
}

template<typename R, typename F>
void helpdeskTeacherEntiryFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("users", record.users);
    field("issueTags", record.issueTags);
    field("description", record.description);
    field("descriptionImages", record.descriptionImages);
}

template<typename R, typename F>
void channelPresenceDataFields(R &record, F &&field)
{
    field("classid", record.classid);
}

} // namespace

void readJson(const QJsonValue &value, TextMessage &out)
{
    textMessageFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const TextMessage &record)
{
    JsonFieldWriter writer;
    textMessageFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ImageMessage &out)
{
    imageMessageFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ImageMessage &record)
{
    JsonFieldWriter writer;
    imageMessageFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ProtocolEnterOrLeaveClass &out)
{
    protocolEnterOrLeaveClassFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ProtocolEnterOrLeaveClass &record)
{
    JsonFieldWriter writer;
    protocolEnterOrLeaveClassFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, SharingDesktop &out)
{
    sharingDesktopFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const SharingDesktop &record)
{
    JsonFieldWriter writer;
    sharingDesktopFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, FunctionControl &out)
{
    functionControlFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const FunctionControl &record)
{
    JsonFieldWriter writer;
    functionControlFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, EncourageMessage &out)
{
    encourageMessageFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const EncourageMessage &record)
{
    JsonFieldWriter writer;
    encourageMessageFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, HighlightPerson &out)
{
    highlightPersonFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const HighlightPerson &record)
{
    JsonFieldWriter writer;
    highlightPersonFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, PrizeModelAwardControl &out)
{
    prizeModelAwardControlFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const PrizeModelAwardControl &record)
{
    JsonFieldWriter writer;
    prizeModelAwardControlFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ClassModelControl &out)
{
    classModelControlFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ClassModelControl &record)
{
    JsonFieldWriter writer;
    classModelControlFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ProtocolVideoControl &out)
{
    protocolVideoControlFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ProtocolVideoControl &record)
{
    JsonFieldWriter writer;
    protocolVideoControlFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ResponseDeviceInfo &out)
{
    responseDeviceInfoFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ResponseDeviceInfo &record)
{
    JsonFieldWriter writer;
    responseDeviceInfoFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, HelpdeskUser &out)
{
    helpdeskUserFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const HelpdeskUser &record)
{
    JsonFieldWriter writer;
    helpdeskUserFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, HelpdeskTeacherEntiry &out)
{
    helpdeskTeacherEntiryFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const HelpdeskTeacherEntiry &record)
{
    JsonFieldWriter writer;
    helpdeskTeacherEntiryFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ChannelPresenceData &out)
{
    channelPresenceDataFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ChannelPresenceData &record)
{
    JsonFieldWriter writer;
    channelPresenceDataFields(record, writer);
    return writer.object();
}
