#include "biz/httpapi/mockhttpresponsemgr.h"
#include "biz/httpapi/studentapis.h"
#include "mgr/appmainloop.h"
#include "mgr/apprestart.h"
#include "mgr/globaldatamgr.h"
#include "mgr/logeventmgr.h"
#include "mgr/logmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentapplication.h"
#include "mgr/studentcurrentuser.h"
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "widget/baseloginwidget.h"
#include "widget/loginactions.h"
#include "widget/supervisionclass.h"

#include "testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    void unusableServerSettingsAreShownAtStart_data();
    void unusableServerSettingsAreShownAtStart();
};

void TestBaseApplication::cleanup()
{
    AppMainLoop::closeRemainingWindows();
    AppRestart *restart = Singleton<AppRestart>::instance();
    restart->setAppRestart(false);
    restart->setCurClassId(QString());
    SupervisionClass::setSupervisionClassFlag(false);
    SupervisionClass::setSupervisionToken(QString());
    SupervisionClass::setSupervisionClassId(QString());
    LoginActions::setNoticeHandler({});
    TestEnvironment::restoreDefaultServersIni();
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
    const QStringList order = {"FrozenDetectorUtil::begin:", "MiniDumpMgr::init:", "AgoraIMSdk::init:",
                               "VideoSDK::initVideoEngine:", "UpgradeMgr::init:", "argc count:"};
    int at = 0;
    for (const QString &marker : order) {
        const int found = log.indexOf(marker, at);
        QVERIFY2(found >= 0, qPrintable(marker));
        at = found;
    }

    // Services with an empty hook show only in being there; the canned
    // responses are off in this build, so their manager is never made.
    QVERIFY(Singleton<LogEventMgr>::isCreated());
    QVERIFY(Singleton<SendAndReceiveMsg>::isCreated());
    QVERIFY(Singleton<GlobalDataMgr>::isCreated());
    QVERIFY(Singleton<StudentApis>::isCreated());
    QVERIFY(Singleton<StudentCurrentUser>::isCreated());
    QVERIFY(!Singleton<MockHttpResponseMgr>::isCreated());

    QString actionPath = logMgr->logFilePath();
    actionPath.replace(QRegularExpression(QStringLiteral("\\.log$")), QStringLiteral(".action.log"));
    const QStringList records = readAll(actionPath).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!records.isEmpty());
    const QStringList fields = records.last().split(QLatin1Char(','));
    QCOMPARE(fields.value(0), QStringLiteral("normal"));
    QCOMPARE(fields.value(4), QStringLiteral("app_start"));
    QCOMPARE(fields.value(5), QStringLiteral("{StudentApplication}"));
}

void TestBaseApplication::unusableServerSettingsAreShownAtStart_data()
{
    QTest::addColumn<QString>("file"); // in a fresh folder; empty: the test's own complete file
    QTest::addColumn<QString>("content"); // written unless null
    QTest::addColumn<QString>("problem"); // empty: nothing to report

    QTest::newRow("complete file") << QString() << QString() << QString();
    QTest::newRow("missing file") << "absent.ini" << QString() << "The server settings file \"%1\" does not exist.";
    QTest::newRow("folder instead of a file") << "." << QString() << "The server settings file \"%1\" cannot be read.";
    QTest::newRow("no web site")
        << "servers.ini"
        << QStringLiteral("[api]\nmain=%1\nus=%1\neurope=%1\nsingapore=%1\ndevelopment=%1\n"
                          "[mqtt]\nproduction_host=127.0.0.1\nproduction_port=%2\n"
                          "development_host=127.0.0.1\ndevelopment_port=%2\n")
               .arg(TestEnvironment::deadBaseUrl())
               .arg(TestEnvironment::deadPort())
        << "[web] site is missing";
}

// Start-up reads the servers file once more: a problem is logged and shown,
// and the login window still opens.
void TestBaseApplication::unusableServerSettingsAreShownAtStart()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, problem);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QString path;
    if (!file.isEmpty()) {
        path = QDir::cleanPath(folder.filePath(file));
        if (!content.isNull()) {
            QFile ini(path);
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(content.toUtf8());
        }
        qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(path));
    }
    QStringList notices;
    LoginActions::setNoticeHandler([&notices](QWidget *, const QString &title, const QString &text) {
        notices << title + QLatin1Char('|') + text;
    });

    QByteArray program("lessonry-student");
    char *argv[] = {program.data(), nullptr};
    StudentApplication application;
    application.start(1, argv);

    QVERIFY(shownLoginWidget());
    const QString log = readAll(Singleton<LogMgr>::instance()->logFilePath());
    if (problem.isEmpty()) {
        QVERIFY(notices.isEmpty());
        QVERIFY(!log.contains(QLatin1String("cannot be used")));
        return;
    }
    const QString expected = problem.contains(QLatin1String("%1")) ? problem.arg(path) : problem;
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices.first().startsWith(QLatin1String("Lessonry|The server settings cannot be used")),
             qPrintable(notices.first()));
    QVERIFY2(notices.first().contains(expected), qPrintable(notices.first()));
    QVERIFY(log.contains(QStringLiteral("the server settings in %1 cannot be used").arg(path)));
    QVERIFY(log.contains(expected));
}

QTEST_MAIN(TestBaseApplication)

#include "tst_baseapplication.moc"
