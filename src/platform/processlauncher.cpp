#include "processlauncher.h"

#include <QProcess>

bool startDetachedProcess(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}
