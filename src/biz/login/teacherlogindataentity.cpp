#include "teacherlogindataentity.h"

#include "biz/login/logindatajson.h"

void readJson(const QJsonValue &value, TeacherLoginDataEntity &out)
{
    readSharedLoginData(value.toObject(), out);
}
