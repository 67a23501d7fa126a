#include "actionlogreader.h"

#include <QFile>

QString ActionLogReader::use(const QString &path)
{
    m_path = path;
    QFile::remove(path);
    return path;
}

QVector<ActionLogReader::Record> ActionLogReader::records() const
{
    QVector<Record> result;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        // kind,1,version,time,name,info...
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() < 6)
            continue;
        Record record;
        record.kind = fields.at(0);
        record.atMs = fields.at(3).toLongLong();
        record.name = fields.at(4);
        record.info = fields.mid(5).join(QLatin1Char(','));
        result.append(record);
    }
    return result;
}

QVector<ActionLogReader::Record> ActionLogReader::named(const QString &name) const
{
    QVector<Record> result;
    for (const Record &record : records()) {
        if (record.name == name)
            result.append(record);
    }
    return result;
}
