#ifndef RTCENGINELOG_H
#define RTCENGINELOG_H

#include <QFile>
#include <QMutex>
#include <QString>

// The engine's own log file ("rtc.log_file"); written from every engine
// thread. Without a file the lines are dropped.
class RtcEngineLog
{
public:
    // Opens path for appending (creating it); false when it cannot be
    // opened, and the old file stays closed.
    bool setPath(const QString &path);
    QString path() const;
    void write(const QString &line);

private:
    mutable QMutex m_mutex;
    QFile m_file;
};

#endif // RTCENGINELOG_H
