#include "appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString dataFolder(const QString &name)
{
    const QString path = getAbsoluteFilePath(getAppDataDir(), name);
    makePathIfMissing(path);
    return path;
}

} // namespace

QString getAppDataDir()
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    if (locations.isEmpty())
        return getAppDirPath();
    return locations.first();
}

QString getAppDirPath()
{
    return QCoreApplication::applicationDirPath();
}

QString getConfigDir()
{
    return dataFolder(QStringLiteral("config"));
}

QString getDeviceConfigFilePath()
{
    return getConfigDir() + QStringLiteral("/newDeviceConfig.ini");
}

QString getResourceConfigFilePath()
{
    return getAppDataDir() + QStringLiteral("/resourceConfig.ini");
}

QString getCutImageDir()
{
    return dataFolder(QStringLiteral("cutImage"));
}

QString getLogDir()
{
    return dataFolder(QStringLiteral("log"));
}

QString getLogPath()
{
    return getLogDir();
}

QString getDownloadImageDir()
{
    return dataFolder(QStringLiteral("download/image"));
}

QString getDownloadInstallerDir()
{
    return dataFolder(QStringLiteral("download/installer"));
}

QString getDownloadResourceDir()
{
    return dataFolder(QStringLiteral("download/resource"));
}

QString getDownloadResourceDir(const QString &item)
{
    Q_UNUSED(item)
    return getDownloadResourceDir();
}

QString getResourceDownloadPath()
{
    return getDownloadResourceDir();
}

QString getResourcesDir()
{
    const QString path = getAbsoluteFilePath(getAppDirPath(), QStringLiteral("resources"));
    makePathIfMissing(path);
    return path;
}

QString getLanguageDocPath()
{
    return getAppDirPath() + QStringLiteral("/language/languagesdoc.xml");
}

QString getAbsoluteFilePath(const QString &folder, const QString &name)
{
    return QFileInfo(QDir(folder), name).absoluteFilePath();
}

void makePathIfMissing(const QString &path)
{
    if (!QFileInfo::exists(path))
        QDir::root().mkpath(path);
}
