#include "widget/supervisionclass.h"

#include <QTest>

class TestSupervisionClass : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        SupervisionClass::setSupervisionClassFlag(false);
        SupervisionClass::setSupervisionToken(QString());
        SupervisionClass::setSupervisionClassId(QString());
    }

    void parse_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("classId");
        QTest::newRow("token and class") << "velmo://supervisionClass/?token=a=b%2F&classId=4711" << true << "a=b%2F" << "4711";
        QTest::newRow("no marker") << "velmo://other/?token=x&classId=1" << false << "" << "";
        QTest::newRow("marker case-sensitive") << "SupervisionClass/?token=x&classId=1" << false << "" << "";
        QTest::newRow("no class id") << "supervisionClass/?token=xyz" << true << "xyz" << "";
        QTest::newRow("no token") << "supervisionClass/?classId=9" << true << "" << "9";
    }

    void parse()
    {
        QFETCH(QString, argument);
        QFETCH(bool, flag);
        QFETCH(QString, token);
        QFETCH(QString, classId);
        SupervisionClass::analysisSupervisionParameter(argument);
        QCOMPARE(SupervisionClass::getSupervisionClassFlag(), flag);
        QCOMPARE(SupervisionClass::getSupervisionToken(), token);
        QCOMPARE(SupervisionClass::getSupervisionClassId(), classId);
    }
};

QTEST_GUILESS_MAIN(TestSupervisionClass)

#include "tst_supervisionclass.moc"
