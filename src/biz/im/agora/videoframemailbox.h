#ifndef VIDEOFRAMEMAILBOX_H
#define VIDEOFRAMEMAILBOX_H

#include <QImage>
#include <QMutex>
#include <QSize>

// The newest picture of one video view, between the engine's video thread
// that makes it and the GUI thread that shows it. A picture not yet taken
// is replaced by the next one, so a busy GUI thread skips pictures instead
// of working through a queue, and the video thread never waits for it.
// The view tells its size and crop here for the pictures to be made for.
// Thread-safe.
class VideoFrameMailbox
{
public:
    struct Picture
    {
        QImage frame; // as it came (32-bit ARGB); null: nothing to show
        int rotation = 0;
        bool mirrored = true;
        QImage shown;      // the frame made ready for the view (VideoTileImage)
        bool crop = true;  // the crop shown was made with
    };

    void setViewSize(const QSize &size);
    QSize viewSize() const;
    void setCropToFit(bool crop);
    bool cropToFit() const;

    // Leaves picture for the view; true when the view must be told (no
    // picture was waiting), false when it has been told already.
    bool put(const Picture &picture);
    // The picture waiting, if one is; the next put tells again.
    bool take(Picture *picture);
    // Pictures put that the view never took, since the start.
    quint64 skipped() const;

private:
    mutable QMutex m_lock;
    QSize m_viewSize;
    bool m_crop = true;
    Picture m_waiting;
    bool m_hasWaiting = false;
    quint64 m_skipped = 0;
};

#endif // VIDEOFRAMEMAILBOX_H
