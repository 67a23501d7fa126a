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
#include "mgr/studentapplication.h"
#include "mgr/teacherapplication.h"
#include "mgr/upgrademgr.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/serverconfig.h"
#include "widget/baseloginwidget.h"
#include "widget/loginactions.h"
#include "widget/supervisionclass.h"
#include "widget/upgradedialogs.h"

#include <QMetaType>
#include <QString>

#include <cstdint>

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
    checkServerSettings();
    showLoginWidget(argc, argv);
    ActionLog::instance()->NormalInfo(QStringLiteral("app_start"),
                                      QStringLiteral("{%1}").arg(RolePolicy::current().applicationName));
}

void BaseApplication::initManagers()
{
    // Order matters: the log first, so everything after it is on file.
    Singleton<LogMgr>::instance()->init();
    Singleton<FrozenDetectorMgr>::instance()->init();
    Singleton<MiniDumpMgr>::instance()->init();
    Singleton<LogEventMgr>::instance()->init();
    Singleton<AgoraIMSdk>::instance()->init();
    Singleton<VideoSDK>::instance()->init();
    Singleton<HttpMgr>::instance()->init();
    Singleton<LanguageInternationalization>::instance()->init();
    if (isMockHttpEnabled())
        Singleton<MockHttpResponseMgr>::instance()->init();
    Singleton<LogUploadMgr>::instance()->init();
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    // Tests may have put their own dialogs in place.
    if (!upgrade->ui())
        upgrade->setUi(std::make_unique<UpgradeDialogs>());
    upgrade->init();
    Singleton<SendAndReceiveMsg>::instance()->init();
    Singleton<GlobalDataMgr>::instance()->init();
}

void BaseApplication::checkServerSettings()
{
    // current() logs each problem itself, once per process.
    const ServerConfig config = ServerConfig::current();
    if (config.isValid())
        return;
    qCritical("the server settings in %s cannot be used; signing in and lessons will fail until they are fixed",
              qUtf8Printable(config.path()));
    LoginActions::showNotice(nullptr, QStringLiteral("Lessonry"),
                             QStringLiteral("The server settings cannot be used, so signing in and lessons will "
                                            "not work until they are fixed:\n\n%1")
                                 .arg(config.errorString()));
}

void BaseApplication::showLoginWidget(int argc, char *argv[])
{
    baseloginwidget *widget = createLoginWidget();
    widget->setAttribute(Qt::WA_DeleteOnClose);
    widget->initUi();

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
    widget->show();
}
