#ifndef VIDEORENDER_H
#define VIDEORENDER_H

#include "videoframemailbox.h"

#include "platform/rtc/mediaengine.h"

#include <QObject>

#include <memory>

// The engine's render for one view: takes each decoded frame on the
// engine's video thread, makes it ready for the view there (cut, turned,
// mirrored and scaled to the view's size, VideoTileImage) and leaves it in
// the view's mailbox; the view is told on the GUI thread and only copies
// the picture to the screen. Nothing here waits for the GUI thread: a
// picture the view has not taken yet is replaced by the next one.
//
// The view is a video widget; it is reached only through its slots
// (slot_deliverFrame, slot_video_render_delete) and only while it lives:
// views announce themselves (addView / removeView), because the engine may
// make a render for a view on its video thread after the view is gone.
class VideoRender : public QObject, public agora::media::IExternalVideoRender
{
    Q_OBJECT

public:
    explicit VideoRender(const agora::media::ExternalVideoRenerContext &context);
    ~VideoRender() override;

    void release() override;
    int initialize() override;
    int deliverFrame(const agora::media::IVideoFrame &videoFrame, int rotation, bool mirrored) override;

    void connectSignal(QObject *view);

    // A view that renders may show, with the mailbox its pictures go to
    // (none: renders bind to the view but show nothing); called by the
    // view on its construction.
    static void addView(QObject *view, const std::shared_ptr<VideoFrameMailbox> &mailbox = {});
    // The view is being destroyed: the engine is told through the callback
    // of the render showing it, and no render reaches the view afterwards.
    static void removeView(QObject *view);
    // Tells the engine the view's new size, when a render shows it.
    static void viewResized(QObject *view, int width, int height);

signals:
    // A picture waits in the view's mailbox. The frame, its rotation and
    // mirroring travel in the mailbox rather than as arguments, so no
    // pointer into the render's memory crosses to the GUI thread.
    void signal_deliverFrame();
    // The render is gone; its view shows nothing until the next render's picture.
    void signal_delete();

private:
    // Emits signal while the view lives (under the views' lock).
    void tellView(void (VideoRender::*signal)());

    QObject *m_view;
    agora::media::IExternalVideoRenderCallback *m_callback;
    std::shared_ptr<VideoFrameMailbox> m_mailbox;
};

#endif // VIDEORENDER_H
