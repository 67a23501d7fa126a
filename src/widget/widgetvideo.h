#ifndef WIDGETVIDEO_H
#define WIDGETVIDEO_H

#include "biz/im/agora/videoframemailbox.h"
#include "biz/im/agora/videorender.h"

#include <QString>
#include <QWidget>

#include <memory>

// The one video surface of the program: the view handed to the engine
// for a local or remote video. Its render leaves each frame in the view's
// mailbox already cropped to the widget's aspect, turned, mirrored and
// scaled to its size; the view copies the newest one to the screen.
class WidgetVideo : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetVideo(QWidget *parent = nullptr);
    // Tells the engine that the view is gone; it is not touched after.
    ~WidgetVideo() override;

    void setId(const QString &id);
    void setCropToFit(bool crop);
    void setVideoMuted(bool muted);
    bool isVideoMuted() const { return m_muted; }
    bool isCropToFit() const { return m_cropToFit; }

    // Crops a w x h ARGB buffer to the aspect of a W x H widget when the
    // frame is larger in the dimension to cut; a and b receive the size of
    // the result, which is a new buffer (the caller frees it with delete[]).
    static unsigned char *cropToFit(const unsigned char *frame, int w, int h, int W, int H, int *a, int *b);

public slots:
    // A picture waits in the mailbox.
    void slot_deliverFrame();
    void slot_video_render_delete();
    void ViewSizeChanged(int width, int height);
    void WidgetDestroyed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Takes the newest picture from the mailbox, if one waits; true then.
    bool takePicture();

    std::shared_ptr<VideoFrameMailbox> m_mailbox;
    VideoFrameMailbox::Picture m_picture; // the one shown
    bool m_firstFrame = true;
    bool m_cropToFit = true;
    bool m_muted = false;
    QString m_id;
};

#endif // WIDGETVIDEO_H
