#ifndef USERCHECKBOX_H
#define USERCHECKBOX_H

#include <QCheckBox>

// A check box that belongs to one user and reports its state with the
// user's id.
class UserCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit UserCheckBox(const QString &text = QString(), QWidget *parent = nullptr);

    QString getUid() const { return m_uid; }
    void setUid(const QString &uid) { m_uid = uid; }
    quint32 getUserData() const { return m_userData; }
    void setUserData(quint32 value) { m_userData = value; }

signals:
    // A partly checked box counts as checked.
    void signal_stateChanged(QString uid, bool bChecked);

public slots:
    void slot_stateChanged(int arg);

private:
    QString m_uid;
    quint32 m_userData = 0;
};

#endif // USERCHECKBOX_H
