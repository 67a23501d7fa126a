#include "checkupgradeentity.h"

#include "utility/jsonutil.h"

#include <QJsonObject>

void readJson(const QJsonValue &value, CheckUpgradeEntity &out)
{
    const QJsonObject object = value.toObject();
    readJsonString(object.value(QLatin1String("LatestVer")), out.LatestVer);
    readJsonString(object.value(QLatin1String("ForceVer")), out.ForceVer);
    readJsonString(object.value(QLatin1String("NoNeedVer")), out.NoNeedVer);
    readJsonString(object.value(QLatin1String("UpdateLog")), out.UpdateLog);
    readJsonString(object.value(QLatin1String("FileMd5")), out.FileMd5);
    readJsonString(object.value(QLatin1String("DownLoadMainUrl")), out.DownLoadMainUrl);
    readJsonString(object.value(QLatin1String("DownLoadBackupUrl")), out.DownLoadBackupUrl);
    readJsonString(object.value(QLatin1String("type")), out.type);
    readJsonString(object.value(QLatin1String("status")), out.status);
}
