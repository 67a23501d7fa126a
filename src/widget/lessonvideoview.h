#ifndef LESSONVIDEOVIEW_H
#define LESSONVIDEOVIEW_H

class QBoxLayout;
class QObject;
class QWidget;
namespace QtAV {
class AVPlayer;
class VideoOutput;
}

// The player of a lesson video window and the widget it draws in, the same
// for the teacher's and the students' windows. Both are children of the
// window; the video widget goes first in the window's layout.
class LessonVideoView
{
public:
    // The player, decoding with FFmpeg.
    void createPlayer(QObject *window);
    // The widget renderer of the player. False when it has no widget: the
    // window tells the user in its own words.
    bool createRenderer(QObject *window, QBoxLayout *layout);

    QtAV::AVPlayer *player() const { return m_player; }
    // Null without a renderer widget.
    QWidget *videoWidget() const;

private:
    QtAV::AVPlayer *m_player = nullptr;
    QtAV::VideoOutput *m_output = nullptr;
};

#endif // LESSONVIDEOVIEW_H
