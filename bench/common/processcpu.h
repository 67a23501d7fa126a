#ifndef PROCESSCPU_H
#define PROCESSCPU_H

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

// CPU seconds, user and system, of this process (all its threads) or of
// its children that have ended and been waited for (RUSAGE_CHILDREN).
inline double rusageCpuSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double ownCpuSeconds()
{
    return rusageCpuSeconds(RUSAGE_SELF);
}

// CPU seconds of another running process.
inline double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    if (fields.size() < 15)
        return 0;
    return double(fields.at(13).toLongLong() + fields.at(14).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

#endif // PROCESSCPU_H
