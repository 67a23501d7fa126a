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
    // Leaves the class: the MQTT class topics, then the MQTT session.
    virtual void destoryMode();

    // Logs in to the class's messaging services, once per class start, and
    // joins the class after each successful login. The signalling service
    // is signed in with token (the class's signalling key).
    void loginIM(const QString &token);

    // The page's whiteboard; null until the page has one.
    virtual WidgetWhiteBoard *getWhiteBoard() const { return nullptr; }

public slots:
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
    void reloginMqtt();

private slots:
    void slot_onMqttReLoginTimer();

private:
    void loginMqtt();

    bool m_reEnterPending = false;
};

#endif // CLASSWIDGET_H
