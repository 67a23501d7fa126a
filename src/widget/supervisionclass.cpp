#include "supervisionclass.h"

#include "utility/globalconstants.h"

#include <QDebug>

namespace {

bool s_supervisionClassFlag = false;

} // namespace

void SupervisionClass::analysisSupervisionParameter(QString argument)
{
    qInfo("<supervision> start analysisSupervisionParameter");
    if (!argument.contains(QLatin1String("supervisionClass/")))
        return;
    setSupervisionClassFlag(true);

    const QString tokenKey = QStringLiteral("token=");
    const int tokenAt = argument.indexOf(tokenKey);
    QString token;
    // Without "token=" there is no token, rather than text from the start.
    if (tokenAt < 0) {
        qWarning("<supervision> no token= in the argument, the token is empty");
    } else {
        const int tokenBegin = tokenAt + tokenKey.size();
        const int tokenEnd = argument.indexOf(QLatin1String("&classId"), tokenBegin);
        token = tokenEnd < 0 ? argument.mid(tokenBegin) : argument.mid(tokenBegin, tokenEnd - tokenBegin);
    }
    setSupervisionToken(token);

    const QString classIdKey = QStringLiteral("classId=");
    const int classIdAt = argument.indexOf(classIdKey);
    if (classIdAt < 0)
        qWarning("<supervision> no classId= in the argument, the class id is empty");
    setSupervisionClassId(classIdAt < 0 ? QString() : argument.mid(classIdAt + classIdKey.size()));
    qInfo("<supervision> end analysisSupervisionParameter");
}

void SupervisionClass::setSupervisionClassFlag(const bool flag)
{
    qInfo("<supervision> set flag:%d", flag ? 1 : 0);
    s_supervisionClassFlag = flag;
}

void SupervisionClass::setSupervisionToken(QString token)
{
    qInfo("<supervision> set token:%s", qUtf8Printable(token));
    g_supervisionToken = token;
}

void SupervisionClass::setSupervisionClassId(QString classId)
{
    qInfo("<supervision> set classId:%s", qUtf8Printable(classId));
    g_supervisionClassId = classId;
}

bool SupervisionClass::getSupervisionClassFlag()
{
    return s_supervisionClassFlag;
}

QString SupervisionClass::getSupervisionToken()
{
    return g_supervisionToken;
}

QString SupervisionClass::getSupervisionClassId()
{
    return g_supervisionClassId;
}
