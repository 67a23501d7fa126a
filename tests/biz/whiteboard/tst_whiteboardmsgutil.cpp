// The wire forms of the whiteboard messages: strokes in chunks of at most
// 50 points, packed points and colours, text boxes, and the receiving side
// turning payloads back into draw units, hostile numbers included.

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/whiteboardmsgutil.h"
#include "utility/jsonutil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

std::unique_ptr<DrawCurveUnit> strokeOf(int points)
{
    auto stroke = std::make_unique<DrawCurveUnit>(3, QColor(245, 67, 48), QStringLiteral("30001"));
    for (int i = 0; i < points; ++i)
        stroke->appendPoint(QPoint(i * 10, i * 20));
    return stroke;
}

// The points of one payload, unpacked from its detail text.
QVector<QPoint> pointsOf(const DrawUnitData &data)
{
    const QJsonObject detail = QJsonDocument::fromJson(data.objectdetail.toUtf8()).object();
    QVector<QPoint> points;
    for (const QJsonValue &value : detail.value("element").toObject().value("ptArray").toArray())
        points.append(WhiteboardMsgUtil::unpackPoint(value.toInt()));
    return points;
}

DrawUnitData drawPayload(const QJsonObject &element)
{
    DrawUnitData data;
    data.objecttype = 1;
    data.atPage = element.value("page").toInt();
    data.objectdetail = QString::fromUtf8(QJsonDocument(QJsonObject { { "version", 1 }, { "element", element } })
                                              .toJson(QJsonDocument::Compact));
    return data;
}

} // namespace

class TestWhiteboardMsgUtil : public QObject
{
    Q_OBJECT

private slots:
    void strokeChunks_data();
    void strokeChunks();
    void strokePayloadKeys();
    void pointPacking_data();
    void pointPacking();
    void pagesFromTheWire_data();
    void pagesFromTheWire();
    void receivedStroke();
    void receivedColours_data();
    void receivedColours();
    void receivedStrokeRefused_data();
    void receivedStrokeRefused();
    void textRoundTrip();
    void textOutsidePageIsClamped();
    void receivedTextBounds_data();
    void receivedTextBounds();
    void receivedStrokeBounds_data();
    void receivedStrokeBounds();
};

void TestWhiteboardMsgUtil::strokeChunks_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<QVector<int>>("chunkSizes");
    QTest::addColumn<QVector<int>>("chunkFirstPoints"); // index into the stroke
    QTest::newRow("2 points") << 2 << QVector<int> { 2 } << QVector<int> { 0 };
    QTest::newRow("50 points, one message") << 50 << QVector<int> { 50 } << QVector<int> { 0 };
    QTest::newRow("51 points") << 51 << QVector<int> { 50, 2 } << QVector<int> { 0, 49 };
    QTest::newRow("100 points") << 100 << QVector<int> { 50, 50, 2 } << QVector<int> { 0, 49, 98 };
}

void TestWhiteboardMsgUtil::strokeChunks()
{
    QFETCH(int, points);
    QFETCH(QVector<int>, chunkSizes);
    QFETCH(QVector<int>, chunkFirstPoints);
    const auto stroke = strokeOf(points);
    const QVector<DrawUnitData> messages = WhiteboardMsgUtil::splitStroke(*stroke, 2, "10001", "m1", 50);
    QCOMPARE(messages.size(), chunkSizes.size());
    for (int i = 0; i < messages.size(); ++i) {
        const QVector<QPoint> chunk = pointsOf(messages.at(i));
        QCOMPARE(chunk.size(), chunkSizes.at(i));
        QCOMPARE(chunk.first(), stroke->getPoints().at(chunkFirstPoints.at(i)));
        QCOMPARE(chunk.last(), stroke->getPoints().at(chunkFirstPoints.at(i) + chunk.size() - 1));
        QCOMPARE(messages.at(i).atPage, 3);
    }
}

