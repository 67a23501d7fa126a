#ifndef WHITEBOARDPAYLOADS_H
#define WHITEBOARDPAYLOADS_H

#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QString>
#include <QVector>

// Payload records of the four whiteboard messages. Points and rectangles
// travel as page fractions x10000 packed two to an int, colours as one
// packed unsigned value in a double, pages 1-based; the board does the
// packing. Every field starts at zero, empty or an empty array.

// A finished pen stroke or a chunk of one (300).
struct DrawUnitData
{
    int objecttype = 0;
    int atPage = 0;
    QString classid;
    QString mtlid;
    QString objectdetail;
};

// A page turn (301).
struct TurnToPageData
{
    QString classid;
    QString mtlid;
    int prePage = 0;
    int toPage = 0;
};

// Erase a page (303).
struct ErasureData
{
    QString classid;
    QString mtlid;
    int toPage = 0;
    QVector<int> rect;
};

// A committed text box (304).
struct WBTextData
{
    QString classid;
    int page = 0;
    double color = 0.0;
    QVector<int> rect;
    QString fontName;
    int fontSize = 0;
    QString text;
};

void readJson(const QJsonValue &value, DrawUnitData &out);
void readJson(const QJsonValue &value, TurnToPageData &out);
void readJson(const QJsonValue &value, ErasureData &out);
void readJson(const QJsonValue &value, WBTextData &out);

QJsonObject toJson(const DrawUnitData &record);
QJsonObject toJson(const TurnToPageData &record);
QJsonObject toJson(const ErasureData &record);
QJsonObject toJson(const WBTextData &record);

Q_DECLARE_METATYPE(DrawUnitData)
Q_DECLARE_METATYPE(TurnToPageData)
Q_DECLARE_METATYPE(ErasureData)
Q_DECLARE_METATYPE(WBTextData)

#endif // WHITEBOARDPAYLOADS_H
