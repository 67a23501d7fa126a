#ifndef WHITEBOARDMSGUTIL_H
#define WHITEBOARDMSGUTIL_H

#include "mgr/message/immsginfo.h"
#include "mgr/message/whiteboardpayloads.h"

#include <QJsonObject>
#include <QPoint>
#include <QString>
#include <QVector>

class DrawUnit;
class DrawCurveUnit;
class TextUnit;

// One stroke as it travels inside "objectdetail".
struct DrawElement
{
    int page = 0; // 1-based
    int type = 0;
    int size = 0;
    double color = 0.0;
    QVector<int> ptArray;
};

struct DrawObjectDetail
{
    int version = 1;
    DrawElement element;
};

void readJson(const QJsonValue &value, DrawElement &out);
void readJson(const QJsonValue &value, DrawObjectDetail &out);
QJsonObject toJson(const DrawElement &record);
QJsonObject toJson(const DrawObjectDetail &record);

// Turns draw units into whiteboard payloads and back. Points and corners
// travel as page fractions packed two to an int (x in the low 16 bits, y in
// the high 16 bits), colours as DrawLayer's wire value, pages 1-based.
class WhiteboardMsgUtil
{
public:
    static int packPoint(const QPoint &point);
    static QPoint unpackPoint(int value);

    // The element of a stroke shown on page pageIdx (0-based).
    static DrawElement getDrawElement(const DrawUnit &unit, int pageIdx);
    static DrawObjectDetail toDrawObjectDetail(const DrawElement &element);
    static DrawUnitData toDrawUnitData(const DrawObjectDetail &detail, const QString &classId,
                                       const QString &materialId);
    // The payloads of one stroke: all its points when there are at most
    // maxPoints, else chunks of maxPoints where each chunk after the first
    // starts with the last point of the one before, so the pieces join.
    static QVector<DrawUnitData> splitStroke(const DrawUnit &unit, int pageIdx, const QString &classId,
                                             const QString &materialId, int maxPoints);

    static WBTextData getWBTextData(const TextUnit &unit, int pageIdx, const QString &classId);

    // The 0-based index of a 1-based page from the wire, or -1 for a page
    // before the first or past maxPages.
    static int pageIndexFromWire(int page);

    // A stroke owned by the sender, or null for a detail that does not parse,
    // a type other than a stroke, a detail longer than maxDetailLength or
    // more than maxUnitPoints points. page is the 0-based page, -1 when the
    // wire page is out of range.
    static DrawCurveUnit *createDrawUnitFromJson(const ImMsgInfo &info, const DrawUnitData &data, int &page);
    // A text unit owned by the sender, or null when rect holds fewer than two
    // corners, the text is longer than maxTextLength, the font name longer
    // than maxFontNameLength or the font size outside 0..maxFontSize.
    static TextUnit *createTextUnitFromJson(const ImMsgInfo &info, const WBTextData &data, int &page);

    // What one received unit may carry: far more than anybody draws or
    // types at once (a stroke goes out in chunks of 50 points), little
    // enough to parse and paint at once.
    static constexpr int maxUnitPoints = 2000;
    static constexpr int maxDetailLength = 64 * 1024;
    static constexpr int maxTextLength = 2000;
    static constexpr int maxFontNameLength = 256;
    // Font sizes travel as fractions of the page height; 10000 is the page.
    static constexpr int maxFontSize = 10000;

    // Keeps sizes and pens within what a page can show: a stroke's pen width
    // is at most this many pixels.
    static constexpr int maxPenWidth = 100;
    // No courseware has more pages than this.
    static constexpr int maxPages = 10000;
};

#endif // WHITEBOARDMSGUTIL_H
