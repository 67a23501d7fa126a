#ifndef PULSEAUDIOSERVER_H
#define PULSEAUDIOSERVER_H

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

// A private PulseAudio sound server for one test: its own runtime folder and
// socket, no configuration files read, never exits while idle, and one null
// sink ("lessonry_null"), so the machine has a playback device and, in the
// sink's monitor ("lessonry_null.monitor"), a recording device. Nothing of
// the machine's own sound is touched.
//
// Clients find it by PULSE_SERVER: useForThisProcess() sets it for the test
// process (before its first sound client connects), clientEnvironment()
// gives it to a helper process.
class PulseAudioServer
{
public:
    // The rate of what startListening() hears.
    static const int kRecordRate = 16000;

    PulseAudioServer();
    ~PulseAudioServer();

    PulseAudioServer(const PulseAudioServer &) = delete;
    PulseAudioServer &operator=(const PulseAudioServer &) = delete;

    static QString nullSinkName() { return QStringLiteral("lessonry_null"); }
    static QString nullSinkDescription() { return QStringLiteral("Lessonry Null Output"); }
    static QString nullSourceName() { return nullSinkName() + QStringLiteral(".monitor"); }

    // Starts the server and waits until it has made the null sink and
    // accepts clients; false, with a warning saying why, when it could not.
    bool start();
    // Ends the server (SIGTERM; SIGKILL when it does not go); true when it
    // ended by itself with status 0.
    bool stop();
    bool isRunning() const;

    // "unix:<socket>", the value for PULSE_SERVER.
    QString serverAddress() const;
    void useForThisProcess() const;
    QProcessEnvironment clientEnvironment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // Runs pactl against this server; true when it ended with status 0.
    bool pactl(const QStringList &arguments, QByteArray *output = nullptr) const;
    // Adds another null sink (a device plugged in); the module's index, or
    // -1 on failure.
    int loadNullSink(const QString &name, const QString &description) const;
    // Removes what loadNullSink added (the device unplugged).
    bool unloadModule(int index) const;

    // What the server wrote so far.
    QByteArray log();

    // Starts hearing what is played on the null sink (its monitor, as
    // 16-bit mono samples at kRecordRate).
    bool startListening();
    // The samples heard since the last call, waiting until at least ms
    // worth of them came (0: what came so far, at once).
    QVector<qint16> heard(int ms);
    // Drops what was heard and not taken yet (also what waits in the
    // pipe): what heard() gives from now on is played from now on.
    void forget();

private:
    void readLog();

    QTemporaryDir m_dir;
    QScopedPointer<QProcess> m_process;
    QScopedPointer<QProcess> m_listener;
    QByteArray m_log;
    QByteArray m_heard;
};

#endif // PULSEAUDIOSERVER_H