void TestWhiteboardMsgUtil::strokePayloadKeys()
{
    const auto stroke = strokeOf(2);
    const DrawUnitData data = WhiteboardMsgUtil::splitStroke(*stroke, 0, "10001", "m1", 50).first();
    const QJsonObject payload = toJson(data);
    QCOMPARE(payload.value("objecttype").toInt(), 1);
    QCOMPARE(payload.value("atPage").toInt(), 1);
    QCOMPARE(payload.value("classid").toString(), QString("10001"));
    QCOMPARE(payload.value("mtlid").toString(), QString("m1"));
    const QJsonObject detail = QJsonDocument::fromJson(data.objectdetail.toUtf8()).object();
    QCOMPARE(detail.value("version").toInt(), 1);
    const QJsonObject element = detail.value("element").toObject();
    QCOMPARE(element.keys(), QStringList({ "color", "page", "ptArray", "size", "type" }));
    QCOMPARE(element.value("page").toInt(), 1);
    QCOMPARE(element.value("type").toInt(), 1);
    QCOMPARE(element.value("size").toInt(), 3);
    // alpha, blue, green, red from the top byte down, never negative
    QCOMPARE(element.value("color").toDouble(), double(0xFF3043F5u));
    QCOMPARE(element.value("ptArray").toArray(), QJsonArray({ 0, 20 * 65536 + 10 }));
}

void TestWhiteboardMsgUtil::pointPacking_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("packed");
    QTest::newRow("origin") << QPoint(0, 0) << 0;
    QTest::newRow("x low, y high") << QPoint(1, 2) << 2 * 65536 + 1;
    QTest::newRow("both edges") << QPoint(10000, 10000) << 10000 * 65536 + 10000;
}

void TestWhiteboardMsgUtil::pointPacking()
{
    QFETCH(QPoint, point);
    QFETCH(int, packed);
    QCOMPARE(WhiteboardMsgUtil::packPoint(point), packed);
    QCOMPARE(WhiteboardMsgUtil::unpackPoint(packed), point);
}

void TestWhiteboardMsgUtil::pagesFromTheWire_data()
{
    QTest::addColumn<int>("wire");
    QTest::addColumn<int>("index");
    QTest::newRow("first") << 1 << 0;
    QTest::newRow("last possible") << WhiteboardMsgUtil::maxPages << WhiteboardMsgUtil::maxPages - 1;
    QTest::newRow("past the last possible") << WhiteboardMsgUtil::maxPages + 1 << -1;
    QTest::newRow("0") << 0 << -1;
    QTest::newRow("negative") << -7 << -1;
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min() << -1;
    QTest::newRow("INT_MAX") << std::numeric_limits<int>::max() << -1;
}

// The page index of strokes and texts alike; INT_MIN must not wrap around.
void TestWhiteboardMsgUtil::pagesFromTheWire()
{
    QFETCH(int, wire);
    QFETCH(int, index);
    QCOMPARE(WhiteboardMsgUtil::pageIndexFromWire(wire), index);

    int page = 12345;
    std::unique_ptr<DrawCurveUnit> stroke(WhiteboardMsgUtil::createDrawUnitFromJson(
        ImMsgInfo(), drawPayload({ { "page", wire }, { "type", 1 }, { "ptArray", QJsonArray({ 0, 1 }) } }), page));
    QCOMPARE(page, index);
    WBTextData text;
    text.page = wire;
    text.rect = { 0, 1 };
    page = 12345;
    std::unique_ptr<TextUnit> box(WhiteboardMsgUtil::createTextUnitFromJson(ImMsgInfo(), text, page));
    QCOMPARE(page, index);
}

void TestWhiteboardMsgUtil::receivedStroke()
{
    int page = -1;
    ImMsgInfo info { QString(), "20002" };
    const DrawUnitData data = drawPayload({ { "page", 3 }, { "type", 1 }, { "size", 5 }, { "color", 4278190335.0 },
                                            { "ptArray", QJsonArray({ 65537, 10000 * 65536 + 5000 }) } });
    std::unique_ptr<DrawCurveUnit> unit(WhiteboardMsgUtil::createDrawUnitFromJson(info, data, page));
    QVERIFY(unit);
    QCOMPARE(page, 2);
    QCOMPARE(unit->getOwnerUid(), QString("20002"));
    QCOMPARE(unit->getPenWidth(), 5);
    QCOMPARE(unit->getColor(), QColor(255, 0, 0));
    QCOMPARE(unit->getPoints(), QVector<QPoint>({ QPoint(1, 1), QPoint(5000, 10000) }));

    // A pen width no page can show is kept within 1..100 pixels.
    for (const auto &size : { std::make_pair(0, 1), std::make_pair(-5, 1), std::make_pair(1000000, 100) }) {
        const DrawUnitData wide = drawPayload({ { "page", 1 }, { "type", 1 }, { "size", size.first }, { "ptArray", QJsonArray({ 0, 1 }) } });
        std::unique_ptr<DrawCurveUnit> bounded(WhiteboardMsgUtil::createDrawUnitFromJson(info, wide, page));
        QCOMPARE(bounded->getPenWidth(), size.second);
    }
}

