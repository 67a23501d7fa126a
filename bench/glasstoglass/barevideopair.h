#ifndef BAREVIDEOPAIR_H
#define BAREVIDEOPAIR_H

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QTimer>

#include <vector>

// The floor of glass to glass: the synthetic camera's stamped frames, drawn
// here at its 15 frames per second, go into a gst-launch-1.0 process that
// codes them as the engine does (VP8, same settings) and sends them as
// plain RTP over UDP to a second one, which decodes them (same jitter
// buffer latency) and hands the raw pictures back here, where their
// stamps are read. No Janus, no encryption, no widget.
class BareVideoPair : public QObject
{
public:
    BareVideoPair();
    ~BareVideoPair() override;

    // False, said on standard error, when a process did not start.
    bool start();
    // The milliseconds from drawing to decoded, per frame, since the last take.
    std::vector<double> take();
    // Ends both the normal way; true when both ended with status 0.
    bool stop();

private:
    void feed();
    void readFrames();

    QProcess m_sender;
    QProcess m_receiver;
    QTimer m_feedTimer;
    QByteArray m_received;
    quint32 m_frame = 0;
    std::vector<double> m_latencies;
    bool m_running = false;
};

#endif // BAREVIDEOPAIR_H
