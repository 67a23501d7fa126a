#ifndef MEDIAPLAYPAUSECONTROLUTIL_H
#define MEDIAPLAYPAUSECONTROLUTIL_H

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>

// The play/pause state of one player behind one button: idle, playing or
// paused. A click plays from idle, pauses while playing and resumes while
// paused; the button shows the play picture unless playback runs. The
// subclasses drive the player and the RTC engine; each override does its
// own work first and then calls the base.
class MediaPlayPauseControlUtil : public QObject
{
    Q_OBJECT

public:
    explicit MediaPlayPauseControlUtil(QObject *parent = nullptr);
    ~MediaPlayPauseControlUtil() override;

    virtual void onPlayButtonClicked();
    virtual void onFinished();
    virtual void onPlay();
    virtual void onPause();
    virtual void onResume();

    void setPlayPauseButton(QPushButton *button, const QString &playImage, const QString &pauseImage);
    void makePlayButtonPauseStatus();
    void setIsPlaying(bool value);
    void setIsPaused(bool value);
    bool getIsPlaying() const { return isPlaying; }
    bool getIsPaused() const { return isPaused; }

signals:
    void signal_onPlay();
    void signal_onPause();
    void signal_onResume();

protected:
    void makePlayButtonPlayStatus();

    bool isPlaying = false;
    bool isPaused = false;
    QPointer<QPushButton> playPauseButton;
    QString playImage;
    QString pauseImage;
};

#endif // MEDIAPLAYPAUSECONTROLUTIL_H
