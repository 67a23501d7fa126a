#ifndef RTCPEERPROCESS_H
#define RTCPEERPROCESS_H

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVector>

// One participant of an RTC channel in a process of its own
// (helper_rtcpeer), on our engine and the given relay broker. Tests
// send it commands and wait for the events it prints, one per line.
class RtcPeerProcess
{
public:
    // appId empty: the helper's own; participants meet only under one id.
    RtcPeerProcess(quint16 relayPort, uint uid, int connectionLostTimeoutMs = 0, const QString &appId = QString());
    ~RtcPeerProcess();

    RtcPeerProcess(const RtcPeerProcess &) = delete;
    RtcPeerProcess &operator=(const RtcPeerProcess &) = delete;

    // Before start(): sound and pictures through the Janus server at
    // janusUrl, the microphone a tone of toneHz (0: the machine's default
    // device), played on speaker (a PulseAudio sink of the process's
    // PULSE_SERVER; empty: the default device).
    void setMedia(const QString &janusUrl, int toneHz = 0, const QString &speaker = QString());
    // Before start(): the peer's devices are the video tests' scripted
    // cameras (RtcCameras) and the synthetic ones, none of the machine's
    // (nothing waits for GStreamer's device monitor).
    void setCameras() { m_cameras = true; }
    // Before start(): the engine's own log goes to path.
    void setLog(const QString &path) { m_logPath = path; }
    // Starts the process and waits until it is ready for commands.
    bool start();
    void command(const QString &line);
    // The first line not taken yet that starts with prefix, taken now;
    // empty when none came within timeoutMs.
    QString take(const QString &prefix, int timeoutMs = 10000);
    // Takes count such lines in order; fewer when time ran out.
    QStringList takeMany(const QString &prefix, int count, int timeoutMs = 20000);
    // Every line so far, taken or not.
    QStringList lines();
    // Joins channel and waits for the engine to report it; the stream id
    // of a new data stream, or 0 when any step failed.
    int joinWithStream(const QString &channel);

    // Ends the process with SIGKILL, as a crash would.
    void kill();
    // Closes standard input and waits for the end; the exit code, or -1.
    int finish(int timeoutMs = 10000);
    QProcess &process() { return m_process; }
    uint uid() const { return m_uid; }

private:
    void readLines();

    QProcess m_process;
    quint16 m_port;
    uint m_uid;
    int m_lostTimeoutMs;
    QString m_appId;
    QStringList m_mediaArguments;
    QString m_logPath;
    QByteArray m_pending;
    QStringList m_lines;
    QVector<bool> m_taken;
    bool m_killed = false;
    bool m_cameras = false;
};

#endif // RTCPEERPROCESS_H
