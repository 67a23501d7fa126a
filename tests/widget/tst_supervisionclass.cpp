#include "messagecatcher.h"

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
        QTest::addColumn<int>("warnings"); // one per marker missing
        QTest::newRow("token and class") << "velmo://supervisionClass/?token=a=b%2F&classId=4711" << true << "a=b%2F" << "4711" << 0;
        QTest::newRow("no marker") << "velmo://other/?token=x&classId=1" << false << "" << "" << 0;
        QTest::newRow("marker case-sensitive") << "SupervisionClass/?token=x&classId=1" << false << "" << "" << 0;
        QTest::newRow("no class id") << "supervisionClass/?token=xyz" << true << "xyz" << "" << 1;
        QTest::newRow("no token") << "supervisionClass/?classId=9" << true << "" << "9" << 1;
        QTest::newRow("neither") << "supervisionClass/?tok=1&class=2" << true << "" << "" << 2;
        QTest::newRow("class id before token") << "supervisionClass/?classId=9&token=t" << true << "t" << "9&token=t" << 0;
        QTest::newRow("empty values") << "supervisionClass/?token=&classId=" << true << "" << "" << 0;
    }

    void parse()
    {
        QFETCH(QString, argument);
        QFETCH(bool, flag);
        QFETCH(QString, token);
        QFETCH(QString, classId);
        QFETCH(int, warnings);
        MessageCatcher log;
        SupervisionClass::analysisSupervisionParameter(argument);
        QCOMPARE(log.count(QtWarningMsg, QStringLiteral("<supervision> no ")), warnings);
        QCOMPARE(SupervisionClass::getSupervisionClassFlag(), flag);
        QCOMPARE(SupervisionClass::getSupervisionToken(), token);
        QCOMPARE(SupervisionClass::getSupervisionClassId(), classId);
    }
};

QTEST_GUILESS_MAIN(TestSupervisionClass)

#include "tst_supervisionclass.moc"
