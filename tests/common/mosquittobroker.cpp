#include "mosquittobroker.h"
#include "testutil.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QSettings>

namespace {

// Generous: a loaded machine may take seconds to start a process.
const int kStartTimeoutMs = 30000;
const int kStopTimeoutMs = 30000;

// The broker's own notice that it listens: "mosquitto version 2.0.11 running".
bool isRunningNotice(const QString &line)
{
    return line.startsWith(QLatin1String("mosquitto version ")) && line.endsWith(QLatin1String(" running"));
}

QString mosquittoProgram()
{
    for (const char *candidate : { "/usr/sbin/mosquitto", "/usr/bin/mosquitto" }) {
        if (QFile::exists(QString::fromLatin1(candidate)))
            return QString::fromLatin1(candidate);
    }
    return QStringLiteral("mosquitto");
}

} // namespace

MosquittoBroker::MosquittoBroker() = default;

MosquittoBroker::MosquittoBroker(Options options)
    : m_options(options)
{
}

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::start()
{
    if (isRunning())
        return true;
    return TestUtil::startOnRestartablePort(m_port, [this](quint16 port) { return startOn(port); }, "the mosquitto broker");
}

bool MosquittoBroker::startOn(quint16 port)
{
    if (!m_dir.isValid()) {
        qWarning("cannot create a folder for the broker's configuration");
        return false;
    }
    const QString configPath = m_dir.filePath(QStringLiteral("mosquitto.conf"));
    QFile config(configPath);
    const QByteArray text = "listener " + QByteArray::number(port) + " 127.0.0.1\n"
                            "allow_anonymous true\n"
                            "persistence false\n"
                            "log_dest stderr\n"
                            "log_type error\n"
                            "log_type warning\n"
                            "log_type notice\n"
                            "log_type information\n"
                            "log_timestamp false\n"
                            + QByteArray(m_options.tcpNoDelay ? "set_tcp_nodelay true\n" : "");
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate) || config.write(text) != text.size()) {
        qWarning("cannot write %s", qPrintable(configPath));
        return false;
    }
    config.close();

    m_process.reset(new QProcess);
    m_log.clear();
    m_partialLine.clear();
    // Read as it comes; errors and warnings are passed on to the test's
    // output, notices only kept.
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setReadChannel(QProcess::StandardError);
    QObject::connect(m_process.data(), &QProcess::readyReadStandardError, [this]() { readLog(); });
    m_process->start(mosquittoProgram(), { QStringLiteral("-c"), configPath });
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        qWarning("cannot start mosquitto: %s", qPrintable(m_process->errorString()));
        m_process.reset();
        return false;
    }
    // Ready once it says it runs, which it does only after its listener is
    // bound; a port taken in the meantime ends the broker at once, and the
    // caller tries another.
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired()) {
        const QStringList lines = logLines();
        if (std::any_of(lines.cbegin(), lines.cend(), isRunningNotice))
            return true;
        if (m_process->state() != QProcess::Running) {
            readLog();
            m_process.reset();
            return false;
        }
        m_process->waitForReadyRead(50);
    }
    qWarning("mosquitto did not start on port %u within %d ms", unsigned(port), kStartTimeoutMs);
    stop();
    return false;
}

void MosquittoBroker::stop()
{
    if (!m_process)
        return;
    TestUtil::stopHelper(*m_process, QStringLiteral("mosquitto"), kStopTimeoutMs);
    m_process.reset();
}

void MosquittoBroker::readLog()
{
    if (!m_process)
        return;
    m_partialLine += m_process->readAllStandardError();
    int end;
    while ((end = m_partialLine.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partialLine.left(end));
        m_partialLine.remove(0, end + 1);
        m_log << line;
        if (line.startsWith(QLatin1String("Error")) || line.startsWith(QLatin1String("Warning")))
            qWarning("mosquitto: %s", qPrintable(line));
    }
}

bool MosquittoBroker::startWithServersIni(const QString &serversIniPath, const QString &web)
{
    return start() && TestUtil::useServersIni(serversIniPath, { web, {}, {}, {}, {}, {} }) && useInServersIni(serversIniPath);
}

QStringList MosquittoBroker::logLines()
{
    readLog();
    return m_log;
}

int MosquittoBroker::logCount(const QString &part)
{
    int found = 0;
    for (const QString &line : logLines())
        found += line.contains(part);
    return found;
}

bool MosquittoBroker::waitForLog(const QString &part, int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (logCount(part) < count) {
        if (deadline.hasExpired() || !m_process)
            return false;
        // Lets the test's own event loop run too (library callbacks).
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        m_process->waitForReadyRead(10);
    }
    return true;
}

bool MosquittoBroker::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

bool MosquittoBroker::useInServersIni(const QString &serversIniPath) const
{
    if (m_port == 0)
        return false;
    QSettings settings(serversIniPath, QSettings::IniFormat);
    const QString port = QString::number(m_port);
    settings.setValue(QStringLiteral("mqtt/production_host"), host());
    settings.setValue(QStringLiteral("mqtt/production_port"), port);
    settings.setValue(QStringLiteral("mqtt/development_host"), host());
    settings.setValue(QStringLiteral("mqtt/development_port"), port);
    settings.setValue(QStringLiteral("signalling/host"), host());
    settings.setValue(QStringLiteral("signalling/port"), port);
    settings.setValue(QStringLiteral("rtc/host"), host());
    settings.setValue(QStringLiteral("rtc/port"), port);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
