#ifndef JANUSSERVER_H
#define JANUSSERVER_H

#include <QProcess>
#include <QScopedPointer>
#include <QString>
#include <QTemporaryDir>

// A real Janus WebRTC server on 127.0.0.1 for one test, as a lesson's
// media server: a private configuration folder with only the VideoRoom
// plugin (string room ids) and the HTTP transport, ICE on the loopback
// interface only, its log in a file of its own. Like MosquittoBroker it
// can be stopped and started again on the same port, to play a media
// server that goes away mid-class.
class JanusServer
{
public:
    JanusServer();
    ~JanusServer();

    JanusServer(const JanusServer &) = delete;
    JanusServer &operator=(const JanusServer &) = delete;

    // Starts the server and waits until its API answers; false, with a
    // warning saying why, when it could not be started.
    bool start();
    // Ends the server (SIGTERM, then SIGKILL); the port stays its own.
    void stop();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>/janus"
    QString url() const;
    QString logPath() const;
    // Points the servers file's [rtc] janus entry at this server.
    bool useInServersIni(const QString &serversIniPath) const;

private:
    bool writeConfiguration(quint16 port);
    bool startOn(quint16 port);
    bool answers(quint16 port, int timeoutMs);

    QScopedPointer<QProcess> m_process;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
};

#endif // JANUSSERVER_H
