#include "baseapplication.h"

#include "biz/httpapi/mockhttpresponsemgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "buildconstants.h"
#include "mgr/apprestart.h"
#include "mgr/frozendetectormgr.h"
#include "mgr/globaldatamgr.h"
#include "mgr/http/httpmgr.h"
#include "mgr/languageinternationalization.h"
#include "mgr/logeventmgr.h"
#include "mgr/logmgr.h"
#include "mgr/loguploadmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/minidumpmgr.h"
#include "mgr/singleton.h"
#include "mgr/startuptrace.h"
#include "mgr/studentapplication.h"
#include "mgr/teacherapplication.h"
#include "mgr/upgrademgr.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/downloadutil.h"
#include "utility/serverconfig.h"
#include "utility/widget/afterfirstpaint.h"
#include "widget/baseloginwidget.h"
#include "widget/loginactions.h"
#include "widget/supervisionclass.h"
#include "widget/upgradedialogs.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <utility>

std::unique_ptr<BaseApplication> BaseApplication::createForRole()
{
    if (RolePolicy::current().isStudent())
        return std::make_unique<StudentApplication>();
    return std::make_unique<TeacherApplication>();
}

void BaseApplication::start(int argc, char *argv[])
{
    // Signals with uint32_t arguments are queued across threads.
    qRegisterMetaType<uint32_t>("uint32_t");
    initManagers();
    DownloadUtil::removeStaleTempFiles();
    StartupTrace::mark("stale-temp-files");
    checkServerSettings();
    StartupTrace::mark("server-settings");
    showLoginWidget(argc, argv);
    StartupTrace::mark("login-window-shown");
    ActionLog::instance()->NormalInfo(QStringLiteral("app_start"),
                                      QStringLiteral("{%1}").arg(RolePolicy::current().applicationName));
}

void BaseApplication::initManagers()
{
    // Order matters: the log first, so everything after it is on file.
    Singleton<LogMgr>::instance()->init();
    StartupTrace::mark("log");
    Singleton<FrozenDetectorMgr>::instance()->init();
    StartupTrace::mark("freeze-detector");
    Singleton<MiniDumpMgr>::instance()->init();
    StartupTrace::mark("crash-dumps");
    Singleton<LogEventMgr>::instance()->init();
    Singleton<AgoraIMSdk>::instance()->init();
    StartupTrace::mark("signalling");
    // The RTC engine (VideoSDK) starts after the login window's first paint:
    // see showLoginWidget().
    Singleton<HttpMgr>::instance()->init();
    Singleton<LanguageInternationalization>::instance()->init();
    StartupTrace::mark("translations");
    if (isMockHttpEnabled())
        Singleton<MockHttpResponseMgr>::instance()->init();
    Singleton<LogUploadMgr>::instance()->init();
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    // Tests may have put their own dialogs in place.
    if (!upgrade->ui())
        upgrade->setUi(std::make_unique<UpgradeDialogs>());
    upgrade->init();
    StartupTrace::mark("upgrade");
    Singleton<SendAndReceiveMsg>::instance()->init();
    Singleton<GlobalDataMgr>::instance()->init();
    StartupTrace::mark("messages");
}

void BaseApplication::checkServerSettings()
{
    // current() logs each problem itself, once per process.
    const ServerConfig config = ServerConfig::current();
    if (config.isValid())
        return;
    const QString notice = serverSettingsNotice(config, getServerEnvironment());
    if (notice.isEmpty()) {
        qWarning("the server settings in %s have problems with entries this build does not use",
                 qUtf8Printable(config.path()));
        return;
    }
    qCritical("the server settings in %s cannot be used as they are; see the problems above",
              qUtf8Printable(config.path()));
    LoginActions::showNotice(nullptr, QStringLiteral("Lessonry"), notice);
}

