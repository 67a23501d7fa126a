#include "possibleidutil.h"

#include "platform/crash/crashdumpwriter.h"
#include "rolepolicy.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const char kPossibleIdKey[] = "PossibleIdUtil.possible.id";

// A file name holds at most 255 bytes and the rest of a log or dump name
// takes about 50, so a longer id is cut rather than failing the open.
const int kMaxFileNamePartBytes = 180;

// The longest start of text whose UTF-8 fits in maxBytes, never splitting
// a character.
QString leftFittingBytes(const QString &text, int maxBytes)
{
    int bytes = 0;
    int end = 0;
    while (end < text.size()) {
        const int length = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        bytes += text.mid(end, length).toUtf8().size();
        if (bytes > maxBytes)
            break;
        end += length;
    }
    return text.left(end);
}

} // namespace

QString PossibleIdUtil::settingsApplicationName()
{
    return QCoreApplication::applicationDirPath()
        + RolePolicy::current().roleWord
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
    // Crash dumps are named from prepared parts: keep them current.
    CrashDumpWriter::setPossibleId(toFileNamePart(id).toUtf8().constData());
}

QString PossibleIdUtil::getPossibleId()
{
    return getSetting(QLatin1String(kPossibleIdKey), QStringLiteral("unknown")).toString();
}

QString PossibleIdUtil::toFileNamePart(const QString &id)
{
    QString part = leftFittingBytes(id, kMaxFileNamePartBytes);
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
