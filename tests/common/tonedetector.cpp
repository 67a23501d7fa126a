#include "tonedetector.h"

#include <cmath>

namespace ToneDetector {

double share(const QVector<qint16> &samples, int rate, double hz)
{
    const int n = samples.size();
    if (n == 0)
        return 0;
    const double omega = 2.0 * M_PI * hz / rate;
    const double coefficient = 2.0 * std::cos(omega);
    double s1 = 0;
    double s2 = 0;
    double energy = 0;
    for (qint16 sample : samples) {
        const double x = sample / 32768.0;
        energy += x * x;
        const double s0 = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    if (energy <= 0)
        return 0;
    // The power at hz, scaled so that a pure tone of any amplitude gives 1.
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return qBound(0.0, 2.0 * power / (n * energy), 1.0);
}

double peak(const QVector<qint16> &samples)
{
    int highest = 0;
    for (qint16 sample : samples)
        highest = qMax(highest, std::abs(int(sample)));
    return highest / 32768.0;
}

} // namespace ToneDetector
