#ifndef BOARDCLASS_H
#define BOARDCLASS_H

#include "utility/userinfo.h"

#include <QObject>
#include <QStringList>

class WidgetWhiteBoard;

// One participant's whiteboard in a class, without the classroom window:
// the roster (the teacher and the students), the signed-in user, the MQTT
// login and class topics, and the board of the executable's role. Used by
// the board tool program and by the tests' board peer.
class BoardClass : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString uid;
        QString classId;
        QString teacherUid = QStringLiteral("30001");
        QStringList studentUids { QStringLiteral("20001"), QStringLiteral("20002") };
        QString brokerPassword = QStringLiteral("session");
        int reloginMs = 2000;
    };

    explicit BoardClass(const Options &options, QObject *parent = nullptr);
    ~BoardClass() override;

    WidgetWhiteBoard *board() const { return m_board; }
    UserList *roster() { return &m_roster; }
    bool isTeacher() const;

    // Logs in to the broker and joins the class topics; inChannel() once
    // both are subscribed (and again after a new login).
    void join();
    void leave();

signals:
    void inChannel();
    void loginFailed(int code);

private:
    Options m_options;
    UserList m_roster;
    WidgetWhiteBoard *m_board = nullptr;
    int m_joined = 0;
};

#endif // BOARDCLASS_H
