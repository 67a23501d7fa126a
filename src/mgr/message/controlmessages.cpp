#include "controlmessages.h"

#include "utility/jsonutil.h"

namespace {

template<typename R, typename F>
void sendSysMsgFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("uid", record.uid);
    field("level", record.level);
    field("content", record.content);
}

template<typename R, typename F>
void refreshAppFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("type", record.type);
    field("uid", record.uid);
    field("alertMsg", record.alertMsg);
}

template<typename R, typename F>
void requestDeivceInfoFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("uid", record.uid);
}

template<typename R, typename F>
void switchDeviceFields(R &record, F &&field)
{
    field("uid", record.uid);
    field("classid", record.classid);
    field("deviceType", record.deviceType);
    field("deviceId", record.deviceId);
    field("deviceName", record.deviceName);
    field("alertMsg", record.alertMsg);
}

template<typename R, typename F>
void setVideoProfileMsgFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("uid", record.uid);
    field("video_profile", record.video_profile);
}

} // namespace

void readJson(const QJsonValue &value, SendSysMsg &out)
{
    sendSysMsgFields(out, JsonFieldReader(value));
}

void readJson(const QJsonValue &value, RefreshApp &out)
{
    refreshAppFields(out, JsonFieldReader(value));
}

void readJson(const QJsonValue &value, RequestDeivceInfo &out)
{
    requestDeivceInfoFields(out, JsonFieldReader(value));
}

void readJson(const QJsonValue &value, SwitchDevice &out)
{
    switchDeviceFields(out, JsonFieldReader(value));
}

void readJson(const QJsonValue &value, SetVideoProfileMsg &out)
{
    setVideoProfileMsgFields(out, JsonFieldReader(value));
}