void TestWhiteboardMsgUtil::receivedColours_data()
{
    QTest::addColumn<QJsonValue>("color");
    QTest::addColumn<QColor>("expected");
    const QColor blue(0, 0, 255, 255);
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << blue;
    QTest::newRow("zero") << QJsonValue(0) << blue;
    QTest::newRow("negative") << QJsonValue(-1.0) << blue;
    QTest::newRow("beyond 32 bits") << QJsonValue(4294967296.0) << blue;
    QTest::newRow("text") << QJsonValue("red") << blue;
    QTest::newRow("half transparent green") << QJsonValue(double(0x8000FF00u)) << QColor(0, 255, 0, 128);
}

void TestWhiteboardMsgUtil::receivedColours()
{
    QFETCH(QJsonValue, color);
    QFETCH(QColor, expected);
    QJsonObject element { { "page", 1 }, { "type", 1 }, { "size", 3 }, { "ptArray", QJsonArray({ 0, 1 }) } };
    if (!color.isUndefined())
        element.insert("color", color);
    int page = 0;
    std::unique_ptr<DrawCurveUnit> unit(
        WhiteboardMsgUtil::createDrawUnitFromJson(ImMsgInfo(), drawPayload(element), page));
    QVERIFY(unit);
    QCOMPARE(unit->getColor(), expected);
    QCOMPARE(DrawLayer::colorFromWire(std::numeric_limits<double>::quiet_NaN()), QColor(0, 0, 255));
}

void TestWhiteboardMsgUtil::receivedStrokeRefused_data()
{
    QTest::addColumn<QString>("detail");
    QTest::newRow("not JSON") << "{\"element\":";
    QTest::newRow("text box type") << R"({"version":1,"element":{"page":1,"type":2,"ptArray":[1,2]}})";
    QTest::newRow("no type") << R"({"version":1,"element":{"page":1,"ptArray":[1,2]}})";
}

void TestWhiteboardMsgUtil::receivedStrokeRefused()
{
    QFETCH(QString, detail);
    DrawUnitData data;
    data.objecttype = 1;
    data.objectdetail = detail;
    int page = 0;
    QCOMPARE(WhiteboardMsgUtil::createDrawUnitFromJson(ImMsgInfo(), data, page), nullptr);
}

void TestWhiteboardMsgUtil::textRoundTrip()
{
    TextUnit unit(QColor(30, 101, 242), "30001", "Noto Sans");
    unit.setFontSize(28, 700);
    unit.setText("two\nlines");
    unit.setRect(QRect(QPoint(100, 70), QPoint(300, 140)), 1000, 700);
    const WBTextData data = WhiteboardMsgUtil::getWBTextData(unit, 1, "10001");
    QCOMPARE(data.page, 2);
    QCOMPARE(data.classid, QString("10001"));
    QCOMPARE(data.rect, QVector<int>({ 1000 * 65536 + 1000, 2000 * 65536 + 3000 }));
    QCOMPARE(data.fontSize, 400);
    QCOMPARE(data.color, double(0xFFF2651Eu));

    // Through JSON and back into a unit of the receiver.
    WBTextData parsed;
    QVERIFY(fromJson(toCompactJsonText(toJson(data)), parsed));
    int page = 0;
    std::unique_ptr<TextUnit> back(WhiteboardMsgUtil::createTextUnitFromJson({ QString(), "30001" }, parsed, page));
    QVERIFY(back);
    QCOMPARE(page, 1);
    QCOMPARE(back->getRect(), unit.getRect());
    QCOMPARE(back->getText(), unit.getText());
    QCOMPARE(back->getFontSize(), unit.getFontSize());
    QCOMPARE(back->getFontFamily(), QString("Noto Sans"));
    QCOMPARE(back->getColor(), unit.getColor());
}

