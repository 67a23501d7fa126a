#ifndef RTCFILEPLAYOUT_H
#define RTCFILEPLAYOUT_H

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

typedef struct _GstElement GstElement;

// A sound file played "as playout": heard on our speaker and, unless it is
// for us only (loopback), handed on as 16-bit mono samples at 48 kHz to be
// mixed into what the class hears. Decodes on its own pipeline's threads;
// plays cycle times (-1: until stopped).
class RtcFilePlayout : public QObject
{
    Q_OBJECT

public:
    typedef std::function<void(const QByteArray &)> SampleSink;

    RtcFilePlayout(const QString &filePath, bool loopback, int cycle, const QByteArray &speaker, const SampleSink &sink,
                   QObject *parent = nullptr);
    ~RtcFilePlayout() override;

    // False (with why) when the file cannot be played.
    bool start(QString *why);
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }

signals:
    void finished();
    void failed(const QString &why);

private:
    void endOfPass();
    static int onNewSample(GstElement *sink, void *self);

    QString m_filePath;
    bool m_loopback;
    int m_cyclesLeft;
    QByteArray m_speaker;
    SampleSink m_sink;
    GstElement *m_pipeline = nullptr;
    bool m_paused = false;
};

#endif // RTCFILEPLAYOUT_H
