#include "logininfo.h"

#include "utility/jsonutil.h"

#include <QJsonDocument>
#include <QJsonObject>

QString LoginInfo::toJsonText() const
{
    QJsonObject object;
    object.insert(QStringLiteral("username"), username);
    object.insert(QStringLiteral("password"), password);
    object.insert(QStringLiteral("shouldRememberPassword"), shouldRememberPassword);
    object.insert(QStringLiteral("shouldAutoLogin"), shouldAutoLogin);
    object.insert(QStringLiteral("avatarUrl"), avatarUrl);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

bool LoginInfo::fromJsonText(const QString &json, LoginInfo &info)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        // The saved text holds the password: log where it broke, not what it says.
        qCritical("parse json error:%d, offset:%d, length:%d", int(error.error), error.offset, int(json.size()));
        return false;
    }
    const QJsonObject object = document.object();
    readJsonString(object.value(QStringLiteral("username")), info.username);
    readJsonString(object.value(QStringLiteral("password")), info.password);
    readJsonInt(object.value(QStringLiteral("shouldRememberPassword")), info.shouldRememberPassword);
    readJsonInt(object.value(QStringLiteral("shouldAutoLogin")), info.shouldAutoLogin);
    readJsonString(object.value(QStringLiteral("avatarUrl")), info.avatarUrl);
    return true;
}
