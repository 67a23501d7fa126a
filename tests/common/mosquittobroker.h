#ifndef MOSQUITTOBROKER_H
#define MOSQUITTOBROKER_H

#include <QProcess>
#include <QScopedPointer>
#include <QString>
#include <QTemporaryDir>

// A real mosquitto broker on 127.0.0.1 for one test. It listens on a port
// of its own (tried until one is free, since mosquitto cannot pick one and
// report it), ends with the test process, and can be stopped and started
// again on the same port to play a broker that goes away mid-class.
class MosquittoBroker
{
public:
    MosquittoBroker();
    ~MosquittoBroker();

    MosquittoBroker(const MosquittoBroker &) = delete;
    MosquittoBroker &operator=(const MosquittoBroker &) = delete;

    // Starts the broker and waits until it accepts connections; false, with
    // a warning saying why, when it could not be started. A second start
    // after stop() reuses the port of the first.
    bool start();
    // Ends the broker (SIGTERM, then SIGKILL); the port stays reserved for
    // the next start().
    void stop();
    bool isRunning() const;

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }

    // Points every broker entry of a servers file ([mqtt] production and
    // development, [signalling], [rtc]) at this broker; keeps the rest.
    bool useInServersIni(const QString &serversIniPath) const;

private:
    bool startOn(quint16 port);

    QScopedPointer<QProcess> m_process;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
};

#endif // MOSQUITTOBROKER_H
