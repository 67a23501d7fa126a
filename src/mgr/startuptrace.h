#ifndef STARTUPTRACE_H
#define STARTUPTRACE_H

// Where start-up spends its time: with LESSONRY_STARTUP_TRACE set in the
// environment, each step reached prints "startup-trace <µs> <step>" to the
// standard error, the time read from the monotonic clock (the one a parent
// process's QElapsedTimer reads, so it can place the steps on its own
// time line). Without it a step costs one test of a flag.
class StartupTrace
{
public:
    static void mark(const char *step);
    static bool isEnabled();
};

#endif // STARTUPTRACE_H
