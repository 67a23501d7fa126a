#include "biz/httpapi/mockhttpresponsemgr.h"
#include "biz/httpapi/studentapis.h"
#include "biz/im/agora/videosdk.h"
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
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

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

    Singleton<LogMgr>::instance()->flush();
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
    logMgr->flush();
    // The RTC engine is not on the way to the login window.
    const auto engineStarted = [logMgr] {
        logMgr->flush();
        return readAll(logMgr->logFilePath()).contains(QLatin1String("VideoSDK::initVideoEngine:"));
    };
    QVERIFY(!engineStarted());
    QTRY_VERIFY(engineStarted());
    QVERIFY(Singleton<VideoSDK>::instance()->getRtcEngine());
    const QString log = readAll(logMgr->logFilePath());
    // The services that log from their hooks, in start-up order; the RTC
    // engine after the login window has painted.
    const QStringList order = {"FrozenDetectorUtil::begin:", "MiniDumpMgr::init:", "AgoraIMSdk::init:",
                               "UpgradeMgr::init:", "argc count:", "VideoSDK::initVideoEngine:"};
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

namespace {

// A complete file on the test's dead address, without the lines of the
// given keys.
QString fileWithout(const QStringList &keys)
{
    QStringList lines = QStringLiteral("[api]\nmain=%1\nus=%1\neurope=%1\nsingapore=%1\ndevelopment=%1\n"
                                       "[web]\nsite=%1\n"
                                       "[mqtt]\nproduction_host=127.0.0.1\nproduction_port=%2\n"
                                       "development_host=127.0.0.1\ndevelopment_port=%2\n")
                            .arg(TestEnvironment::deadBaseUrl())
                            .arg(TestEnvironment::deadPort())
                            .split(QLatin1Char('\n'));
    for (const QString &key : keys) {
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [&key](const QString &line) { return line.startsWith(key + QLatin1Char('=')); }),
                    lines.end());
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void TestBaseApplication::unusableServerSettingsAreShownAtStart_data()
{
    QTest::addColumn<QString>("file"); // in a fresh folder; empty: the test's own complete file
    QTest::addColumn<QString>("content"); // written unless null
    QTest::addColumn<QString>("notice"); // start of the notice; empty: none shown
    QTest::addColumn<QStringList>("lines"); // lines of the notice (%1: the file)

    // The student client speaks Chinese, the notice too.
    const QString signInFails = QStringLiteral("服务器设置无法使用，修复之前无法登录和上课。");
    const QString someFail = QStringLiteral("可以登录，但部分服务器设置缺失或有误。修复之前：");
    QTest::newRow("complete file") << QString() << QString() << QString() << QStringList();
    QTest::newRow("missing file") << "absent.ini" << QString() << signInFails
                                  << QStringList{QStringLiteral("服务器设置文件“%1”不存在。")};
    QTest::newRow("folder instead of a file") << "." << QString() << signInFails
                                              << QStringList{QStringLiteral("无法读取服务器设置文件“%1”。")};
    QTest::newRow("no main API host") << "servers.ini" << fileWithout({"main"}) << signInFails
                                      << QStringList{QStringLiteral("缺少[api] main")};
    QTest::newRow("no web site") << "servers.ini" << fileWithout({"site"}) << someFail
                                 << QStringList{QStringLiteral("- 无法打开帮助和常见问题页面"), QStringLiteral("缺少[web] site")};
    QTest::newRow("two other lines and the broker")
        << "servers.ini" << fileWithout({"us", "singapore", "production_port"}) << someFail
        << QStringList{QStringLiteral("- 网络设置无法切换到线路2, 线路4"), QStringLiteral("- 课堂消息无法送达教室"),
                       QStringLiteral("缺少[api] us"), QStringLiteral("缺少[mqtt] production_port")};
    // This build talks to the production servers: nothing fails.
    QTest::newRow("only development entries") << "servers.ini" << fileWithout({"development", "development_host"})
                                              << QString() << QStringList();
}

// Start-up reads the servers file once more: a problem is logged, what
// will fail is shown, and the login window still opens.
void TestBaseApplication::unusableServerSettingsAreShownAtStart()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, notice);
    QFETCH(QStringList, lines);

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
    Singleton<LogMgr>::instance()->flush();
    const QString log = readAll(Singleton<LogMgr>::instance()->logFilePath());
    if (notice.isEmpty()) {
        QVERIFY2(notices.isEmpty(), qPrintable(notices.value(0)));
        QVERIFY(!log.contains(QLatin1String("cannot be used")));
        return;
    }
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices.first().startsWith(QLatin1String("Lessonry|") + notice), qPrintable(notices.first()));
    const QStringList shown = notices.first().split(QLatin1Char('\n'));
    for (const QString &line : lines)
        QVERIFY2(shown.contains(line.contains(QLatin1String("%1")) ? line.arg(path) : line), qPrintable(notices.first()));
    // The log stays in English.
    QVERIFY(log.contains(QStringLiteral("the server settings in %1 cannot be used").arg(path)));
}

QTEST_MAIN(TestBaseApplication)

#include "tst_baseapplication.moc"
