#ifndef ACTIONLOGREADER_H
#define ACTIONLOGREADER_H

#include <QString>
#include <QVector>

// Points the process's action log at a fresh file for one test and reads
// its records back.
class ActionLogReader
{
public:
    struct Record
    {
        QString kind;
        QString name;
        QString info; // everything after the name, commas included
    };

    // Starts a new file in path's folder; false when it cannot be opened.
    bool start(const QString &path);
    QVector<Record> records() const;
    // Records with exactly this name.
    QVector<Record> named(const QString &name) const;

private:
    QString m_path;
};

#endif // ACTIONLOGREADER_H
