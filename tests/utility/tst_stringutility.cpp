#include "utility/stringutility.h"

#include <QFont>
#include <QFontMetrics>
#include <QTest>

class TestStringUtility : public QObject
{
    Q_OBJECT

private slots:
    void findDomain_data();
    void findDomain();
    void splitPair_data();
    void splitPair();
    void splitPairWithoutSeparator_data();
    void splitPairWithoutSeparator();
    void longestLine();
    void longestLineTieTakesFirst();
    void longestLineOfEmptyList();
};

void TestStringUtility::findDomain_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");

    QTest::newRow("https with path") << "https://a.b.c/x/y" << "https://a.b.c/";
    QTest::newRow("http with file") << "http://cdn.example.com/course/a.pdf" << "http://cdn.example.com/";
    QTest::newRow("ftp") << "ftp://files.example.org/pub/x" << "ftp://files.example.org/";
    QTest::newRow("port kept") << "http://127.0.0.1:8080/x/y.pdf" << "http://127.0.0.1:8080/";
    QTest::newRow("no path") << "https://a.b.c" << "https://a.b.c/";
    QTest::newRow("query right after host") << "https://a.b.c?x=1/2" << "https://a.b.c/";
    QTest::newRow("dashes and underscores") << "https://my-host_1.example/x" << "https://my-host_1.example/";
    QTest::newRow("first address in text") << "see http://a.b/x and https://c.d/y" << "http://a.b/";
    QTest::newRow("no scheme") << "a.b.c/x/y" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("other scheme") << "file:///tmp/x" << "";
    QTest::newRow("scheme is case-sensitive") << "HTTPS://a.b.c/x" << "";
    QTest::newRow("no host") << "https:///x" << "";
}

void TestStringUtility::findDomain()
{
    QFETCH(QString, url);
    QFETCH(QString, expected);
    QCOMPARE(StringUtility::findDomain(url), expected);
}

void TestStringUtility::splitPair_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("color") << "color: red" << ":" << "color" << "red";
    QTest::newRow("padded") << "  background-color :  #fff  " << ":" << "background-color" << "#fff";
    QTest::newRow("first separator only") << "border-image: url(http://x/y.png)" << ":"
                                          << "border-image" << "url(http://x/y.png)";
    QTest::newRow("empty sides") << ":" << ":" << "" << "";
    QTest::newRow("longer separator") << "a => b" << "=>" << "a" << "b";
}

void TestStringUtility::splitPair()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QString gotKey = "old";
    QString gotValue = "old";
    QVERIFY(StringUtility::splitPair(text, separator, gotKey, gotValue));
    QCOMPARE(gotKey, key);
    QCOMPARE(gotValue, value);
}

void TestStringUtility::splitPairWithoutSeparator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");

    QTest::newRow("no colon") << "color red" << ":";
    QTest::newRow("empty text") << "" << ":";
    QTest::newRow("case-sensitive") << "aXb" << "x";
    QTest::newRow("empty separator") << "color: red" << "";
}

void TestStringUtility::splitPairWithoutSeparator()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);

    QString key = "old key";
    QString value = "old value";
    QTest::ignoreMessage(QtCriticalMsg, qPrintable(QStringLiteral("style:%1 doesn't contain : sign").arg(text)));
    QVERIFY(!StringUtility::splitPair(text, separator, key, value));
    QCOMPARE(key, QStringLiteral("old key"));
    QCOMPARE(value, QStringLiteral("old value"));
}

void TestStringUtility::longestLine()
{
    const QFont font;
    const QStringList lines = { "a", "a much longer line", "medium line", "" };
    int width = -1;
    int index = -1;
    QVERIFY(StringUtility::getLongestLine(font, lines, width, index));
    QCOMPARE(index, 1);
    QCOMPARE(width, QFontMetrics(font).horizontalAdvance(lines.at(1)));
}

void TestStringUtility::longestLineTieTakesFirst()
{
    const QFont font;
    int width = -1;
    int index = -1;
    QVERIFY(StringUtility::getLongestLine(font, { "", "same", "same" }, width, index));
    QCOMPARE(index, 1);

    // All lines empty: nothing is wider than 0, so the first one stands.
    QVERIFY(StringUtility::getLongestLine(font, { "", "" }, width, index));
    QCOMPARE(index, 0);
    QCOMPARE(width, 0);
}

void TestStringUtility::longestLineOfEmptyList()
{
    int width = 7;
    int index = 9;
    QTest::ignoreMessage(QtWarningMsg, "lines is empty.");
    QVERIFY(!StringUtility::getLongestLine(QFont(), {}, width, index));
    QCOMPARE(width, 7);
    QCOMPARE(index, 9);
}

QTEST_MAIN(TestStringUtility)
#include "tst_stringutility.moc"
