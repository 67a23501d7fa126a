#ifndef CLASSWIDGET_H
#define CLASSWIDGET_H

#include <QWidget>

class WidgetWhiteBoard;

// The class page inside the classroom window.
class ClassWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ClassWidget(QWidget *parent = nullptr);
    ~ClassWidget() override;

    // Leaves the page's mode.
    virtual void exit();
    // Leaves the class: the RTC channel, the signalling channel and
    // session, then the MQTT class topics and the MQTT session.
    virtual void destoryMode();

    // Logs in to the class's messaging services, once per class start, and
    // joins the class after each successful login. The signalling service
    // is signed in with token (the class's signalling key).
    void loginIM(const QString &token);

    // The page's whiteboard; null until the page has one.
    virtual WidgetWhiteBoard *getWhiteBoard() const { return nullptr; }

public slots:
    void slot_onImLoginSuccess(unsigned int uid, int fd);
    void slot_onImLoginFailed(int ecode);
    void slot_onDisconnected(int ecode);
    void slot_onNormalLogut();
    // A sign-out has succeeded; continues a pending re-entry.
    void slot_mqtt_logoutSuccess(QString uid = QString());
    void slot_mqtt_connectionLost(QString cause);
    void slot_playingVideo(bool bPlaying);
    void slot_logoutMqttToReEnterClassroom();
    // The tool bar's colour and chat buttons: the palette and the chat
    // belong to the page of each role.
    virtual void on_btnColor_clicked() {}
    virtual void on_btnChat_clicked() {}

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The signalling login again, 2000 ms later.
    void relogin();
    void reloginMqtt();

private slots:
    void slot_onImReLoginTimer();
    void slot_onMqttReLoginTimer();

private:
    void loginMqtt();

    bool m_reEnterPending = false;
    // The class's signalling key, for logging in again.
    QString m_imToken;
};

#endif // CLASSWIDGET_H
