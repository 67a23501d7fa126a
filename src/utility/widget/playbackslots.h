#ifndef PLAYBACKSLOTS_H
#define PLAYBACKSLOTS_H

#include <QObject>

// A window follows its media control: the control's play, pause, resume
// and end reach the window's slots of those names.
template<typename Control, typename Window>
void connectPlaybackSlots(Control *control, Window *window)
{
    QObject::connect(control, &Control::signal_onPlay, window, &Window::slot_onPlay);
    QObject::connect(control, &Control::signal_onPause, window, &Window::slot_onPause);
    QObject::connect(control, &Control::signal_onResume, window, &Window::slot_onResume);
    QObject::connect(control, &Control::signal_onFinished, window, &Window::slot_onFinished);
}

#endif // PLAYBACKSLOTS_H
