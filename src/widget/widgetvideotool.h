#ifndef WIDGETVIDEOTOOL_H
#define WIDGETVIDEOTOOL_H

#include "utility/userinfo.h"

#include <QWidget>

class QPushButton;
class WidgetVolumeChange;

// Base of a tile's tool bar: holds the tile's participant (the uid of its
// action records) and the microphone button with its speaking level, which
// both tool bars have.
class WidgetVideoTool : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetVideoTool(QWidget *parent = nullptr);

    void setUserInfo(const UserInfo &info);
    UserInfo getUserInfo() const;

    // Lays the buttons out for hover (show true) or rest, in or out of the
    // channel.
    virtual void showTool(bool show, bool inChannel) = 0;

    // Checked means the microphone is off.
    void setAudioChecked(bool checked);
    void setAudioEnabled(bool enabled);
    void setVolume(int level);
    bool isAudioOn() const { return m_audioOn; }
    bool isVideoOn() const { return m_videoOn; }

protected:
    // The form's microphone button and level, given by the subclass once
    // its form is set up.
    void setAudioWidgets(QPushButton *btnAudio, WidgetVolumeChange *volume);
    // Writes a click record "{uid:%1, flag:%2}" with the participant's uid.
    void logFlag(const QString &action, bool flag) const;
    static bool isTeacherProgram();

    UserInfo m_user;
    bool m_audioOn = true;
    bool m_videoOn = true;

private:
    QPushButton *m_btnAudio = nullptr;
    WidgetVolumeChange *m_volume = nullptr;
};

#endif // WIDGETVIDEOTOOL_H
