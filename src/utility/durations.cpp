#include "utility/durations.h"

#include <QtGlobal>

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

bool Durations::parseScale(const QString &text, double *factor)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        return false;
    *factor = value;
    return true;
}

void Durations::applyEnvironmentScale()
{
    static const char kVariable[] = "LESSONRY_TIME_SCALE";
    if (!qEnvironmentVariableIsSet(kVariable))
        return;
    const QString text = qEnvironmentVariable(kVariable);
    double factor = 1.0;
    if (!parseScale(text, &factor)) {
        qWarning("%s=\"%s\" is not a positive number: the durations stay as written", kVariable,
                 qUtf8Printable(text.left(40)));
        return;
    }
    setScaleForTests(factor);
    qInfo("%s=%g: every duration of the client is multiplied by it", kVariable, factor);
}
