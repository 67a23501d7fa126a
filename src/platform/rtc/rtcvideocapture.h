#ifndef RTCVIDEOCAPTURE_H
#define RTCVIDEOCAPTURE_H

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;

// Pictures from a GStreamer video source in a pipeline of its own: a
// camera (the element its device opens with) or the X screen
// (ximagesrc). The newest picture waits here for the video thread's
// tick; nothing queues up behind a slow tick. Converted, scaled and paced
// to the format asked for on the pipeline's threads. Lives on one Qt
// thread; failures are told there.
class RtcVideoCapture : public QObject
{
    Q_OBJECT

public:
    struct Format
    {
        // Exactly this size (with borders where the source's shape
        // differs); invalid: the source's own size.
        QSize size { 640, 480 };
        int framesPerSecond = 15;
    };

    // Takes source (a floating reference); null (with why) when the
    // pipeline cannot be made or the source cannot be opened.
    static RtcVideoCapture *create(GstElement *source, const Format &format, QString *why);
    // The whole X screen of display (empty: $DISPLAY), or the window of
    // that id, or the part rect of either.
    static RtcVideoCapture *createScreen(const QByteArray &display, quintptr windowId, const QRect &rect,
                                         const Format &format, QString *why);
    ~RtcVideoCapture() override;

    // The newest picture; null until the first one came.
    QImage latest() const;

signals:
    // The source stopped with an error or ended (a camera unplugged, in
    // use by another program, a screen that went away); told once.
    void failed(const QString &why);

private:
    RtcVideoCapture() = default;
    bool start(GstElement *source, const Format &format, QString *why);
    void onBusMessage(GstMessage *message);
    void pictureArrived(void *sample);
    static int onNewSample(GstElement *sink, void *self);

    GstElement *m_pipeline = nullptr;
    mutable QMutex m_mutex; // the two below
    QImage m_latest;
    QString m_firstError;
};

#endif // RTCVIDEOCAPTURE_H
