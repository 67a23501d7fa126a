#ifndef PULSEAUDIOSERVER_H
#define PULSEAUDIOSERVER_H

#include <QProcess>
#include <QProcessEnvironment>
#include <QScopedPointer>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

// A private PulseAudio sound server for one test: its own runtime folder
// and socket, one null sink ("lessonry_out") as the speaker of the
// processes pointed at it, and the sink's monitor to hear what they play.
class PulseAudioServer
{
public:
    static const int kRecordRate = 16000;

    PulseAudioServer();
    ~PulseAudioServer();

    PulseAudioServer(const PulseAudioServer &) = delete;
    PulseAudioServer &operator=(const PulseAudioServer &) = delete;

    bool start();
    void stop();

    QString sink() const { return QStringLiteral("lessonry_out"); }
    // "unix:<socket>", for PULSE_SERVER.
    QString address() const;
    // The environment of a process that plays on this server.
    QProcessEnvironment environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // Starts hearing the sink (16-bit mono samples at kRecordRate).
    bool startListening();
    // The samples heard since the last call, waiting until at least ms
    // worth of them came (0: what came so far, at once).
    QVector<qint16> heard(int ms);
    // Drops what was heard and not taken yet (also what waits in the
    // pipe): what heard() gives from now on is played from now on.
    void forget();

private:
    QScopedPointer<QProcess> m_server;
    QScopedPointer<QProcess> m_listener;
    QTemporaryDir m_dir;
    QByteArray m_pending;
};

#endif // PULSEAUDIOSERVER_H
