#include "utility/jsonutil.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// One row per JSON value, checked against all four readers at once. Each
// target starts from a sentinel, so "left unchanged" is visible.
class TestJsonUtil : public QObject
{
    Q_OBJECT

private slots:
    void readers_data();
    void readers();
    void partialObjectKeepsDefaults();
};

static const int kIntSentinel = 77;
static const double kDoubleSentinel = 7.5;
static const QString kStringSentinel = QStringLiteral("keep");
static const bool kBoolSentinel = true;

void TestJsonUtil::readers_data()
{
    QTest::addColumn<QByteArray>("json"); // the value of key "v"; empty = key absent
    QTest::addColumn<int>("asInt");
    QTest::addColumn<double>("asDouble");
    QTest::addColumn<QString>("asString");
    QTest::addColumn<bool>("asBool");

    QTest::newRow("absent") << QByteArray() << kIntSentinel << kDoubleSentinel << kStringSentinel << kBoolSentinel;
    QTest::newRow("number 12345") << QByteArray("12345") << 12345 << 12345.0 << "12345" << false;
    QTest::newRow("text 12345") << QByteArray("\"12345\"") << 12345 << 0.0 << "12345" << false;
    QTest::newRow("number 200") << QByteArray("200") << 200 << 200.0 << "200" << false;
    QTest::newRow("text 200") << QByteArray("\"200\"") << 200 << 0.0 << "200" << false;
    QTest::newRow("negative text") << QByteArray("\"-15\"") << -15 << 0.0 << "-15" << false;
    QTest::newRow("text abc") << QByteArray("\"abc\"") << 0 << 0.0 << "abc" << false;
    QTest::newRow("empty text") << QByteArray("\"\"") << 0 << 0.0 << "" << false;
    QTest::newRow("fraction text") << QByteArray("\"1.5\"") << 0 << 0.0 << "1.5" << false;
    QTest::newRow("text beyond int") << QByteArray("\"2147483648\"") << 0 << 0.0 << "2147483648" << false;
    QTest::newRow("text true") << QByteArray("\"true\"") << 0 << 0.0 << "true" << false;
    QTest::newRow("text 1") << QByteArray("\"1\"") << 1 << 0.0 << "1" << false;
    QTest::newRow("number 1") << QByteArray("1") << 1 << 1.0 << "1" << false;
    QTest::newRow("number 0") << QByteArray("0") << 0 << 0.0 << "0" << false;
    QTest::newRow("number 3.5") << QByteArray("3.5") << 0 << 3.5 << "0" << false;
    QTest::newRow("number 2.5") << QByteArray("2.5") << 0 << 2.5 << "0" << false;
    QTest::newRow("number 1.5") << QByteArray("1.5") << 0 << 1.5 << "0" << false;
    QTest::newRow("int max") << QByteArray("2147483647") << 2147483647 << 2147483647.0 << "2147483647" << false;
    QTest::newRow("int min") << QByteArray("-2147483648") << int(-2147483647 - 1) << -2147483648.0
                             << "-2147483648" << false;
    QTest::newRow("just above int") << QByteArray("2147483648") << 0 << 2147483648.0 << "0" << false;
    QTest::newRow("just below int") << QByteArray("-2147483649") << 0 << -2147483649.0 << "0" << false;
    QTest::newRow("2^32") << QByteArray("4294967296") << 0 << 4294967296.0 << "0" << false;
    QTest::newRow("1e12") << QByteArray("1e12") << 0 << 1e12 << "0" << false;
    QTest::newRow("huge") << QByteArray("1e300") << 0 << 1e300 << "0" << false;
    QTest::newRow("true") << QByteArray("true") << 0 << 0.0 << "" << true;
    QTest::newRow("false") << QByteArray("false") << 0 << 0.0 << "" << false;
    QTest::newRow("null") << QByteArray("null") << 0 << 0.0 << "" << false;
    QTest::newRow("array") << QByteArray("[1, 2]") << 0 << 0.0 << "" << false;
    QTest::newRow("object") << QByteArray("{\"a\": 1}") << 0 << 0.0 << "" << false;
}

void TestJsonUtil::readers()
{
    QFETCH(QByteArray, json);
    QFETCH(int, asInt);
    QFETCH(double, asDouble);
    QFETCH(QString, asString);
    QFETCH(bool, asBool);

    const QByteArray document = json.isEmpty() ? QByteArray("{\"other\": 1}") : "{\"v\": " + json + "}";
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(document, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonValue value = object.value(QStringLiteral("v"));

    int intTarget = kIntSentinel;
    double doubleTarget = kDoubleSentinel;
    QString stringTarget = kStringSentinel;
    bool boolTarget = kBoolSentinel;
    readJsonInt(value, intTarget);
    readJsonDouble(value, doubleTarget);
    readJsonString(value, stringTarget);
    readJsonBool(value, boolTarget);

    QCOMPARE(intTarget, asInt);
    QCOMPARE(doubleTarget, asDouble);
    QCOMPARE(stringTarget, asString);
    QCOMPARE(boolTarget, asBool);
}

// The way record parsers use the readers: a partial object keeps the
// constructor's defaults for the keys it lacks.
void TestJsonUtil::partialObjectKeepsDefaults()
{
    struct Record
    {
        int count = 5;
        double ratio = 0.25;
        QString name = QStringLiteral("unnamed");
        bool active = true;
    } record;

    const QJsonObject object = QJsonDocument::fromJson(R"({"name": "Ana", "count": "12"})").object();
    readJsonInt(object.value("count"), record.count);
    readJsonDouble(object.value("ratio"), record.ratio);
    readJsonString(object.value("name"), record.name);
    readJsonBool(object.value("active"), record.active);

    QCOMPARE(record.count, 12);
    QCOMPARE(record.ratio, 0.25);
    QCOMPARE(record.name, QStringLiteral("Ana"));
    QCOMPARE(record.active, true);
}

QTEST_GUILESS_MAIN(TestJsonUtil)
#include "tst_jsonutil.moc"
