#ifndef STUDENTLOGINDATAENTITY_H
#define STUDENTLOGINDATAENTITY_H

#include <QJsonValue>
#include <QString>

// "data" of the student login answer; the JSON keys are the field names.
struct StudentLoginDataEntity
{
    QString id;
    QString nickname;
    QString skype;
    QString qq;
    QString mobile;
    QString email;
    QString avatar;
    QString source;
    int sdk_type = 0;
};

// Reads the keys of the same names; an absent key keeps the field.
void readJson(const QJsonValue &value, StudentLoginDataEntity &out);

#endif // STUDENTLOGINDATAENTITY_H
