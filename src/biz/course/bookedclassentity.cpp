#include "bookedclassentity.h"

#include <QJsonObject>

void readJson(const QJsonValue &value, BriefBookedClassEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonInt(jsonField(o, "date_time"), out.date_time);
    readJsonInt(jsonField(o, "class_num"), out.class_num);
}

void readJson(const QJsonValue &value, BookedCourseMaterial &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "cname"), out.cname);
    readJsonString(jsonField(o, "mname"), out.mname);
    readJsonString(jsonField(o, "pic"), out.pic);
    readJsonString(jsonField(o, "mdl"), out.mdl);
    readJsonString(jsonField(o, "bdl"), out.bdl);
    readJsonString(jsonField(o, "pdf_md5"), out.pdf_md5);
    readJson(jsonField(o, "voices"), out.voices);
    readJson(jsonField(o, "videos"), out.videos);
}

void readJson(const QJsonValue &value, BookedCourseTeacher &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "tid"), out.tid);
    readJsonString(jsonField(o, "nickname"), out.nickname);
    readJsonString(jsonField(o, "skype"), out.skype);
    readJsonString(jsonField(o, "qq"), out.qq);
    readJsonString(jsonField(o, "pic"), out.pic);
    readJsonString(jsonField(o, "is_tester"), out.is_tester);
    readJsonString(jsonField(o, "catalog"), out.catalog);
}

void readJson(const QJsonValue &value, BookedCourseStudent &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "sid"), out.sid);
    readJsonString(jsonField(o, "nickname"), out.nickname);
    readJsonString(jsonField(o, "skype"), out.skype);
    readJsonString(jsonField(o, "qq"), out.qq);
    readJsonString(jsonField(o, "pic"), out.pic);
}

void readJson(const QJsonValue &value, BookedCourseAgoraInfo &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "class_key"), out.class_key);
    readJsonString(jsonField(o, "media_key"), out.media_key);
    readJsonInt(jsonField(o, "expired_time"), out.expired_time);
}

void readJson(const QJsonValue &value, BookedCourseDetail &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonString(jsonField(o, "begin_time"), out.begin_time);
    readJsonString(jsonField(o, "use_tool"), out.use_tool);
    readJsonString(jsonField(o, "status"), out.status);
    readJsonString(jsonField(o, "free_try"), out.free_try);
    readJsonString(jsonField(o, "cls_type"), out.cls_type);
    readJsonString(jsonField(o, "type"), out.type);
    readJsonString(jsonField(o, "cls_max_num"), out.cls_max_num);
    readJsonString(jsonField(o, "cls_app_num"), out.cls_app_num);
    readJson(jsonField(o, "materials"), out.materials);
    readJson(jsonField(o, "teacher"), out.teacher);
    readJson(jsonField(o, "students"), out.students);
    readJson(jsonField(o, "agorainfo"), out.agorainfo);
}

void readJson(const QJsonValue &value, OneDayBookedCourseDetailsWrapper &out)
{
    const QJsonObject o = value.toObject();
    readJsonInt(jsonField(o, "timestamp"), out.timestamp);
    readJson(jsonField(o, "data"), out.data);
}

void readJson(const QJsonValue &value, VideoMaterial &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonString(jsonField(o, "video"), out.video);
    readJsonString(jsonField(o, "video_sm"), out.video_sm);
    readJsonString(jsonField(o, "pic"), out.pic);
    readJsonString(jsonField(o, "name"), out.name);
    readJsonString(jsonField(o, "voice"), out.voice);
    const QString plain = QStringLiteral("http://");
    const QString secure = QStringLiteral("https://");
    out.video_sm.replace(plain, secure, Qt::CaseSensitive);
    out.voice.replace(plain, secure, Qt::CaseSensitive);
}

void readJson(const QJsonValue &value, VoiceMaterial &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonString(jsonField(o, "voice"), out.voice);
    readJsonString(jsonField(o, "sort"), out.sort);
    readJsonString(jsonField(o, "voice_md5"), out.voice_md5);
    readJsonString(jsonField(o, "name"), out.name);
}
