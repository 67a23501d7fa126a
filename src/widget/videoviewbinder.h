#ifndef VIDEOVIEWBINDER_H
#define VIDEOVIEWBINDER_H

#include <QString>

class QWidget;

// Binds a participant's video to a view: the local camera for the
// signed-in user, the remote stream for anyone else; a null view unbinds.
class VideoViewBinder
{
public:
    // False (logged) for a uid that is no unsigned number, which the engine
    // would take as uid 0, another participant's stream; else the engine's
    // result, with "switch video widget failured." logged on failure.
    static bool bind(QWidget *view, const QString &uid);
    // The uid as the engine's number; false when it is not one.
    static bool toEngineUid(const QString &uid, uint *out);
};

#endif // VIDEOVIEWBINDER_H
