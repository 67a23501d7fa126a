#ifndef DEMODRIVER_H
#define DEMODRIVER_H

#include <QDir>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

class QWidget;
class baseloginwidget;

// Drives the client for the headless demo (scripts/run.sh), and nothing
// else: with LESSONRY_DEMO_LOGIN=<user>:<password> it signs in through the
// first login window as a user would (typing, then pressing the button);
// with LESSONRY_DEMO_SCREENSHOTS=<folder> it saves a picture of every
// window that appears, writes a short report (demo-result.txt) and ends
// the program once no new window has come for a while. Without these
// variables attach() does nothing.
class DemoDriver : public QObject
{
    Q_OBJECT

public:
    static void attach(baseloginwidget *loginWindow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DemoDriver(const QString &login, const QString &folder);

    void watchLoginWindow(baseloginwidget *loginWindow);
    void signIn(QPointer<baseloginwidget> loginWindow);
    void scheduleShot(QWidget *window, int delayMs, const QString &name = QString());
    void takeShot(QPointer<QWidget> window, const QString &name);
    void note(const QString &line);
    void finish();

    QString m_user;
    QString m_password;
    bool m_signInPending = false;
    QPointer<baseloginwidget> m_firstLoginWindow;
    QDir m_folder;
    bool m_takeShots = false;
    int m_shotCount = 0;
    QSet<QWidget *> m_seenWindows;
    bool m_reachedCourseWindow = false;
    QTimer m_idleTimer;
    QTimer m_deadline;
};

#endif // DEMODRIVER_H