// A box reaching past the page keeps its corners on the page: both fit the
// 16-bit halves of the wire form and arrive where they were.
void TestWhiteboardMsgUtil::textOutsidePageIsClamped()
{
    TextUnit unit(Qt::black, "30001", "Noto Sans");
    unit.setRect(QRect(QPoint(-40, 600), QPoint(1400, 900)), 1000, 700);
    const WBTextData data = WhiteboardMsgUtil::getWBTextData(unit, 0, "10001");
    QCOMPARE(WhiteboardMsgUtil::unpackPoint(data.rect.at(0)), QPoint(0, 8571));
    QCOMPARE(WhiteboardMsgUtil::unpackPoint(data.rect.at(1)), QPoint(10000, 10000));
}

void TestWhiteboardMsgUtil::receivedTextBounds_data()
{
    QTest::addColumn<int>("corners");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<int>("fontNameLength");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<bool>("kept");
    const int text = WhiteboardMsgUtil::maxTextLength;
    const int name = WhiteboardMsgUtil::maxFontNameLength;
    const int size = WhiteboardMsgUtil::maxFontSize;
    QTest::newRow("everything at its bound") << 2 << text << name << size << true;
    QTest::newRow("font size 0") << 2 << 1 << 8 << 0 << true;
    QTest::newRow("one corner") << 1 << 1 << 8 << 100 << false;
    QTest::newRow("text too long") << 2 << text + 1 << 8 << 100 << false;
    QTest::newRow("ten million characters") << 2 << 10000000 << 8 << 100 << false;
    QTest::newRow("font name too long") << 2 << 1 << name + 1 << 100 << false;
    QTest::newRow("font taller than the page") << 2 << 1 << 8 << size + 1 << false;
    QTest::newRow("huge font") << 2 << 1 << 8 << 2000000000 << false;
    QTest::newRow("negative font") << 2 << 1 << 8 << -1 << false;
}

// A text beyond what anybody types is dropped whole, not cut.
void TestWhiteboardMsgUtil::receivedTextBounds()
{
    QFETCH(int, corners);
    QFETCH(int, textLength);
    QFETCH(int, fontNameLength);
    QFETCH(int, fontSize);
    QFETCH(bool, kept);
    WBTextData data;
    data.page = 1;
    data.rect = { 0, 65536 * 100 + 100 };
    data.rect.resize(corners);
    data.text = QString(textLength, QLatin1Char('w'));
    data.fontName = QString(fontNameLength, QLatin1Char('f'));
    data.fontSize = fontSize;
    int page = -1;
    std::unique_ptr<TextUnit> unit(WhiteboardMsgUtil::createTextUnitFromJson(ImMsgInfo(), data, page));
    QCOMPARE(bool(unit), kept);
    if (unit) {
        QCOMPARE(unit->getText().size(), textLength);
        QCOMPARE(unit->getFontSize(), fontSize);
    }
}

void TestWhiteboardMsgUtil::receivedStrokeBounds_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("padding"); // spaces in the detail text
    QTest::addColumn<bool>("kept");
    const int points = WhiteboardMsgUtil::maxUnitPoints;
    QTest::newRow("points at the bound") << points << 0 << true;
    QTest::newRow("one point more") << points + 1 << 0 << false;
    QTest::newRow("a million points") << 1000000 << 0 << false;
    // Refused before it is parsed: a few points in a huge text.
    QTest::newRow("detail too long") << 2 << WhiteboardMsgUtil::maxDetailLength << false;
}

void TestWhiteboardMsgUtil::receivedStrokeBounds()
{
    QFETCH(int, points);
    QFETCH(int, padding);
    QFETCH(bool, kept);
    QJsonArray packed;
    for (int i = 0; i < points; ++i)
        packed.append(i % 2 ? 10000 * 65536 + 10000 : 0);
    DrawUnitData data = drawPayload({ { "page", 1 }, { "type", 1 }, { "size", 3 }, { "ptArray", packed } });
    data.objectdetail.append(QString(padding, QLatin1Char(' ')));
    int page = -1;
    std::unique_ptr<DrawCurveUnit> unit(WhiteboardMsgUtil::createDrawUnitFromJson(ImMsgInfo(), data, page));
    QCOMPARE(bool(unit), kept);
    if (unit)
        QCOMPARE(unit->getPoints().size(), points);
}

QTEST_MAIN(TestWhiteboardMsgUtil)
#include "tst_whiteboardmsgutil.moc"
