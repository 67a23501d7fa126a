#include "utility/timeutility.h"
#include "utility/translatelanguage.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Runs with TZ=America/Sao_Paulo (UTC-3 since 2019, no daylight saving), so
// local time, UTC and UTC+8 are three different clocks.
class TestTimeUtility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void fixedInstants_data();
    void fixedInstants();
    void beiJingTimeAtStartOfUtcDay();
    void beiJingTimeAtTopOfRange();
    void zeroSecsMeansNow_data();
    void zeroSecsMeansNow();
    void beiJingTimeMsNow_data();
    void beiJingTimeMsNow();
    void currentSecsSinceEpoch();
    void zeroTimestampIsLocalMidnight();
    void secondsToHms_data();
    void secondsToHms();
    void durationText_data();
    void durationText();

private:
    QTemporaryDir m_dir;
};

static const QString kFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
// 2021-06-01 00:00:00 UTC
static const uint kJune2021 = 1622505600u;

void TestTimeUtility::initTestCase()
{
    QCOMPARE(qgetenv("TZ"), QByteArray("America/Sao_Paulo"));

    // Our own wording, so the duration tests do not depend on the shipped text.
    QVERIFY(m_dir.isValid());
    QFile doc(m_dir.filePath("durations.xml"));
    QVERIFY(doc.open(QIODevice::WriteOnly));
    doc.write("<root>"
              "<t id=\"second\"><en>%1 s</en><cn>S%1</cn></t>"
              "<t id=\"minute\"><en>%1 min</en><cn>M%1</cn></t>"
              "<t id=\"hour\"><en>%1 h</en><cn>H%1</cn></t>"
              "<t id=\"day\"><en>%1 d</en><cn>D%1</cn></t>"
              "</root>");
    doc.close();
    QVERIFY(Translatelanguage::instance()->load(doc.fileName()));
}

void TestTimeUtility::fixedInstants_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("expected");

    QTest::newRow("local") << "local" << "2021-05-31 21:00:00";
    QTest::newRow("utc") << "utc" << "2021-06-01 00:00:00";
    QTest::newRow("beijing") << "beijing" << "2021-06-01 08:00:00";
    QTest::newRow("beijing ms") << "beijingMs" << "2021-06-01 08:00:00";
}

void TestTimeUtility::fixedInstants()
{
    QFETCH(QString, function);
    QFETCH(QString, expected);

    QString result;
    if (function == "local")
        result = TimeUtility::timestampToString(kFormat, kJune2021);
    else if (function == "utc")
        result = TimeUtility::formatSecsUtc(kFormat, kJune2021);
    else if (function == "beijing")
        result = TimeUtility::getBeiJingTime(kFormat, kJune2021);
    else
        result = TimeUtility::getBeiJingTimeMs(kFormat, qint64(kJune2021) * 1000);
    QCOMPARE(result, expected);
}

void TestTimeUtility::beiJingTimeAtStartOfUtcDay()
{
    // 2017-11-15 00:00:00 UTC
    QCOMPARE(TimeUtility::getBeiJingTime(kFormat, 1510704000u), QStringLiteral("2017-11-15 08:00:00"));
    QCOMPARE(TimeUtility::getBeiJingTimeMs(QStringLiteral("hh:mm:ss.zzz"), 1510704000123LL),
             QStringLiteral("08:00:00.123"));
}

void TestTimeUtility::beiJingTimeAtTopOfRange()
{
    // Adding eight hours must not wrap the unsigned seconds back to 1970.
    QCOMPARE(TimeUtility::getBeiJingTime(QStringLiteral("yyyy-MM-dd hh:mm:ss"), 0xFFFFFFFFu),
             QStringLiteral("2106-02-07 14:28:15"));
}

// Calls with 0 mean "now": the result must be the expected clock read just
// before or just after the call (a minute boundary may fall in between).
void TestTimeUtility::zeroSecsMeansNow_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("utc");

    QTest::newRow("timestampToString is local") << "local" << false;
    QTest::newRow("getBeiJingTime(0) is local") << "beijing" << false;
    QTest::newRow("formatSecsUtc is utc") << "utc" << true;
}

