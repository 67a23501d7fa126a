#ifndef ACTIONLOGREADER_H
#define ACTIONLOGREADER_H

#include <QString>
#include <QVector>

// Reads the records of an action-log file back.
class ActionLogReader
{
public:
    struct Record
    {
        QString kind;
        qint64 atMs = 0; // when it was written, ms since the epoch
        QString name;
        QString info; // everything after the name, commas included
    };

    // Reads path from now on; removes what an earlier run left there. The
    // test then points the action log at the same path.
    QString use(const QString &path);
    // Reads the log another program wrote at path, leaving it as it is.
    void readFrom(const QString &path) { m_path = path; }
    QVector<Record> records() const;
    // Records with exactly this name.
    QVector<Record> named(const QString &name) const;

private:
    QString m_path;
};

#endif // ACTIONLOGREADER_H
