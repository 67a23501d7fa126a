#include "whiteboardpayloads.h"

#include "utility/jsonutil.h"

namespace {

template<typename R, typename F>
void drawUnitDataFields(R &record, F &&field)
{
    field("objecttype", record.objecttype);
    field("atPage", record.atPage);
    field("classid", record.classid);
    field("mtlid", record.mtlid);
    field("objectdetail", record.objectdetail);
}

template<typename R, typename F>
void turnToPageDataFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("mtlid", record.mtlid);
    field("prePage", record.prePage);
    field("toPage", record.toPage);
}

template<typename R, typename F>
void erasureDataFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("mtlid", record.mtlid);
    field("toPage", record.toPage);
    field("rect", record.rect);
}

template<typename R, typename F>
void wBTextDataFields(R &record, F &&field)
{
    field("classid", record.classid);
    field("page", record.page);
    field("color", record.color);
    field("rect", record.rect);
    field("fontName", record.fontName);
    field("fontSize", record.fontSize);
    field("text", record.text);
}

} // namespace

void readJson(const QJsonValue &value, DrawUnitData &out)
{
    drawUnitDataFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const DrawUnitData &record)
{
    JsonFieldWriter writer;
    drawUnitDataFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, TurnToPageData &out)
{
    turnToPageDataFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const TurnToPageData &record)
{
    JsonFieldWriter writer;
    turnToPageDataFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, ErasureData &out)
{
    erasureDataFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const ErasureData &record)
{
    JsonFieldWriter writer;
    erasureDataFields(record, writer);
    return writer.object();
}

void readJson(const QJsonValue &value, WBTextData &out)
{
    wBTextDataFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const WBTextData &record)
{
    JsonFieldWriter writer;
    wBTextDataFields(record, writer);
    return writer.object();
}
