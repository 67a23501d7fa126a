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
// (slot_deliverFrame, slot_video_render_delete, setRenderCallback).
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

signals:
    void signal_deliverFrame(agora::media::IVideoFrame *videoFrame, int rotation, bool mirrored);
    void signal_delete();

private:
    QObject *m_view;
    agora::media::IVideoFrame *m_frames[2] = { nullptr, nullptr };
    int m_back = 0; // the copy the next frame is written into
};

#endif // VIDEORENDER_H
