#ifndef DURATIONS_H
#define DURATIONS_H

// Every duration the client fixes for itself (request time-outs, retry
// pauses, periodic reloads, watchdog intervals, animation ticks) is read
// through Durations::ms() where its timer is started, so tests can run
// them all faster by one common factor. The client never changes the
// factor: it is 1, and every duration is the one written at the call.
//
//     m_timer->start(Durations::ms(kLoadingTimerInterval));
//
// Durations that come from outside the client (a server setting, a
// test's own argument to a holder) are not passed through it.
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
};

#endif // DURATIONS_H
