#include "mgr/apprestart.h"
#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "mgr/studentapplication.h"
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "widget/baseloginwidget.h"
#include "widget/supervisionclass.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QtTest>

namespace {

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

baseloginwidget *shownLoginWidget()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *login = qobject_cast<baseloginwidget *>(window)) {
            if (login->isVisible())
                return login;
        }
    }
    return nullptr;
}

} // namespace

class TestBaseApplication : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void startArgument_data();
    void startArgument();
    void servicesStartInOrderAndStartIsRecorded();
};

void TestBaseApplication::cleanup()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->testAttribute(Qt::WA_DeleteOnClose))
            windows << window;
    }
    for (const QPointer<QWidget> &window : windows)
        delete window.data();
    AppRestart *restart = Singleton<AppRestart>::instance();
    restart->setAppRestart(false);
    restart->setCurClassId(QString());
    SupervisionClass::setSupervisionClassFlag(false);
    SupervisionClass::setSupervisionToken(QString());
    SupervisionClass::setSupervisionClassId(QString());
}

void TestBaseApplication::startArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("autoLogin");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<QString>("restartClassId");
    QTest::addColumn<bool>("supervision");
    QTest::addColumn<QString>("supervisionClassId");
    QTest::newRow("no argument") << QString() << true << false << "" << false << "";
    QTest::newRow("restart into class") << "AppRestart:4711" << true << true << "4711" << false << "";
    QTest::newRow("restart without class") << "AppRestart:" << true << true << "" << false << "";
    QTest::newRow("supervision")
        << "velmo://supervisionClass/?token=abc&classId=42" << false << false << "" << true << "42";
    QTest::newRow("marker is case-sensitive") << "apprestart:4711" << true << false << "" << false << "";
    QTest::newRow("unknown argument") << "--something" << true << false << "" << false << "";
}

void TestBaseApplication::startArgument()
{
    QFETCH(QString, argument);
    QFETCH(bool, autoLogin);
    QFETCH(bool, restart);
    QFETCH(QString, restartClassId);
    QFETCH(bool, supervision);
    QFETCH(QString, supervisionClassId);

    QByteArray program("lessonry-student");
    QByteArray first = argument.toLocal8Bit();
    char *argv[] = {program.data(), first.data(), nullptr};
    const int argc = argument.isNull() ? 1 : 2;

    StudentApplication application;
    application.start(argc, argv);

    baseloginwidget *login = shownLoginWidget();
    QVERIFY(login);
    QVERIFY(login->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(login->shouldAutoLogin(), autoLogin);
    AppRestart *appRestart = Singleton<AppRestart>::instance();
    QCOMPARE(appRestart->isAppRestart(), restart);
    QCOMPARE(appRestart->getCurClassId(), restartClassId);
    QCOMPARE(SupervisionClass::getSupervisionClassFlag(), supervision);
    QCOMPARE(SupervisionClass::getSupervisionClassId(), supervisionClassId);

    const QString log = readAll(Singleton<LogMgr>::instance()->logFilePath());
    QVERIFY(log.contains(QStringLiteral("<supervision> argc count:%1").arg(argc)));
    QCOMPARE(log.contains(QLatin1String("<supervision> argv1:")), argc == 2);
}

void TestBaseApplication::servicesStartInOrderAndStartIsRecorded()
{
    QByteArray program("lessonry-student");
    char *argv[] = {program.data(), nullptr};
    StudentApplication application;
    application.start(1, argv);

    LogMgr *logMgr = Singleton<LogMgr>::instance();
    const QString log = readAll(logMgr->logFilePath());
    // The services that log from their hooks, in start-up order.
    const QStringList order = {"FrozenDetectorMgr::init:", "MiniDumpMgr::init:", "AgoraIMSdk::init:",
                               "VideoSDK::init:", "UpgradeMgr::init:", "argc count:"};
    int at = 0;
    for (const QString &marker : order) {
        const int found = log.indexOf(marker, at);
        QVERIFY2(found >= 0, qPrintable(marker));
        at = found;
    }

    QString actionPath = logMgr->logFilePath();
    actionPath.replace(QRegularExpression(QStringLiteral("\\.log$")), QStringLiteral(".action.log"));
    const QStringList records = readAll(actionPath).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!records.isEmpty());
    const QStringList fields = records.last().split(QLatin1Char(','));
    QCOMPARE(fields.value(0), QStringLiteral("normal"));
    QCOMPARE(fields.value(4), QStringLiteral("app_start"));
    QCOMPARE(fields.value(5), QStringLiteral("{StudentApplication}"));
}

QTEST_MAIN(TestBaseApplication)

#include "tst_baseapplication.moc"
