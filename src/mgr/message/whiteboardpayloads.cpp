#include "whiteboardpayloads.h"

#include "utility/jsonutil.h"

void readJson(const QJsonValue &value, DrawUnitData &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("objecttype")), out.objecttype);
    readJson(object.value(QStringLiteral("atPage")), out.atPage);
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("mtlid")), out.mtlid);
    readJson(object.value(QStringLiteral("objectdetail")), out.objectdetail);
}

QJsonObject toJson(const DrawUnitData &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("objecttype"), record.objecttype);
    object.insert(QStringLiteral("atPage"), record.atPage);
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("mtlid"), record.mtlid);
    object.insert(QStringLiteral("objectdetail"), record.objectdetail);
    return object;
}

void readJson(const QJsonValue &value, TurnToPageData &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("mtlid")), out.mtlid);
    readJson(object.value(QStringLiteral("prePage")), out.prePage);
    readJson(object.value(QStringLiteral("toPage")), out.toPage);
}

QJsonObject toJson(const TurnToPageData &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("mtlid"), record.mtlid);
    object.insert(QStringLiteral("prePage"), record.prePage);
    object.insert(QStringLiteral("toPage"), record.toPage);
    return object;
}

void readJson(const QJsonValue &value, ErasureData &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("mtlid")), out.mtlid);
    readJson(object.value(QStringLiteral("toPage")), out.toPage);
    readJson(object.value(QStringLiteral("rect")), out.rect);
}

QJsonObject toJson(const ErasureData &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("mtlid"), record.mtlid);
    object.insert(QStringLiteral("toPage"), record.toPage);
    object.insert(QStringLiteral("rect"), toJsonArray(record.rect));
    return object;
}

void readJson(const QJsonValue &value, WBTextData &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("page")), out.page);
    readJson(object.value(QStringLiteral("color")), out.color);
    readJson(object.value(QStringLiteral("rect")), out.rect);
    readJson(object.value(QStringLiteral("fontName")), out.fontName);
    readJson(object.value(QStringLiteral("fontSize")), out.fontSize);
    readJson(object.value(QStringLiteral("text")), out.text);
}

QJsonObject toJson(const WBTextData &record)
{
    QJsonObject object;
    object.insert(QStringLiteral("classid"), record.classid);
    object.insert(QStringLiteral("page"), record.page);
    object.insert(QStringLiteral("color"), record.color);
    object.insert(QStringLiteral("rect"), toJsonArray(record.rect));
    object.insert(QStringLiteral("fontName"), record.fontName);
    object.insert(QStringLiteral("fontSize"), record.fontSize);
    object.insert(QStringLiteral("text"), record.text);
    return object;
}
