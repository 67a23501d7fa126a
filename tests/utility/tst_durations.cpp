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

QTEST_GUILESS_MAIN(TestDurations)
#include "tst_durations.moc"
