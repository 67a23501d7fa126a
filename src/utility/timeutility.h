#ifndef TIMEUTILITY_H
#define TIMEUTILITY_H

#include <QString>

#include <functional>

// Clock values and formatted times. Several functions give China Standard
// Time (UTC+8), the time zone of the lesson service. Seconds are since the
// epoch unless named otherwise; formats are QDateTime formats.
class TimeUtility
{
public:
    // Offset of UTC+8 from UTC.
    static constexpr int kBeiJingOffsetSecs = 8 * 3600;

    // secs (now when 0) in the machine's local time zone.
    static QString timestampToString(const QString &format, uint secs);
    // UTC+8 wall-clock time of secs; when secs is 0, now in local time.
    static QString getBeiJingTime(const QString &format, uint secs);
    // UTC+8 wall-clock time of msecs (now when 0 or negative).
    static QString getBeiJingTimeMs(const QString &format, qint64 msecs);
    static qint64 currentSecsSinceEpoch();
    static qint64 currentMSecsSinceEpoch();

    // The current time in milliseconds since the epoch.
    using Clock = std::function<qint64()>;
    // For tests: the clock that currentSecsSinceEpoch and
    // currentMSecsSinceEpoch read; an empty one restores the real clock.
    static void setClockForTests(const Clock &clock);
    // secs (now when 0) as UTC.
    static QString formatSecsUtc(const QString &format, uint secs);
    // Today's local midnight.
    static uint getZeroTimestamp();

    // A duration below one day as "hh:mm:ss"; longer ones as the day text.
    static QString secondsToHms(uint secs);
    // The same with the given time format, e.g. "mm:ss".
    static QString secondsToHms(const QString &format, uint secs);
    // A duration in its largest whole unit: seconds, minutes, hours or days.
    static QString getDurationText(uint secs);
    // Calendar days from today to the local date secs from now.
    static QString getDaysText(uint secs);
};

#endif // TIMEUTILITY_H
