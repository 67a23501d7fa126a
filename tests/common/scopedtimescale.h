#ifndef SCOPEDTIMESCALE_H
#define SCOPEDTIMESCALE_H

#include "utility/durations.h"

// Runs the client's own durations (everything read through Durations::ms:
// request time-outs, retry pauses, reloads, watchdogs, animation ticks) at
// factor for as long as it lives, then restores the previous factor:
//
//     ScopedTimeScale fast(0.02); // the 15000 ms login time-out takes 300 ms
//
// Durations keep their ratios, so what happens in which order stays the
// same. Wait for the outcome with QSignalSpy::wait or QTRY_*, never with a
// fixed sleep. Durations the test itself hands to the client (a holder's
// time-out argument, the stand-in service's delay_ms) are not scaled.
class ScopedTimeScale
{
public:
    explicit ScopedTimeScale(double factor)
        : m_previous(Durations::scale())
    {
        Durations::setScaleForTests(factor);
    }
    ~ScopedTimeScale() { Durations::setScaleForTests(m_previous); }

    ScopedTimeScale(const ScopedTimeScale &) = delete;
    ScopedTimeScale &operator=(const ScopedTimeScale &) = delete;

private:
    double m_previous;
};

#endif // SCOPEDTIMESCALE_H
