#include "startuptrace.h"

#include <QtGlobal>

#include <cstdio>
#include <ctime>

bool StartupTrace::isEnabled()
{
    static const bool enabled = qEnvironmentVariableIsSet("LESSONRY_STARTUP_TRACE");
    return enabled;
}

void StartupTrace::mark(const char *step)
{
    if (!isEnabled())
        return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "startup-trace %lld %s\n", static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                 step);
}
