#ifndef POSSIBLEIDUTIL_H
#define POSSIBLEIDUTIL_H

#include <QString>
#include <QVariant>

// The last user id seen on this machine (a typed user name before login,
// the server's user id after it), kept in the settings store so that log,
// dump and archive names carry it even before the next login.
class PossibleIdUtil
{
public:
    // The settings store shared with the saved login: native settings of
    // organisation "velmo", application <app folder><role word>student_lessonry.
    static void setSetting(const QString &key, const QVariant &value);
    static QVariant getSetting(const QString &key, const QVariant &defaultValue = QVariant());

    static void setPossibleId(const QString &id);
    // "unknown" when none was stored.
    static QString getPossibleId();

    // id made safe to embed in a file name: characters that are not valid in
    // a file name become "_", so "/" or ".." cannot move or lose a file, and
    // an id too long for a file name is cut.
    static QString toFileNamePart(const QString &id);

    static QString settingsApplicationName();
};

#endif // POSSIBLEIDUTIL_H
