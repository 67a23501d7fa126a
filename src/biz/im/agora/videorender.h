#ifndef VIDEORENDER_H
#define VIDEORENDER_H

#include "platform/rtc/mediaengine.h"

#include <QMetaType>
#include <QObject>

Q_DECLARE_METATYPE(agora::media::IVideoFrame *)

// The engine's render for one view: takes each decoded frame on the
// engine's video thread, keeps a copy and hands it to the view on the GUI
// thread, waiting until the view has taken it.
//
// Two copies are kept and used in turn: the view paints the copy it was
// handed last while the next frame is written into the other one, so a
// paint never reads a frame that is being overwritten.
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

    // A view that renders may show; called by the view on its construction.
    static void addView(QObject *view);
    // The view is being destroyed: the engine is told through the callback
    // of the render showing it, and no render reaches the view afterwards.
    static void removeView(QObject *view);
    // Tells the engine the view's new size, when a render shows it.
    static void viewResized(QObject *view, int width, int height);

signals:
    void signal_deliverFrame(agora::media::IVideoFrame *videoFrame, int rotation, bool mirrored);
    void signal_delete();

private:
    QObject *m_view;
    agora::media::IExternalVideoRenderCallback *m_callback;
    agora::media::IVideoFrame *m_frames[2] = { nullptr, nullptr };
    int m_back = 0; // the copy the next frame is written into
};

#endif // VIDEORENDER_H
