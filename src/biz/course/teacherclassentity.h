#ifndef TEACHERCLASSENTITY_H
#define TEACHERCLASSENTITY_H

#include <QJsonValue>
#include <QString>
#include <QVector>

// The teacher's schedule, the details of one class and the address of a
// class page, as the server sends them. Every field is read from the JSON
// key of its own name; an absent key leaves the field at its default.

// One downloadable file of a class.
struct resourceDetailsInfoEntity
{
    int mid = 0;
    QString name;
    int type = 0;
    QString path;  // always downloaded
    QString voice; // an accompanying audio file; downloaded too when set
    QString md5;
};

struct TeacherClassMaterialEntity
{
    QString mid;
    QString mainurl;
    QString backurl;
    QString tch_mainurl;
    QString tch_backurl;
    QString pic;
};

struct TeacherClassTeacherEntity
{
    QString tid;
    QString nickname;
};

struct TeacherClassStudentEntity
{
    QString sid;
    QString nickname;
    QString like_num;
    QString pic;
    QString age;
    QString grd_level;
};

// One class of the schedule.
struct TeacherClassEntity
{
    QString class_id;
    QString room_id;
    QString begin_time; // seconds since 1970, as decimal text
    int class_time = 0;
    QString pub_cls_id;
    QString free_try;
    QString cls_type;
    QString type;
    QString status;
    QString cls_max_num;
    QString cls_app_num;
    QString tch_plan_url;
    TeacherClassMaterialEntity material;
    TeacherClassTeacherEntity teacher;
    QVector<TeacherClassStudentEntity> students;
    QVector<resourceDetailsInfoEntity> resource;
    int use_tool = 0; // 2: the class's resources join the all-classes download
};

// One day of the schedule.
struct TeacherClassListEntity
{
    int timestamp = 0; // the day, seconds since 1970
    QVector<TeacherClassEntity> data;
};

struct ClassDetailsTeacherEntity
{
    QString id;
    QString nickname;
    QString email;
    QString skype;
    QString qq;
    QString avatar;
    QString tx_identifier;
};

struct ClassDetailsMaterialEntity
{
    QString id;
    QString cid;
    QString course_name;
    QString course_ename;
    QString stype;
    QString pdf;
    QString stu_back_pdf;
    QString pdf_tch;
    QString tea_back_pdf;
    QString stype_cname;
    QString stype_ename;
    QString cname;
    QString ename;
    QString md5;
    QString pic;
    int count_pdf = 0;
    int count_voice = 0;
    int count_video = 0;
};

struct ClassDetailsStudentEntity
{
    QString id;
    QString nickname;
    QString email;
    QString gender; // "1" a boy; anything else a girl
    QString age;
    QString avatar;
    QString grd_level;
};

// The details of one class.
struct TeacherClassDetailsEntity
{
    QString id;
    int begin_time = 0;
    int class_time = 0;
    int status = 0;   // below 3 the class can be entered
    int use_tool = 0; // 1: an outside meeting service
    QString free_try;
    QString zoom_id;  // the meeting number when use_tool is 1
    ClassDetailsTeacherEntity teacher;
    ClassDetailsMaterialEntity material;
    QVector<ClassDetailsStudentEntity> student;
    QVector<resourceDetailsInfoEntity> resource;
};

// The address of a class's memo or material page.
struct memoUrlInfo
{
    QString url;
};

void readJson(const QJsonValue &value, resourceDetailsInfoEntity &out);
void readJson(const QJsonValue &value, TeacherClassMaterialEntity &out);
void readJson(const QJsonValue &value, TeacherClassTeacherEntity &out);
void readJson(const QJsonValue &value, TeacherClassStudentEntity &out);
void readJson(const QJsonValue &value, TeacherClassEntity &out);
void readJson(const QJsonValue &value, TeacherClassListEntity &out);
void readJson(const QJsonValue &value, ClassDetailsTeacherEntity &out);
void readJson(const QJsonValue &value, ClassDetailsMaterialEntity &out);
void readJson(const QJsonValue &value, ClassDetailsStudentEntity &out);
void readJson(const QJsonValue &value, TeacherClassDetailsEntity &out);
void readJson(const QJsonValue &value, memoUrlInfo &out);

#include "mgr/http/jsonentity.h"

#endif // TEACHERCLASSENTITY_H
