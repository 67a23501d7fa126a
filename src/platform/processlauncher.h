#ifndef PROCESSLAUNCHER_H
#define PROCESSLAUNCHER_H

#include <QString>
#include <QStringList>

// Starts program with arguments as a process of its own that outlives this one.
bool startDetachedProcess(const QString &program, const QStringList &arguments);

#endif // PROCESSLAUNCHER_H
