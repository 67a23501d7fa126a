#include "hashutility.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>

QString HashUtility::fileToMd5(const QString &filePath)
{
    QFile file(filePath);
    if (!file.exists()) {
        qCritical("no such filepath:%s", filePath.toUtf8().constData());
        return QString();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical("f.open failed");
        return QString();
    }
    // Hashed straight from the file, so large installers are not loaded whole.
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file)) {
        qCritical("addData failed");
        return QString();
    }
    return QString::fromLatin1(hash.result().toHex());
}

QString HashUtility::stringToMd5(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLocal8Bit(), QCryptographicHash::Md5).toHex());
}
