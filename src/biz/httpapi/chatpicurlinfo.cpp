#include "biz/httpapi/chatpicurlinfo.h"

#include "mgr/http/jsonentity.h"

#include <QJsonObject>

void readJson(const QJsonValue &value, chatPicUrlInfo &out)
{
    const QJsonObject object = value.toObject();
    readJsonString(jsonField(object, "key"), out.key);
    readJsonString(jsonField(object, "url"), out.url);
}
