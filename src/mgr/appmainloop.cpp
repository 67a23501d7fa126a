#include "appmainloop.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/apprestart.h"
#include "mgr/baseapplication.h"
#include "mgr/frozendetectormgr.h"
#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "mgr/startuptrace.h"
#include "platform/processlauncher.h"
#include "platform/singleinstanceguard.h"
#include "platform/terminationsignals.h"
#include "utility/actionlog.h"
#include "utility/durations.h"
#include "utility/singleinstanceutility.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QPointer>
#include <QWidget>

#include <clocale>
#include <langinfo.h>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Holds what the single-instance check logs until it is known whether this
// copy goes on: a copy that hands over to a running one writes its lines to
// its log instead of the terminal it was started from.
class CheckMessages
{
public:
    CheckMessages()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&CheckMessages::handler);
    }

    ~CheckMessages()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }

    // Hands every line to the handler that was there before.
    void replayToPrevious() const
    {
        for (const Line &line : m_lines) {
            const QMessageLogContext context(line.file.constData(), line.line, line.function.constData(),
                                             "default");
            if (m_previous)
                m_previous(line.type, context, line.message);
            else
                qt_message_output(line.type, context, line.message);
        }
    }

    void replayToLog() const
    {
        LogMgr *log = Singleton<LogMgr>::instance();
        for (const Line &line : m_lines) {
            const QMessageLogContext context(line.file.constData(), line.line, line.function.constData(),
                                             "default");
            log->writeMessage(line.type, context, line.message);
        }
    }

private:
    struct Line
    {
        QtMsgType type;
        QByteArray file;
        int line;
        QByteArray function;
        QString message;
    };

    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (s_current)
            s_current->m_lines.push_back({type, context.file, context.line, context.function, message});
    }

    static CheckMessages *s_current;
    QtMessageHandler m_previous = nullptr;
    std::vector<Line> m_lines;
};

CheckMessages *CheckMessages::s_current = nullptr;

} // namespace

AppMainLoop::AppMainLoop(int &argc, char **argv)
    : m_argc(argc)
    , m_argv(argv)
    , m_startDetached(&startDetachedProcess)
{
    StartupTrace::mark("main");
    SingleInstanceGuard::setLocalWindowRaiser(&AppMainLoop::raiseTopLevelWindow);
    // Tests that drive the real program from outside shorten its durations
    // through the environment; read once, before any timer starts.
    Durations::applyEnvironmentScale();
    // The network access manager's bearer management lists the network
    // interfaces every 10 s, waking an idle client for nothing: the client
    // never asks which interface is up. The longest interval a timer takes
    // (about 24 days) instead; a negative one would be refused with a
    // warning. Read when the first access manager is made, so set before
    // any exists; a value given by the user stays.
    if (!qEnvironmentVariableIsSet("QT_BEARER_POLL_TIMEOUT"))
        qputenv("QT_BEARER_POLL_TIMEOUT", QByteArray::number(std::numeric_limits<int>::max()));
}

void AppMainLoop::setExecStep(ExecStep step)
{
    m_exec = std::move(step);
}

void AppMainLoop::setStartDetachedStep(StartDetachedStep step)
{
    m_startDetached = std::move(step);
}

int AppMainLoop::passCount() const
{
    return m_passes;
}

QString AppMainLoop::restartArgument(const QString &classId)
{
    return QStringLiteral("AppRestart:%1").arg(classId);
}

