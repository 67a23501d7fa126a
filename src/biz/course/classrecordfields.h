#ifndef CLASSRECORDFIELDS_H
#define CLASSRECORDFIELDS_H

#include "mgr/http/jsonentity.h"

#include <QJsonObject>

// What the class information and the teacher's schedule send alike for a
// class, for one of its students and for its course pages, each field read
// from the key of its own name. A record's reader reads these and then
// what only that record has.

template<typename Class>
void readClassFields(const QJsonObject &o, Class &out)
{
    readJsonString(jsonField(o, "class_id"), out.class_id);
    readJsonString(jsonField(o, "room_id"), out.room_id);
    readJsonString(jsonField(o, "begin_time"), out.begin_time);
    readJsonInt(jsonField(o, "class_time"), out.class_time);
    readJsonString(jsonField(o, "free_try"), out.free_try);
    readJsonString(jsonField(o, "cls_type"), out.cls_type);
    readJsonString(jsonField(o, "type"), out.type);
    readJsonString(jsonField(o, "status"), out.status);
    readJsonString(jsonField(o, "cls_max_num"), out.cls_max_num);
    readJsonString(jsonField(o, "cls_app_num"), out.cls_app_num);
    readJsonString(jsonField(o, "tch_plan_url"), out.tch_plan_url);
    readJson(jsonField(o, "material"), out.material);
    readJson(jsonField(o, "teacher"), out.teacher);
    readJson(jsonField(o, "students"), out.students);
}

template<typename Student>
void readStudentFields(const QJsonObject &o, Student &out)
{
    readJsonString(jsonField(o, "sid"), out.sid);
    readJsonString(jsonField(o, "nickname"), out.nickname);
    readJsonString(jsonField(o, "like_num"), out.like_num);
    readJsonString(jsonField(o, "pic"), out.pic);
    readJsonString(jsonField(o, "age"), out.age);
    readJsonString(jsonField(o, "grd_level"), out.grd_level);
}

// The course's cover and the pages of its student and teacher versions.
template<typename Material>
void readCoursePageFields(const QJsonObject &o, Material &out)
{
    readJsonString(jsonField(o, "mid"), out.mid);
    readJsonString(jsonField(o, "pic"), out.pic);
    readJsonString(jsonField(o, "mainurl"), out.mainurl);
    readJsonString(jsonField(o, "backurl"), out.backurl);
    readJsonString(jsonField(o, "tch_mainurl"), out.tch_mainurl);
    readJsonString(jsonField(o, "tch_backurl"), out.tch_backurl);
}

#endif // CLASSRECORDFIELDS_H
