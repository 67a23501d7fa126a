#include <QRegularExpression>
#include <QTest>

#include "scopedtimescale.h"
#include "utility/durations.h"

// The one seam through which tests shorten the client's own durations.
class TestDurations : public QObject
{
    Q_OBJECT

private slots:
    void realDurationsByDefault();
    void scaled_data();
    void scaled();
    void scopeRestoresThePreviousFactor();
    void parseScale_data();
    void parseScale();
    void environmentScale_data();
    void environmentScale();
};

void TestDurations::realDurationsByDefault()
{
    QCOMPARE(Durations::scale(), 1.0);
    QCOMPARE(Durations::ms(15000), 15000);
    QCOMPARE(Durations::ms(1), 1);
}

void TestDurations::scaled_data()
{
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("used");

    QTest::newRow("login time-out") << 0.02 << 15000 << 300;
    QTest::newRow("rounded") << 0.01 << 1250 << 13;
    QTest::newRow("never below 1 ms") << 0.001 << 800 << 1;
    QTest::newRow("no time-out stays none") << 0.01 << -1 << -1;
    QTest::newRow("zero stays zero") << 0.01 << 0 << 0;
    QTest::newRow("slower") << 1000.0 << 2147483 << 2147483000;
    QTest::newRow("beyond int") << 1000.0 << 2147484 << 2147483647;
    QTest::newRow("factor 0 ignored") << 0.0 << 4000 << 4000;
    QTest::newRow("negative factor ignored") << -2.0 << 4000 << 4000;
}

void TestDurations::scaled()
{
    QFETCH(double, factor);
    QFETCH(int, written);
    QFETCH(int, used);
    ScopedTimeScale scale(factor);
    QCOMPARE(Durations::ms(written), used);
}

void TestDurations::scopeRestoresThePreviousFactor()
{
    {
        ScopedTimeScale outer(0.5);
        {
            ScopedTimeScale inner(0.1);
            QCOMPARE(Durations::ms(1000), 100);
        }
        QCOMPARE(Durations::ms(1000), 500);
    }
    QCOMPARE(Durations::ms(1000), 1000);
}

void TestDurations::parseScale_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("factor");

    QTest::newRow("fraction") << "0.05" << true << 0.05;
    QTest::newRow("one") << "1" << true << 1.0;
    QTest::newRow("slower") << "2.5" << true << 2.5;
    QTest::newRow("spaces around") << " 0.1 " << true << 0.1;
    QTest::newRow("exponent") << "5e-2" << true << 0.05;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("word") << "fast" << false << 0.0;
    QTest::newRow("trailing text") << "0.1x" << false << 0.0;
    QTest::newRow("comma") << "0,1" << false << 0.0;
    QTest::newRow("zero") << "0" << false << 0.0;
    QTest::newRow("negative") << "-0.5" << false << 0.0;
    QTest::newRow("infinite") << "inf" << false << 0.0;
    QTest::newRow("not a number") << "nan" << false << 0.0;
    QTest::newRow("too large") << "1e400" << false << 0.0;
}

void TestDurations::parseScale()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, factor);
    double parsed = -7.0;
    QCOMPARE(Durations::parseScale(text, &parsed), valid);
    // A value refused leaves the factor it was given untouched.
    QCOMPARE(parsed, valid ? factor : -7.0);
}

void TestDurations::environmentScale_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("set");
    QTest::addColumn<int>("used");

    QTest::newRow("unset keeps the real durations") << QByteArray() << false << 15000;
    QTest::newRow("factor applied") << QByteArray("0.02") << true << 300;
    QTest::newRow("invalid ignored") << QByteArray("quick") << true << 15000;
    QTest::newRow("zero ignored") << QByteArray("0") << true << 15000;
    QTest::newRow("empty ignored") << QByteArray("") << true << 15000;
}

void TestDurations::environmentScale()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, set);
    QFETCH(int, used);
    ScopedTimeScale restore(1.0);
    if (set)
        qputenv("LESSONRY_TIME_SCALE", value);
    else
        qunsetenv("LESSONRY_TIME_SCALE");
    if (set && used == 15000)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^LESSONRY_TIME_SCALE=.*not a positive number"));
    Durations::applyEnvironmentScale();
    qunsetenv("LESSONRY_TIME_SCALE");
    QCOMPARE(Durations::ms(15000), used);
}

QTEST_GUILESS_MAIN(TestDurations)
#include "tst_durations.moc"
