#ifndef DURATIONS_H
#define DURATIONS_H

// Every duration the client fixes for itself (request time-outs, retry
// pauses, periodic reloads, watchdog intervals, animation ticks) is read
// through Durations::ms() where its timer is started, so tests can run
// them all faster by one common factor. The client never changes the
// factor itself: it is 1, and every duration is the one written at the
// call, unless a test that starts the real program sets LESSONRY_TIME_SCALE.
//
//     m_timer->start(Durations::ms(kLoadingTimerInterval));
//
// Durations that come from outside the client (a server setting, a
// test's own argument to a holder) are not passed through it.
#include <QString>

class Durations
{
public:
    // milliseconds multiplied by the factor; a positive duration stays at
    // least 1 ms, zero and negative values (no timer) are returned as they are.
    static int ms(int milliseconds);

    static double scale();
    // For tests only: later ms() calls return milliseconds * factor.
    // A factor of 1 restores the real durations; 0 and below are ignored.
    static void setScaleForTests(double factor);

    // The factor written in LESSONRY_TIME_SCALE, for tests that drive the
    // real client from outside (e.g. "0.05"). Reads the factor from text: a
    // positive finite number; false for anything else.
    static bool parseScale(const QString &text, double *factor);
    // Called once at start: sets the factor from the variable when it holds
    // one; a value that is not a factor is ignored with a warning.
    static void applyEnvironmentScale();
};

#endif // DURATIONS_H
