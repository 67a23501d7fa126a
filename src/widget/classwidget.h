#ifndef CLASSWIDGET_H
#define CLASSWIDGET_H

#include <QWidget>

// The class page inside the classroom window.
class ClassWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ClassWidget(QWidget *parent = nullptr);
    ~ClassWidget() override;

    // Leaves the page's mode.
    virtual void exit();
    virtual void destoryMode();

public slots:
    // The MQTT sign-out asked for a re-entry has succeeded.
    void slot_mqtt_logoutSuccess();
    void slot_playingVideo(bool bPlaying);
    void slot_logoutMqttToReEnterClassroom();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif // CLASSWIDGET_H
