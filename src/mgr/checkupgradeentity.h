#ifndef CHECKUPGRADEENTITY_H
#define CHECKUPGRADEENTITY_H

#include <QJsonValue>
#include <QString>

// "data" of the upgrade check answer; every field a text. Only LatestVer
// decides whether an upgrade is offered, and only DownLoadMainUrl is
// downloaded; the rest is kept as the service sent it.
struct CheckUpgradeEntity
{
    QString LatestVer;
    QString ForceVer;
    QString NoNeedVer;
    QString UpdateLog;
    QString FileMd5; // hexadecimal, any case
    QString DownLoadMainUrl;
    QString DownLoadBackupUrl;
    QString type;
    QString status;
};

// Reads the keys of the same names; an absent key keeps the field.
void readJson(const QJsonValue &value, CheckUpgradeEntity &out);

#endif // CHECKUPGRADEENTITY_H