QString BaseApplication::serverSettingsNotice(const ServerConfig &config, int serverEnvironment)
{
    const bool production = serverEnvironment == 2;
    const QString brokerPrefix = production ? QStringLiteral("mqtt/production_") : QStringLiteral("mqtt/development_");
    const QString signInKey = production ? QStringLiteral("api/main") : QStringLiteral("api/development");

    // What fails, each named once, in this order.
    enum Failure { SigningIn, Line2, Line3, Line4, HelpPages, LessonMessages, AudioVideo, FailureCount };
    bool fails[FailureCount] = {};
    for (const QString &key : config.problemKeys()) {
        if (key.isEmpty() || key == signInKey)
            fails[SigningIn] = true;
        else if (production && key == QLatin1String("api/us"))
            fails[Line2] = true;
        else if (production && key == QLatin1String("api/europe"))
            fails[Line3] = true;
        else if (production && key == QLatin1String("api/singapore"))
            fails[Line4] = true;
        else if (key == QLatin1String("web/site"))
            fails[HelpPages] = true;
        else if (key.startsWith(brokerPrefix) || key.startsWith(QLatin1String("signalling/")))
            fails[LessonMessages] = true;
        else if (key.startsWith(QLatin1String("rtc/")))
            fails[AudioVideo] = true;
    }

    const auto tr = [](const char *source) { return QCoreApplication::translate("BaseApplication", source); };
    QString text;
    if (fails[SigningIn]) {
        text = tr("The server settings cannot be used, so signing in and lessons will not work until they are fixed.");
    } else {
        QStringList failing;
        QStringList lines;
        for (int line = Line2; line <= Line4; ++line) {
            if (fails[line])
                lines << tr("Line %1").arg(line - Line2 + 2);
        }
        if (!lines.isEmpty())
            failing << tr("- the network settings cannot switch to %1").arg(lines.join(QStringLiteral(", ")));
        const std::pair<Failure, const char *> others[] = {
            { HelpPages, QT_TRANSLATE_NOOP("BaseApplication", "- the help and FAQ pages will not open") },
            { LessonMessages, QT_TRANSLATE_NOOP("BaseApplication", "- lesson messages will not reach the classroom") },
            { AudioVideo, QT_TRANSLATE_NOOP("BaseApplication", "- audio and video in class will not work") },
        };
        for (const auto &other : others) {
            if (fails[other.first])
                failing << tr(other.second);
        }
        if (failing.isEmpty())
            return QString();
        text = tr("Signing in works, but some server settings are missing or wrong. Until they are fixed:")
            + QLatin1Char('\n') + failing.join(QLatin1Char('\n'));
    }
    return text + QStringLiteral("\n\n") + config.translatedErrorString();
}

void BaseApplication::showLoginWidget(int argc, char *argv[])
{
    baseloginwidget *widget = createLoginWidget();
    widget->setAttribute(Qt::WA_DeleteOnClose);
    StartupTrace::mark("login-window-made");
    widget->initUi();
    StartupTrace::mark("login-window-ui");

    qInfo("<supervision> argc count:%d", argc);
    if (argc >= 2 && argv && argv[1]) {
        const QString argument = QString::fromLocal8Bit(argv[1]);
        qInfo("<supervision> argv1:%s", argv[1]);
        qInfo("<supervision> argv2:%s", argument.toUtf8().constData());
        if (argument.contains(QLatin1String("supervisionClass/"))) {
            widget->setShouldAutoLogin(false);
            SupervisionClass::analysisSupervisionParameter(argument);
        }
        const QString restartMarker = QStringLiteral("AppRestart:");
        if (argument.contains(restartMarker)) {
            qInfo("<AppRestart> start application, parameter:%s", qUtf8Printable(argument));
            widget->setShouldAutoLogin(true);
            AppRestart *restart = Singleton<AppRestart>::instance();
            restart->setAppRestart(true);
            restart->setCurClassId(argument.mid(restartMarker.size()));
        }
    }

    widget->readLoginInfo();
    StartupTrace::mark("login-info");
    widget->show();
    // The login window shows nothing of sound or video; the RTC engine
    // (threads, GStreamer, the device monitor) starts once it is on the
    // screen, and before anything after it, which comes once it hides.
    AfterFirstPaint::run(widget, [] {
        Singleton<VideoSDK>::instance()->init();
        StartupTrace::mark("rtc-engine");
    });
}
