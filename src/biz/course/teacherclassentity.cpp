#include "teacherclassentity.h"

#include "biz/course/classrecordfields.h"

#include <QJsonObject>

void readJson(const QJsonValue &value, resourceDetailsInfoEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonInt(jsonField(o, "mid"), out.mid);
    readJsonString(jsonField(o, "name"), out.name);
    readJsonInt(jsonField(o, "type"), out.type);
    readJsonString(jsonField(o, "path"), out.path);
    readJsonString(jsonField(o, "voice"), out.voice);
    readJsonString(jsonField(o, "md5"), out.md5);
}

void readJson(const QJsonValue &value, TeacherClassMaterialEntity &out)
{
    readCoursePageFields(value.toObject(), out);
}

void readJson(const QJsonValue &value, TeacherClassTeacherEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "tid"), out.tid);
    readJsonString(jsonField(o, "nickname"), out.nickname);
}

void readJson(const QJsonValue &value, TeacherClassStudentEntity &out)
{
    readStudentFields(value.toObject(), out);
}

void readJson(const QJsonValue &value, TeacherClassEntity &out)
{
    const QJsonObject o = value.toObject();
    readClassFields(o, out);
    readJsonString(jsonField(o, "pub_cls_id"), out.pub_cls_id);
    readJson(jsonField(o, "resource"), out.resource);
    readJsonInt(jsonField(o, "use_tool"), out.use_tool);
}

void readJson(const QJsonValue &value, TeacherClassListEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonInt(jsonField(o, "timestamp"), out.timestamp);
    readJson(jsonField(o, "data"), out.data);
}

void readJson(const QJsonValue &value, ClassDetailsTeacherEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonString(jsonField(o, "nickname"), out.nickname);
    readJsonString(jsonField(o, "email"), out.email);
    readJsonString(jsonField(o, "skype"), out.skype);
    readJsonString(jsonField(o, "qq"), out.qq);
    readJsonString(jsonField(o, "avatar"), out.avatar);
    readJsonString(jsonField(o, "tx_identifier"), out.tx_identifier);
}

void readJson(const QJsonValue &value, ClassDetailsMaterialEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonString(jsonField(o, "cid"), out.cid);
    readJsonString(jsonField(o, "course_name"), out.course_name);
    readJsonString(jsonField(o, "course_ename"), out.course_ename);
    readJsonString(jsonField(o, "stype"), out.stype);
    readJsonString(jsonField(o, "pdf"), out.pdf);
    readJsonString(jsonField(o, "stu_back_pdf"), out.stu_back_pdf);
    readJsonString(jsonField(o, "pdf_tch"), out.pdf_tch);
    readJsonString(jsonField(o, "tea_back_pdf"), out.tea_back_pdf);
    readJsonString(jsonField(o, "stype_cname"), out.stype_cname);
    readJsonString(jsonField(o, "stype_ename"), out.stype_ename);
    readJsonString(jsonField(o, "cname"), out.cname);
    readJsonString(jsonField(o, "ename"), out.ename);
    readJsonString(jsonField(o, "md5"), out.md5);
    readJsonString(jsonField(o, "pic"), out.pic);
    readJsonInt(jsonField(o, "count_pdf"), out.count_pdf);
    readJsonInt(jsonField(o, "count_voice"), out.count_voice);
    readJsonInt(jsonField(o, "count_video"), out.count_video);
}

void readJson(const QJsonValue &value, ClassDetailsStudentEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonString(jsonField(o, "nickname"), out.nickname);
    readJsonString(jsonField(o, "email"), out.email);
    readJsonString(jsonField(o, "gender"), out.gender);
    readJsonString(jsonField(o, "age"), out.age);
    readJsonString(jsonField(o, "avatar"), out.avatar);
    readJsonString(jsonField(o, "grd_level"), out.grd_level);
}

void readJson(const QJsonValue &value, TeacherClassDetailsEntity &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "id"), out.id);
    readJsonInt(jsonField(o, "begin_time"), out.begin_time);
    readJsonInt(jsonField(o, "class_time"), out.class_time);
    readJsonInt(jsonField(o, "status"), out.status);
    readJsonInt(jsonField(o, "use_tool"), out.use_tool);
    readJsonString(jsonField(o, "free_try"), out.free_try);
    readJsonString(jsonField(o, "zoom_id"), out.zoom_id);
    readJson(jsonField(o, "teacher"), out.teacher);
    readJson(jsonField(o, "material"), out.material);
    readJson(jsonField(o, "student"), out.student);
    readJson(jsonField(o, "resource"), out.resource);
}

void readJson(const QJsonValue &value, memoUrlInfo &out)
{
    const QJsonObject o = value.toObject();
    readJsonString(jsonField(o, "url"), out.url);
}
