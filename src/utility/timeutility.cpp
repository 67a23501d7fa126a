#include "timeutility.h"

#include "utility/translatelanguage.h"

#include <QDateTime>
#include <QDebug>
#include <QTimeZone>

namespace {

const uint kSecsPerDay = 86400;

QString textWithNumber(const QString &key, qint64 number)
{
    const QString text = Translatelanguage::instance()->getText(key);
    if (text.isEmpty())
        return text;
    return text.arg(number);
}

TimeUtility::Clock &testClock()
{
    static TimeUtility::Clock clock;
    return clock;
}

} // namespace

QString TimeUtility::timestampToString(const QString &format, uint secs)
{
    const QDateTime time = secs == 0 ? QDateTime::currentDateTime() : QDateTime::fromSecsSinceEpoch(secs);
    return time.toString(format);
}

QString TimeUtility::getBeiJingTime(const QString &format, uint secs)
{
    QString result;
    if (secs != 0) {
        // 64-bit sum: secs near the top of the range must not wrap.
        result = QDateTime::fromSecsSinceEpoch(qint64(secs) + kBeiJingOffsetSecs, Qt::UTC).toString(format);
    } else {
        result = QDateTime::currentDateTime().toString(format);
    }
    qInfo() << "secs:" << secs << "beiJingTime:" << result;
    return result;
}

QString TimeUtility::getBeiJingTimeMs(const QString &format, qint64 msecs)
{
    if (msecs <= 0)
        msecs = QDateTime::currentMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, kBeiJingOffsetSecs).toString(format);
}

qint64 TimeUtility::currentSecsSinceEpoch()
{
    return currentMSecsSinceEpoch() / 1000;
}

qint64 TimeUtility::currentMSecsSinceEpoch()
{
    return testClock() ? testClock()() : QDateTime::currentMSecsSinceEpoch();
}

void TimeUtility::setClockForTests(const Clock &clock)
{
    testClock() = clock;
}

QString TimeUtility::formatSecsUtc(const QString &format, uint secs)
{
    const QDateTime time = secs == 0 ? QDateTime::currentDateTimeUtc() : QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
    return time.toString(format);
}

uint TimeUtility::getZeroTimestamp()
{
    // startOfDay() also copes with zones whose clocks skip midnight.
    const uint zero = uint(QDate::currentDate().startOfDay().toSecsSinceEpoch());
    qInfo() << "getZeroTimestamp:" << zero;
    return zero;
}

QString TimeUtility::secondsToHms(uint secs)
{
    return secondsToHms(QStringLiteral("hh:mm:ss"), secs);
}

QString TimeUtility::secondsToHms(const QString &format, uint secs)
{
    if (secs >= kSecsPerDay)
        return getDaysText(secs);
    return QTime(0, 0).addSecs(int(secs)).toString(format);
}

QString TimeUtility::getDurationText(uint secs)
{
    if (secs < 60)
        return textWithNumber(QStringLiteral("second"), secs);
    if (secs < 3600)
        return textWithNumber(QStringLiteral("minute"), secs / 60);
    if (secs < kSecsPerDay)
        return textWithNumber(QStringLiteral("hour"), secs / 3600);
    return getDaysText(secs);
}

QString TimeUtility::getDaysText(uint secs)
{
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 days = now.date().daysTo(now.addSecs(secs).date());
    return textWithNumber(QStringLiteral("day"), days);
}
