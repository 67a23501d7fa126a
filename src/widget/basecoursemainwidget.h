#ifndef BASECOURSEMAINWIDGET_H
#define BASECOURSEMAINWIDGET_H

#include "utility/widget/basemainwidget.h"

#include <QString>

// Base of the course windows of both roles, opened by the login window.
// It starts the upgrade check, reports the login and the classes entered
// and left to the lesson service, and carries the logout road back to a
// fresh login window; the lesson lists and entering a class come with the
// course windows.
class BaseCourseMainWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit BaseCourseMainWidget(QWidget *parent = nullptr);
    ~BaseCourseMainWidget() override;

    // Opens a new login window of the built-in role that does not log in by
    // itself, then closes this window.
    void applicationLogout();

    // The class this window entered last: the value of the class events.
    QString currentClassId() const;
    void setCurrentClassId(const QString &classId);

    // Sends the event "user/login".
    void logLoginOkEvent();

public slots:
    // The signalling account was signed in on another device: tell the
    // user. The window stays open.
    void slot_onKicked();
    void slot_classroom_open();
    void slot_classroom_closed();

private:
    void sendEvent(const QString &key, const QString &value);

    QString m_currentClassId;
};

#endif // BASECOURSEMAINWIDGET_H
