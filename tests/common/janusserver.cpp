#include "janusserver.h"

#include "testutil.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTcpSocket>

namespace {

// Generous: a loaded machine may take seconds to start a process.
const int kStartTimeoutMs = 30000;
const int kStopTimeoutMs = 30000;

// Where the Debian package puts the plugins and transports.
QString janusLibraryFolder()
{
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString &triplet : lib.entryList({ QStringLiteral("*-linux-gnu") }, QDir::Dirs)) {
        const QString folder = lib.filePath(triplet + QStringLiteral("/janus"));
        if (QFile::exists(folder + QStringLiteral("/plugins/libjanus_videoroom.so")))
            return folder;
    }
    return QStringLiteral("/usr/lib/janus");
}

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

JanusServer::JanusServer() = default;

JanusServer::~JanusServer()
{
    stop();
}

QString JanusServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/janus").arg(m_port);
}

QString JanusServer::logPath() const
{
    return m_dir.filePath(QStringLiteral("janus.log"));
}

bool JanusServer::start()
{
    if (isRunning())
        return true;
    return TestUtil::startOnRestartablePort(m_port, [this](quint16 port) { return startOn(port); }, "Janus");
}

bool JanusServer::writeConfiguration(quint16 port)
{
    const QDir dir(m_dir.path());
    const QString library = janusLibraryFolder();
    // Only what a lesson uses is loaded: the folders hold links to the
    // VideoRoom plugin and the HTTP transport alone.
    for (const auto &entry : { qMakePair(QStringLiteral("plugins"), QStringLiteral("libjanus_videoroom.so")),
                               qMakePair(QStringLiteral("transports"), QStringLiteral("libjanus_http.so")) }) {
        dir.mkpath(entry.first);
        const QString link = dir.filePath(entry.first + QLatin1Char('/') + entry.second);
        if (!QFile::exists(link) && !QFile::link(library + QLatin1Char('/') + entry.first + QLatin1Char('/') + entry.second, link))
            return false;
    }
    dir.mkpath(QStringLiteral("none"));
    const QByteArray folder = QFile::encodeName(m_dir.path());
    const QByteArray general =
        "general: {\n"
        "  configs_folder = \"" + folder + "\"\n"
        "  plugins_folder = \"" + folder + "/plugins\"\n"
        "  transports_folder = \"" + folder + "/transports\"\n"
        "  events_folder = \"" + folder + "/none\"\n"
        "  loggers_folder = \"" + folder + "/none\"\n"
        "  log_to_stdout = false\n"
        "  log_to_file = \"" + QFile::encodeName(logPath()) + "\"\n"
        "  debug_level = 4\n"
        "  session_timeout = 60\n"
        "}\n"
        "media: {\n  rtp_port_range = \"40000-60000\"\n}\n"
        "nat: {\n  ice_enforce_list = \"lo\"\n  full_trickle = false\n  ice_lite = false\n  ice_tcp = false\n}\n"
        "plugins: {\n}\ntransports: {\n}\nevents: {\n  broadcast = false\n}\n";
    const QByteArray http =
        "general: {\n  json = \"compact\"\n  base_path = \"/janus\"\n  http = true\n  port = " + QByteArray::number(port) +
        "\n  ip = \"127.0.0.1\"\n  https = false\n}\n"
        "admin: {\n  admin_http = false\n  admin_https = false\n}\n";
    const QByteArray videoroom = "general: {\n  string_ids = true\n}\n";
    return writeText(dir.filePath(QStringLiteral("janus.jcfg")), general)
        && writeText(dir.filePath(QStringLiteral("janus.transport.http.jcfg")), http)
        && writeText(dir.filePath(QStringLiteral("janus.plugin.videoroom.jcfg")), videoroom);
}

bool JanusServer::startOn(quint16 port)
{
    if (!m_dir.isValid() || !writeConfiguration(port)) {
        qWarning("cannot write a configuration for Janus");
        return false;
    }
    m_process.reset(new QProcess);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->start(QStringLiteral("janus"), { QStringLiteral("-F"), m_dir.path(), QStringLiteral("-C"),
                                                m_dir.filePath(QStringLiteral("janus.jcfg")) });
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        qWarning("cannot start janus: %s", qPrintable(m_process->errorString()));
        m_process.reset();
        return false;
    }
    if (answers(port, kStartTimeoutMs))
        return true;
    qWarning("Janus did not answer on port %u", unsigned(port));
    stop();
    return false;
}

bool JanusServer::answers(quint16 port, int timeoutMs)
{
    // Its HTTP transport is the last thing it starts: once it takes a
    // connection, the plugin is loaded too.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process->state() != QProcess::Running)
            return false;
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (socket.waitForConnected(200))
            return true;
        m_process->waitForFinished(50);
    }
    return false;
}

void JanusServer::stop()
{
    if (!m_process)
        return;
    TestUtil::stopHelper(*m_process, QStringLiteral("janus"), kStopTimeoutMs);
    m_process.reset();
}

bool JanusServer::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

bool JanusServer::useInServersIni(const QString &serversIniPath) const
{
    if (m_port == 0)
        return false;
    QSettings settings(serversIniPath, QSettings::IniFormat);
    settings.setValue(QStringLiteral("rtc/janus"), url());
    settings.sync();
    return settings.status() == QSettings::NoError;
}