int AppMainLoop::run()
{
    for (;;) {
        ++m_passes;
        std::unique_ptr<QApplication> app(new QApplication(m_argc, m_argv));
        StartupTrace::mark("qapplication");
        useUtf8Characters();
        setProgramFont();
        StartupTrace::mark("font");

        {
            CheckMessages messages;
            const bool running = SingleInstanceUtility().isAlreadyRunning();
            if (running) {
                // Logged, not printed: the copy that runs already is the one
                // the user sees.
                Singleton<LogMgr>::instance()->init();
                messages.replayToLog();
                return -1;
            }
            messages.replayToPrevious();
        }
        StartupTrace::mark("single-instance");

        int exitCode = 0;
        {
            // SIGTERM and SIGINT end the program as its own quit would; caught
            // before the socket shows that this copy runs, so a signal sent as
            // soon as it shows never takes the default action. One that comes
            // while the start still runs a loop of its own is kept for after it.
            TerminationSignals termination;
            bool terminationRequested = false;
            QObject::connect(&termination, &TerminationSignals::signal_terminationRequested, [&terminationRequested](int) {
                terminationRequested = true;
                QApplication::exit(ExitNormal);
            });
            // Only the lock's owner answers later copies: a copy that started
            // beside an owner that did not answer leaves the owner's socket be.
            WindowRaiseServer server;
            if (SingleInstanceGuard::ownsNamedLock(SingleInstanceUtility::mutexName()))
                server.listen(SingleInstanceUtility::mutexName());
            StartupTrace::mark("raise-server");
            const std::unique_ptr<BaseApplication> application = BaseApplication::createForRole();
            application->start(m_argc, m_argv);
            if (terminationRequested)
                exitCode = ExitNormal;
            else
                exitCode = m_exec ? m_exec() : QApplication::exec();
            closeRemainingWindows();
        }
        shutdown(exitCode);
        const QString programPath = QCoreApplication::applicationFilePath();
        app.reset();

        switch (exitCode) {
        case ExitForUpgrade:
            return 0;
        case ExitRestartApp: {
            const QString argument = restartArgument(Singleton<AppRestart>::instance()->getCurClassId());
            qInfo("<AppRestart> arg:%s", qUtf8Printable(argument));
            // A copy that fails to start is not reported: this one ends anyway.
            m_startDetached(programPath, {argument});
            return -1;
        }
        case ExitNormal:
            return 0;
        default:
            break;
        }
    }
}

QString AppMainLoop::raiseTopLevelWindow(const QStringList &titles)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QString();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QString &title : titles) {
        for (QWidget *window : windows) {
            // A window that was never created has no handle a search could find.
            if (!window->isWindow() || !window->testAttribute(Qt::WA_WState_Created)
                || window->windowTitle() != title)
                continue;
            window->showNormal();
            window->raise();
            window->activateWindow();
            return title;
        }
    }
    return QString();
}

void AppMainLoop::useUtf8Characters()
{
    // The toolkit takes the C library's locale from the environment; a
    // locale the system does not have (LANG=zh_CN.UTF-8 without its files)
    // leaves plain "C", and window titles then reach the window system's
    // WM_NAME as mangled bytes, so nothing finds the window by its title.
    // Characters are what matters there: keep UTF-8 for them.
    if (QByteArray(nl_langinfo(CODESET)) != "UTF-8")
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

void AppMainLoop::setProgramFont()
{
    const QString family = QStringLiteral("微软雅黑");
    standInForMissingFamily(family);
    QApplication::setFont(QFont(family, 9));
}

void AppMainLoop::standInForMissingFamily(const QString &family)
{
    const QString fallback = QApplication::font().family();
    if (family == fallback || !QFont::substitutes(family).isEmpty() || QFontDatabase().hasFamily(family))
        return;
    QFont::insertSubstitution(family, fallback);
}

void AppMainLoop::closeRemainingWindows()
{
    // Windows of this pass must not outlive its toolkit application: delete
    // what was closed but not yet deleted, then every window that owns
    // itself (delete-on-close) and is still there. Windows without that
    // attribute belong to another object, which deletes them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->testAttribute(Qt::WA_DeleteOnClose))
            windows << window;
    }
    for (const QPointer<QWidget> &window : windows)
        delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void AppMainLoop::shutdown(int exitCode)
{
    Singleton<AgoraDeviceDetecting>::instance()->uninitDevice();
    MqttImSdk::instance()->destory();
    Singleton<FrozenDetectorMgr>::instance()->end();
    ActionLog::instance()->NormalInfo(QStringLiteral("app_close"), QStringLiteral("{code:%1}").arg(exitCode));
    ActionLog::instance()->close();
    qInfo("<AppRestart> exit applaction exitCode:%d", exitCode);
    Singleton<LogMgr>::instance()->closeLogFile();
}
