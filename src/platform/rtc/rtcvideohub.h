#ifndef RTCVIDEOHUB_H
#define RTCVIDEOHUB_H

#include "mediaengine.h"
#include "rtcbase.h"

#include <QByteArray>
#include <QHash>
#include <QObject>

class RtcRenderCallback;

// The engine's video thread: one external render per bound view, made by
// the program's render factory, fed with frames and released here. Every
// public operation is called on the video thread.
class RtcVideoHub : public QObject
{
    Q_OBJECT

public:
    explicit RtcVideoHub(QObject *parent = nullptr);
    ~RtcVideoHub() override;

    void setFactory(agora::media::IExternalVideoRenderFactory *factory);
    // Binds view to the video of uid (0: the local user); a null view, or
    // a view that another binding already uses, ends that binding first.
    void bind(agora::rtc::uid_t uid, void *view, int renderMode);
    void deliverFrame(agora::rtc::uid_t uid, int width, int height, const QByteArray &argb, int rotation, bool mirrored);
    void viewDestroyed(void *view);
    void releaseAll();

    bool hasRender(agora::rtc::uid_t uid) const { return m_renders.contains(uid); }

private:
    struct Binding
    {
        void *view = nullptr;
        agora::media::IExternalVideoRender *render = nullptr;
        RtcRenderCallback *callback = nullptr;
    };

    void unbind(agora::rtc::uid_t uid);

    agora::media::IExternalVideoRenderFactory *m_factory = nullptr;
    QHash<agora::rtc::uid_t, Binding> m_renders;
};

#endif // RTCVIDEOHUB_H
