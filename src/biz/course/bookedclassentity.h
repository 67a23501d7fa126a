#ifndef BOOKEDCLASSENTITY_H
#define BOOKEDCLASSENTITY_H

#include "utility/materialentity.h"

#include <QJsonValue>
#include <QString>
#include <QVector>

// The student's timetable as the server sends it: the days with booked
// lessons, and the lessons of one day. Every field is read from the JSON key
// of its own name; an absent key leaves the field at its default.

// One day of the timetable strip.
struct BriefBookedClassEntity
{
    int date_time = 0; // the day, seconds since 1970
    int class_num = 0; // lessons booked that day
};

struct BookedCourseMaterial
{
    QString cname;
    QString mname;
    QString pic;
    QString mdl;
    QString bdl;
    QString pdf_md5;
    QVector<VoiceMaterial> voices;
    QVector<VideoMaterial> videos;
};

struct BookedCourseTeacher
{
    QString tid;
    QString nickname;
    QString skype;
    QString qq;
    QString pic;
    QString is_tester;
    QString catalog;
};

struct BookedCourseStudent
{
    QString sid;
    QString nickname;
    QString skype;
    QString qq;
    QString pic;
};

struct BookedCourseAgoraInfo
{
    QString class_key;
    QString media_key;
    int expired_time = 0;
};

// One booked lesson.
struct BookedCourseDetail
{
    QString id; // the class id
    QString begin_time; // seconds since 1970, as decimal text
    QString use_tool;
    QString status;
    QString free_try;
    QString cls_type;
    QString type;
    QString cls_max_num;
    QString cls_app_num;
    BookedCourseMaterial materials;
    BookedCourseTeacher teacher;
    QVector<BookedCourseStudent> students;
    BookedCourseAgoraInfo agorainfo;
};

// The lessons of one day.
struct OneDayBookedCourseDetailsWrapper
{
    int timestamp = 0;
    QVector<BookedCourseDetail> data;
};

void readJson(const QJsonValue &value, BriefBookedClassEntity &out);
void readJson(const QJsonValue &value, BookedCourseMaterial &out);
void readJson(const QJsonValue &value, BookedCourseTeacher &out);
void readJson(const QJsonValue &value, BookedCourseStudent &out);
void readJson(const QJsonValue &value, BookedCourseAgoraInfo &out);
void readJson(const QJsonValue &value, BookedCourseDetail &out);
void readJson(const QJsonValue &value, OneDayBookedCourseDetailsWrapper &out);
// "video_sm" and "voice" have every "http://" turned into "https://"
// (exact case); the other fields stay as sent.
void readJson(const QJsonValue &value, VideoMaterial &out);
void readJson(const QJsonValue &value, VoiceMaterial &out);

#include "mgr/http/jsonentity.h"

#endif // BOOKEDCLASSENTITY_H
