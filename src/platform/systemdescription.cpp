#include "systemdescription.h"

#include <QSysInfo>

QString getSystemDescription()
{
    int windowsVersion = 0;
#ifdef Q_OS_WIN
    windowsVersion = int(QSysInfo::windowsVersion());
#endif
    return QStringLiteral("version:%1, production name:%2, kernel version:%3, cpu architecture:%4")
        .arg(windowsVersion)
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture());
}
