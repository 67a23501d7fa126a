#ifndef RTCVIDEOHUB_H
#define RTCVIDEOHUB_H

#include "mediaengine.h"
#include "rtcbase.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QTimer;
class RtcEngineLog;
class RtcRenderCallback;
class RtcVideoCapture;
class RtcVideoFrame;

// What the capture should do now; the engine sets it whenever it changes.
struct RtcCaptureState
{
    bool preview = false; // show the picture in the local view
    bool send = false;    // hand the pictures to the sender
    QString userId;
    QByteArray cameraId; // the chosen camera; a synthetic one is drawn
    QString cameraName;
    QSize videoSize { 640, 480 }; // of the video profile
    int framesPerSecond = 15;
    bool screen = false; // the screen instead of the camera
    quintptr windowId = 0; // 0: the whole desktop
    QRect rect;            // empty: all of it
};

// The engine's video thread: one external render per bound view, made by
// the program's render factory, fed with frames and released here; and
// our own pictures: the chosen camera (the synthetic picture where there
// is none or it fails) or, while it is shared, the screen. Every public
// operation is called on the video thread. Pictures are made and handed on
// only while the application lives: once its destructor runs the hub shows
// and sends nothing more, and its bindings can still be released.
class RtcVideoHub : public QObject
{
    Q_OBJECT

public:
    explicit RtcVideoHub(QObject *parent = nullptr);
    ~RtcVideoHub() override;

    void setFactory(agora::media::IExternalVideoRenderFactory *factory);
    void setLog(RtcEngineLog *log) { m_log = log; }
    // Binds view to the video of uid (0: the local user); a null view, or
    // a view that another binding already uses, ends that binding first.
    void bind(agora::rtc::uid_t uid, void *view, int renderMode);
    void deliverFrame(agora::rtc::uid_t uid, const RtcVideoFrame &frame, int rotation, bool mirrored);
    void viewDestroyed(void *view);
    void releaseAll();

    void setCapture(const RtcCaptureState &state);
    // The camera test's view: shows the camera's picture whatever else
    // the capture does; null ends the test.
    void setTestView(void *view);
    // Receives each picture to send while state.send is on.
    void setSender(const std::function<void(const QImage &)> &sender);
    // Told when the chosen camera cannot be used (the synthetic picture
    // is sent instead).
    void setWarningSink(const std::function<void(const QString &)> &sink);
    // A grab of the screen, handed over from the GUI thread.
    void setScreenImage(const QImage &image);

    bool hasRender(agora::rtc::uid_t uid) const { return m_renders.contains(uid); }
    bool hasTestView() const { return m_test.view != nullptr; }

private:
    struct Binding
    {
        void *view = nullptr;
        agora::media::IExternalVideoRender *render = nullptr;
        RtcRenderCallback *callback = nullptr;
    };

    void unbind(agora::rtc::uid_t uid);
    Binding makeBinding(void *view, int renderMode);
    static void releaseBinding(const Binding &binding);
    void updateTimer();
    void captureTick();
    void requestScreenGrab();
    // Opens or closes the camera and the screen source as the state asks.
    void updateSources();
    void closeCamera(bool fromItsSignal = false);
    void closeScreen(bool fromItsSignal = false);
    void cameraFailed(const QString &why);
    void warnCamera(const QByteArray &camera, const QString &why);

    RtcEngineLog *m_log = nullptr;
    agora::media::IExternalVideoRenderFactory *m_factory = nullptr;
    QHash<agora::rtc::uid_t, Binding> m_renders;
    Binding m_test;
    RtcCaptureState m_capture;
    std::function<void(const QImage &)> m_sender;
    std::function<void(const QString &)> m_warningSink;
    RtcVideoCapture *m_camera = nullptr;
    QByteArray m_cameraOpen;   // the id m_camera captures
    QByteArray m_cameraFailed; // not tried again until chosen anew
    QSize m_cameraSize;        // the format m_camera gives
    int m_cameraRate = 0;
    RtcVideoCapture *m_screenCapture = nullptr;
    bool m_screenFailed = false; // the Qt grab takes over
    QTimer *m_captureTimer;
    quint64 m_frameNumber = 0;
    QImage m_screen;
    bool m_grabPending = false;
};

#endif // RTCVIDEOHUB_H
