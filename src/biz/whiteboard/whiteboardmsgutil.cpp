#include "whiteboardmsgutil.h"

#include "biz/whiteboard/drawunit.h"
#include "utility/jsonutil.h"

#include <QDebug>

namespace {

template<typename R, typename F>
void drawElementFields(R &record, F &&field)
{
    field("page", record.page);
    field("type", record.type);
    field("size", record.size);
    field("color", record.color);
    field("ptArray", record.ptArray);
}

template<typename R, typename F>
void drawObjectDetailFields(R &record, F &&field)
{
    field("version", record.version);
    field("element", record.element);
}

} // namespace

void readJson(const QJsonValue &value, DrawElement &out)
{
    drawElementFields(out, JsonFieldReader(value));
}

void readJson(const QJsonValue &value, DrawObjectDetail &out)
{
    drawObjectDetailFields(out, JsonFieldReader(value));
}

QJsonObject toJson(const DrawElement &record)
{
    JsonFieldWriter writer;
    drawElementFields(record, writer);
    return writer.object();
}

QJsonObject toJson(const DrawObjectDetail &record)
{
    JsonFieldWriter writer;
    drawObjectDetailFields(record, writer);
    return writer.object();
}

int WhiteboardMsgUtil::packPoint(const QPoint &point)
{
    const quint32 packed = (quint32(point.y()) << 16) | (quint32(point.x()) & 0xFFFFu);
    return int(packed);
}

QPoint WhiteboardMsgUtil::unpackPoint(int value)
{
    const quint32 packed = quint32(value);
    return QPoint(int(packed & 0xFFFFu), int(packed >> 16));
}

DrawElement WhiteboardMsgUtil::getDrawElement(const DrawUnit &unit, int pageIdx)
{
    DrawElement element;
    element.page = pageIdx + 1;
    element.type = const_cast<DrawUnit &>(unit).getType();
    element.size = unit.getPenWidth();
    element.color = DrawLayer::colorToWire(unit.getColor());
    element.ptArray.reserve(unit.getPoints().size());
    for (const QPoint &point : unit.getPoints())
        element.ptArray.append(packPoint(point));
    return element;
}

DrawObjectDetail WhiteboardMsgUtil::toDrawObjectDetail(const DrawElement &element)
{
    DrawObjectDetail detail;
    detail.version = 1;
    detail.element = element;
    return detail;
}

DrawUnitData WhiteboardMsgUtil::toDrawUnitData(const DrawObjectDetail &detail, const QString &classId,
                                               const QString &materialId)
{
    DrawUnitData data;
    data.objecttype = detail.element.type;
    data.atPage = detail.element.page;
    data.classid = classId;
    data.mtlid = materialId;
    data.objectdetail = toCompactJsonText(toJson(detail));
    return data;
}

QVector<DrawUnitData> WhiteboardMsgUtil::splitStroke(const DrawUnit &unit, int pageIdx, const QString &classId,
                                                     const QString &materialId, int maxPoints)
{
    QVector<DrawUnitData> messages;
    const DrawElement whole = getDrawElement(unit, pageIdx);
    if (maxPoints < 2 || whole.ptArray.size() <= maxPoints) {
        messages.append(toDrawUnitData(toDrawObjectDetail(whole), classId, materialId));
        return messages;
    }
    DrawElement chunk = whole;
    chunk.ptArray.clear();
    for (int packed : whole.ptArray) {
        chunk.ptArray.append(packed);
        if (chunk.ptArray.size() == maxPoints) {
            messages.append(toDrawUnitData(toDrawObjectDetail(chunk), classId, materialId));
            chunk.ptArray.clear();
            chunk.ptArray.append(packed);
        }
    }
    messages.append(toDrawUnitData(toDrawObjectDetail(chunk), classId, materialId));
    return messages;
}

WBTextData WhiteboardMsgUtil::getWBTextData(const TextUnit &unit, int pageIdx, const QString &classId)
{
    WBTextData data;
    data.classid = classId;
    data.page = pageIdx + 1;
    data.color = DrawLayer::colorToWire(unit.getColor());
    data.fontName = unit.getFontFamily();
    data.fontSize = unit.getFontSize();
    const QRect rect = unit.getRect();
    data.rect = { packPoint(rect.topLeft()), packPoint(rect.bottomRight()) };
    data.text = unit.getText();
    return data;
}

int WhiteboardMsgUtil::pageIndexFromWire(int page)
{
    // Compared before subtracting: page - 1 of INT_MIN overflows.
    return page >= 1 && page <= maxPages ? page - 1 : -1;
}

DrawCurveUnit *WhiteboardMsgUtil::createDrawUnitFromJson(const ImMsgInfo &info, const DrawUnitData &data, int &page)
{
    page = -1;
    if (data.objectdetail.size() > maxDetailLength) {
        qWarning("received stroke of %d characters dropped", int(data.objectdetail.size()));
        return nullptr;
    }
    DrawObjectDetail detail;
    detail.version = 0;
    if (!fromJson(data.objectdetail, detail))
        return nullptr;
    page = pageIndexFromWire(detail.element.page);
    if (detail.element.type != 1)
        return nullptr;
    if (detail.element.ptArray.size() > maxUnitPoints) {
        qWarning("received stroke of %d points dropped", int(detail.element.ptArray.size()));
        return nullptr;
    }
    const QColor color = DrawLayer::colorFromWire(detail.element.color);
    const int penWidth = qBound(1, detail.element.size, maxPenWidth);
    auto *unit = new DrawCurveUnit(penWidth, color, info.uid);
    for (int packed : detail.element.ptArray)
        unit->appendPoint(unpackPoint(packed));
    return unit;
}

TextUnit *WhiteboardMsgUtil::createTextUnitFromJson(const ImMsgInfo &info, const WBTextData &data, int &page)
{
    page = pageIndexFromWire(data.page);
    if (data.rect.size() < 2) {
        qCritical("receive WBTextData is wrong, rect point is less than 2.");
        return nullptr;
    }
    if (data.text.size() > maxTextLength) {
        qWarning("received text of %d characters dropped", int(data.text.size()));
        return nullptr;
    }
    if (data.fontName.size() > maxFontNameLength) {
        qWarning("received text with a font name of %d characters dropped", int(data.fontName.size()));
        return nullptr;
    }
    if (data.fontSize < 0 || data.fontSize > maxFontSize) {
        qWarning("received text of font size %d dropped", data.fontSize);
        return nullptr;
    }
    auto *unit = new TextUnit(DrawLayer::colorFromWire(data.color), info.uid, data.fontName);
    unit->setFontSize(data.fontSize);
    unit->setRect(QRect(unpackPoint(data.rect.at(0)), unpackPoint(data.rect.at(1))));
    unit->setText(data.text);
    return unit;
}
