#include "apprestart.h"

AppRestart::AppRestart(QObject *parent)
    : QObject(parent)
{
}

bool AppRestart::isAppRestart() const
{
    return m_appRestart;
}

void AppRestart::setAppRestart(bool restart)
{
    qInfo("setAppRestart, value:%d", restart ? 1 : 0);
    m_appRestart = restart;
}

QString AppRestart::getCurClassId() const
{
    return m_curClassId;
}

void AppRestart::setCurClassId(const QString &classId)
{
    qInfo("setCurClassId, classId:%s", qUtf8Printable(classId));
    m_curClassId = classId;
}
