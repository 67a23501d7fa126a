#include "platform/systemdescription.h"
#include "utility/possibleidutil.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

class TestPossibleIdUtil : public QObject
{
    Q_OBJECT

private slots:
    void settingsStoreName();
    void possibleIdDefaultsToUnknown();
    void possibleIdRoundTrip();
    void settingsRoundTrip();
    void systemDescriptionFormat();
};

void TestPossibleIdUtil::settingsStoreName()
{
    QCOMPARE(PossibleIdUtil::settingsApplicationName(),
             QCoreApplication::applicationDirPath() + QStringLiteral("studentstudent_lessonry"));
}

void TestPossibleIdUtil::possibleIdDefaultsToUnknown()
{
    QCOMPARE(PossibleIdUtil::getPossibleId(), QStringLiteral("unknown"));
}

void TestPossibleIdUtil::possibleIdRoundTrip()
{
    QTest::ignoreMessage(QtInfoMsg, "setPossibleId:13800138000");
    PossibleIdUtil::setPossibleId(QStringLiteral("13800138000"));
    QCOMPARE(PossibleIdUtil::getPossibleId(), QStringLiteral("13800138000"));
    // Stored at once, under the key other readers of the store use.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velmo"),
                       PossibleIdUtil::settingsApplicationName());
    QCOMPARE(settings.value(QStringLiteral("PossibleIdUtil.possible.id")).toString(), QStringLiteral("13800138000"));
}

void TestPossibleIdUtil::settingsRoundTrip()
{
    QCOMPARE(PossibleIdUtil::getSetting(QStringLiteral("login/info"), QStringLiteral("none")).toString(), QStringLiteral("none"));
    PossibleIdUtil::setSetting(QStringLiteral("login/info"), QStringLiteral("{\"username\":\"a\"}"));
    QCOMPARE(PossibleIdUtil::getSetting(QStringLiteral("login/info")).toString(), QStringLiteral("{\"username\":\"a\"}"));
}

void TestPossibleIdUtil::systemDescriptionFormat()
{
    const QRegularExpression format(QStringLiteral(
        "^version:-?\\d+, production name:.+, kernel version:.*, cpu architecture:.+$"));
    QVERIFY2(format.match(getSystemDescription()).hasMatch(), qPrintable(getSystemDescription()));
    QVERIFY(getSystemDescription().endsWith(QSysInfo::currentCpuArchitecture()));
}

QTEST_GUILESS_MAIN(TestPossibleIdUtil)

#include "tst_possibleidutil.moc"
