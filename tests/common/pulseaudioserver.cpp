#include "pulseaudioserver.h"

#include "testutil.h"

#include <QDeadlineTimer>
#include <QDir>

namespace {

// Generous: a loaded machine may take seconds to start a process.
const int kStartTimeoutMs = 30000;
const int kStopTimeoutMs = 30000;
const int kPactlTimeoutMs = 30000;

// Written once the daemon has run its start-up modules and serves clients.
const char kReadyNotice[] = "Daemon startup complete.";

// A module argument whose value holds blanks: the whole value in double
// quotes, the property's value in single ones.
QString nullSinkArguments(const QString &name, const QString &description)
{
    return QStringLiteral("sink_name=%1 sink_properties=\"device.description='%2'\"").arg(name, description);
}

} // namespace

PulseAudioServer::PulseAudioServer() = default;

PulseAudioServer::~PulseAudioServer()
{
    stop();
}

bool PulseAudioServer::start()
{
    if (isRunning())
        return true;
    if (!m_dir.isValid()) {
        qWarning("cannot create a folder for the sound server");
        return false;
    }
    const QDir folder(m_dir.path());
    for (const char *sub : { "runtime/pulse", "home", "config" }) {
        if (!folder.mkpath(QString::fromLatin1(sub))) {
            qWarning("cannot create %s for the sound server", sub);
            return false;
        }
    }
    // The runtime folder must be private, or the server refuses it.
    QFile::setPermissions(folder.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("HOME"), folder.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("PULSE_SERVER"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    m_process.reset(new QProcess);
    m_log.clear();
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // -n: no default script, only the modules named here. As root the
    // server warns that it is meant for a user session and goes on; it
    // must not daemonize (the test waits for it) nor exit while idle.
    m_process->start(QStringLiteral("pulseaudio"),
                     { QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
                       QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=false"),
                       QStringLiteral("--disallow-exit=true"), QStringLiteral("--log-level=info"),
                       QStringLiteral("--log-target=stderr"),
                       QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=")
                           + folder.filePath(QStringLiteral("runtime/pulse/native")),
                       QStringLiteral("--load=module-null-sink ") + nullSinkArguments(nullSinkName(), nullSinkDescription()) });
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        qWarning("cannot start pulseaudio: %s", qPrintable(m_process->errorString()));
        m_process.reset();
        return false;
    }
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!m_log.contains(kReadyNotice)) {
        if (m_process->state() != QProcess::Running || deadline.hasExpired()) {
            readLog();
            qWarning("pulseaudio did not start:\n%s", m_log.constData());
            stop();
            return false;
        }
        m_process->waitForReadyRead(50);
        readLog();
    }
    // A start-up module that fails is only logged: check the sink is there.
    QByteArray sinks;
    if (!pactl({ QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks") }, &sinks)
        || !sinks.contains(nullSinkName().toUtf8())) {
        qWarning("pulseaudio has no null sink:\n%s", m_log.constData());
        stop();
        return false;
    }
    return true;
}

bool PulseAudioServer::stop()
{
    if (m_listener) {
        TestUtil::stopHelper(*m_listener, QStringLiteral("the pulseaudio listener"));
        m_listener.reset();
    }
    if (!m_process)
        return false;
    bool clean = false;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (m_process->waitForFinished(kStopTimeoutMs)) {
            clean = m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
        } else {
            m_process->kill();
            m_process->waitForFinished(kStopTimeoutMs);
        }
    }
    readLog();
    if (!clean)
        qWarning("pulseaudio did not end cleanly:\n%s", m_log.constData());
    m_process.reset();
    return clean;
}

bool PulseAudioServer::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QString PulseAudioServer::serverAddress() const
{
    return QStringLiteral("unix:") + QDir(m_dir.path()).filePath(QStringLiteral("runtime/pulse/native"));
}

void PulseAudioServer::useForThisProcess() const
{
    qputenv("PULSE_SERVER", serverAddress().toUtf8());
}

QProcessEnvironment PulseAudioServer::clientEnvironment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("PULSE_SERVER"), serverAddress());
    return base;
}

bool PulseAudioServer::pactl(const QStringList &arguments, QByteArray *output) const
{
    QProcess process;
    process.setProcessEnvironment(clientEnvironment());
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(kPactlTimeoutMs)) {
        qWarning("pactl %s did not end: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                 qPrintable(process.errorString()));
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("pactl %s failed: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                 process.readAllStandardError().constData());
        return false;
    }
    return true;
}

int PulseAudioServer::loadNullSink(const QString &name, const QString &description) const
{
    QByteArray output;
    if (!pactl({ QStringLiteral("load-module"), QStringLiteral("module-null-sink"), nullSinkArguments(name, description) },
               &output))
        return -1;
    bool ok = false;
    const int index = output.trimmed().toInt(&ok);
    return ok ? index : -1;
}

bool PulseAudioServer::unloadModule(int index) const
{
    return index >= 0 && pactl({ QStringLiteral("unload-module"), QString::number(index) });
}

QByteArray PulseAudioServer::log()
{
    readLog();
    return m_log;
}

void PulseAudioServer::readLog()
{
    if (m_process)
        m_log += m_process->readAll();
}

bool PulseAudioServer::startListening()
{
    m_listener.reset(new QProcess);
    m_listener->setProcessEnvironment(clientEnvironment());
    m_listener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_listener->start(QStringLiteral("parec"), { QStringLiteral("-d"), nullSourceName(), QStringLiteral("--raw"),
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
    m_heard.clear();
}

QVector<qint16> PulseAudioServer::heard(int ms)
{
    const int wanted = kRecordRate * ms / 1000 * 2;
    QDeadlineTimer deadline(ms + 10000);
    if (m_listener)
        m_heard += m_listener->readAllStandardOutput();
    while (m_listener && m_heard.size() < wanted && !deadline.hasExpired()) {
        m_listener->waitForReadyRead(50);
        m_heard += m_listener->readAllStandardOutput();
    }
    const int bytes = m_heard.size() & ~1;
    QVector<qint16> samples(bytes / 2);
    memcpy(samples.data(), m_heard.constData(), size_t(bytes));
    m_heard.remove(0, bytes);
    return samples;
}
