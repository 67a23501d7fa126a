#ifndef CLASSROOMTESTSUPPORT_H
#define CLASSROOMTESTSUPPORT_H

// The class information and signed-in users the classroom tests share.

#include "biz/course/classinfoentity.h"
#include "biz/login/studentlogindataentity.h"
#include "biz/login/teacherlogindataentity.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"

#include <QDateTime>

namespace ClassroomTestSupport {

const char kClassId[] = "10001";
const char kTeacherId[] = "30001";
const char kStudentId[] = "20001";
const char kClassmateId[] = "20002";

// A class of the teacher and two students, begun secondsAgo ago; the
// signed-in student listed last.
inline ClassInfoEntity classInfo(qint64 secondsAgo = 60)
{
    ClassInfoEntity info;
    info.class_id = QString::fromLatin1(kClassId);
    info.begin_time = QString::number(QDateTime::currentSecsSinceEpoch() - secondsAgo);
    info.teacher.tid = QString::fromLatin1(kTeacherId);
    info.teacher.nickname = QStringLiteral("Ms Teacher");
    ClassStudentEntity classmate;
    classmate.sid = QString::fromLatin1(kClassmateId);
    classmate.nickname = QStringLiteral("Classmate");
    classmate.like_num = QStringLiteral("3");
    ClassStudentEntity me;
    me.sid = QString::fromLatin1(kStudentId);
    me.nickname = QStringLiteral("Me");
    me.like_num = QStringLiteral("7");
    info.students = { classmate, me };
    info.agorainfo.sig_key = QStringLiteral("sig-key");
    info.agorainfo.media_key = QStringLiteral("media-key");
    info.app_config.fps = 40;
    return info;
}

inline void signInStudent()
{
    StudentLoginDataEntity user;
    user.id = QString::fromLatin1(kStudentId);
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
}

inline void signInTeacher()
{
    TeacherLoginDataEntity user;
    user.id = QString::fromLatin1(kTeacherId);
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(user);
}

} // namespace ClassroomTestSupport

#endif // CLASSROOMTESTSUPPORT_H
