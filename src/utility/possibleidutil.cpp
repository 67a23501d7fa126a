#include "possibleidutil.h"

#include "buildconstants.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const char kPossibleIdKey[] = "PossibleIdUtil.possible.id";

} // namespace

QString PossibleIdUtil::settingsApplicationName()
{
    return QCoreApplication::applicationDirPath()
        + (getClientRole() == 1 ? QStringLiteral("student") : QStringLiteral("teacher"))
        + QStringLiteral("student_lessonry");
}

void PossibleIdUtil::setSetting(const QString &key, const QVariant &value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("velmo"), settingsApplicationName());
    settings.setValue(key, value);
    settings.sync();
}

QVariant PossibleIdUtil::getSetting(const QString &key, const QVariant &defaultValue)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("velmo"), settingsApplicationName());
    return settings.value(key, defaultValue);
}

void PossibleIdUtil::setPossibleId(const QString &id)
{
    qInfo("setPossibleId:%s", id.toUtf8().constData());
    setSetting(QLatin1String(kPossibleIdKey), id);
}

QString PossibleIdUtil::getPossibleId()
{
    return getSetting(QLatin1String(kPossibleIdKey), QStringLiteral("unknown")).toString();
}

QString PossibleIdUtil::toFileNamePart(const QString &id)
{
    QString part = id;
    for (QChar &c : part) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    // Without separators ".." is harmless inside a longer name, but a name
    // made only of dots would still read as a folder reference.
    if (!part.isEmpty() && part.count(QLatin1Char('.')) == part.size())
        part.fill(QLatin1Char('_'));
    return part;
}
