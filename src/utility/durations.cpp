#include "utility/durations.h"

#include <atomic>
#include <cmath>

namespace {

// Read by timers of any thread (the freeze watchdog runs its own).
std::atomic<double> g_scale{ 1.0 };

} // namespace

int Durations::ms(int milliseconds)
{
    const double factor = g_scale.load(std::memory_order_relaxed);
    if (milliseconds <= 0 || factor == 1.0)
        return milliseconds;
    const double scaled = std::round(milliseconds * factor);
    if (scaled < 1.0)
        return 1;
    return scaled > 2147483647.0 ? 2147483647 : static_cast<int>(scaled);
}

double Durations::scale()
{
    return g_scale.load(std::memory_order_relaxed);
}

void Durations::setScaleForTests(double factor)
{
    if (factor > 0.0)
        g_scale.store(factor, std::memory_order_relaxed);
}
