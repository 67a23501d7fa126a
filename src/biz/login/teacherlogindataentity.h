#ifndef TEACHERLOGINDATAENTITY_H
#define TEACHERLOGINDATAENTITY_H

#include <QJsonValue>
#include <QString>

// "data" of the teacher login answer; the JSON keys are the field names.
struct TeacherLoginDataEntity
{
    QString id;
    QString nickname;
    QString skype;
    QString qq;
    QString email;
    QString avatar;
    QString source;
    int sdk_type = 0;
};

// Reads the keys of the same names; an absent key keeps the field.
void readJson(const QJsonValue &value, TeacherLoginDataEntity &out);

#endif // TEACHERLOGINDATAENTITY_H
