#ifndef APPDIRS_H
#define APPDIRS_H

#include <QString>

// Every folder and fixed file the program reads or writes. What the program
// writes lives under the per-user data root; what ships with it lives in the
// installation folder. Folder functions create their folder (with all missing
// parents) on first use, so callers can write into the result at once; a
// folder that cannot be created is not reported here: the caller's later
// open or write fails and reports it.

// Per-user data root; not created here.
QString getAppDataDir();
// Installation folder (the folder of the executable).
QString getAppDirPath();

QString getConfigDir();
// The file itself is not created, only its folder.
QString getDeviceConfigFilePath();
QString getResourceConfigFilePath();
QString getCutImageDir();
QString getLogDir();
QString getLogPath();
QString getDownloadImageDir();
QString getDownloadInstallerDir();
QString getDownloadResourceDir();
// All materials share one folder; the item only names the caller's material.
QString getDownloadResourceDir(const QString &item);
QString getResourceDownloadPath();
QString getResourcesDir();
QString getLanguageDocPath();

// name resolved against folder and made absolute.
QString getAbsoluteFilePath(const QString &folder, const QString &name);
// Creates path with all missing parents when nothing (file or folder)
// exists there yet.
void makePathIfMissing(const QString &path);

#endif // APPDIRS_H
