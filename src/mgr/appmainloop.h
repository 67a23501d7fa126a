#ifndef APPMAINLOOP_H
#define APPMAINLOOP_H

#include <QString>
#include <QStringList>

#include <functional>

// The program's main loop: one pass is one life of the user interface
// (toolkit application, application object of the role, its windows). The
// exit code of the event loop decides what follows: 124 ends for an upgrade,
// 773 starts a new copy into the current class, 0 ends, and any other code
// runs start-up again in the same process.
class AppMainLoop
{
public:
    enum ExitCode {
        ExitNormal = 0,
        ExitForUpgrade = 124,
        ExitRestartApp = 773,
    };

    // Runs the event loop of a pass and returns its exit code.
    using ExecStep = std::function<int()>;
    // Starts a detached copy of the program; false when it could not start.
    using StartDetachedStep = std::function<bool(const QString &program, const QStringList &arguments)>;

    // argc and argv must outlive the loop.
    AppMainLoop(int &argc, char **argv);

    void setExecStep(ExecStep step);
    void setStartDetachedStep(StartDetachedStep step);

    // Returns the process's exit code: 0, or -1 after a restart or when
    // another copy is already running.
    int run();

    int passCount() const;

    static QString restartArgument(const QString &classId);

    // Restores and raises this process's first top-level window titled by
    // one of titles, tried in order; returns the title, or "" when none.
    static QString raiseTopLevelWindow(const QStringList &titles);

    // Deletes the windows of a pass that are still there and own themselves
    // (delete-on-close), and those already closed but not yet deleted.
    static void closeRemainingWindows();

    // Keeps UTF-8 characters when the environment names a locale the
    // system does not have, so window titles reach the window system whole.
    static void useUtf8Characters();
    // Sets the program's font, "微软雅黑" at 9 points, after
    // standInForMissingFamily() for it.
    static void setProgramFont();
    // Where family is not installed (and has no substitute yet), makes it
    // stand for the application's default family: the window font and the
    // style sheets that name it get the font they got before, without the
    // font system searching for a stand-in on each new request.
    static void standInForMissingFamily(const QString &family);

private:
    void shutdown(int exitCode);

    int &m_argc;
    char **m_argv;
    ExecStep m_exec;
    StartDetachedStep m_startDetached;
    int m_passes = 0;
};

#endif // APPMAINLOOP_H
