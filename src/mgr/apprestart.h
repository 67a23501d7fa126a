#ifndef APPRESTART_H
#define APPRESTART_H

#include <QObject>
#include <QString>

// A restart into a class: the class to re-enter, and whether this process
// was started by such a restart.
class AppRestart : public QObject
{
    Q_OBJECT

public:
    explicit AppRestart(QObject *parent = nullptr);

    bool isAppRestart() const;
    void setAppRestart(bool restart);
    QString getCurClassId() const;
    void setCurClassId(const QString &classId);

private:
    QString m_curClassId;
    bool m_appRestart = false;
};

#endif // APPRESTART_H
