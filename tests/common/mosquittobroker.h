#ifndef MOSQUITTOBROKER_H
#define MOSQUITTOBROKER_H

#include <QProcess>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real mosquitto broker on 127.0.0.1 for one test. It listens on a port
// of its own (tried until one is free, since mosquitto cannot pick one and
// report it; never one the system may give to an outgoing connection, so
// the port is still free when the broker starts again), ends with the test
// process, and can be stopped and started again on the same port to play a
// broker that goes away mid-class. It
// sends small messages without Nagle delay (set_tcp_nodelay), as a
// lesson's broker should; benchmarks may start one without.
//
// The broker's notices (clients connecting and leaving) are kept: a test
// waits for one as the marker that the broker has handled a step.
class MosquittoBroker
{
public:
    struct Options
    {
        bool tcpNoDelay = true;
    };

    MosquittoBroker();
    explicit MosquittoBroker(Options options);
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
    // Starts the broker and puts in force (TestUtil::useServersIni) a new
    // servers file at serversIniPath whose brokers are this one and whose
    // web addresses are web: for a test that needs no lesson service.
    bool startWithServersIni(const QString &serversIniPath, const QString &web = QStringLiteral("http://127.0.0.1:9"));

    // The broker's log lines so far (since the last start), without their
    // time stamps, e.g. "Client client_student_20001 disconnected.".
    QStringList logLines();
    // How many log lines so far contain part.
    int logCount(const QString &part);
    // Waits until at least count lines contain part; false on time-out.
    bool waitForLog(const QString &part, int count = 1, int timeoutMs = 10000);

private:
    bool startOn(quint16 port);
    void readLog();

    Options m_options;
    QStringList m_log;
    QByteArray m_partialLine;
    QScopedPointer<QProcess> m_process;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
};

#endif // MOSQUITTOBROKER_H
