#include "teacherlogindataentity.h"

#include "widget/logindatajson.h"

void readJson(const QJsonValue &value, TeacherLoginDataEntity &out)
{
    readSharedLoginData(value.toObject(), out);
}
