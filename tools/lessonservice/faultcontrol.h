#ifndef FAULTCONTROL_H
#define FAULTCONTROL_H

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <condition_variable>
#include <mutex>

// A fault that tests switch on for one exact path.
struct Fault
{
    enum Mode { Delay, Hang, NonJson, Status, Truncate, Stall, Gzip, Chunked, Redirect, Body, Announce };

    Mode mode = Delay;
    int delayMs = 0;  // waited before answering, in every mode but Hang
    int status = 500; // for Status; for Redirect 302 unless given
    QString location; // for Redirect: a path on this service
    QByteArray body;  // for Body: the whole answer, sent as JSON with HTTP 200
    qint64 length = 0; // for Announce: the Content-Length announced before the real body
    quint64 generation = 0; // number of resets when the fault was taken
};

// The faults in force and the waits they cause. Waits end early on reset and
// on shutdown, so a hanging request never holds up the tests or the exit.
class FaultControl
{
public:
    static constexpr int kMaxWaitMs = 60000;

    // Sets the fault described by a /__control/fault body; returns an error
    // text for a body it cannot use (and changes nothing then).
    QString set(const QJsonObject &description);

    // The fault for this path, counting one use of it; false when none.
    bool take(const QString &path, Fault *fault);

    // Sleeps up to ms; false when the shutdown or a reset since the fault
    // was taken cut it short (a reset that came first ends it at once).
    bool wait(int ms, const Fault &fault);

    void reset();
    void shutdown();

private:
    struct Entry
    {
        Fault fault;
        int remaining = -1; // uses left; -1 for every request
    };

    std::mutex m_mutex;
    std::condition_variable m_wake;
    QHash<QString, Entry> m_faults;
    quint64 m_generation = 0;
    bool m_stopping = false;
};

#endif // FAULTCONTROL_H
