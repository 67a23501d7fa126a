#ifndef CLASSINFOENTITY_H
#define CLASSINFOENTITY_H

#include "biz/course/bookedclassentity.h"
#include "mgr/appcontext.h"
#include "utility/lastawardinfo.h"
#include "utility/materialentity.h"

#include <QJsonValue>
#include <QString>
#include <QVector>

// The answers read on the way into a class: the application configuration,
// the class information handed to the classroom, and the member-centre
// address. Every field is read from the JSON key of its own name; an absent
// key leaves the field at its default.

struct WebUrlEntity
{
    QString url;
};

struct ClassMaterialEntity
{
    QString mid;
    QString pdf;
    QString md5;
    QString pdf_tch;
    QString tch_md5;
    QString pic;
    QString mainurl;
    QString backurl;
    QString tch_mainurl;
    QString tch_backurl;
    QVector<VoiceMaterial> voices;
    QVector<VideoMaterial> videos;
};

struct ClassTeacherEntity
{
    QString tid;
    QString nickname;
    QString pic;
};

struct ClassStudentEntity
{
    QString sid;
    QString nickname;
    QString like_num;
    QString pic;
    QString age;
    QString grd_level;
    LastAwardInfo lastAwardsInfo;
};

// Channel keys of a class; also the answer of a key renewal.
struct AgoraInfo
{
    QString sig_key;
    QString media_key;
    QString record_key;
    int expired_time = 0;
};

// Clock stamps of the class-information answer, milliseconds since 1970.
struct ActionLogTimerInfo
{
    double client_local_ts = 0; // the client's time sent with the request
    double server_local_ts = 0; // the server's clock when it answered
    double server_delay = 0;    // the server's own processing time
};

struct ClassAppConfig
{
    int fps = 0;
    int video_play_mode = 1;
};

struct ClassInfoEntity
{
    QString class_id;
    QString room_id;
    QString begin_time; // seconds since 1970, as decimal text
    int class_time = 0;
    QString free_try;
    QString cls_type;
    QString type;
    QString status;
    QString cls_max_num;
    QString cls_app_num;
    QString tch_plan_url;
    ClassMaterialEntity material;
    ClassTeacherEntity teacher;
    QVector<ClassStudentEntity> students;
    AgoraInfo agorainfo;
    ActionLogTimerInfo cs_ts;
    ClassAppConfig app_config;
    bool is_commented = false;
};

void readJson(const QJsonValue &value, AppConfigData &out);
void readJson(const QJsonValue &value, WebUrlEntity &out);
void readJson(const QJsonValue &value, ClassMaterialEntity &out);
void readJson(const QJsonValue &value, ClassTeacherEntity &out);
void readJson(const QJsonValue &value, LastAwardInfo &out);
void readJson(const QJsonValue &value, ClassStudentEntity &out);
void readJson(const QJsonValue &value, AgoraInfo &out);
void readJson(const QJsonValue &value, ActionLogTimerInfo &out);
void readJson(const QJsonValue &value, ClassAppConfig &out);
void readJson(const QJsonValue &value, ClassInfoEntity &out);

// Server clock minus local clock in milliseconds, from the stamps of a
// class-information answer and the local time nowMs at which it arrived:
// the server's time plus half the round trip (less the server's own
// processing time), minus now. A round trip that comes out negative counts
// as 0; a missing stamp (0) gives 0, as nothing can be said then.
qint64 serverClockOffset(const ActionLogTimerInfo &stamps, qint64 nowMs);

#endif // CLASSINFOENTITY_H
