#ifndef WIDGETHELPDESKTEACHER_H
#define WIDGETHELPDESKTEACHER_H

#include <QVector>
#include <QWidget>

class QVBoxLayout;
class UserCheckBox;
class UserList;

// The teacher's problem report: the teacher ticks the participants who have
// a problem and the report goes to the back office over MQTT. Until the
// feedback panels come, it offers only the roster and the submit button.
class WidgetHelpdeskTeacher : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetHelpdeskTeacher(QWidget *parent);

    // One check box per participant of roster (none without one).
    void setUserList(const UserList *roster, const QString &classId);
    QString classId() const { return m_classId; }
    int participantCount() const { return m_users.size(); }

signals:
    void signal_sentHelpdeskMsg();

public slots:
    void on_btnSubmit_clicked();

private:
    QString m_classId;
    QVBoxLayout *m_userLayout;
    QVector<UserCheckBox *> m_users;
    QVector<int> m_userTypes;
};

#endif // WIDGETHELPDESKTEACHER_H
