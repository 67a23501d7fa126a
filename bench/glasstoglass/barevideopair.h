#ifndef BAREVIDEOPAIR_H
#define BAREVIDEOPAIR_H

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <thread>
#include <vector>

// The floor of glass to glass: the synthetic camera's stamped frames, drawn
// here at its 15 frames per second on a thread of their own, go through a
// named pipe (a QProcess's channels would carry a frame in small pieces as
// the event loop comes by) into a gst-launch-1.0 process that
// codes them as the engine does (VP8, same settings) and sends them as
// plain RTP over UDP to a second one, which decodes them (same jitter
// buffer latency) and hands the raw pictures back through another named
// pipe to a thread here, which reads their stamps. No Janus, no encryption, no widget.
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

    QTemporaryDir m_dir;
    QString m_toSender;
    QString m_fromReceiver;
    QProcess m_sender;
    QProcess m_receiver;
    std::thread m_feeder;
    std::thread m_reader;
    std::atomic<bool> m_feeding { false };
    QMutex m_lock; // guards m_latencies
    std::vector<double> m_latencies;
    bool m_running = false;
};

#endif // BAREVIDEOPAIR_H
