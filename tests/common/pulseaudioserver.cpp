#include "pulseaudioserver.h"

#include "testutil.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace {

const int kStartTimeoutMs = 30000;
const int kStopTimeoutMs = 5000;

} // namespace

PulseAudioServer::PulseAudioServer() = default;

PulseAudioServer::~PulseAudioServer()
{
    stop();
}

QString PulseAudioServer::address() const
{
    return QStringLiteral("unix:") + m_dir.filePath(QStringLiteral("runtime/native"));
}

QProcessEnvironment PulseAudioServer::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("PULSE_SERVER"), address());
    // No cookie to look for: the socket takes anonymous clients.
    base.insert(QStringLiteral("PULSE_COOKIE"), m_dir.filePath(QStringLiteral("cookie")));
    return base;
}

bool PulseAudioServer::start()
{
    if (m_server && m_server->state() == QProcess::Running)
        return true;
    if (!m_dir.isValid())
        return false;
    const QDir dir(m_dir.path());
    dir.mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray script = "load-module module-native-protocol-unix auth-anonymous=1 socket="
        + QFile::encodeName(dir.filePath(QStringLiteral("runtime/native"))) + "\n"
        "load-module module-null-sink sink_name=lessonry_out rate=48000\n"
        "set-default-sink lessonry_out\n";
    QFile config(dir.filePath(QStringLiteral("default.pa")));
    if (!config.open(QIODevice::WriteOnly) || config.write(script) != script.size())
        return false;
    config.close();

    m_server.reset(new QProcess);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("HOME"), m_dir.path());
    m_server->setProcessEnvironment(environment);
    m_server->setProcessChannelMode(QProcess::MergedChannels);
    // As root it warns that it is meant for a user session, and runs: no
    // system mode, no D-Bus, nothing of the machine's own sound.
    m_server->start(QStringLiteral("pulseaudio"),
                    { QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                      QStringLiteral("--system=false"), QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=false"),
                      QStringLiteral("--log-target=file:") + dir.filePath(QStringLiteral("pulseaudio.log")),
                      QStringLiteral("-F"), config.fileName() });
    if (!m_server->waitForStarted(kStartTimeoutMs))
        return false;
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired() && m_server->state() == QProcess::Running) {
        QProcess probe;
        probe.setProcessEnvironment(this->environment());
        probe.start(QStringLiteral("pactl"), { QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks") });
        if (probe.waitForFinished(5000) && probe.exitCode() == 0 && probe.readAllStandardOutput().contains("lessonry_out"))
            return true;
        m_server->waitForFinished(100);
    }
    qWarning("PulseAudio did not start: %s", m_server->readAll().constData());
    stop();
    return false;
}

void PulseAudioServer::stop()
{
    for (QScopedPointer<QProcess> *process : { &m_listener, &m_server }) {
        if (*process)
            TestUtil::stopProcess(**process, kStopTimeoutMs);
        process->reset();
    }
}

bool PulseAudioServer::startListening()
{
    m_listener.reset(new QProcess);
    m_listener->setProcessEnvironment(environment());
    m_listener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_listener->start(QStringLiteral("parec"), { QStringLiteral("-d"), sink() + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                                                 QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                                                 QStringLiteral("--rate=") + QString::number(kRecordRate),
                                                 QStringLiteral("--latency-msec=20") });
    return m_listener->waitForStarted(kStartTimeoutMs);
}

void PulseAudioServer::forget()
{
    if (!m_listener)
        return;
    // A pipe holds at most a couple of seconds of it: read until it is dry.
    for (int i = 0; i < 200; ++i) {
        m_listener->readAllStandardOutput();
        if (!m_listener->waitForReadyRead(5))
            break;
    }
    m_listener->readAllStandardOutput();
    m_pending.clear();
}

QVector<qint16> PulseAudioServer::heard(int ms)
{
    const int wanted = kRecordRate * ms / 1000 * 2;
    QDeadlineTimer deadline(ms + 10000);
    if (m_listener)
        m_pending += m_listener->readAllStandardOutput();
    while (m_listener && m_pending.size() < wanted && !deadline.hasExpired()) {
        m_listener->waitForReadyRead(50);
        m_pending += m_listener->readAllStandardOutput();
    }
    const int bytes = m_pending.size() & ~1;
    QVector<qint16> samples(bytes / 2);
    memcpy(samples.data(), m_pending.constData(), size_t(bytes));
    m_pending.remove(0, bytes);
    return samples;
}