void TestTimeUtility::zeroSecsMeansNow()
{
    QFETCH(QString, function);
    QFETCH(bool, utc);
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm");

    auto clock = [utc]() { return utc ? QDateTime::currentDateTimeUtc() : QDateTime::currentDateTime(); };
    const QString before = clock().toString(format);
    QString result;
    if (function == "local")
        result = TimeUtility::timestampToString(format, 0);
    else if (function == "beijing")
        result = TimeUtility::getBeiJingTime(format, 0);
    else
        result = TimeUtility::formatSecsUtc(format, 0);
    const QString after = clock().toString(format);
    QVERIFY2(result == before || result == after, qPrintable(result + " vs " + before));
}

void TestTimeUtility::beiJingTimeMsNow_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("negative") << qint64(-5000);
}

void TestTimeUtility::beiJingTimeMsNow()
{
    QFETCH(qint64, msecs);
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm");
    auto beijingNow = []() { return QDateTime::currentDateTimeUtc().addSecs(8 * 3600); };

    const QString before = beijingNow().toString(format);
    const QString result = TimeUtility::getBeiJingTimeMs(format, msecs);
    const QString after = beijingNow().toString(format);
    QVERIFY2(result == before || result == after, qPrintable(result + " vs " + before));
    // Eleven hours from the local clock here: a local result would fail.
    QVERIFY(result != QDateTime::currentDateTime().toString(format));
}

void TestTimeUtility::currentSecsSinceEpoch()
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const qint64 now = TimeUtility::currentSecsSinceEpoch();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    QVERIFY(now >= before && now <= after);
}

void TestTimeUtility::zeroTimestampIsLocalMidnight()
{
    const QDate today = QDate::currentDate();
    const uint zero = TimeUtility::getZeroTimestamp();
    if (QDate::currentDate() != today)
        QSKIP("the date changed during the test");

    const QDateTime local = QDateTime::fromSecsSinceEpoch(zero);
    QCOMPARE(local.date(), today);
    QCOMPARE(local.time(), QTime(0, 0));
    // Local midnight here is 03:00 UTC, not 00:00 UTC.
    QCOMPARE(zero % 86400, 3u * 3600u);
}

void TestTimeUtility::secondsToHms_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<uint>("secs");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << QString() << 0u << "00:00:00";
    QTest::newRow("3661") << QString() << 3661u << "01:01:01";
    QTest::newRow("last second of a day") << QString() << 86399u << "23:59:59";
    QTest::newRow("one day gives day text") << QString() << 86400u << "D1";
    QTest::newRow("two days") << QString() << 2u * 86400u << "D2";
    QTest::newRow("mm:ss class length") << "mm:ss" << 1500u << "25:00";
    QTest::newRow("mm:ss zero") << "mm:ss" << 0u << "00:00";
    QTest::newRow("hh:mm:ss countdown") << "hh:mm:ss" << 59u << "00:00:59";
}

void TestTimeUtility::secondsToHms()
{
    QFETCH(QString, format);
    QFETCH(uint, secs);
    QFETCH(QString, expected);
    const QString result = format.isNull() ? TimeUtility::secondsToHms(secs)
                                           : TimeUtility::secondsToHms(format, secs);
    QCOMPARE(result, expected);
}

void TestTimeUtility::durationText_data()
{
    QTest::addColumn<uint>("secs");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0") << 0u << "S0";
    QTest::newRow("59") << 59u << "S59";
    QTest::newRow("60") << 60u << "M1";
    QTest::newRow("119 truncates") << 119u << "M1";
    QTest::newRow("3599") << 3599u << "M59";
    QTest::newRow("3600") << 3600u << "H1";
    QTest::newRow("86399") << 86399u << "H23";
    QTest::newRow("86400") << 86400u << "D1";
    QTest::newRow("three days") << 3u * 86400u << "D3";
}

void TestTimeUtility::durationText()
{
    QFETCH(uint, secs);
    QFETCH(QString, expected);
    QCOMPARE(TimeUtility::getDurationText(secs), expected);
}

QTEST_GUILESS_MAIN(TestTimeUtility)
#include "tst_timeutility.moc"
